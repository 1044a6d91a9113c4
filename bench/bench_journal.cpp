// The journal switching between two busy dates: the four journal queries re-run through the
// dataset layer, alone and with the journal window refilling its grid.
#include "Bench.h"

#include "db/Dataset.h"
#include "journal/ShiftJournalWindow.h"
#include "shop/DataModule.h"

#include <QDateEdit>
#include <QRadioButton>

namespace {

// The last day with entries and the last one a year before it (a shop of one year: the
// one before it).
struct Dates {
    QDate last, earlier;
};

Dates busyDates()
{
    // As after login: hidden entries are left out.
    for (db::Dataset *q : dataModule->journals())
        q->setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    const QDate last = bench::lastEntryDay();
    const auto latestUpTo = [](const QString &condition) {
        return bench::scalar("select max(data) from accounts_dep.smena where data " + condition)
            .toDate();
    };
    QDate earlier = latestUpTo("<= '" + last.addYears(-1).toString("dd.MM.yyyy") + "'");
    if (!earlier.isValid())
        earlier = latestUpTo("< '" + last.toString("dd.MM.yyyy") + "'");
    return {last, earlier};
}

// The floor: the day's entries of the shift (of every shift when 0) with the journal's own
// columns in one statement, without the names, products and kinds joined to them.
void floorOf(const QDate &day, int shift = 0)
{
    bench::fetchAll(QStringLiteral(R"(
            select id, xmin::text, data, smena, i_id, o_id, w_id, cena, brak, kol_vo::numeric,
                   round((kol_vo-brak)*cena::numeric, 2), prize, color, time, ok, vvod, id_doc,
                   id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use
            from accounts_dep.smena
            where data='%1'
              and ok<>'ta')")
                        .arg(day.toString(QStringLiteral("dd.MM.yyyy"))) +
                    (shift ? QStringLiteral(" and smena=%1").arg(shift) : QString()));
}

QRadioButton *shiftButton(int shift)
{
    QRadioButton *const buttons[] = {
        shiftJournalWindow->shift1Radio, shiftJournalWindow->shift2Radio,
        shiftJournalWindow->shift3Radio, shiftJournalWindow->overtimeRadio};
    return buttons[shift - 1];
}

} // namespace

// The date switch lists the shown shift (the first); the others are read as they are chosen.
TABEL_BENCH("journal date switch")
{
    const Dates d = busyDates();
    shiftButton(1)->setChecked(true);
    bool flip = false, floorFlip = false;
    run.measure(
        [&] {
            flip = !flip;
            shiftJournalWindow->dateEdit->setDate(flip ? d.earlier : d.last);
            shiftJournalWindow->dateChange();
        },
        [&] {
            floorFlip = !floorFlip;
            floorOf(floorFlip ? d.earlier : d.last, 1);
        });
}

// A date switch followed by a look at every other shift: all four lists read, as a date
// switch read them before the hidden ones were left until chosen.
TABEL_BENCH("journal date switch, then every shift chosen")
{
    const Dates d = busyDates();
    bool flip = false, floorFlip = false;
    run.measure(
        [&] {
            flip = !flip;
            shiftButton(1)->setChecked(true);
            shiftJournalWindow->dateEdit->setDate(flip ? d.earlier : d.last);
            shiftJournalWindow->dateChange();
            for (int shift = 2; shift <= 4; ++shift)
                shiftButton(shift)->setChecked(true);
        },
        [&] {
            floorFlip = !floorFlip;
            floorOf(floorFlip ? d.earlier : d.last);
        });
    shiftButton(1)->setChecked(true);
}

TABEL_BENCH("journal queries of a date (dataset layer)")
{
    const Dates d = busyDates();
    bool flip = false;
    run.measure([&] {
        flip = !flip;
        for (db::Dataset *q : dataModule->journals()) {
            q->close();
            q->setParam(QStringLiteral("data"), flip ? d.earlier : d.last);
            q->open();
        }
    });
}
