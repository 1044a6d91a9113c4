// Closed months in the program's windows and the change history windows, on the
// demonstration data: the month before the previous one is closed there.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "ScriptedMessages.h"
#include "Sheets.h"
#include "TestDb.h"
#include "db/Command.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "history/ChangeHistoryWindow.h"
#include "journal/ShiftJournalWindow.h"
#include "maintenance/MaintenanceJournalWindow.h"
#include "shop/DataModule.h"
#include "text/Figures.h"
#include "timesheets/MonthClosingWindow.h"
#include "timesheets/ShiftTimesheetWindow.h"
#include "ui/DBGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

using drive::whileShown;

namespace {
QDate firstOfMonthsAgo(int months)
{
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), 1).addMonths(-months);
}
QString sentence(const QDate &d)
{
    return QStringLiteral("Период %1 закрыт. Изменения запрещены.")
        .arg(d.toString(QStringLiteral("MM.yyyy")));
}
} // namespace

class ClosingTest : public gui::Fixture {
    Q_OBJECT
    QDate closed_, open_; // a working day of the closed month and of the previous month

    QDate dayWithEntries(const QDate &first)
    {
        return sql(QStringLiteral("select min(data) from accounts_dep.smena where data >= '%1' "
                                  "and smena=1 and ok<>'ta'")
                       .arg(first.toString(Qt::ISODate)))
            .toDate();
    }
    void showDate(const QDate &d)
    {
        shiftJournalWindow->dateEdit->setDate(d);
        shiftJournalWindow->dateChange();
    }
    // The month's row of the closing window made current.
    static bool chooseMonth(MonthClosingWindow *f, const QDate &d)
    {
        for (f->Months->first(); !f->Months->eof(); f->Months->next())
            if (f->Months->asInteger("year") == d.year() &&
                f->Months->asInteger("month") == d.month())
                return true;
        return false;
    }

private slots:
    void initTestCase()
    {
        startProgram();
        loggedInAs(QStringLiteral("0264"));
        db::setSessionSetting(QStringLiteral("tabel.user"), QStringLiteral("Администратор (тест)"));
        closed_ = dayWithEntries(firstOfMonthsAgo(2));
        open_ = dayWithEntries(firstOfMonthsAgo(1));
        QVERIFY(closed_.isValid() && open_.isValid());
        shiftJournalWindow->show();
    }

    // The demonstration data starts with a closed month: the journal shows its sentence and
    // takes away the commands that change entries; an open month gives them back.
    void journalOfAClosedMonth()
    {
        showDate(closed_);
        QCOMPARE(shiftJournalWindow->closedLabel->text(), sentence(closed_));
        for (QPushButton *b : {shiftJournalWindow->addButton, shiftJournalWindow->changeButton,
                               shiftJournalWindow->deleteButton})
            QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
        QVERIFY(shiftJournalWindow->refreshButton->isEnabled());

        // Acceptance is refused before the server is asked; the mark stays.
        db::Dataset *q = dataModule->smena(1);
        QVERIFY(!q->isEmpty());
        const QString ok = q->asString("ok");
        shiftJournalWindow->entriesGridDoubleClick();
        QCOMPARE(msg_->texts(), QStringList{sentence(closed_)});
        QCOMPARE(sql(QStringLiteral("select ok from accounts_dep.smena where id=%1")
                         .arg(q->asInteger("id")))
                     .toString(),
                 ok);

        showDate(open_);
        QCOMPARE(shiftJournalWindow->closedLabel->text(), QString());
        for (QPushButton *b : {shiftJournalWindow->addButton, shiftJournalWindow->changeButton,
                               shiftJournalWindow->deleteButton})
            QVERIFY2(b->isEnabled(), qPrintable(b->text()));
    }

    void maintenanceJournalOfAClosedMonth()
    {
        showDate(closed_);
        const QVariant before = sql("select count(*) from accounts_dep.fatigue");
        QVERIFY(whileShown<MaintenanceJournalWindow>(
            [] { shiftJournalWindow->maintenanceButton->click(); },
            [&](MaintenanceJournalWindow *f) {
                QCOMPARE(f->closedLabel->text(), sentence(closed_));
                for (QPushButton *b :
                     {f->addButton, f->changeButton, f->deleteButton, f->averagePricesButton})
                    QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
                QVERIFY(f->historyButton->isEnabled());
                // Double-clicking a row asks to change it.
                f->changeClick();
                f->dateEdit->setDate(open_);
                QVERIFY(f->addButton->isEnabled());
                QCOMPARE(f->closedLabel->text(), QString());
            }));
        QCOMPARE(msg_->texts(), QStringList{sentence(closed_)});
        QCOMPARE(sql("select count(*) from accounts_dep.fatigue"), before);
    }

