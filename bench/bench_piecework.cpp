// The piecework timesheet window's datasets for one month: each mode's grid dataset, and
// the four money totals of the panel. A mode's floor reads its timesheet rows as stored and
// its month's sums per worker, without names.
#include "Bench.h"

#include "db/Dataset.h"
#include "timesheets/PieceworkTimesheetWindow.h"

namespace {

// The last whole month before the shop's last entry.
timesheet::MonthPeriod lastWholeMonth()
{
    const QDate month = bench::lastWholeMonth();
    return {month.month(), month.year()};
}

void openFor(db::Dataset *ds, const timesheet::MonthPeriod &p, int pairs)
{
    ds->close();
    ds->setParam(QStringLiteral("i_month"), p.month);
    ds->setParam(QStringLiteral("i_year"), p.year);
    timesheet::bindPeriod(*ds, p, pairs);
    ds->open();
}

// The floor of a mode: the month's timesheet rows of its kind as stored, and its sums per
// worker over the month's entries, each read in one statement without names.
void floorOf(int mode, const timesheet::MonthPeriod &p)
{
    const QDate from(p.year, p.month, 1);
    const QString range =
        QStringLiteral("'%1' and '%2'")
            .arg(from.toString(QStringLiteral("dd.MM.yyyy")),
                 from.addMonths(1).addDays(-1).toString(QStringLiteral("dd.MM.yyyy")));
    const QString kind = mode == 9    ? QStringLiteral(" and i_type=0")
                         : mode == 14 ? QStringLiteral(" and i_type=7777")
                         : mode == 15 ? QStringLiteral(" and i_type=7778")
                                      : QString();
    bench::fetchAll(QStringLiteral("select * from accounts_dep.h_tabel where year=%1 and month=%2")
                        .arg(p.year)
                        .arg(p.month) +
                    kind);
    if (mode == 9 || mode == 17)
        bench::fetchAll(QStringLiteral(R"(
            select w_id, sum(time), sum((kol_vo-brak)*cena)
            from accounts_dep.smena
            where data between %1
            group by w_id)")
                            .arg(range));
    if (mode != 9)
        bench::fetchAll(
            QStringLiteral(R"(
            select id_p, i_night, sum(cnt), sum(cnt*price)
            from accounts_dep.fatigue
            where d_date between %1 %2
            group by id_p, i_night)")
                .arg(range, mode == 17
                                ? QString()
                                : QStringLiteral("and id_o=%1").arg(mode == 14 ? 7777 : 7778)));
}

const bool modes = [] {
    const struct {
        const char *action;
        int mode;
    } list[] = {
        {"piecework timesheet mode 9 (H_Tabel0)", 9},
        {"piecework timesheet mode 14 (H_Tabel7777)", 14},
        {"piecework timesheet mode 15 (H_Tabel7778)", 15},
        {"piecework timesheet mode 17 (H_Tabel_all)", 17},
    };
    for (const auto &l : list) {
        const int mode = l.mode;
        bench::add(QLatin1String(l.action), [mode](bench::Run &run) {
            const timesheet::MonthPeriod p = lastWholeMonth();
            pieceworkTimesheetWindow->setMode(mode);
            db::Dataset *ds = pieceworkTimesheetWindow->current;
            const int pairs = mode == 17 ? 4 : 3;
            openFor(ds, p, pairs);
            run.setSize(
                QStringLiteral("%1 rows, %2.%3").arg(ds->recordCount()).arg(p.month).arg(p.year));
            run.measure([&] { openFor(ds, p, pairs); }, [&] { floorOf(mode, p); });
            ds->close();
        });
    }
    return true;
}();

} // namespace

TABEL_BENCH("piecework timesheet totals panel")
{
    const timesheet::MonthPeriod p = lastWholeMonth();
    run.setSize(QStringLiteral("%1.%2").arg(p.month).arg(p.year));
    run.measure([&] {
        for (db::Dataset *ds :
             {pieceworkTimesheetWindow->all_price, pieceworkTimesheetWindow->price,
              pieceworkTimesheetWindow->price7, pieceworkTimesheetWindow->price8})
            openFor(ds, p, ds == pieceworkTimesheetWindow->all_price ? 2 : 1);
    });
}
