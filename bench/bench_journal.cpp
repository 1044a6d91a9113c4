// The journal window switching between two busy dates: the four journal queries re-run
// through the dataset layer and the grid refilled.
#include "Bench.h"

#include "app/Unit6.h"
#include "db/Dataset.h"
#include "journal/Unit1.h"

#include <QDateEdit>

TABEL_BENCH("journal date switch")
{
    // As after login: hidden entries are left out.
    for (db::Dataset *q : DataModule6->journals())
        q->setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    const QDate last = bench::scalar("select max(data) from accounts_dep.smena").toDate();
    const QDate earlier = bench::scalar("select max(data) from accounts_dep.smena where data <= '" +
                                        last.addYears(-1).toString("dd.MM.yyyy") + "'")
                              .toDate();
    bool flip = false;
    run.measure([&] {
        flip = !flip;
        Form1->DateT->setDate(flip ? earlier : last);
        Form1->DateTChange();
    });
}
