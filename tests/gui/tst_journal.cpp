// The shift journal window driven through its controls against the demo database.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "journal/ShiftJournalWindow.h"
#include "refbooks/WorkerList.h"
#include "shop/DataModule.h"
#include "ui/DBGrid.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {
const QDate kDay(2020, 3, 2); // a Monday with no demo entries
const QString kDayText = QStringLiteral("02.03.2020");
} // namespace

class JournalTest : public gui::Fixture {
    Q_OBJECT

    // The delete question names the entry it deletes.
    static QString deleteQuestion(const db::Dataset &journal)
    {
        const QString entry = journal.asString("fio").trimmed() + ", " +
                              journal.asString("marka").trimmed() + ", " +
                              journal.asString("vid").trimmed();
        return QStringLiteral("Удалить позицию «%1» из списка?").arg(entry);
    }
    int worker_ = 0, product_ = 0, oper_ = 0;

    int addEntry(int shift, int hours, const QString &ok, int worker = 0)
    {
        return shop.entry(worker ? worker : worker_)
            .operation(oper_, product_)
            .price(1.5)
            .made(10, 2)
            .on(kDay, shift)
            .color(0)
            .hours(hours)
            .mark(ok.isNull() ? QVariant() : QVariant(ok))
            .enteredNow()
            .insert();
    }
    // Picks a date as a user does: types it into the picker and presses Enter.
    void showDay(const QDate &d)
    {
        shiftJournalWindow->dateEdit->setDate(d);
        QTest::keyClick(shiftJournalWindow->dateEdit, Qt::Key_Return);
    }
    // A double click on the current row of the grid.
    void doubleClickCurrentRow()
    {
        drive::doubleClickRow(shiftJournalWindow->entriesGrid,
                              shiftJournalWindow->entriesGrid->dataset()->recNo() - 1);
    }
    QString okOf(int id)
    {
        return testdb::scalar(
                   db_, QStringLiteral("select ok from accounts_dep.smena where id=%1").arg(id))
            .toString();
    }

private slots:
    void initTestCase()
    {
        startProgram();
        worker_ = testdb::scalar(db_, "select min(id) from accounts_dep.person").toInt();
        oper_ = testdb::scalar(db_, "select min(o_id) from accounts_dep.norm").toInt();
        product_ =
            testdb::scalar(
                db_, QStringLiteral("select i_id from accounts_dep.oper where id=%1").arg(oper_))
                .toInt();
        loggedInAs(QStringLiteral("0264"));
        shiftJournalWindow->show();
    }
    void init()
    {
        testdb::run(db_, "delete from accounts_dep.smena where data='" + kDayText + "'");
        testdb::run(db_, "delete from accounts_dep.h_tabel where year=2020");
        Fixture::init();
        shiftJournalWindow->shift1Radio->setChecked(true);
    }

