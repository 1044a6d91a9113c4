// The shift entry editor's save: duplicate check, insert, journal refresh and the day's
// timesheet cell, on the busiest journal day of the shop.
#include "Bench.h"

#include "db/Dataset.h"
#include "journal/ShiftEntryEditor.h"
#include "journal/ShiftJournalWindow.h"
#include "shop/DataModule.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QRadioButton>

TABEL_BENCH("entry save")
{
    // The date and shift with the most entries, and a worker and operation to book there.
    const QVariant busiest = bench::scalar(R"(
        select data::text || ',' || smena || ',' || count(*)
        from accounts_dep.smena
        group by data, smena
        order by count(*) desc
        limit 1)");
    const QStringList b = busiest.toString().split(',');
    const QDate date = QDate::fromString(b.value(0), "yyyy-MM-dd");
    const int shift = b.value(1).toInt();
    const QString day = date.toString("dd.MM.yyyy");
    // The journal of that day is topped up to 300 entries (copies in other colours, which
    // the timesheet does not see) and emptied of them at the end.
    const int firstId = bench::scalar("select max(id) from accounts_dep.smena").toInt();
    bench::exec(QStringLiteral(R"(
        insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color,
                                        time, vvod, ok, prize)
        select w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color + 100000, 0, vvod, ok, prize
        from accounts_dep.smena
        where data='%1'
          and smena=%2
        limit greatest(0, 300 - %3))")
                    .arg(day)
                    .arg(shift)
                    .arg(b.value(2).toInt()));
    run.setSize(QStringLiteral("%1 entries in all, %2 in the day's journal")
                    .arg(bench::scalar("select count(*) from accounts_dep.smena").toLongLong())
                    .arg(bench::scalar(QStringLiteral(R"(
                        select count(*)
                        from accounts_dep.smena
                        where data='%1'
                          and smena=%2)")
                                           .arg(day)
                                           .arg(shift))
                             .toInt()));
    // A worker without an entry in that journal, so that the save is not a duplicate.
    const int worker = bench::scalar(QStringLiteral(R"(
        select min(id)
        from accounts_dep.person p
        where not exists (select 1
                          from accounts_dep.smena s
                          where s.w_id=p.id and s.data='%1' and s.smena=%2))")
                                         .arg(day)
                                         .arg(shift))
                           .toInt();
    const int lastId = bench::scalar("select max(id) from accounts_dep.smena").toInt();
    const QString row = QStringLiteral(R"(
        where w_id=%1
          and smena=%2
          and i_type=0
          and i_night=0
          and month=%3
          and year=%4)")
                            .arg(worker)
                            .arg(shift)
                            .arg(date.month())
                            .arg(date.year());
    const QString dayCell = QStringLiteral("d") + QString::number(date.day());
    const bool rowExisted =
        bench::scalar("select count(*) from accounts_dep.h_tabel" + row).toInt() > 0;
    const QVariant oldCell =
        bench::scalar("select " + dayCell + " from accounts_dep.h_tabel" + row);
    const auto undo = [=] {
        bench::exec(QStringLiteral("delete from accounts_dep.smena where id>%1").arg(lastId));
        if (!rowExisted)
            bench::exec("delete from accounts_dep.h_tabel" + row);
        else
            bench::exec("update accounts_dep.h_tabel set " + dayCell + "=" +
                        (oldCell.isNull() ? QStringLiteral("null") : oldCell.toString()) + row);
    };

    QRadioButton *buttons[] = {shiftJournalWindow->shift1Radio, shiftJournalWindow->shift2Radio,
                               shiftJournalWindow->shift3Radio, shiftJournalWindow->overtimeRadio};
    buttons[shift - 1]->setChecked(true);
    for (db::Dataset *q : dataModule->journals()) {
        q->setParam(QStringLiteral("ok"), QStringLiteral("ta"));
        q->close();
        q->setParam(QStringLiteral("data"), date);
        q->open();
    }
    db::Dataset *oper = dataModule->Oper;
    oper->open();
    oper->first();
    const ShiftEntryEditor::PickedOperation picked =
        OperationList::picked(*oper, shiftJournalWindow->entryContext());
    oper->close();
    dataModule->Workers->open();
    dataModule->Workers->locate(QStringLiteral("id"), worker);

    run.beforeEach([&] {
        undo();
        shiftEntryEditor->presetAdd({date, shiftJournalWindow->entryContext().shift,
                                     shiftJournalWindow->entryContext().dayOff});
        shiftEntryEditor->takeWorker(*dataModule->Workers);
        shiftEntryEditor->takeOperation(picked);
        shiftEntryEditor->quantityEdit->setText("7");
        shiftEntryEditor->hoursEdit->setText("3");
        shiftEntryEditor->applyColourRule();
        if (shiftEntryEditor->colourEdit->isEnabled())
            shiftEntryEditor->colourEdit->setText("1");
    });
    run.measure([] { shiftEntryEditor->saveClick(); });
    if (bench::scalar(
            QStringLiteral("select count(*) from accounts_dep.smena where id>%1").arg(lastId))
            .toInt() != 1)
        qWarning("entry save: the entry was not stored");
    undo();
    bench::exec(QStringLiteral("delete from accounts_dep.smena where id>%1").arg(firstId));
    dataModule->Workers->close();
}