    void rebuildOfAClosedMonthIsRefused()
    {
        const QString cells = testdb::timesheet(db_);
        QVERIFY(whileShown<ShiftTimesheetWindow>(
            [&] { shiftTimesheetWindow->openFrom(shiftJournalWindow, closed_); },
            [&](ShiftTimesheetWindow *f) {
                QVERIFY(!f->rebuildButton->isEnabled());
                f->rebuildClick();
            }));
        QCOMPARE(msg_->texts(), QStringList{sentence(closed_)});
        QCOMPARE(testdb::timesheet(db_), cells);
    }

    // An administrator closes a month after a question and opens it again after another;
    // both are recorded under the session's name. Answering No changes nothing.
    void administratorClosesAndReopens()
    {
        QVERIFY(whileShown<MonthClosingWindow>(
            [] { monthClosingWindow->openFrom(shiftJournalWindow, true); },
            [&](MonthClosingWindow *f) {
                QVERIFY(chooseMonth(f, closed_));
                QCOMPARE(f->Months->asString("state"), QStringLiteral("закрыт"));
                QVERIFY(!f->closeMonthButton->isEnabled());
                QVERIFY(f->openMonthButton->isEnabled());
                QCOMPARE(f->stateLabel->text(), sentence(closed_));

                QVERIFY(chooseMonth(f, open_));
                QCOMPARE(f->Months->asString("state"), QStringLiteral("открыт"));
                msg_->answer({false});
                f->closeMonthButton->click();
                QCOMPARE(f->Months->asString("state"), QStringLiteral("открыт"));
                msg_->answer({true});
                f->closeMonthButton->click();
                QCOMPARE(f->Months->asString("state"), QStringLiteral("закрыт"));
                QCOMPARE(f->Months->asString("closed_by"), QStringLiteral("Администратор (тест)"));
                msg_->answer({true});
                f->openMonthButton->click();
                QCOMPARE(f->Months->asString("state"), QStringLiteral("открыт"));
                QCOMPARE(f->Months->asString("reopened_by"),
                         QStringLiteral("Администратор (тест)"));
            }));
        QCOMPARE(msg_->shown.size(), 3);
        QCOMPARE(msg_->shown[0].text, QStringLiteral("Закрыть период %1? Изменения в нём станут "
                                                     "невозможны.")
                                          .arg(open_.toString("MM.yyyy")));
        QCOMPARE(sql(QStringLiteral("select count(*) from accounts_dep.closed_month where "
                                    "year=%1 and month=%2")
                         .arg(open_.year())
                         .arg(open_.month()))
                     .toInt(),
                 0);

        // Other roles see the list only.
        QVERIFY(whileShown<MonthClosingWindow>(
            [] { monthClosingWindow->openFrom(shiftJournalWindow, false); },
            [&](MonthClosingWindow *f) {
                QVERIFY(f->Months->recordCount() >= 3);
                QVERIFY(!f->closeMonthButton->isEnabled());
                QVERIFY(!f->openMonthButton->isEnabled());
            }));
    }