    void gridColumns()
    {
        auto *model = shiftJournalWindow->entriesGrid->gridModel();
        const QStringList titles = {"Фамилия И.О.", "Марка изделия", "Операция", "Вид",
                                    "Цвет",         "Часы",          "Кол-во",   "Брак",
                                    "Итого (р.)",   "Премия (%)",    "OK",       "Заведен"};
        const QList<int> widths = {250, 260, 155, 157, 64, 64, 57, 49, 78, 64, 37, 72};
        QCOMPARE(model->columnCount(), titles.size());
        for (int i = 0; i < titles.size(); ++i) {
            QCOMPARE(model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(), titles[i]);
            QVERIFY(model->headerData(i, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
            // At least the given width; wider where this screen's font needs it.
            if (i != 9)
                QVERIFY(shiftJournalWindow->entriesGrid->columnWidth(i) >= widths[i]);
        }
        QVERIFY(shiftJournalWindow->entriesGrid->isColumnHidden(9)); // the bonus
        QVERIFY(!shiftJournalWindow->entriesGrid->isColumnHidden(10));
    }

    void activationShowsTodayOnEveryReturn()
    {
        showDay(kDay);
        QCOMPARE(dataModule->Smena1->param("data").toDate(), kDay);
        shiftJournalWindow->FormActivate();
        QCOMPARE(shiftJournalWindow->dateEdit->date(), QDate::currentDate());
        for (auto *q : dataModule->journals()) {
            QVERIFY(q->isActive());
            QCOMPARE(q->param("data").toDate(), QDate::currentDate());
        }
        // Today's demo journal has rows in every shift.
        for (auto *q : dataModule->journals())
            QVERIFY2(q->recordCount() > 0, qPrintable(q->objectName()));
    }

    void activationDayOffFollowsNewDateKeepsOwnTick_data()
    {
        QTest::addColumn<QDate>("shown");
        QTest::addColumn<bool>("ticked"); // the user's tick before the activation
        QTest::addColumn<bool>("expected");
        const QDate today = QDate::currentDate();
        const bool weekend = today.dayOfWeek() >= 6;
        QTest::newRow("from a Saturday") << QDate(2020, 3, 7) << true << weekend;
        QTest::newRow("from a weekday, ticked by hand") << kDay << true << weekend;
        QTest::newRow("from a weekday, cleared by hand") << kDay << false << weekend;
        QTest::newRow("same date, ticked by hand") << today << true << true;
        QTest::newRow("same date, cleared by hand") << today << false << false;
    }
    void activationDayOffFollowsNewDateKeepsOwnTick()
    {
        QFETCH(QDate, shown);
        QFETCH(bool, ticked);
        QFETCH(bool, expected);
        showDay(shown);
        if (shiftJournalWindow->dayOffBox->isChecked() != ticked)
            QTest::mouseClick(shiftJournalWindow->dayOffBox, Qt::LeftButton);
        QCOMPARE(shiftJournalWindow->dayOffBox->isChecked(), ticked);
        shiftJournalWindow->FormActivate();
        QCOMPARE(shiftJournalWindow->dayOffBox->isChecked(), expected);
        QCOMPARE(shiftJournalWindow->dayOffBox->font().bold(), expected);
    }

    // However a date is chosen, the journal lists the date the picker shows.
    void journalListsThePickersDate_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("calendar by keyboard") << "calendar";
        QTest::newRow("typed, then the grid clicked") << "typed";
        QTest::newRow("typed, then Enter") << "enter";
    }
    void journalListsThePickersDate()
    {
        QFETCH(QString, how);
        const QDate next = kDay.addDays(1);
        testdb::run(db_, "delete from accounts_dep.smena where data='03.03.2020'");
        showDay(kDay);
        // Focus moves between controls of the active window only.
        shiftJournalWindow->activateWindow();
        QTRY_VERIFY(shiftJournalWindow->isActiveWindow());
        QDateEdit *picker = shiftJournalWindow->dateEdit;
        picker->setFocus();
        if (how == "calendar") {
            // The calendar opened by its arrow; the next day chosen by keyboard.
            QTest::mouseClick(picker, Qt::LeftButton, {},
                              QPoint(picker->width() - 6, picker->height() / 2));
            QCalendarWidget *calendar = picker->calendarWidget();
            QTRY_VERIFY(calendar->isVisible());
            QWidget *cells = calendar->focusWidget() ? calendar->focusWidget() : calendar;
            QTest::keyClick(cells, Qt::Key_Right);
            QTest::keyClick(cells, Qt::Key_Return);
            QTRY_VERIFY(!calendar->isVisible());
        } else {
            // The day selected and retyped, as a user does.
            picker->setSelectedSection(QDateTimeEdit::DaySection);
            QTest::keyClicks(picker, next.toString("dd"));
            if (how == "enter") {
                QTest::keyClick(picker, Qt::Key_Return);
            } else {
                auto *grid = shiftJournalWindow->entriesGrid;
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
                QVERIFY(!picker->hasFocus());
            }
        }
        QCOMPARE(picker->date(), next);
        QTRY_COMPARE(dataModule->Smena1->param("data").toDate(), next);
        for (auto *q : dataModule->journals())
            QCOMPARE(q->param("data").toDate(), next);
        // Refresh keeps that date.
        shiftJournalWindow->refreshButton->click();
        QCOMPARE(dataModule->Smena2->param("data").toDate(), next);
    }

    void tabLeavesTheGrid()
    {
        showDay(QDate::currentDate());
        const QList<QWidget *> walk = drive::tabWalk(shiftJournalWindow->entriesGrid, 3);
        QCOMPARE(walk[0], static_cast<QWidget *>(shiftJournalWindow->entriesGrid));
        QVERIFY(walk[1] != shiftJournalWindow->entriesGrid);
        QVERIFY(walk[2] != shiftJournalWindow->entriesGrid);
    }

    void returnFromAnotherWindowShowsToday()
    {
        showDay(kDay);
        QVERIFY(drive::whileShown<WorkerList>(
            [] { shiftJournalWindow->workersAction->trigger(); },
            [](WorkerList *f) { QTest::keyClick(f, Qt::Key_Escape); }));
        QCOMPARE(shiftJournalWindow->dateEdit->date(), QDate::currentDate());
        QCOMPARE(dataModule->Smena1->param("data").toDate(), QDate::currentDate());
        QVERIFY(!dataModule->Workers->isActive());
    }

    void dateChangeTicksDayOff()
    {
        showDay(QDate(2020, 3, 7)); // Saturday
        QVERIFY(shiftJournalWindow->dayOffBox->isChecked());
        QVERIFY(shiftJournalWindow->dayOffBox->styleSheet().contains("background-color: #ff0000"));
        QVERIFY(shiftJournalWindow->dayOffBox->font().bold());
        showDay(kDay);
        QVERIFY(!shiftJournalWindow->dayOffBox->isChecked());
        QVERIFY(!shiftJournalWindow->dayOffBox->font().bold());
    }

    void shiftButtonsSwitchGridAndColours()
    {
        QRadioButton *buttons[] = {shiftJournalWindow->shift1Radio, shiftJournalWindow->shift2Radio,
                                   shiftJournalWindow->shift3Radio,
                                   shiftJournalWindow->overtimeRadio};
        for (int s = 4; s >= 1; --s) {
            buttons[s - 1]->click();
            QCOMPARE(shiftJournalWindow->shift, s);
            QCOMPARE(shiftJournalWindow->entriesGrid->dataset(), dataModule->smena(s));
            for (int i = 0; i < 4; ++i) {
                const bool chosen = i == s - 1;
                QCOMPARE(buttons[i]->font().bold(), chosen);
                QCOMPARE(buttons[i]->styleSheet().contains("background-color: #008000"), chosen);
            }
        }
    }

    // A date change reads the shown shift's list; another shift's list is read when it is
    // chosen (or first asked for), for the date it was opened with.
    void dateChangeReadsTheShownShiftOthersWhenChosen()
    {
        addEntry(2, 4, "no");
        addEntry(3, 4, "no");
        addEntry(3, 4, "ok");
        showDay(kDay);
        QVERIFY(dataModule->Smena1->isSettled());
        for (auto *q : {dataModule->Smena2, dataModule->Smena3, dataModule->Smena4}) {
            QVERIFY(q->isActive());
            QVERIFY(!q->isSettled());
        }
        addEntry(3, 2, "да"); // saved by another clerk before shift 3 is looked at
        shiftJournalWindow->shift3Radio->click();
        QCOMPARE(shiftJournalWindow->entriesGrid->dataset(), dataModule->Smena3);
        QVERIFY(dataModule->Smena3->isSettled());
        QCOMPARE(dataModule->Smena3->recordCount(), 3);
        QCOMPARE(shiftJournalWindow->entriesGrid->gridModel()->rowCount(), 3);
        // The next date change reads the shift now shown at once.
        showDay(kDay);
        QVERIFY(dataModule->Smena3->isSettled());
        QVERIFY(!dataModule->Smena1->isSettled());
        // Asked for from code, a shift not shown gives its rows of the date as well.
        QCOMPARE(dataModule->Smena2->recordCount(), 1);
        QCOMPARE(dataModule->Smena2->asString("ok"), QStringLiteral("no"));

        // A list that cannot be read when chosen is told once and shown empty.
        showDay(kDay);
        testdb::run(db_, "alter table accounts_dep.vid_oper rename to vid_oper_away");
        shiftJournalWindow->overtimeRadio->click();
        testdb::run(db_, "alter table accounts_dep.vid_oper_away rename to vid_oper");
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(msg_->shown[0].kind, QStringLiteral("error"));
        QVERIFY(msg_->shown[0].text.contains("vid_oper"));
        QCOMPARE(shiftJournalWindow->entriesGrid->dataset(), dataModule->Smena4);
        QCOMPARE(shiftJournalWindow->entriesGrid->gridModel()->rowCount(), 0);
        QCOMPARE(shiftJournalWindow->shift, 4);
        shiftJournalWindow->refreshButton->click(); // refresh reads it again
        QVERIFY(dataModule->Smena4->isSettled());
        QCOMPARE(msg_->shown.size(), 1);
    }

    void hiddenRowsAndOkColours()
    {
        const int yes = addEntry(1, 4, "да");
        const int ok = addEntry(1, 4, "ok");
        const int no = addEntry(1, 4, "no");
        const int hidden = addEntry(1, 4, "ta");
        const int nullOk = addEntry(1, 4, QString());
        showDay(kDay);
        auto *q = dataModule->Smena1;
        QCOMPARE(q->recordCount(), 3);
        QVERIFY(!q->locate("id", hidden));
        QVERIFY(!q->locate("id", nullOk));
        auto *model = shiftJournalWindow->entriesGrid->gridModel();
        const int okCol = 10;
        // The stored mark is shown as a word; the mark itself is kept as stored.
        const struct {
            int id;
            QColor colour;
            QString shown;
        } cases[] = {{yes, QColor(0, 128, 0), "да"},
                     {ok, QColor(0, 128, 0), "да"},
                     {no, QColor(255, 0, 0), "нет"}};
        for (const auto &c : cases) {
            QVERIFY(q->locate("id", c.id));
            const QModelIndex idx = model->index(q->recNo() - 1, okCol);
            QCOMPARE(model->data(idx, Qt::DisplayRole).toString(), c.shown);
            QCOMPARE(model->data(idx, Qt::ForegroundRole).value<QBrush>().color(), c.colour);
            QVERIFY(model->data(idx, Qt::FontRole).value<QFont>().bold());
            // Other cells are drawn the standard way.
            QVERIFY(!model->data(model->index(q->recNo() - 1, 0), Qt::ForegroundRole).isValid());
        }
        // (10 - 2) * 1.5 with two decimals.
        QCOMPARE(model->data(model->index(0, 8), Qt::DisplayRole).toString(),
                 QStringLiteral("12,00"));
        QCOMPARE(okOf(no), QStringLiteral("no"));
        // The shift's totals under the grid: hours, pieces, rejects and pay of the rows shown.
        const ui::DBGrid *grid = shiftJournalWindow->entriesGrid;
        QVERIFY(grid->hasTotalsRow());
        QCOMPARE(grid->totalText(0), QStringLiteral("Итого"));
        QCOMPARE(grid->totalText(5), QStringLiteral("12"));
        QCOMPARE(grid->totalText(6), QStringLiteral("30"));
        QCOMPARE(grid->totalText(7), QStringLiteral("6"));
        QCOMPARE(grid->totalText(8), QStringLiteral("36,00"));
        QCOMPARE(grid->totalText(4), QString()); // colours add up to nothing
        // A thousand pieces more on another day: the totals follow the date shown.
        for (int i = 0; i < 100; ++i)
            shop.entry(worker_)
                .operation(oper_, product_)
                .price(1.5)
                .made(10, 0)
                .on(kDay.addDays(1), 1)
                .hours(1)
                .mark("ok")
                .insert();
        showDay(kDay.addDays(1));
        QCOMPARE(grid->totalText(6), QStringLiteral("1\u00A0000"));
        QCOMPARE(grid->totalText(8), QStringLiteral("1\u00A0500,00"));
        testdb::run(db_, "delete from accounts_dep.smena where data='" +
                             kDay.addDays(1).toString("dd.MM.yyyy") + "'");
    }

    void shiftOrders()
    {
        // Shift 1 orders by name, mark, kind, product kind and colour; the others by name.
        showDay(QDate::currentDate());
        auto sorted = [](db::Dataset *q, const QStringList &fields) {
            if (q->recordCount() < 2)
                return false;
            QStringList prev;
            for (int r = 0; r < q->recordCount(); ++r) {
                QStringList key;
                for (const QString &f : fields)
                    key << q->valueAt(r, f).toString().leftJustified(300);
                if (!prev.isEmpty() && key.join('|') < prev.join('|'))
                    return false;
                prev = key;
            }
            return true;
        };
        QVERIFY(sorted(dataModule->Smena1, {"fio", "marka", "vid"}));
        for (auto *q : {dataModule->Smena2, dataModule->Smena3, dataModule->Smena4})
            QVERIFY(sorted(q, {"fio"}));
    }

    void deleteAsksAndCorrectsTimesheetCell_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("otherLeft");
        QTest::addColumn<int>("expectedCell");
        QTest::newRow("no: nothing changes") << false << true << 8;
        QTest::newRow("yes, other entry left: its hours") << true << true << 3;
        QTest::newRow("yes, last entry: zero") << true << false << 0;
    }
    void deleteAsksAndCorrectsTimesheetCell()
    {
        QFETCH(bool, yes);
        QFETCH(bool, otherLeft);
        QFETCH(int, expectedCell);
        shiftJournalWindow->shift2Radio->click();
        const int victim = addEntry(2, 5, "no");
        if (otherLeft)
            addEntry(2, 3, "no");
        testdb::run(db_,
                    QStringLiteral(
                        "insert into accounts_dep.h_tabel (w_id, smena, month, year, d1, d2, d3) "
                        "values (%1, 2, 3, 2020, 7, 8, 6)")
                        .arg(worker_));
        showDay(kDay);
        QVERIFY(dataModule->Smena2->locate("id", victim));
        const QString question = deleteQuestion(*dataModule->Smena2);
        msg_->answer({yes});
        shiftJournalWindow->deleteButton->click();
        QCOMPARE(msg_->texts(), QStringList{question});
        QCOMPARE(msg_->shown[0].caption, QStringLiteral("Удаление"));
        const bool gone =
            testdb::scalar(
                db_,
                QStringLiteral("select count(*) from accounts_dep.smena where id=%1").arg(victim))
                .toInt() == 0;
        QCOMPARE(gone, yes);
        const QString row = QStringLiteral("select d1||','||d2||','||d3 from accounts_dep.h_tabel "
                                           "where w_id=%1 and smena=2 and year=2020")
                                .arg(worker_);
        QCOMPARE(testdb::scalar(db_, row).toString(), QStringLiteral("7,%1,6").arg(expectedCell));
        QCOMPARE(dataModule->Smena2->recordCount(), (yes ? 0 : 1) + (otherLeft ? 1 : 0));
    }

