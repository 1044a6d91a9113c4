// The workers list and the worker editor driven through their controls against the demo
// database.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/SqlError.h"
#include "journal/ShiftJournalWindow.h"
#include "refbooks/WorkerEditor.h"
#include "refbooks/WorkerList.h"
#include "shop/DataModule.h"
#include "ui/DBGrid.h"
#include "ui/LookupCombo.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

using drive::click;
using drive::tabWalk;
using drive::type;
using drive::whileShown;

static QStringList listed()
{
    return drive::listed(dataModule->Workers, "fio");
}

class WorkersTest : public gui::Fixture {
    Q_OBJECT

    int count(const QString &where)
    {
        return sql("select count(*) from accounts_dep.person where " + where).toInt();
    }
    void openFromMenu(std::function<void(WorkerList *)> act)
    {
        QVERIFY(whileShown<WorkerList>([] { shiftJournalWindow->workersAction->trigger(); }, act));
    }
    // Adds or changes through the editor: fills the name, runs edit on it and saves.
    void saveInEditor(QPushButton *opener, const QString &typed,
                      std::function<void(WorkerEditor *)> edit = nullptr)
    {
        QVERIFY(whileShown<WorkerEditor>([&] { click(opener); },
                                         [&](WorkerEditor *e) {
                                             e->nameEdit->clear();
                                             type(e->nameEdit, typed);
                                             if (edit)
                                                 edit(e);
                                             click(e->saveButton);
                                         }));
    }

private slots:
    void initTestCase()
    {
        startProgram();
        // A name that begins with a space, one with an apostrophe and one with the wildcards
        // of a pattern, for the search box.
        shop.worker(" Пробелов А.", "");
        shop.worker("Д'Артаньян Ш.", "");
        shop.worker("%_Знаков З.", "");
        shiftJournalWindow->show();
    }

