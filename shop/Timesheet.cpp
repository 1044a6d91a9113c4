#include "Timesheet.h"

#include <utility>

#include "db/Command.h"
#include "db/Dataset.h"
#include "db/Transaction.h"

#include <QStringList>

namespace shop::timesheet {

namespace {

// The month as one key, e.g. 202311; the first key of both lock kinds.
int monthKey(int month, int year)
{
    return year * 100 + month;
}
// The month lock's second key: no worker's number is 0.
constexpr int kWholeMonth = 0;

using Params = QHash<QString, QVariant>;

void run(const QString &sql, const Params &params = {})
{
    db::Command c(sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        c.setParam(it.key(), it.value());
    c.execute();
}

// The month's bounds for statements that take the month and the year.
Params monthParams(int month, int year)
{
    return {{QStringLiteral("month"), month}, {QStringLiteral("year"), year}};
}

} // namespace

void writeDay(const Row &row, int day, int hours, bool create)
{
    // The day's column is named by the program (d1 to d31); the values are bound.
    const QString cell = QStringLiteral("d") + QString::number(day);
    const Params params{
        {QStringLiteral("w_id"), row.w_id},     {QStringLiteral("smena"), row.smena},
        {QStringLiteral("i_type"), row.i_type}, {QStringLiteral("i_night"), row.i_night},
        {QStringLiteral("month"), row.month},   {QStringLiteral("year"), row.year},
        {QStringLiteral("hours"), hours}};
    if (create) {
        run(QStringLiteral(R"(
            insert into accounts_dep.h_tabel(smena, i_type, i_night, w_id, month, year, %1)
            values(:smena, :i_type, :i_night, :w_id, :month, :year, :hours)
            on conflict (w_id, smena, i_type, i_night, month, year)
            do update set %1=excluded.%1)")
                .arg(cell),
            params);
    } else {
        run(QStringLiteral(R"(
            update accounts_dep.h_tabel
            set %1=:hours
            where w_id=:w_id
              and smena=:smena
              and i_type=:i_type
              and i_night=:i_night
              and month=:month
              and year=:year)")
                .arg(cell),
            params);
    }
}

void lockWorkerMonth(int w_id, const QDate &date)
{
    const int key = monthKey(date.month(), date.year());
    run(QStringLiteral(R"(
        select pg_advisory_xact_lock_shared(:month_key, :whole_month),
               pg_advisory_xact_lock(:month_key, :worker))"),
        {{QStringLiteral("month_key"), key},
         {QStringLiteral("whole_month"), kWholeMonth},
         {QStringLiteral("worker"), w_id}});
}

void lockWorkerMonths(int w1, const QDate &d1, int w2, const QDate &d2)
{
    // Always in one order (month, then worker): two moves between the same two workers
    // then wait for each other instead of deadlocking.
    const auto key1 = std::make_pair(monthKey(d1.month(), d1.year()), w1);
    const auto key2 = std::make_pair(monthKey(d2.month(), d2.year()), w2);
    if (key2 < key1) {
        lockWorkerMonth(w2, d2);
        lockWorkerMonth(w1, d1);
    } else {
        lockWorkerMonth(w1, d1);
        lockWorkerMonth(w2, d2);
    }
}

void lockMonth(int month, int year)
{
    run(QStringLiteral("select pg_advisory_xact_lock(:month_key, :whole_month)"),
        {{QStringLiteral("month_key"), monthKey(month, year)},
         {QStringLiteral("whole_month"), kWholeMonth}});
}

void writeShiftDay(int w_id, int smena, const QDate &date, bool create)
{
    lockWorkerMonth(w_id, date);
    db::Dataset sum(QStringLiteral("ShiftDay"));
    sum.setSql(QStringLiteral(R"(
        select sum(time) as tim
        from accounts_dep.smena
        where w_id=:w_id
          and smena=:smena
          and data=:data
        group by w_id, smena, data)"));
    sum.setParam(QStringLiteral("w_id"), w_id);
    sum.setParam(QStringLiteral("smena"), smena);
    sum.setParam(QStringLiteral("data"), date);
    sum.open();
    const int tim = sum.asInteger(QStringLiteral("tim"));
    sum.close();
    writeDay(Row{w_id, smena, 0, 0, date.month(), date.year()}, date.day(), tim, create);
}

int kindHours(int w_id, int kind, int night, const QDate &date)
{
    db::Dataset sum(QStringLiteral("KindDay"));
    sum.setSql(QStringLiteral(R"(
        select sum(f.cnt) as tim
        from accounts_dep.fatigue f
        where f.id_p=:w_id
          and f.id_o=:kind
          and i_night=:night
          and f.d_date=:data
        group by f.id_p, f.d_date)"));
    sum.setParam(QStringLiteral("w_id"), w_id);
    sum.setParam(QStringLiteral("kind"), kind);
    sum.setParam(QStringLiteral("night"), night);
    sum.setParam(QStringLiteral("data"), date);
    sum.open();
    const int tim = sum.isEmpty() ? 0 : sum.asInteger(QStringLiteral("tim"));
    sum.close();
    return tim;
}

void writeKindDay(int w_id, int kind, int night, const QDate &date, bool create)
{
    lockWorkerMonth(w_id, date);
    writeDay(Row{w_id, 0, kind, night, date.month(), date.year()}, date.day(),
             kindHours(w_id, kind, night, date), create);
}

void eachDay(int days, const std::function<void(int day)> &work)
{
    for (int day = 1; day <= days; ++day)
        work(day);
}

void rebuildShifts(int month, int year, const DayLoop &loop)
{
    QStringList days, cells;
    for (int d = 1; d <= 31; ++d) {
        days << QStringLiteral("d%1").arg(d);
        cells << QStringLiteral("max(hours) filter (where day=%1)").arg(d);
    }
    const Params period = monthParams(month, year);
    db::transaction([&] {
        // No cell of the month is written by anyone else while it is rebuilt.
        lockMonth(month, year);
        run(QStringLiteral(R"(
            delete from accounts_dep.h_tabel
            where smena>0
              and month=:month
              and year=:year)"),
            period);
        // The hours of each day per worker and shift are gathered first and become the
        // month's rows in one go, so that each row is written once.
        run(QStringLiteral(R"(
            create temporary table h_tabel_days (smena smallint, w_id integer, day smallint,
                                                 hours bigint)
            on commit drop)"));
        loop(QDate(year, month, 1).daysInMonth(), [&](int day) {
            run(QStringLiteral(R"(
                insert into h_tabel_days
                select s.smena, s.w_id, :day::smallint, sum(s.time)
                from accounts_dep.smena s
                where s.data=:data
                  and s.smena>0
                group by s.smena, s.w_id)"),
                {{QStringLiteral("day"), day}, {QStringLiteral("data"), QDate(year, month, day)}});
        });
        run(QStringLiteral(R"(
            insert into accounts_dep.h_tabel(smena, w_id, month, year, %1)
            select smena, w_id, :month::smallint, :year::smallint, %2
            from h_tabel_days
            group by smena, w_id)")
                .arg(days.join(QStringLiteral(", ")), cells.join(QStringLiteral(", "))),
            period);
    });
}

void rebuildKinds(int month, int year, const DayLoop &loop)
{
    const Params period = monthParams(month, year);
    db::transaction([&] {
        // No cell of the month is written by anyone else while it is rebuilt.
        lockMonth(month, year);
        run(QStringLiteral(R"(
            delete from accounts_dep.h_tabel
            where smena=0
              and month=:month
              and year=:year)"),
            period);
        // Each day's hours per worker, kind and night flag go into that day's cell of the
        // worker's row of that kind, the row being made by its first day with entries.
        loop(QDate(year, month, 1).daysInMonth(), [&](int day) {
            Params params = period;
            params.insert(QStringLiteral("data"), QDate(year, month, day));
            run(QStringLiteral(R"(
                insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, %1)
                select f.id_o, f.id_p, f.i_night, :month::smallint, :year::smallint, sum(f.cnt)
                from accounts_dep.fatigue f
                where f.d_date=:data
                group by f.id_p, f.id_o, f.i_night
                on conflict (w_id, smena, i_type, i_night, month, year)
                do update set %1=excluded.%1)")
                    .arg(QStringLiteral("d") + QString::number(day)),
                params);
        });
    });
}

} // namespace shop::timesheet