    void failureInDeleteLeavesEntryInPlace()
    {
        const int id = addEntry(1, 5, "no");
        showDay(kDay);
        testdb::run(db_, "alter table accounts_dep.h_tabel rename to h_tabel_away");
        msg_->answer({true});
        // A real click: the error travels up to the application object, which shows it.
        QTest::mouseClick(shiftJournalWindow->deleteButton, Qt::LeftButton);
        testdb::run(db_, "alter table accounts_dep.h_tabel_away rename to h_tabel");
        QCOMPARE(msg_->shown.size(), 2);
        QCOMPARE(msg_->shown[1].kind, QStringLiteral("error"));
        QCOMPARE(msg_->shown[1].caption, QStringLiteral("Ошибка"));
        QVERIFY(msg_->shown[1].text.contains("h_tabel"));
        // The delete and its cell correction are one unit: neither is done.
        QCOMPARE(
            testdb::scalar(
                db_, QStringLiteral("select count(*) from accounts_dep.smena where id=%1").arg(id))
                .toInt(),
            1);
    }

    // The picker shows another date than the grid lists (set from code, which no user can):
    // the delete corrects the cell of the entry's own date.
    void deleteCorrectsTheEntrysOwnCell()
    {
        shiftJournalWindow->shift3Radio->click();
        const int victim = addEntry(3, 5, "no");
        addEntry(3, 2, "no");
        testdb::run(db_, QStringLiteral("insert into accounts_dep.h_tabel (w_id, smena, month, "
                                        "year, d2, d20) values (%1, 3, 3, 2020, 7, 9)")
                             .arg(worker_));
        showDay(kDay);
        shiftJournalWindow->dateEdit->setDate(QDate(2020, 3, 20));
        QVERIFY(dataModule->Smena3->locate("id", victim));
        const QString question = deleteQuestion(*dataModule->Smena3);
        msg_->answer({true});
        QTest::mouseClick(shiftJournalWindow->deleteButton, Qt::LeftButton);
        QCOMPARE(msg_->texts(), QStringList{question});
        QCOMPARE(testdb::scalar(db_, QStringLiteral("select d2||','||d20 from accounts_dep.h_tabel "
                                                    "where w_id=%1 and smena=3 and year=2020")
                                         .arg(worker_))
                     .toString(),
                 QStringLiteral("2,9"));
    }

