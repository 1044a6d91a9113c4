#include "PayStatement.h"

#include "Calendar.h"
#include "DataModule.h"
#include "Earnings.h"
#include "db/Dataset.h"
#include "text/Figures.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace shop::pay {

namespace {

constexpr int kMaintenance = 7777;
constexpr int kAverage = 7778;

Kopecks kopecks(const QVariant &v)
{
    return v.isNull() ? 0 : Kopecks(std::llround(v.toDouble() * 100.0));
}

QString amountText(Kopecks k)
{
    return moneyText(k) + QStringLiteral(" р.");
}

// What selects the entries: a month (and one worker, or all), or one entry by its id. Each
// condition binds values of its own, so that the server plans every scan with the dates it
// is given.
struct Filter {
    QDate from, to; // [from, to)
    int worker = 0;
    qlonglong id = 0;
    mutable int conditions = 0;

    // The conditions on a table's rows, given its date, worker and id columns.
    QString where(const QString &date, const QString &worker, const QString &idColumn) const
    {
        const QString n = QString::number(++conditions);
        if (id > 0)
            return QStringLiteral(" %1=:id_%2 ").arg(idColumn, n);
        QString s = QStringLiteral(" %1>=:d1_%2 and %1<:d2_%2 ").arg(date, n);
        if (this->worker > 0)
            s += QStringLiteral("and %1=:w_%2 ").arg(worker, n);
        return s;
    }
    void bind(db::Dataset &ds) const
    {
        for (int i = 1; i <= conditions; ++i) {
            const QString n = QString::number(i);
            ds.setParam(QStringLiteral("d1_") + n, from);
            ds.setParam(QStringLiteral("d2_") + n, to);
            ds.setParam(QStringLiteral("w_") + n, worker);
            ds.setParam(QStringLiteral("id_") + n, id);
        }
    }
};

void open(db::Dataset &ds, const QString &sql, const Filter &f)
{
    ds.setSql(sql);
    f.bind(ds);
    ds.open();
}

// The entry's factors as the stored rate shows them: the day-off factor is not stored with a
// shift entry, so it is the one of the two that gives the stored rate from today's norms
// (what the calendar makes the date first); when neither does, the norms changed since and
// the calendar tells.
void priceShiftLine(ShiftLine &l, const QVariant &base, const calendar::Year &calendar)
{
    l.hasNorm = !base.isNull();
    const bool off = calendar.isDayOff(l.date);
    if (l.hasNorm) {
        for (const bool dayOff : {off, !off}) {
            const price::PriceParts parts =
                price::shiftPriceParts(base.toDouble(), dayOff, l.shift);
            if (price::round4(parts.price) == price::round4(l.rate)) {
                l.today = parts;
                l.normChanged = false;
                return;
            }
        }
    }
    l.today = price::shiftPriceParts(base.toDouble(), off, l.shift);
    l.normChanged = true;
}

// The entries alone, one narrow row each: at a plant a month holds 150,000 of them, and the
// names and norms they share are read once each below.
QString shiftLinesSql(const Filter &f)
{
    return QStringLiteral(R"(
        select s.id, s.w_id, s.data, s.smena, s.kol_vo, s.brak, s.cena, s.time, s.ok, s.color,
               s.i_id, s.o_id, round()" TABEL_ENTRY_PAY("s.") R"(::numeric, 2) amount
        from accounts_dep.smena s
        where %1)")
        .arg(f.where(QStringLiteral("s.data"), QStringLiteral("s.w_id"), QStringLiteral("s.id")));
}

// The products and operations of those entries: names, kind of product, and the operation's
// lowest norm price today.
struct Names {
    struct Product {
        QString mark, group;
    };
    struct Operation {
        QString kind;
        int naimen = 0;
        QVariant base;
    };
    QHash<int, Product> products;
    QHash<int, Operation> operations;

