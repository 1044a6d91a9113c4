// The piecework timesheet window's datasets for one month: each mode's grid dataset, and
// the four money totals of the panel.
#include "Bench.h"

#include "db/Dataset.h"
#include "timesheets/Unit27.h"

namespace {

// The last whole month before the shop's last entry.
timesheet::MonthPeriod lastWholeMonth()
{
    const QDate last = bench::scalar("select max(data) from accounts_dep.smena").toDate();
    const QDate month = QDate(last.year(), last.month(), 1).addMonths(-1);
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
            Form27->setMode(mode);
            db::Dataset *ds = Form27->current;
            const int pairs = mode == 17 ? 4 : 3;
            openFor(ds, p, pairs);
            run.setSize(
                QStringLiteral("%1 rows, %2.%3").arg(ds->recordCount()).arg(p.month).arg(p.year));
            run.measure([&] { openFor(ds, p, pairs); });
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
        for (db::Dataset *ds : {Form27->all_price, Form27->price, Form27->price7, Form27->price8})
            openFor(ds, p, ds == Form27->all_price ? 2 : 1);
    });
}