    void deleteOfAnEntryGoneMeanwhileIsToldAndReread()
    {
        const int id = addEntry(1, 5, "no");
        testdb::run(db_, QStringLiteral("insert into accounts_dep.h_tabel (w_id, smena, month, "
                                        "year, d2) values (%1, 1, 3, 2020, 5)")
                             .arg(worker_));
        showDay(kDay);
        QVERIFY(dataModule->Smena1->locate("id", id));
        testdb::run(db_, QStringLiteral("delete from accounts_dep.smena where id=%1").arg(id));
        msg_->answer({true});
        QTest::mouseClick(shiftJournalWindow->deleteButton, Qt::LeftButton);
        QCOMPARE(msg_->shown.size(), 2);
        QCOMPARE(msg_->shown[1].kind, QStringLiteral("error"));
        QVERIFY(msg_->shown[1].text.contains("другим пользователем"));
        QVERIFY(dataModule->Smena1->isEmpty());
        QCOMPARE(testdb::scalar(db_, "select d2 from accounts_dep.h_tabel where year=2020").toInt(),
                 5);
    }

    void actionsOnEmptyJournalDoNothing()
    {
        showDay(kDay);
        QVERIFY(dataModule->Smena1->isEmpty());
        shiftJournalWindow->deleteButton->click();
        shiftJournalWindow->entriesGridDoubleClick();
        QVERIFY(msg_->shown.isEmpty());
    }