    void browseFromMenu()
    {
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            QCOMPARE(f->windowTitle(), QStringLiteral("Список рабочих"));
            QCOMPARE(f->minimumSize(), f->maximumSize()); // a dialog border: not resizable
            QCOMPARE(f->mode, 0);
            QCOMPARE(f->changeButton->text(), QStringLiteral("Изменить"));
            QVERIFY(f->addButton->isDefault());
            QVERIFY(!f->changeButton->isDefault());
            QVERIFY(f->addButton->isVisible() && f->deleteButton->isVisible());
            QCOMPARE(f->exitButton->text(), QStringLiteral("Выход"));
            QVERIFY(f->searchEdit->isVisible());
            QCOMPARE(f->focusWidget(), f->searchEdit);
            QCOMPARE(dataModule->Workers->recordCount(), count("true"));
            auto *model = f->rowsGrid->gridModel();
            QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "ФИО");
            QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Должность");
            QCOMPARE(tabWalk(f->addButton, 7),
                     (QList<QWidget *>{f->addButton, f->changeButton, f->deleteButton,
                                       f->exitButton, f->searchEdit, f->rowsGrid, f->addButton}));
            QTest::keyClick(f->searchEdit, Qt::Key_Escape);
            QVERIFY(!f->isVisible());
        });
        QVERIFY(!dataModule->Workers->isActive());
    }

    void searchFilters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("start of the name") << "Ив" << QStringList{"Иванов И.И."};
        QTest::newRow("not inside the name") << "ванов" << QStringList{};
        QTest::newRow("one space") << " " << QStringList{" Пробелов А."};
        QTest::newRow("apostrophe") << "Д'" << QStringList{"Д'Артаньян Ш."};
        // What is typed is looked for as it stands: '%' and '_' are no wildcards.
        QTest::newRow("% is no wildcard") << "%ов И" << QStringList{};
        QTest::newRow("_ is no wildcard") << "_у" << QStringList{};
        QTest::newRow("% and _ as typed") << "%_" << QStringList{"%_Знаков З."};
    }
    void searchFilters()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, names);
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            type(f->searchEdit, typed);
            QCOMPARE(f->searchEdit->text(), typed);
            QCOMPARE(listed(), names);
            QVERIFY(msg_->shown.isEmpty());
            f->searchEdit->clear();
            QCOMPARE(dataModule->Workers->recordCount(), count("true"));
        });
    }

    void searchKeepsTextBetweenBrowseShowings()
    {
        workerList->searchEdit->clear();
        openFromMenu([](WorkerList *f) { type(f->searchEdit, "Ив"); });
        openFromMenu([](WorkerList *f) {
            QCOMPARE(f->searchEdit->text(), QStringLiteral("Ив"));
            QCOMPARE(listed(), QStringList{"Иванов И.И."});
        });
        workerList->searchEdit->clear();
    }

    void searchBoxKeys()
    {
        workerList->searchEdit->clear();
        openFromMenu([](WorkerList *f) {
            auto *w = dataModule->Workers;
            QCOMPARE(w->recNo(), 1);
            QTest::keyClick(f->searchEdit, Qt::Key_Down);
            QTest::keyClick(f->searchEdit, Qt::Key_Down);
            QCOMPARE(w->recNo(), 3);
            QTest::keyClick(f->searchEdit, Qt::Key_Up);
            QCOMPARE(w->recNo(), 2);
            QCOMPARE(f->rowsGrid->currentIndex().row(), 1);
            QVERIFY(f->searchEdit->text().isEmpty());

            // Typing and Backspace edit; caret keys and Delete do nothing.
            type(f->searchEdit, "Ивв");
            QTest::keyClick(f->searchEdit, Qt::Key_Left);
            QTest::keyClick(f->searchEdit, Qt::Key_Home);
            QTest::keyClick(f->searchEdit, Qt::Key_Backspace);
            QCOMPARE(f->searchEdit->text(), QStringLiteral("Ив"));
            f->searchEdit->setCursorPosition(0);
            QTest::keyClick(f->searchEdit, Qt::Key_Delete);
            QTest::keyClick(f->searchEdit, Qt::Key_End);
            type(f->searchEdit, "а");
            QCOMPARE(f->searchEdit->text(), QStringLiteral("аИв"));
            f->searchEdit->clear();
        });
    }

    void emptyListOffersNothingToChangeOrDelete()
    {
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            type(f->searchEdit, "Щщщ");
            QVERIFY(dataModule->Workers->isEmpty());
            bool editor = false;
            modal::when<WorkerEditor>([&](WorkerEditor *e) {
                editor = true;
                e->reject();
            });
            click(f->changeButton);
            click(f->deleteButton);
            QTest::qWait(200);
            modal::cancelPending();
            QVERIFY(!editor);
            QVERIFY(f->isVisible());
            f->searchEdit->clear();
        });
        QVERIFY(msg_->shown.isEmpty());
    }

    void addStoresTrimmedNameAndDepartment_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("trimmed") << "  Новиков-2 А.  "
                                 << "Новиков-2 А.";
        QTest::newRow("apostrophe") << "О'Нил Д."
                                    << "О'Нил Д.";
        QTest::newRow("same name twice") << "Иванов И.И."
                                         << "Иванов И.И.";
    }
    void addStoresTrimmedNameAndDepartment()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const QString same = "fio=$$" + stored + "$$";
        const int before = count(same);
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            QTest::keyClick(f->searchEdit, Qt::Key_Down);
            QVERIFY(whileShown<WorkerEditor>(
                [&] { click(f->addButton); },
                [&](WorkerEditor *e) {
                    QCOMPARE(e->windowTitle(), "Заведение данных нового работника");
                    QCOMPARE(e->mode, ui::EditMode::Add);
                    QVERIFY(e->nameEdit->text().isEmpty());
                    QCOMPARE(e->focusWidget(), e->nameEdit);
                    QVERIFY(e->saveButton->isDefault());
                    type(e->nameEdit, typed);
                    e->departmentBox->setCurrentIndex(
                        e->departmentBox->findText("Малярный участок"));
                    click(e->saveButton);
                    QVERIFY(!e->isVisible());
                }));
            // The list stays open, re-read from its first row, and shows the new worker.
            QVERIFY(f->isVisible());
            QCOMPARE(dataModule->Workers->recNo(), 1);
            QVERIFY(dataModule->Workers->locate("fio", stored));
            QCOMPARE(dataModule->Workers->asString("s_staffpos_hl"),
                     QStringLiteral("Малярный участок"));
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(count(same), before + 1);
    }

    void emptyNameIsRefused_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("add") << 1;
        QTest::newRow("change") << 2;
    }
    void emptyNameIsRefused()
    {
        QFETCH(int, mode);
        const QString all = sql("select string_agg(fio, '|' order by id) from "
                                "accounts_dep.person")
                                .toString();
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            QVERIFY(
                whileShown<WorkerEditor>([&] { click(mode == 1 ? f->addButton : f->changeButton); },
                                         [&](WorkerEditor *e) {
                                             e->nameEdit->setText("   ");
                                             click(e->saveButton);
                                             QVERIFY(e->isVisible());
                                             QCOMPARE(e->nameEdit->text(), QStringLiteral("   "));
                                         }));
        });
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(msg_->shown[0].kind, QStringLiteral("error"));
        QCOMPARE(msg_->shown[0].text, QStringLiteral("ФИО нужно заполнить!"));
        QCOMPARE(msg_->shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(sql("select string_agg(fio, '|' order by id) from accounts_dep.person").toString(),
                 all);
    }

    // A change keeps the worker's department unless the user chooses another in the box.
    void changeKeepsDepartmentUnlessChosen_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("chosen"); // empty: the box left as it opened
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("after");
        const QString store = QStringLiteral("Склад готовой продукции");
        const QString other = QStringLiteral("Бухгалтерия");
        QTest::newRow("names a department: shown and kept")
            << store << QString() << true << store << "Аааа Б.в|" + store;
        QTest::newRow("names none: kept")
            << "Старый цех" << QString() << true << QString() << "Аааа Б.в|Старый цех";
        QTest::newRow("empty: kept empty")
            << QString() << QString() << true << QString() << QStringLiteral("Аааа Б.в|");
        QTest::newRow("names a department, another chosen")
            << store << other << true << store << "Аааа Б.в|" + other;
        QTest::newRow("names none, one chosen")
            << "Старый цех" << other << true << QString() << "Аааа Б.в|" + other;
        QTest::newRow("cancelled") << store << other << false << store << "Аааа Б.|" + store;
    }
    void changeKeepsDepartmentUnlessChosen()
    {
        QFETCH(QString, stored);
        QFETCH(QString, chosen);
        QFETCH(bool, save);
        QFETCH(QString, shown);
        QFETCH(QString, after);
        const int id = shop.worker("Аааа Б.", stored);
        // Chosen for another worker before.
        workerEditor->departmentBox->setCurrentIndex(
            workerEditor->departmentBox->findText("Малярный участок"));
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            QVERIFY(dataModule->Workers->locate("id", id));
            QVERIFY(whileShown<WorkerEditor>(
                [&] { click(f->changeButton); },
                [&](WorkerEditor *e) {
                    QCOMPARE(e->windowTitle(), "Изменение данных работника");
                    QCOMPARE(e->mode, ui::EditMode::Change);
                    QCOMPARE(e->personId, id);
                    QCOMPARE(e->nameEdit->text(), QStringLiteral("Аааа Б."));
                    QCOMPARE(e->departmentBox->currentText(), shown);
                    if (!chosen.isEmpty())
                        e->departmentBox->setCurrentIndex(e->departmentBox->findText(chosen));
                    QTest::keyClick(e->nameEdit, Qt::Key_End);
                    type(e->nameEdit, "в ");
                    if (save)
                        click(e->saveButton);
                    else
                        QTest::keyClick(e->nameEdit, Qt::Key_Escape);
                }));
            // Back in the main window either way.
            QVERIFY(!f->isVisible());
        });
        QCOMPARE(sql(QStringLiteral("select fio||'|'||coalesce(s_staffpos_hl, '') from "
                                    "accounts_dep.person where id=%1")
                         .arg(id))
                     .toString(),
                 after);
        QVERIFY(msg_->shown.isEmpty());
    }

    // Another user changed or deleted the worker after the list was read.
    void staleRowIsNeitherOverwrittenNorReportedSaved_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("afterFirst");
        QTest::addColumn<QString>("afterSecond"); // a second save of the same text
        QTest::newRow("renamed by another user")
            << "update accounts_dep.person set fio='Другое имя' where id=%1"
            << "Другое имя"
            << "Вввв Г.";
        QTest::newRow("deleted by another user")
            << "delete from accounts_dep.person where id=%1" << QString() << QString();
    }
    void staleRowIsNeitherOverwrittenNorReportedSaved()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QString, afterFirst);
        QFETCH(QString, afterSecond);
        const int id = shop.worker("Бббб В.", "");
        const QString stored =
            QStringLiteral("select fio from accounts_dep.person where id=%1").arg(id);
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            QVERIFY(dataModule->Workers->locate("id", id));
            QVERIFY(whileShown<WorkerEditor>(
                [&] { click(f->changeButton); },
                [&](WorkerEditor *e) {
                    testdb::run(db_, meanwhile.arg(id));
                    e->nameEdit->setText("Вввв Г.");
                    click(e->saveButton);
                    QVERIFY(e->isVisible());
                    QCOMPARE(e->nameEdit->text(), QStringLiteral("Вввв Г."));
                    QCOMPARE(sql(stored).toString(), afterFirst);
                    // The list behind shows the row as it now is.
                    QCOMPARE(dataModule->Workers->locate("id", id), !afterFirst.isEmpty());
                    // Saving again, now knowing, stores the text
                    // over the re-read row (a gone row stays gone).
                    click(e->saveButton);
                    QCOMPARE(e->isVisible(), afterSecond.isEmpty());
                }));
        });
        QCOMPARE(sql(stored).toString(), afterSecond);
        const int refusals = afterSecond.isEmpty() ? 2 : 1;
        QCOMPARE(msg_->shown.size(), refusals);
        for (const auto &m : msg_->shown) {
            QCOMPARE(m.kind, QStringLiteral("error"));
            QCOMPARE(m.text, db::RowChanged().text());
        }
    }

    void staleDeleteIsRefused_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<int>("left");
        QTest::newRow("renamed by another user")
            << "update accounts_dep.person set fio='Гггг Д.' where id=%1" << 1;
        QTest::newRow("deleted by another user")
            << "delete from accounts_dep.person where id=%1" << 0;
    }
    void staleDeleteIsRefused()
    {
        QFETCH(QString, meanwhile);
        QFETCH(int, left);
        const int id = shop.worker("Вввв В.", "");
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            QVERIFY(dataModule->Workers->locate("id", id));
            testdb::run(db_, meanwhile.arg(id));
            msg_->answer({true});
            click(f->deleteButton);
            QVERIFY(f->isVisible());
            QCOMPARE(dataModule->Workers->locate("id", id), left == 1);
        });
        QCOMPARE(msg_->texts(), (QStringList{"Удалить работника?", db::RowChanged().text()}));
        QCOMPARE(count(QStringLiteral("id=%1").arg(id)), left);
    }

    void deleteAsks_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("hasEntries");
        QTest::addColumn<bool>("gone");
        QTest::newRow("no") << false << false << false;
        QTest::newRow("yes") << true << false << true;
        QTest::newRow("yes, worker with entries: refused by the database") << true << true << false;
    }
    void deleteAsks()
    {
        QFETCH(bool, yes);
        QFETCH(bool, hasEntries);
        QFETCH(bool, gone);
        const int id = shop.worker("Б-удаляемый", "");
        if (hasEntries)
            shop.entry(id).operation(1, 7779).on(QDate(2020, 3, 2), 1).insert();
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            auto *w = dataModule->Workers;
            QVERIFY(w->locate("id", id));
            const int rec = w->recNo();
            const int rows = w->recordCount();
            msg_->answer({yes});
            click(f->deleteButton);
            QVERIFY(f->isVisible());
            QCOMPARE(w->recordCount(), rows - (gone ? 1 : 0));
            QCOMPARE(w->recNo(), rec);
        });
        QCOMPARE(msg_->shown.value(0).kind, QStringLiteral("question"));
        QCOMPARE(msg_->shown.value(0).text, QStringLiteral("Удалить работника?"));
        QCOMPARE(msg_->shown.value(0).caption, QStringLiteral("Удаление"));
        QCOMPARE(count(QStringLiteral("id=%1").arg(id)), gone ? 0 : 1);
        if (hasEntries) {
            QCOMPARE(msg_->shown.size(), 2);
            QCOMPARE(msg_->shown[1].kind, QStringLiteral("error"));
            QCOMPARE(msg_->shown[1].caption, QStringLiteral("Ошибка"));
            QCOMPARE(msg_->shown[1].text,
                     QStringLiteral("Работника нельзя удалить: по нему есть записи в журнале "
                                    "смен."));
            QVERIFY(msg_->shown[1].details.contains("smena"));
        } else {
            QCOMPARE(msg_->shown.size(), 1);
        }
    }

    void pickMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("handedBack");
        QTest::newRow("shift entry editor, Enter") << 1 << "Жу" << 0 << "Enter"
                                                   << "Жуков М.С.";
        QTest::newRow("maintenance editor, Down and Enter") << 24 << "С" << 1 << "Enter"
                                                            << "Соколов А.Б.";
        QTest::newRow("double click on a row") << 1 << "С" << 2 << "double click"
                                               << "Степанов О.И.";
        QTest::newRow("empty list") << 1 << "Щщщ" << 0 << "Enter" << QString();
        QTest::newRow("closed with Выход") << 24 << "Жу" << 0 << "Выход" << QString();
    }
    void pickMode()
    {
        QFETCH(int, mode);
        QFETCH(QString, typed);
        QFETCH(int, row);
        QFETCH(QString, how);
        QFETCH(QString, handedBack);
        workerList->searchEdit->setText("Я"); // left from an earlier showing
        QString fio;
        int id = 0, calls = 0;
        auto handBack = [&](const db::Dataset &ds) {
            ++calls;
            fio = ds.asString("fio");
            id = ds.asInteger("id");
        };
        QVERIFY(whileShown<WorkerList>(
            [&] { workerList->pickFrom(shiftJournalWindow, mode, handBack); },
            [&](WorkerList *f) {
                QCOMPARE(f->mode, mode);
                QCOMPARE(f->changeButton->text(), QStringLiteral("Выбрать"));
                QVERIFY(f->changeButton->isDefault());
                QVERIFY(!f->addButton->isDefault());
                QVERIFY(f->addButton->isHidden() && f->deleteButton->isHidden());
                QVERIFY(f->searchEdit->isVisible());
                QVERIFY(f->searchEdit->text().isEmpty());
                QCOMPARE(f->focusWidget(), f->searchEdit);
                QCOMPARE(dataModule->Workers->recordCount(), count("true"));
                type(f->searchEdit, typed);
                if (how == "double click") {
                    auto *view = f->rowsGrid->viewport();
                    const QPoint at =
                        f->rowsGrid->visualRect(f->rowsGrid->model()->index(row, 0)).center();
                    QTest::mouseClick(view, Qt::LeftButton, {}, at);
                    QTest::mouseDClick(view, Qt::LeftButton, {}, at);
                } else {
                    for (int i = 0; i < row; ++i)
                        QTest::keyClick(f->searchEdit, Qt::Key_Down);
                    if (how == "Enter")
                        QTest::keyClick(f->searchEdit, Qt::Key_Return);
                    else
                        click(f->exitButton);
                }
                QVERIFY(!f->isVisible());
            }));
        QCOMPARE(calls, handedBack.isEmpty() ? 0 : 1);
        QCOMPARE(fio, handedBack);
        if (!handedBack.isEmpty())
            QCOMPARE(
                id,
                sql("select id from accounts_dep.person where fio='" + handedBack + "'").toInt());
        QVERIFY(!dataModule->Workers->isActive());

        // The menu opens the list again for browsing, with every worker shown.
        openFromMenu([&](WorkerList *f) {
            QCOMPARE(f->changeButton->text(), QStringLiteral("Изменить"));
            QVERIFY(f->addButton->isVisible() && f->deleteButton->isVisible());
            QVERIFY(f->addButton->isDefault() && !f->changeButton->isDefault());
            QCOMPARE(dataModule->Workers->recordCount(), count("true"));
        });
    }

    void wheelMovesOnlyFocusedLookup_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("staffposMove");
        QTest::addColumn<int>("departmentMove");
        QTest::newRow("down on the focused position box") << "positionBox" << -120 << 1 << 0;
        QTest::newRow("up on the focused department box") << "departmentBox" << 120 << 0 << -1;
        QTest::newRow("name box focused: nothing moves") << "nameEdit" << -120 << 0 << 0;
    }
    void wheelMovesOnlyFocusedLookup()
    {
        QFETCH(QString, focused);
        QFETCH(int, delta);
        QFETCH(int, staffposMove);
        QFETCH(int, departmentMove);
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            QVERIFY(whileShown<WorkerEditor>(
                [&] { click(f->addButton); },
                [&](WorkerEditor *e) {
                    e->positionBox->setCurrentIndex(2);
                    e->departmentBox->setCurrentIndex(2);
                    e->findChild<QWidget *>(focused)->setFocus();
                    // The wheel turns over the other box, not the
                    // focused one.
                    QWidget *under = focused == "positionBox"
                                         ? static_cast<QWidget *>(e->departmentBox)
                                         : e->positionBox;
                    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta),
                                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(under, &wheel);
                    QCOMPARE(e->positionBox->currentIndex(), 2 + staffposMove);
                    QCOMPARE(e->departmentBox->currentIndex(), 2 + departmentMove);
                }));
        });
    }

    void editorControls()
    {
        workerList->searchEdit->clear();
        openFromMenu([&](WorkerList *f) {
            QVERIFY(whileShown<WorkerEditor>(
                [&] { click(f->addButton); },
                [&](WorkerEditor *e) {
                    QCOMPARE(e->saveButton->text(), QStringLiteral("Записать"));
                    QCOMPARE(e->cancelButton->text(), QStringLiteral("Отмена"));
                    QCOMPARE(e->departmentBox->maxVisibleItems(), 10);
                    QVERIFY(e->departmentBox->findText("Бухгалтерия") >= 0);
                    QCOMPARE(
                        tabWalk(e->nameEdit, 7),
                        (QList<QWidget *>{e->nameEdit, e->positionBox, e->departmentBox, e->roleBox,
                                          e->saveButton, e->cancelButton, e->nameEdit}));
                    // The boxes stand top to bottom in this order.
                    QVERIFY(e->nameEdit->y() < e->departmentBox->y());
                    QVERIFY(e->departmentBox->y() < e->positionBox->y());
                    QVERIFY(e->positionBox->y() < e->roleBox->y());
                    QVERIFY(e->saveButton->x() < e->cancelButton->x());
                }));
        });
    }
};

TABEL_TEST_MAIN(WorkersTest)
#include "tst_workers.moc"
