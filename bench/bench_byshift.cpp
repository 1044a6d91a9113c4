// The month's rebuild of the timesheet by shifts (all workers, shifts 1 to 4, every day),
// against the one statement that writes the same rows, and the count-then-write loop of one
// statement per worker, shift and day for comparison.
#include "Bench.h"

#include "db/Dataset.h"
#include "db/Transaction.h"
#include "shop/DataModule.h"
#include "shop/Timesheet.h"
#include "timesheets/ShiftTimesheetWindow.h"

#include <QProgressBar>
#include <QStringList>

namespace {

// The last month whose every day lies before the last day with entries.
timesheet::MonthPeriod fullMonth()
{
    const QDate first = bench::lastWholeMonth();
    return {first.month(), first.year()};
}

QString deleteSql(const timesheet::MonthPeriod &p)
{
    return QStringLiteral("delete from accounts_dep.h_tabel where smena>0 and month=%1 and year=%2")
        .arg(p.month)
        .arg(p.year);
}

void oneStatement(const timesheet::MonthPeriod &p)
{
    QStringList days, sums;
    for (int d = 1; d <= 31; ++d) {
        days << QStringLiteral("d%1").arg(d);
        sums << QStringLiteral("sum(time) filter (where extract(day from data)=%1)").arg(d);
    }
    db::transaction([&] {
        bench::exec(deleteSql(p));
        bench::exec(QStringLiteral(R"(
            insert into accounts_dep.h_tabel(smena, w_id, month, year, %1)
            select smena, w_id, %2, %3, %4
            from accounts_dep.smena
            where data>='%5'
              and data<'%6'
              and smena>0
            group by smena, w_id)")
                        .arg(days.join(QLatin1Char(',')))
                        .arg(p.month)
                        .arg(p.year)
                        .arg(sums.join(QLatin1Char(',')), p.first().toString("dd.MM.yyyy"),
                             p.next().toString("dd.MM.yyyy")));
    });
}

QString size(const timesheet::MonthPeriod &p)
{
    return QStringLiteral("%1 rows from %2 entries of %3.%4")
        .arg(bench::scalar(QStringLiteral(R"(
            select count(*)
            from accounts_dep.h_tabel
            where smena>0
              and month=%1
              and year=%2)")
                               .arg(p.month)
                               .arg(p.year))
                 .toInt())
        .arg(bench::scalar(
                 QStringLiteral(R"(
                     select count(*)
                     from accounts_dep.smena
                     where data>='%1'
                       and data<'%2')")
                     .arg(p.first().toString("dd.MM.yyyy"), p.next().toString("dd.MM.yyyy")))
                 .toInt())
        .arg(p.month, 2, 10, QLatin1Char('0'))
        .arg(p.year);
}

} // namespace

TABEL_BENCH("timesheet by shifts: rebuild of a month")
{
    const timesheet::MonthPeriod p = fullMonth();
    run.setSize(size(p));
    QProgressBar bar;
    run.measure([&] { ShiftTimesheetWindow::rebuildMonth(p, &bar); }, [&] { oneStatement(p); });
}

TABEL_BENCH("timesheet by shifts: rebuild, count then write per worker and day")
{
    const timesheet::MonthPeriod p = fullMonth();
    run.setSize(size(p));
    const QString m = QString::number(p.month), y = QString::number(p.year);
    run.measure([&] {
        bench::exec(deleteSql(p));
        db::Dataset dt;
        dt.setSql(R"(
            select smena, w_id, sum(time) as tim
            from accounts_dep.smena
            where data=:data
            group by smena, w_id;)");
        for (int i = 1; i <= p.days(); ++i) {
            dt.setParam("data", QDate(p.year, p.month, i));
            dt.open();
            for (dt.first(); !dt.eof() && !dt.isEmpty(); dt.next()) {
                const QString s = dt.asString("smena"), w = dt.asString("w_id"),
                              t = dt.asString("tim");
                const QString where =
                    " where w_id=" + w + " and smena=" + s + " and month=" + m + " and year=" + y;
                if (bench::scalar("select count(w_id) as cnt from accounts_dep.h_tabel h_tabel" +
                                  where)
                        .toInt() != 0)
                    bench::exec("update accounts_dep.h_tabel set d" + QString::number(i) + "='" +
                                t + "'" + where);
                else
                    bench::exec("insert into accounts_dep.h_tabel(smena, w_id, month, year, d" +
                                QString::number(i) + ") values(" + s + ", " + w + ", " + m + ", " +
                                y + ", " + t + ")");
            }
            dt.close();
        }
    });
}

// The month's maintenance rows (one per worker, kind and night flag) against the one
// statement that writes the same rows.
TABEL_BENCH("timesheet by kinds: rebuild of a month")
{
    const timesheet::MonthPeriod p = fullMonth();
    run.setSize(QStringLiteral("%1 maintenance entries of %2.%3")
                    .arg(bench::scalar(QStringLiteral(R"(
                        select count(*)
                        from accounts_dep.fatigue
                        where i_mnth=%1
                          and i_year=%2)")
                                           .arg(p.month)
                                           .arg(p.year))
                             .toInt())
                    .arg(p.month, 2, 10, QLatin1Char('0'))
                    .arg(p.year));
    QStringList days, sums;
    for (int d = 1; d <= 31; ++d) {
        days << QStringLiteral("d%1").arg(d);
        sums << QStringLiteral("sum(cnt) filter (where extract(day from d_date)=%1)").arg(d);
    }
    run.measure([&] { shop::timesheet::rebuildKinds(p.month, p.year); },
                [&] {
                    db::transaction([&] {
                        bench::exec(QStringLiteral(R"(
                            delete from accounts_dep.h_tabel
                            where smena=0
                              and month=%1
                              and year=%2)")
                                        .arg(p.month)
                                        .arg(p.year));
                        bench::exec(QStringLiteral(R"(
                                insert into accounts_dep.h_tabel(smena, i_type, i_night,
                                                                 w_id, month, year, %1)
                                select 0, id_o, i_night, id_p, %2, %3, %4
                                from accounts_dep.fatigue
                                where i_mnth=%2
                                  and i_year=%3
                                group by id_o, i_night, id_p)")
                                        .arg(days.join(QLatin1Char(',')))
                                        .arg(p.month)
                                        .arg(p.year)
                                        .arg(sums.join(QLatin1Char(','))));
                    });
                });
}