    // The names of the products and operations that the entries read into q use.
    explicit Names(db::Dataset &q)
    {
        QSet<int> productIds, operationIds;
        for (q.first(); !q.eof(); q.next()) {
            productIds.insert(q.asInteger(QStringLiteral("i_id")));
            operationIds.insert(q.asInteger(QStringLiteral("o_id")));
        }
        const auto array = [](const QSet<int> &ids) {
            QStringList out;
            for (int id : ids)
                out << QString::number(id);
            return QLatin1Char('{') + out.join(QLatin1Char(',')) + QLatin1Char('}');
        };
        db::Dataset n(QStringLiteral("PayNames"));
        n.setSql(QStringLiteral(R"(
            select izdel.id, izdel.marka, izdel.nom
            from accounts_dep.izdel
            where izdel.id = any(:ids::int[]))"));
        n.setParam(QStringLiteral("ids"), array(productIds));
        n.open();
        for (n.first(); !n.eof(); n.next())
            products.insert(n.asInteger(QStringLiteral("id")),
                            {n.asString(QStringLiteral("marka")).trimmed(),
                             n.asString(QStringLiteral("nom")).trimmed()});
        n.close();
        n.setSql(QStringLiteral(R"(
            select o.id, v.vid, o.naimen,
                   (select min(m.price) from accounts_dep.norm m where m.o_id=o.id) base
            from accounts_dep.oper o
            left join accounts_dep.vid_oper v on v.id=o.vid
            where o.id = any(:ids::int[]))"));
        n.setParam(QStringLiteral("ids"), array(operationIds));
        n.open();
        for (n.first(); !n.eof(); n.next())
            operations.insert(n.asInteger(QStringLiteral("id")),
                              {n.asString(QStringLiteral("vid")).trimmed(),
                               n.asInteger(QStringLiteral("naimen")),
                               n.value(QStringLiteral("base"))});
        n.close();
    }
};

ShiftLine shiftLine(const db::Dataset &q, const Names &names, const calendar::Year &calendar)
{
    ShiftLine l;
    l.id = q.value(QStringLiteral("id")).toLongLong();
    l.workerId = q.asInteger(QStringLiteral("w_id"));
    l.date = q.asDate(QStringLiteral("data"));
    l.shift = q.asInteger(QStringLiteral("smena"));
    l.quantity = q.asInteger(QStringLiteral("kol_vo"));
    l.rejects = q.asInteger(QStringLiteral("brak"));
    l.rate = q.asFloat(QStringLiteral("cena"));
    l.hours = q.asInteger(QStringLiteral("time"));
    const QString ok = q.asString(QStringLiteral("ok")).trimmed();
    l.accepted = ok == QLatin1String("ok") || ok == QStringLiteral("да");
    l.colour = q.asInteger(QStringLiteral("color"));
    const Names::Product product = names.products.value(q.asInteger(QStringLiteral("i_id")));
    l.product = product.mark;
    l.group = product.group;
    const Names::Operation operation = names.operations.value(q.asInteger(QStringLiteral("o_id")));
    l.operation = operation.kind;
    l.naimen = operation.naimen;
    l.amount = kopecks(q.value(QStringLiteral("amount")));
    priceShiftLine(l, operation.base, calendar);
    return l;
}

// Date order, and within a day by shift and as entered.
bool earlier(const ShiftLine &a, const ShiftLine &b)
{
    return std::tie(a.date, a.shift, a.id) < std::tie(b.date, b.shift, b.id);
}

// The hour entries with their base prices: maintenance at the operation kind's list price,
// average piecework at the worker's average of the entry's month on its group, worked out once
// per worker, group and month (with the pay and hours it comes from) for all his entries.
QString hourLinesSql(const Filter &f)
{
    const QString month = QStringLiteral("date_trunc('month', f.d_date)::date");
    // Each condition binds values of its own: one for the averages' entries, one for all.
    const QString averages =
        f.where(QStringLiteral("f.d_date"), QStringLiteral("f.id_p"), QStringLiteral("f.id"));
    const QString where =
        f.where(QStringLiteral("f.d_date"), QStringLiteral("f.id_p"), QStringLiteral("f.id"));
    // %1 the average-piecework kind, %2 an entry's month, %3 the average with the pay and hours
    // it is taken from, %4 the condition on the averages' entries, %5 the condition.
    return QStringLiteral(R"(
        select f.id, f.id_p::int w_id, f.d_date, f.id_o::int kind, vo.vid, i.s_caption grp,
               f.cnt, f.price, f.i_holiday, f.i_night, round(f.cnt*f.price, 2) amount,
               case when f.id_o=%1 then coalesce(a.average, 0) else k.price end base,
               %2 average_month, a.pay, a.hours
        from accounts_dep.fatigue f
        left join accounts_dep.vid_oper vo on vo.id=f.id_o
        left join cmn_classifier.item i on i.id=f.id_nom
        left join (select o.vid, min(n.price) price
                   from accounts_dep.norm n
                   join accounts_dep.oper o on o.id=n.o_id
                   group by o.vid) k on k.vid=f.id_o
        left join (select x.id_p, x.id_nom, x.month, a.*
                   from (select distinct f.id_p, f.id_nom, %2 as month
                         from accounts_dep.fatigue f
                         where f.id_o=%1 and %4) x
                   cross join lateral %3 a) a
               on f.id_o=%1 and a.id_p=f.id_p and a.id_nom=f.id_nom and a.month=%2
        where %5
        order by f.id_p, f.id_o, f.d_date, f.id)")
        .arg(QString::number(kAverage), month,
             price::averageSourceSql(QStringLiteral("x.id_p"), QStringLiteral("x.id_nom"),
                                     QStringLiteral("x.month"),
                                     QStringLiteral("(x.month + interval '1 month')::date")),
             averages, where);
}

HourLine hourLine(const db::Dataset &q)
{
    HourLine l;
    l.id = q.value(QStringLiteral("id")).toLongLong();
    l.workerId = q.asInteger(QStringLiteral("w_id"));
    l.date = q.asDate(QStringLiteral("d_date"));
    l.kind = q.asInteger(QStringLiteral("kind"));
    l.kindName = q.asString(QStringLiteral("vid")).trimmed();
    l.group = q.asString(QStringLiteral("grp")).trimmed();
    l.hours = q.value(QStringLiteral("cnt")).toLongLong();
    l.rate = q.asFloat(QStringLiteral("price"));
    l.dayOff = q.asInteger(QStringLiteral("i_holiday")) != 0;
    l.night = q.asInteger(QStringLiteral("i_night")) != 0;
    l.amount = kopecks(q.value(QStringLiteral("amount")));
    const QVariant base = q.value(QStringLiteral("base"));
    l.hasBase = !base.isNull();
    l.today = l.kind == kAverage ? price::averageHourPriceParts(base.toDouble(), l.dayOff, l.night)
                                 : price::hourPriceParts(base.toDouble(), l.dayOff, l.night);
    l.rateChanged = !l.hasBase || price::round4(l.today.price) != price::round4(l.rate);
    if (l.kind == kAverage) {
        l.averageMonth = q.asDate(QStringLiteral("average_month"));
        l.averagePay = q.asFloat(QStringLiteral("pay"));
        l.averageHours = q.value(QStringLiteral("hours")).toLongLong();
    }
    return l;
}

// The figures of the timesheets per worker, as rows of kind and night flag: kind 0 the
// piecework pay of the month as "Табель сделка" sums it; the maintenance and average-piecework
// kinds per night flag as their timesheets sum them; -1 the piecework summed by product
// groups as the reports sum it; -2 all maintenance and average-piecework pay. %1 to %4 the
// filter's conditions on the entries, the hour work, the entries and the hour work.
const char *const kTimesheetFigures = R"(
    select s.w_id, 0 kind, 0 night, sum()" TABEL_ENTRY_PAY("s.") R"()::numeric(10,2) pay
    from accounts_dep.smena s
    where %1
    group by s.w_id
    union all
    select f.id_p::int, f.id_o::int, f.i_night, sum(f.cnt*f.price)::numeric(10,2)
    from accounts_dep.fatigue f
    where %2
    group by f.id_p, f.id_o, f.i_night
    union all
    select g.w_id, -1, 0, sum(g.pay)
    from (select e.w_id, sum(e.pay)::numeric(10,2) pay
          from (select s.w_id, s.i_id, s.o_id, s.color, sum()" TABEL_ENTRY_PAY("s.") R"() pay
                from accounts_dep.smena s
                where %3
                group by 1, 2, 3, 4) e
          join accounts_dep.izdel on izdel.id=e.i_id
          join accounts_dep.oper on oper.id=e.o_id
          join accounts_dep.vid_oper on vid_oper.id=oper.vid
          group by e.w_id, izdel.nom, vid_oper.vid, izdel.id_nom, oper.naimen, e.color) g
    group by g.w_id
    union all
    select f.id_p::int, -2, 0, sum(f.cnt*f.price)::numeric(10,2)
    from accounts_dep.fatigue f
    where %4
    group by f.id_p)";

} // namespace

QString moneyText(Kopecks amount)
{
    return figures::money(double(amount) / 100.0);
}

QString priceText(double value)
{
    return figures::number(value, 2, 4);
}

Kopecks Statement::linesTotal() const
{
    Kopecks sum = 0;
    for (const ShiftLine &l : shifts)
        sum += l.amount;
    for (const HourLine &l : maintenance)
        sum += l.amount;
    for (const HourLine &l : average)
        sum += l.amount;
    return sum;
}

int Statement::hoursTotal() const
{
    int sum = 0;
    for (int h : hoursByDay)
        sum += h;
    return sum;
}

QVector<int> Statement::missingDays() const
{
    QVector<int> out;
    for (int d = 0; d < hoursByDay.size(); ++d)
        if (hoursByDay[d] == 0 && !daysOff.value(d))
            out << d + 1;
    return out;
}

int Statement::unaccepted() const
{
    int n = 0;
    for (const ShiftLine &l : shifts)
        n += l.accepted ? 0 : 1;
    return n;
}

QVector<Statement> read(int month, int year, int worker)
{
    Filter f;
    f.from = QDate(year, month, 1);
    f.to = f.from.addMonths(1);
    f.worker = worker;
    const int days = f.from.daysInMonth();
    const calendar::Year calendar = calendar::Year::load(year);
    QVector<bool> daysOff(days);
    for (int d = 0; d < days; ++d)
        daysOff[d] = calendar.isDayOff(f.from.addDays(d));
    const double normHours = calendar.normHours(month, 40);

    // A statement for every worker with entries in the month; his hours of each day are
    // those of his entries.
    QHash<int, Statement> by;
    const auto statementOf = [&](int w) -> Statement & {
        auto it = by.find(w);
        if (it == by.end()) {
            Statement s;
            s.workerId = w;
            s.month = month;
            s.year = year;
            s.hoursByDay.fill(0, days);
            s.daysOff = daysOff;
            s.normHours = normHours;
            s.calendarKnown = calendar.known();
            it = by.insert(w, s);
        }
        return *it;
    };

    db::Dataset q(QStringLiteral("PayLines"));
    {
        open(q, shiftLinesSql(f), f);
        const Names names(q);
        for (q.first(); !q.eof(); q.next()) {
            const ShiftLine l = shiftLine(q, names, calendar);
            Statement &s = statementOf(l.workerId);
            s.shifts << l;
            s.hoursByDay[l.date.day() - 1] += l.hours;
        }
        q.close();
        for (Statement &s : by)
            std::sort(s.shifts.begin(), s.shifts.end(), earlier);
    }

    open(q, hourLinesSql(f), f);
    for (q.first(); !q.eof(); q.next()) {
        const HourLine l = hourLine(q);
        Statement &s = statementOf(l.workerId);
        (l.kind == kAverage ? s.average : s.maintenance) << l;
        s.hoursByDay[l.date.day() - 1] += int(l.hours);
    }
    q.close();
    if (by.isEmpty())
        return {};

    // The figures of the timesheets (kTimesheetFigures).
    const auto entries = [&f] {
        return f.where(QStringLiteral("s.data"), QStringLiteral("s.w_id"), QStringLiteral("s.id"));
    };
    const auto hours = [&f] {
        return f.where(QStringLiteral("f.d_date"), QStringLiteral("f.id_p"),
                       QStringLiteral("f.id"));
    };
    const QString pieceworkWhere = entries();
    const QString kindsWhere = hours();
    const QString groupsWhere = entries();
    const QString hourWorkWhere = hours();
    open(q,
         QString::fromUtf8(kTimesheetFigures)
             .arg(pieceworkWhere, kindsWhere, groupsWhere, hourWorkWhere),
         f);
    for (q.first(); !q.eof(); q.next()) {
        const auto it = by.find(q.asInteger(QStringLiteral("w_id")));
        if (it == by.end())
            continue;
        Statement &s = *it;
        const Kopecks pay = kopecks(q.value(QStringLiteral("pay")));
        const bool night = q.asInteger(QStringLiteral("night")) != 0;
        switch (q.asInteger(QStringLiteral("kind"))) {
        case 0:
            s.piecework += pay;
            s.combined += pay;
            break;
        case -1:
            s.pieceworkByGroups += pay;
            break;
        case -2:
            s.combined += pay;
            break;
        case kMaintenance:
            (night ? s.maintenanceNight : s.maintenanceDay) += pay;
            break;
        case kAverage:
            (night ? s.averageNight : s.averageDay) += pay;
            break;
        default:
            break;
        }
    }
    q.close();

    // The workers, each named once by his person row (the one known by his id first).
    QStringList ids;
    for (auto it = by.cbegin(); it != by.cend(); ++it)
        ids << QString::number(it.key());
    q.setSql(QStringLiteral(R"(
        select w.w_id, coalesce(p.s_caption, ap.fio) fio, coalesce(p.s_code, w.w_id::text) code,
               ap.s_staffpos_hl
        from unnest(:ids::int[]) w(w_id)
        left join accounts_dep.person ap on ap.id=w.w_id
        left join lateral (select x.s_caption, x.s_code
                           from (%1) x
                           order by x.by_code
                           limit 1) p on true
        order by fio, w.w_id)")
                 .arg(DataModule::workerPersons(QStringLiteral("w.w_id"))));
    q.setParam(QStringLiteral("ids"),
               QLatin1Char('{') + ids.join(QLatin1Char(',')) + QLatin1Char('}'));
    q.open();
    QVector<Statement> out;
    out.reserve(by.size());
    for (q.first(); !q.eof(); q.next()) {
        Statement &s = by[q.asInteger(QStringLiteral("w_id"))];
        s.name = q.asString(QStringLiteral("fio")).trimmed();
        s.number = q.asString(QStringLiteral("code")).trimmed();
        s.position = q.asString(QStringLiteral("s_staffpos_hl")).trimmed();
        out << std::move(s);
    }
    q.close();
    return out;
}

ShiftLine readShiftLine(qlonglong id)
{
    Filter f;
    f.id = id;
    db::Dataset q(QStringLiteral("PayLine"));
    open(q, shiftLinesSql(f), f);
    const Names names(q);
    q.first();
    if (q.isEmpty())
        return ShiftLine();
    return shiftLine(q, names, calendar::Year::load(q.asDate(QStringLiteral("data")).year()));
}

HourLine readHourLine(qlonglong id)
{
    Filter f;
    f.id = id;
    db::Dataset q(QStringLiteral("PayLine"));
    open(q, hourLinesSql(f), f);
    return q.isEmpty() ? HourLine() : hourLine(q);
}

QString explain(const ShiftLine &l)
{
    QString s = QStringLiteral("%1 шт").arg(figures::quantity(l.quantity));
    if (l.rejects != 0)
        s += QStringLiteral(" − %1 брак = %2 шт")
                 .arg(figures::quantity(l.rejects), figures::quantity(l.paid()));
    const QString paid = amountText(l.amount);
    if (l.normChanged) {
        s += QStringLiteral(" × %1 р. = %2 (расценка записи").arg(priceText(l.rate), paid);
        if (l.hasNorm)
            s += QStringLiteral("; по нормам сегодня %1 р.%2 = %3 р.")
                     .arg(priceText(l.today.base),
                          l.today.factors.isEmpty() ? QString()
                                                    : QLatin1Char(' ') + l.today.factorsText(),
                          priceText(l.today.price));
        else
            s += QStringLiteral("; у операции сегодня нет норм");
        return s + QStringLiteral(")");
    }
    s += QStringLiteral(" × %1 р.").arg(priceText(l.today.base));
    if (!l.today.factors.isEmpty())
        s += QLatin1Char(' ') + l.today.factorsText();
    return s + QStringLiteral(" = ") + paid;
}

QString explain(const HourLine &l)
{
    QString s = QStringLiteral("%1 ч").arg(figures::quantity(double(l.hours)));
    const QString paid = amountText(l.amount);
    QString base;
    if (l.kind == kAverage) {
        const QString month =
            QLocale(QLocale::Russian).standaloneMonthName(l.averageMonth.month()).toLower() +
            QLatin1Char(' ') + QString::number(l.averageMonth.year());
        base = QStringLiteral("%1 р./ч (средняя за %2: %3 за %4 ч)")
                   .arg(priceText(l.today.base), month,
                        amountText(Kopecks(std::llround(l.averagePay * 100.0))))
                   .arg(figures::quantity(double(l.averageHours)));
    } else {
        base = QStringLiteral("%1 р./ч").arg(priceText(l.today.base));
    }
    const QString factors =
        l.today.factors.isEmpty() ? QString() : QLatin1Char(' ') + l.today.factorsText();
    if (l.rateChanged) {
        s += QStringLiteral(" × %1 р./ч = %2 (цена записи").arg(priceText(l.rate), paid);
        if (l.hasBase)
            s += QStringLiteral("; сегодня %1%2 = %3 р./ч")
                     .arg(base, factors, priceText(l.today.price));
        return s + QStringLiteral(")");
    }
    return s + QStringLiteral(" × ") + base + factors + QStringLiteral(" = ") + paid;
}

} // namespace shop::pay
