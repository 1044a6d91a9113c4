#include "Calendar.h"
#include "StoredText.h"

#include "db/Command.h"
#include "db/Dataset.h"
#include "db/Transaction.h"

namespace shop::calendar {

namespace {

bool weekend(const QDate &d)
{
    return d.dayOfWeek() == Qt::Saturday || d.dayOfWeek() == Qt::Sunday;
}

} // namespace

QString kindKey(Kind kind)
{
    switch (kind) {
    case Kind::Holiday:
        return QStringLiteral("holiday");
    case Kind::MovedOff:
        return QStringLiteral("off");
    case Kind::WorkingDay:
        return QStringLiteral("work");
    case Kind::Short:
        return QStringLiteral("short");
    default:
        return QString();
    }
}

Kind kindOfKey(const QString &key)
{
    if (key == QLatin1String("holiday"))
        return Kind::Holiday;
    if (key == QLatin1String("off"))
        return Kind::MovedOff;
    if (key == QLatin1String("work"))
        return Kind::WorkingDay;
    if (key == QLatin1String("short"))
        return Kind::Short;
    return Kind::Working;
}

QString kindCaption(Kind kind)
{
    switch (kind) {
    case Kind::Working:
        return QStringLiteral("Рабочий день");
    case Kind::Weekend:
        return QStringLiteral("Выходной день");
    case Kind::Holiday:
        return QStringLiteral("Праздничный день");
    case Kind::MovedOff:
        return QStringLiteral("Перенесённый выходной");
    case Kind::WorkingDay:
        return QStringLiteral("Рабочая суббота (воскресенье)");
    case Kind::Short:
        return QStringLiteral("Предпраздничный, сокращённый на час");
    }
    return QString();
}

Year::Year(int year, bool known, const QVector<Day> &days) : year_(year), known_(known), days_(days)
{
    for (const Day &d : days_)
        kinds_.insert(d.date, d.kind);
}

Year Year::load(int year)
{
    db::Dataset q(QStringLiteral("calendarYear"));
    // The year's row (none: the year is not known) and its days, in one statement.
    q.setSql(QStringLiteral(R"(
        select d.day, d.kind, d.regional, d.note
        from accounts_dep.calendar_year y
        left join accounts_dep.calendar_day d on d.year=y.year
        where y.year=:y
        order by d.day)"));
    q.setParam(QStringLiteral("y"), year);
    q.open();
    QVector<Day> days;
    for (q.first(); !q.eof(); q.next()) {
        if (q.isNull(QStringLiteral("day")))
            continue;
        days.append({q.asDate(QStringLiteral("day")), kindOfKey(q.asString(QStringLiteral("kind"))),
                     q.value(QStringLiteral("regional")).toBool(),
                     q.asString(QStringLiteral("note"))});
    }
    return Year(year, !q.isEmpty(), days);
}

Kind Year::kind(const QDate &date) const
{
    if (known_) {
        const auto it = kinds_.constFind(date);
        if (it != kinds_.constEnd())
            return *it;
    }
    return weekend(date) ? Kind::Weekend : Kind::Working;
}

bool Year::isDayOff(const QDate &date) const
{
    const Kind k = kind(date);
    return k == Kind::Weekend || k == Kind::Holiday || k == Kind::MovedOff;
}

int Year::workingDays(int month) const
{
    const QDate first(year_, month, 1);
    int n = 0;
    for (QDate d = first; d.month() == month; d = d.addDays(1))
        n += isDayOff(d) ? 0 : 1;
    return n;
}

int Year::shortDays(int month) const
{
    const QDate first(year_, month, 1);
    int n = 0;
    for (QDate d = first; d.month() == month; d = d.addDays(1))
        n += isShort(d) ? 1 : 0;
    return n;
}

int Year::normTenths(int month, int weekHours) const
{
    // A fifth of the week in tenths of an hour is twice the week's hours.
    return workingDays(month) * weekHours * 2 - shortDays(month) * 10;
}

int Year::yearNormTenths(int weekHours) const
{
    int sum = 0;
    for (int m = 1; m <= 12; ++m)
        sum += normTenths(m, weekHours);
    return sum;
}

bool isDayOff(const QDate &date)
{
    db::Dataset q(QStringLiteral("calendarDay"));
    q.setSql(QStringLiteral(R"(
        select (select d.kind from accounts_dep.calendar_day d where d.day=:d) as kind,
               exists (select 1 from accounts_dep.calendar_year y where y.year=:y) as known)"));
    q.setParam(QStringLiteral("d"), date);
    q.setParam(QStringLiteral("y"), date.year());
    q.open();
    QVector<Day> days;
    if (!q.isNull(QStringLiteral("kind")))
        days.append({date, kindOfKey(q.asString(QStringLiteral("kind"))), false, QString()});
    return Year(date.year(), q.value(QStringLiteral("known")).toBool(), days).isDayOff(date);
}

double monthNorm(int year, int month, int weekHours)
{
    return Year::load(year).normHours(month, weekHours);
}

QString fallbackSentence(int year)
{
    return QStringLiteral("Производственный календарь на %1 год не введён: выходными считаются "
                          "суббота и воскресенье.")
        .arg(year);
}

void addYear(int year, const QString &source)
{
    db::transaction([&] {
        db::Command y(QStringLiteral(
            "insert into accounts_dep.calendar_year (year, source) values (:y, :s)"));
        y.setParam(QStringLiteral("y"), year);
        y.setParam(QStringLiteral("s"), storedText(source));
        y.execute();
        // The public holidays every year has; the decree's transfers come later.
        db::Command d(QStringLiteral(R"(
            insert into accounts_dep.calendar_day (day, kind, note)
            select make_date(:y, m, d), 'holiday', n
            from (values (1, 1, 'Новогодние каникулы'), (1, 2, 'Новогодние каникулы'),
                         (1, 3, 'Новогодние каникулы'), (1, 4, 'Новогодние каникулы'),
                         (1, 5, 'Новогодние каникулы'), (1, 6, 'Новогодние каникулы'),
                         (1, 7, 'Рождество Христово'), (1, 8, 'Новогодние каникулы'),
                         (2, 23, 'День защитника Отечества'),
                         (3, 8, 'Международный женский день'),
                         (5, 1, 'Праздник Весны и Труда'), (5, 9, 'День Победы'),
                         (6, 12, 'День России'), (11, 4, 'День народного единства')) h(m, d, n))"));
        d.setParam(QStringLiteral("y"), year);
        d.execute();
    });
}

void removeYear(int year)
{
    db::Command c(QStringLiteral("delete from accounts_dep.calendar_year where year=:y"));
    c.setParam(QStringLiteral("y"), year);
    c.execute();
}

void setDay(const Day &day)
{
    if (day.kind == Kind::Working || day.kind == Kind::Weekend) {
        db::Command c(QStringLiteral("delete from accounts_dep.calendar_day where day=:d"));
        c.setParam(QStringLiteral("d"), day.date);
        c.execute();
        return;
    }
    db::Command c(QStringLiteral(R"(
        insert into accounts_dep.calendar_day (day, kind, regional, note)
        values (:d, :k, :r, :n)
        on conflict (day)
        do update set kind=excluded.kind, regional=excluded.regional, note=excluded.note)"));
    c.setParam(QStringLiteral("d"), day.date);
    c.setParam(QStringLiteral("k"), kindKey(day.kind));
    c.setParam(QStringLiteral("r"), day.regional);
    c.setParam(QStringLiteral("n"), storedText(day.note));
    c.execute();
}

} // namespace shop::calendar