    // "История" of an entry: each changed field with its Russian name, old to new, and who.
    void historyOfAnEntry()
    {
        showDate(open_);
        db::Dataset *q = dataModule->smena(1);
        QVERIFY(!q->isEmpty());
        const int id = q->asInteger("id");
        db::Command(QStringLiteral("update accounts_dep.smena set kol_vo=kol_vo+1, time=time "
                                   "where id=%1")
                        .arg(id))
            .execute();
        const QString qty =
            sql(QStringLiteral("select kol_vo from accounts_dep.smena where id=%1").arg(id))
                .toString();
        QVERIFY(whileShown<ChangeHistoryWindow>(
            [] { shiftJournalWindow->historyButton->click(); },
            [&](ChangeHistoryWindow *f) {
                QVERIFY(!f->fromDateEdit->isVisible());
                QCOMPARE(f->Log->recordCount(), 1);
                QCOMPARE(f->Log->asString("who"), QStringLiteral("Администратор (тест)"));
                QCOMPARE(f->Log->asString("action"), QStringLiteral("Изменение"));
                QCOMPARE(f->Log->asString("field"), QStringLiteral("Кол-во"));
                QCOMPARE(f->Log->asString("was"), QString::number(qty.toInt() - 1));
                QCOMPARE(f->Log->asString("became"), qty);
            }));

        // References by name, the acceptance mark as a word, money as the windows write it.
        const int worker =
            sql(QStringLiteral("select w_id from accounts_dep.smena where id=%1").arg(id)).toInt();
        const int other =
            sql(QStringLiteral("select min(w_id) from accounts_dep.smena where w_id<>%1")
                    .arg(worker))
                .toInt();
        const auto nameOf = [&](int w) {
            return sql(QStringLiteral("select x.s_caption from (%1) x order by x.by_code limit 1")
                           .arg(DataModule::workerPersons(QString::number(w))))
                .toString()
                .trimmed();
        };
        const double price =
            sql(QStringLiteral("select cena from accounts_dep.smena where id=%1").arg(id))
                .toDouble();
        const QString ok =
            sql(QStringLiteral("select ok from accounts_dep.smena where id=%1").arg(id)).toString();
        db::Command(QStringLiteral("update accounts_dep.smena set w_id=%1, cena=cena+1000, "
                                   "ok=case when ok in ('ok','да') then 'no' else 'ok' end "
                                   "where id=%2")
                        .arg(other)
                        .arg(id))
            .execute();
        const bool accepted = ok == "ok" || ok == "да";
        const QMap<QString, QPair<QString, QString>> expected = {
            {"Рабочий", {nameOf(worker), nameOf(other)}},
            {"Цена", {figures::money(price), figures::money(price + 1000)}},
            {"Принято", {accepted ? "да" : "нет", accepted ? "нет" : "да"}},
        };
        QVERIFY(whileShown<ChangeHistoryWindow>(
            [&] { changeHistoryWindow->openForRow(shiftJournalWindow, "smena", id); },
            [&](ChangeHistoryWindow *f) {
                QMap<QString, QPair<QString, QString>> shown;
                for (f->Log->first(); !f->Log->eof(); f->Log->next())
                    if (!shown.contains(f->Log->asString("field")))
                        shown[f->Log->asString("field")] = {f->Log->asString("was"),
                                                            f->Log->asString("became")};
                for (auto it = expected.begin(); it != expected.end(); ++it)
                    QVERIFY2(shown.value(it.key()) == it.value(),
                             qPrintable(it.key() + ": " + shown.value(it.key()).first + " -> " +
                                        shown.value(it.key()).second + " | " + it.value().first +
                                        " -> " + it.value().second + " | " +
                                        QStringList(shown.keys()).join(',')));
            }));
    }

    // The administrator's window: every change, filtered by user and kind, and exported.
    void historyOfEverythingFilteredAndExported()
    {
        SheetsFixture sheets;
        QVERIFY(whileShown<ChangeHistoryWindow>(
            [] { changeHistoryWindow->openAll(shiftJournalWindow); },
            [&](ChangeHistoryWindow *f) {
                QVERIFY(f->fromDateEdit->isVisible());
                QVERIFY(f->Log->recordCount() > 0);
                f->userBox->setCurrentText(QStringLiteral("Администратор (тест)"));
                f->kindBox->setCurrentText(QStringLiteral("Закрытие периода"));
                f->showButton->click();
                // The closing and the reopening: year, month, who closed it and when.
                QSet<QString> actions;
                for (f->Log->first(); !f->Log->eof(); f->Log->next()) {
                    QCOMPARE(f->Log->asString("kind"), QStringLiteral("Закрытие периода"));
                    actions << f->Log->asString("action");
                }
                QCOMPARE(actions,
                         (QSet<QString>{QStringLiteral("Добавление"), QStringLiteral("Удаление")}));
                f->exportButton->click();
            }));
        const QJsonObject book = sheets.readLast();
        const QJsonObject cells = book.value("cells").toObject();
        QCOMPARE(cells.value("A1").toObject().value("value").toString(), QStringLiteral("Когда"));
        QCOMPARE(cells.value("C2").toObject().value("value").toString(),
                 QStringLiteral("Закрытие периода"));
    }

    // A period that starts after it ends is refused with a sentence; the list stays as it was.
    void historyRefusesAReversedPeriod()
    {
        QVERIFY(whileShown<ChangeHistoryWindow>(
            [] { changeHistoryWindow->openAll(shiftJournalWindow); },
            [&](ChangeHistoryWindow *f) {
                const int listed = f->Log->recordCount();
                QVERIFY(listed > 0);
                msg_->clear();
                f->fromDateEdit->setDate(QDate(2020, 3, 2));
                f->toDateEdit->setDate(QDate(2020, 3, 1));
                f->showButton->click();
                QCOMPARE(msg_->texts(),
                         QStringList{"Начало периода (02.03.2020) позже его конца (01.03.2020): "
                                     "укажите в поле «с» день не позже дня в поле «по»."});
                QCOMPARE(f->Log->recordCount(), listed);
                f->reject();
            }));
    }
};

TABEL_TEST_MAIN(ClosingTest)
#include "tst_closing.moc"
