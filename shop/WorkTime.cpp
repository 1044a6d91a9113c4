#include "WorkTime.h"

#include "Calendar.h"
#include "DataModule.h"
#include "db/Dataset.h"

#include <QDate>
#include <QHash>

#include <algorithm>

namespace shop::worktime {

QString Day::hoursText() const
{
    QStringList parts;
    bool any = false;
    for (int h : hours) {
        parts << (h >= 0 ? QString::number(h) : QString());
        any = any || h >= 0;
    }
    return any ? parts.join(QLatin1Char('/')) : QString();
}

int Day::workedHours() const
{
    int sum = 0;
    for (int h : hours)
        sum += h > 0 ? h : 0;
    return sum;
}

QString Worker::absencesText() const
{
    QStringList parts;
    for (auto it = absenceDays.cbegin(); it != absenceDays.cend(); ++it)
        parts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    return parts.join(QStringLiteral(", "));
}

QVector<Code> codes()
{
    db::Dataset q(QStringLiteral("timeCodes"));
    q.setSql(QStringLiteral(
        "select code, digits, caption, absence from accounts_dep.time_code order by digits"));
    q.open();
    QVector<Code> list;
    for (q.first(); !q.eof(); q.next())
        list.append({q.asString(QStringLiteral("code")).trimmed(),
                     q.asString(QStringLiteral("digits")).trimmed(),
                     q.asString(QStringLiteral("caption")),
                     q.value(QStringLiteral("absence")).toBool()});
    return list;
}

Month build(int month, int year)
{
    Month m;
    m.month = month;
    m.year = year;
    const QDate first(year, month, 1);
    const QDate next = first.addMonths(1);
    m.days = first.daysInMonth();
    const calendar::Year cal = calendar::Year::load(year);
    m.calendarKnown = cal.known();
    m.normHours40 = cal.normTenths(month, 40) / 10;

    QHash<QString, QString> letters;
    for (const Code &c : codes())
        letters.insert(c.digits, c.letters);
    const auto letter = [&letters](const char *digits) {
        return letters.value(QLatin1String(digits), QLatin1String(digits));
    };
    // The kinds of hours in the order the form lists them.
    const QString kinds[] = {letter(kDay), letter(kNight), letter(kDayOffWork), letter(kOvertime)};
    const QString dayOff = letter(kDayOff);

    // The workers with hours or absences in the month, named as the journal names them (a
    // person row by the worker's number first, one of another system by code after).
    db::Dataset workers(QStringLiteral("t13Workers"));
    workers.setSql(QStringLiteral(R"(
        with w as (select distinct w_id
                   from accounts_dep.smena
                   where data>=:f1 and data<:n1 and time<>0
                   union
                   select id_p::int
                   from accounts_dep.fatigue
                   where d_date>=:f2 and d_date<:n2 and cnt<>0
                   union
                   select w_id
                   from accounts_dep.absence
                   where first<:n3 and last>=:f3)
        select w.w_id,
               coalesce((select x.s_caption from (%1) x order by x.by_code limit 1), p.fio,
                        '') as fio,
               coalesce(p.s_staffpos_hl, '') as position
        from w
        left join accounts_dep.person p on p.id=w.w_id
        order by 2, 1)")
                       .arg(DataModule::workerPersons(QStringLiteral("w.w_id"))));
    // Hours per worker, day and kind: 0 day, 1 night, 3 overtime (2, a day off, is the
    // calendar's to say).
    db::Dataset hours(QStringLiteral("t13Hours"));
    hours.setSql(QStringLiteral(R"(
        select w_id, day, kind, sum(h)::int as h
        from (select w_id, extract(day from data)::int as day,
                     case smena when 3 then 1 when 4 then 3 else 0 end as kind, time as h
              from accounts_dep.smena
              where data>=:f1 and data<:n1 and time<>0
              union all
              select id_p::int, extract(day from d_date)::int,
                     case when i_night=1 or i_smena=3 then 1 when i_smena=4 then 3 else 0 end, cnt
              from accounts_dep.fatigue
              where d_date>=:f2 and d_date<:n2 and cnt<>0) e
        group by 1, 2, 3
        order by 1, 2, 3)"));
    db::Dataset absences(QStringLiteral("t13Absences"));
    absences.setSql(QStringLiteral(R"(
        select w_id, code, greatest(first, :f1::date) as first, least(last, :n1::date - 1) as last
        from accounts_dep.absence
        where first<:n2
          and last>=:f2
        order by w_id, first)"));
    for (db::Dataset *q : {&workers, &hours, &absences})
        for (int k = 1; k <= 3; ++k) {
            q->setParam(QStringLiteral("f%1").arg(k), first);
            q->setParam(QStringLiteral("n%1").arg(k), next);
        }
    workers.open();
    hours.open();
    absences.open();

    QHash<int, int> at; // worker id: index
    m.workers.reserve(workers.recordCount());
    for (workers.first(); !workers.eof(); workers.next()) {
        Worker w;
        w.id = workers.asInteger(QStringLiteral("w_id"));
        w.name = workers.asString(QStringLiteral("fio")).trimmed();
        w.position = workers.asString(QStringLiteral("position")).trimmed();
        w.days.resize(31);
        at.insert(w.id, m.workers.size());
        m.workers.append(w);
    }

    // Hours per day and kind; every hour of a calendar day off is work on a day off.
    for (hours.first(); !hours.eof(); hours.next()) {
        const int id = hours.asInteger(QStringLiteral("w_id"));
        const auto it = at.constFind(id);
        if (it == at.constEnd())
            continue;
        Worker &w = m.workers[*it];
        const int day = hours.asInteger(QStringLiteral("day"));
        int kind = hours.asInteger(QStringLiteral("kind"));
        const int h = hours.asInteger(QStringLiteral("h"));
        if (cal.isDayOff(QDate(year, month, day)))
            kind = 2;
        Day &d = w.days[day - 1];
        const int pos = int(d.codes.indexOf(kinds[kind]));
        if (pos >= 0) {
            d.hours[pos] += h;
        } else {
            // Kept in the form's order of kinds.
            const auto rank = [&kinds](const QString &code) {
                return int(std::find(std::begin(kinds), std::end(kinds), code) - std::begin(kinds));
            };
            int insertAt = 0;
            while (insertAt < d.codes.size() && rank(d.codes[insertAt]) < kind)
                ++insertAt;
            d.codes.insert(insertAt, kinds[kind]);
            d.hours.insert(insertAt, h);
        }
    }
    for (absences.first(); !absences.eof(); absences.next()) {
        const auto it = at.constFind(absences.asInteger(QStringLiteral("w_id")));
        if (it == at.constEnd())
            continue;
        Worker &w = m.workers[*it];
        const QString code = absences.asString(QStringLiteral("code")).trimmed();
        const QDate last = absences.asDate(QStringLiteral("last"));
        for (QDate d = absences.asDate(QStringLiteral("first")); d <= last; d = d.addDays(1)) {
            Day &day = w.days[d.day() - 1];
            day.codes << code;
            day.hours << -1;
            ++w.absenceDays[code];
        }
    }
    for (Worker &w : m.workers) {
        for (int i = 0; i < m.days; ++i) {
            Day &d = w.days[i];
            const int worked = d.workedHours();
            const int half = i < 15 ? 0 : 1;
            if (worked > 0) {
                ++w.halfDays[half];
                w.halfHours[half] += worked;
            }
            if (!d.codes.isEmpty())
                continue;
            if (cal.isDayOff(QDate(year, month, i + 1))) {
                d.codes << dayOff;
                d.hours << -1;
            } else {
                d.unmarked = true;
                ++w.unmarked;
            }
        }
        m.unmarked += w.unmarked;
    }
    return m;
}

} // namespace shop::worktime
