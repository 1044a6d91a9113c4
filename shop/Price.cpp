#include "Price.h"

#include "Earnings.h"
#include "db/Dataset.h"

#include <QLocale>
#include <QStringList>
#include <cfenv>
#include <cmath>

namespace price {

double round4(double value)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even by default.
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value * 10000.0) / 10000.0;
    std::fesetround(mode);
    return r == 0.0 ? 0.0 : r; // never "-0"
}

double entryAmount(int quantity, int rejects, double price)
{
    // In ten-thousandths of a rouble the product is a whole number, exact in a double.
    const long long units = std::llround(double(quantity - rejects) * round4(price) * 10000.0);
    const long long cents = (units + (units >= 0 ? 50 : -50)) / 100;
    return double(cents) / 100.0;
}

QString sqlText(double value)
{
    return QString::number(value == 0.0 ? 0.0 : value, 'g', 15);
}

QString text(double value)
{
    QString s = sqlText(value);
    s.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return s;
}

namespace {
constexpr double kDayOffFactor = 2;
constexpr double kNightFactor = 1.2;
constexpr double kThirdShiftFactor = 1.2;
constexpr double kFourthShiftFactor = 1.5;
} // namespace

namespace {

PriceParts priced(double base, const QVector<Factor> &factors)
{
    PriceParts parts{base, factors, base};
    for (const Factor &f : factors)
        parts.price *= f.value;
    return parts;
}

Factor dayOffFactor()
{
    return {QStringLiteral("выходной"), kDayOffFactor};
}

} // namespace

QString PriceParts::factorsText() const
{
    QStringList out;
    for (const Factor &f : factors)
        out << QStringLiteral("× %1 (%2)").arg(text(f.value), f.name);
    return out.join(QLatin1Char(' '));
}

PriceParts shiftPriceParts(double base, bool dayOff, int shift)
{
    QVector<Factor> factors;
    if (dayOff)
        factors << dayOffFactor();
    if (shift == 3)
        factors << Factor{QStringLiteral("ночь"), kThirdShiftFactor};
    else if (shift == 4)
        factors << Factor{QStringLiteral("переработка"), kFourthShiftFactor};
    return priced(base, factors);
}

double shiftPrice(double base, bool dayOff, int shift)
{
    return shiftPriceParts(base, dayOff, shift).price;
}

PriceParts hourPriceParts(double base, bool dayOff, bool night)
{
    QVector<Factor> factors;
    if (dayOff)
        factors << dayOffFactor();
    if (night)
        factors << Factor{QStringLiteral("ночь"), kNightFactor};
    return priced(base, factors);
}

double hourPrice(double base, bool dayOff, bool night)
{
    return hourPriceParts(base, dayOff, night).price;
}

QString hourPriceSql(const QString &base, const QString &dayOff, const QString &night)
{
    return QStringLiteral(R"(((%1)
        *(case when (%2)<>0 then %4 else 1 end)
        *(case when (%3)<>0 then %5 else 1 end)))")
        .arg(base, dayOff, night, sqlText(kDayOffFactor), sqlText(kNightFactor));
}

namespace {

// The shift entries a worker's average is taken over: his entries of the period on products
// of the nomenclature group.
QString averageEntries(const QString &worker, const QString &nom, const QString &from,
                       const QString &to)
{
    return QStringLiteral(R"(from accounts_dep.smena s
        join accounts_dep.izdel gas on gas.id=s.i_id
        join cmn_classifier.item i on i.id=gas.id_class_item and i.id_level=2
        where i.id=(%2)
          and s.w_id=(%1)
          and s.data>=(%3)
          and s.data<(%4))")
        .arg(worker, nom, from, to);
}

} // namespace

// The average of the entries selected: numeric from the division on, nothing is rounded
// before the factors.
#define TABEL_AVERAGE_OF_ENTRIES                                                                   \
    "case when coalesce(sum(s.time),0)=0 then 0 else sum(" TABEL_ENTRY_PAY(                        \
        "s.") ")::numeric/sum(s.time) end"

QString averageSql(const QString &worker, const QString &nom, const QString &from,
                   const QString &to)
{
    return QStringLiteral(R"(coalesce((select )" TABEL_AVERAGE_OF_ENTRIES R"(
                           %1),0))")
        .arg(averageEntries(worker, nom, from, to));
}

QString averageSourceSql(const QString &worker, const QString &nom, const QString &from,
                         const QString &to)
{
    return QStringLiteral(R"((select sum()" TABEL_ENTRY_PAY("s.") R"() pay, sum(s.time) hours,
                                )" TABEL_AVERAGE_OF_ENTRIES R"( average
                            %1))")
        .arg(averageEntries(worker, nom, from, to));
}

QString averageHourPriceSql(const QString &worker, const QString &nom, const QString &from,
                            const QString &to, const QString &dayOff, const QString &night)
{
    // The factors multiply the exact average and the one round() gives the kopecks.
    return QStringLiteral("round(") +
           hourPriceSql(averageSql(worker, nom, from, to), dayOff, night) +
           QStringLiteral("::numeric, 2)");
}

double averageHourPrice(int worker, int nom, const QDate &day, bool dayOff, bool night)
{
    const QDate from(day.year(), day.month(), 1);
    db::Dataset q(QStringLiteral("AverageHourPrice"));
    q.setSql(QStringLiteral("select ") +
             averageHourPriceSql(QStringLiteral(":w"), QStringLiteral(":nom"),
                                 QStringLiteral(":from"), QStringLiteral(":to"),
                                 QStringLiteral(":day_off"), QStringLiteral(":night")) +
             QStringLiteral(" as price"));
    q.setParam(QStringLiteral("w"), worker);
    q.setParam(QStringLiteral("nom"), nom);
    q.setParam(QStringLiteral("from"), from);
    q.setParam(QStringLiteral("to"), from.addMonths(1));
    q.setParam(QStringLiteral("day_off"), dayOff ? 1 : 0);
    q.setParam(QStringLiteral("night"), night ? 1 : 0);
    q.open();
    return q.asFloat(QStringLiteral("price"));
}

PriceParts averageHourPriceParts(double average, bool dayOff, bool night)
{
    PriceParts parts = hourPriceParts(average, dayOff, night);
    // To the kopeck, a tie away from zero, as the server's round() does; millionths first,
    // so that a binary fraction a hair below a tie does not round down.
    const long long micro = std::llround(parts.price * 1e6);
    const long long half = micro < 0 ? -5000 : 5000;
    parts.price = double((micro + half) / 10000) / 100.0;
    return parts;
}

} // namespace price
