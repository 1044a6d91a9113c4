#include "Limits.h"

#include "db/Dataset.h"

#include <QLocale>
#include <QRegularExpression>

namespace shop::limits {

namespace {

QString grouped(double v, int decimals = 0)
{
    return QLocale(QLocale::Russian).toString(v, 'f', decimals);
}

// The text without the spaces that group thousands (plain, no-break and narrow).
QString ungrouped(const QString &text)
{
    QString t = text.trimmed();
    t.remove(QRegularExpression(QStringLiteral("[ \\x{00A0}\\x{202F}]")));
    return t;
}

} // namespace

Typed readWhole(const QString &field, const QString &text)
{
    const QString t = ungrouped(text);
    if (t.isEmpty())
        return {};
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (digits.match(t).hasMatch()) {
        if (t.size() > 15)
            return {0, QStringLiteral("Слишком большое число в поле «%1»: «%2».")
                           .arg(field, text.trimmed())};
        return {t.toDouble(), {}};
    }
    if (t.startsWith(QLatin1Char('-')))
        return {0, QStringLiteral("В поле «%1» число не может быть отрицательным: «%2».")
                       .arg(field, text.trimmed())};
    if (t.contains(QLatin1Char(',')) || t.contains(QLatin1Char('.')))
        return {0, QStringLiteral("В поле «%1» нужно целое число, без запятой: «%2».")
                       .arg(field, text.trimmed())};
    return {0, QStringLiteral("В поле «%1» нужно целое число: «%2» — не число.")
                   .arg(field, text.trimmed())};
}

Typed readDecimal(const QString &field, const QString &text, int decimals)
{
    const QString t = ungrouped(text);
    if (t.isEmpty())
        return {};
    static const QRegularExpression number(QStringLiteral("^([0-9]+)(?:[,.]([0-9]*))?$"));
    const QRegularExpressionMatch m = number.match(t);
    if (!m.hasMatch()) {
        if (t.startsWith(QLatin1Char('-')))
            return {0, QStringLiteral("В поле «%1» число не может быть отрицательным: «%2».")
                           .arg(field, text.trimmed())};
        return {0, QStringLiteral("В поле «%1» нужно число (дробную часть отделяет запятая): "
                                  "«%2» — не число.")
                       .arg(field, text.trimmed())};
    }
    if (m.captured(2).size() > decimals)
        return {0, QStringLiteral("В поле «%1» не более %2 знаков после запятой: «%3».")
                       .arg(field)
                       .arg(decimals)
                       .arg(text.trimmed())};
    if (m.captured(1).size() > 15)
        return {
            0,
            QStringLiteral("Слишком большое число в поле «%1»: «%2».").arg(field, text.trimmed())};
    return {(m.captured(1) + QLatin1Char('.') + m.captured(2) + QLatin1Char('0')).toDouble(), {}};
}

Verdict entryHours(const QString &field, int hours)
{
    if (hours > kMaxEntryHours)
        return {Verdict::Refuse,
                QStringLiteral("В поле «%1» не более %2 ч: смена не бывает длиннее суток.")
                    .arg(field)
                    .arg(kMaxEntryHours)};
    if (hours > kUsualEntryHours)
        return {Verdict::Ask,
                QStringLiteral("В поле «%1» %2 ч — смена длиннее %3 часов бывает редко. Вы "
                               "уверены?")
                    .arg(field)
                    .arg(hours)
                    .arg(kUsualEntryHours)};
    return {};
}

Verdict quantity(const QString &field, int pieces)
{
    if (pieces > kMaxQuantity)
        return {Verdict::Refuse, QStringLiteral("В поле «%1» не более %2 шт. в одной записи.")
                                     .arg(field, grouped(kMaxQuantity))};
    if (pieces > kUsualQuantity)
        return {Verdict::Ask,
                QStringLiteral("В поле «%1» %2 шт. — больше %3 за смену бывает редко. Вы уверены?")
                    .arg(field, grouped(pieces), grouped(kUsualQuantity))};
    return {};
}

Verdict rejects(const QString &field, int pieces)
{
    if (pieces > kMaxRejects)
        return {Verdict::Refuse, QStringLiteral("В поле «%1» не более %2 шт. в одной записи.")
                                     .arg(field, grouped(kMaxRejects))};
    return {};
}

Verdict price(const QString &field, double value)
{
    if (value < 0)
        return {Verdict::Refuse,
                QStringLiteral("В поле «%1» цена не может быть отрицательной.").arg(field)};
    if (value > kMaxPrice)
        return {Verdict::Refuse,
                QStringLiteral("В поле «%1» не более %2 р.").arg(field, grouped(kMaxPrice, 2))};
    if (value > kUsualPrice)
        return {Verdict::Ask, QStringLiteral("В поле «%1» %2 р. — цена больше %3 р. бывает "
                                             "редко. Вы уверены?")
                                  .arg(field, grouped(value, 2), grouped(kUsualPrice, 2))};
    return {};
}

int hoursOfDay(int workerId, const QDate &day, int exceptShiftEntry, qlonglong exceptFatigue)
{
    db::Dataset q(QStringLiteral("HoursOfDay"));
    q.setSql(QStringLiteral(R"(
        select (select coalesce(sum(time), 0)
                from accounts_dep.smena
                where w_id=:w and data=:d and id<>:s)
             + (select coalesce(sum(cnt), 0)
                from accounts_dep.fatigue
                where id_p=:w and d_date=:d and id<>:f) as hours)"));
    q.setParam(QStringLiteral("w"), workerId);
    q.setParam(QStringLiteral("d"), day);
    q.setParam(QStringLiteral("s"), exceptShiftEntry);
    q.setParam(QStringLiteral("f"), exceptFatigue);
    q.open();
    const int hours = q.asInteger(QStringLiteral("hours"));
    q.close();
    return hours;
}

Verdict dayHours(const QDate &day, int others, int hours)
{
    if (others + hours <= kMaxDayHours)
        return {};
    return {Verdict::Refuse,
            QStringLiteral("У работника за %1 уже записано %2 ч во всех журналах; с этой записью "
                           "было бы %3 ч, а в сутках не более %4 ч.")
                .arg(day.toString(QStringLiteral("dd.MM.yyyy")))
                .arg(others)
                .arg(others + hours)
                .arg(kMaxDayHours)};
}

QString reversedPeriod(const QDate &from, const QDate &to)
{
    if (from <= to)
        return {};
    const QString f = QStringLiteral("dd.MM.yyyy");
    return QStringLiteral("Начало периода (%1) позже его конца (%2): укажите в поле «с» день не "
                          "позже дня в поле «по».")
        .arg(from.toString(f), to.toString(f));
}

} // namespace shop::limits
