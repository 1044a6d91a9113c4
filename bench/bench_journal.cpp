// The journal switching between two busy dates: the four journal queries re-run through the
// dataset layer, alone and with the journal window refilling its grid.
#include "Bench.h"

#include "db/Dataset.h"
#include "journal/Unit1.h"
#include "shop/Unit6.h"

#include <QDateEdit>

namespace {

// The last day with entries and the last one a year before it.
struct Dates {
    QDate last, earlier;
};

Dates busyDates()
{
    // As after login: hidden entries are left out.
    for (db::Dataset *q : DataModule6->journals())
        q->setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    const QDate last = bench::scalar("select max(data) from accounts_dep.smena").toDate();
    const QDate earlier = bench::scalar("select max(data) from accounts_dep.smena where data <= '" +
                                        last.addYears(-1).toString("dd.MM.yyyy") + "'")
                              .toDate();
    return {last, earlier};
}

} // namespace

TABEL_BENCH("journal date switch")
{
    const Dates d = busyDates();
    bool flip = false;
    run.measure([&] {
        flip = !flip;
        Form1->DateT->setDate(flip ? d.earlier : d.last);
        Form1->DateTChange();
    });
}

TABEL_BENCH("journal queries of a date (dataset layer)")
{
    const Dates d = busyDates();
    bool flip = false;
    run.measure([&] {
        flip = !flip;
        for (db::Dataset *q : DataModule6->journals()) {
            q->close();
            q->setParam(QStringLiteral("data"), flip ? d.earlier : d.last);
            q->open();
        }
    });
}