    void acceptToggle_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("да -> no") << "0264"
                                  << "да"
                                  << "no";
        QTest::newRow("ok -> no") << "0264"
                                  << "ok"
                                  << "no";
        QTest::newRow("no -> ok") << "0264"
                                  << "no"
                                  << "ok";
        QTest::newRow("other -> ok") << "vardel"
                                     << "x"
                                     << "ok";
        QTest::newRow("foreman: unchanged") << "pilgrun"
                                            << "no"
                                            << "no";
    }
    void acceptToggle()
    {
        QFETCH(QString, role);
        QFETCH(QString, before);
        QFETCH(QString, after);
        addEntry(1, 1, "no", worker_);
        const int id = addEntry(1, 1, before, worker_);
        addEntry(1, 1, "no", worker_);
        showDay(kDay);
        auto *q = dataModule->Smena1;
        QVERIFY(q->locate("id", id));
        const int rec = q->recNo();
        shiftJournalWindow->accessRole = role;
        doubleClickCurrentRow();
        shiftJournalWindow->accessRole = QStringLiteral("0264");
        QCOMPARE(okOf(id), after);
        QCOMPARE(q->recNo(), rec);
        QCOMPARE(shiftJournalWindow->entriesGrid->currentIndex().row(),
                 rec - 1); // the grid follows the row back
        QCOMPARE(q->asInteger("id"), id);
    }

    void refreshRereadsWithSameDate()
    {
        showDay(kDay);
        QCOMPARE(dataModule->Smena3->recordCount(), 0);
        addEntry(3, 2, "no");
        shiftJournalWindow->refreshButton->click();
        QCOMPARE(dataModule->Smena3->recordCount(), 1);
        QCOMPARE(dataModule->Smena3->param("data").toDate(), kDay);
    }

    void controlsMenusAndTimer()
    {
        QCOMPARE(shiftJournalWindow->windowTitle(), QStringLiteral("Табель"));
        QCOMPARE(shiftJournalWindow->addButton->text(), QStringLiteral("Добавить"));
        QCOMPARE(shiftJournalWindow->changeButton->text(), QStringLiteral("Изменить"));
        QCOMPARE(shiftJournalWindow->deleteButton->text(), QStringLiteral("Удалить"));
        QCOMPARE(shiftJournalWindow->refreshButton->text(), QStringLiteral("Обновить"));
        QCOMPARE(shiftJournalWindow->maintenanceButton->text(),
                 QStringLiteral("Ср.сд./хоз. работы"));
        QCOMPARE(shiftJournalWindow->exitButton->text(), QStringLiteral("Выход"));
        // Every menu and item has its letter for Alt; the captions read as they always did.
        QCOMPARE(shiftJournalWindow->refbooksMenu->title(), QStringLiteral("&Справочники"));
        QCOMPARE(shiftJournalWindow->timesheetsMenu->title(), QStringLiteral("&Табель"));
        QCOMPARE(shiftJournalWindow->reportsMenu->title(), QStringLiteral("&Отчеты"));
        QStringList items;
        for (QAction *a :
             {shiftJournalWindow->workersAction, shiftJournalWindow->productsAction,
              shiftJournalWindow->pricesAction, shiftJournalWindow->operationKindsAction,
              shiftJournalWindow->overtimeAction, shiftJournalWindow->pieceworkTimesheetAction,
              shiftJournalWindow->shiftTimesheetAction,
              shiftJournalWindow->maintenanceTimesheetAction,
              shiftJournalWindow->averageRateTimesheetAction,
              shiftJournalWindow->generalTimesheetAction, shiftJournalWindow->summaryReportsAction,
              shiftJournalWindow->exitAction}) {
            QVERIFY2(a->text().count('&') == 1, qPrintable(a->text()));
            items << QString(a->text()).remove('&');
        }
        // An item with nothing behind it is shown but cannot be chosen.
        QVERIFY(!shiftJournalWindow->overtimeAction->isEnabled());
        QCOMPARE(items,
                 (QStringList{"Рабочие", "Изделия", "Цены", "Операции", "Внеурочное",
                              "Табель сделка", "Табель по сменам", "Табель хоз. работ",
                              "Табель ср. сдельная", "Общий табель", "Сводные отчеты", "Выход"}));
        QVERIFY(shiftJournalWindow->versionTimer->isActive());
        QCOMPARE(shiftJournalWindow->versionTimer->interval(), 30000);
    }
};

TABEL_TEST_MAIN(JournalTest)
#include "tst_journal.moc"
