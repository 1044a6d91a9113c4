// The operation kinds list and the kind editor driven through their controls against the
// demo database.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/SqlError.h"
#include "journal/ShiftJournalWindow.h"
#include "refbooks/OperationKindEditor.h"
#include "refbooks/OperationKindList.h"
#include "shop/DataModule.h"
#include "ui/DBGrid.h"

#include <QLineEdit>
#include <QPushButton>

using drive::click;
using drive::tabWalk;
using drive::type;
using drive::whileShown;

static QStringList listed()
{
    return drive::listed(dataModule->Vid_oper, "vid");
}

class KindsTest : public gui::Fixture {
    Q_OBJECT

    int kinds() { return sql("select count(*) from accounts_dep.vid_oper").toInt(); }
    QString allNames()
    {
        return sql("select string_agg(id||'='||trim(vid), '|' order by id) from "
                   "accounts_dep.vid_oper")
            .toString();
    }
    int idOf(const QString &name)
    {
        return sql("select id from accounts_dep.vid_oper where trim(vid)=$$" + name + "$$").toInt();
    }
    void openFromMenu(std::function<void(OperationKindList *)> act)
    {
        QVERIFY(whileShown<OperationKindList>(
            [] { shiftJournalWindow->operationKindsAction->trigger(); }, act));
    }
    // Opens the editor from the list opened from the menu, on the kind named current when
    // one is given, and runs edit on it.
    void inEditor(const QString &current, std::function<void(OperationKindEditor *)> edit)
    {
        openFromMenu([&](OperationKindList *f) {
            if (!current.isEmpty())
                QVERIFY(dataModule->Vid_oper->locate("id", idOf(current)));
            QVERIFY(whileShown<OperationKindEditor>(
                [&] { click(current.isEmpty() ? f->addButton : f->changeButton); }, edit));
            QVERIFY(f->isVisible()); // add and change leave the list open
            QCOMPARE(dataModule->Vid_oper->recordCount(), kinds());
        });
    }

private slots:
    void initTestCase()
    {
        startProgram();
        testdb::run(db_, "insert into accounts_dep.vid_oper (vid) values ('Д''Обработка')");
        shiftJournalWindow->show();
    }

    void browseFromMenu()
    {
        openFromMenu([&](OperationKindList *f) {
            QCOMPARE(f->windowTitle(), QStringLiteral("Виды операций (8)"));
            QVERIFY(f->minimumSize() != f->maximumSize()); // an ordinary, resizable border
            QCOMPARE(f->changeButton->text(), QStringLiteral("Изменить"));
            QVERIFY(f->addButton->isDefault() && !f->changeButton->isDefault());
            QVERIFY(f->addButton->isVisible() && f->deleteButton->isVisible());
            QVERIFY(!f->searchEdit->isVisible());
            QCOMPARE(f->rowsGrid->gridModel()->columnCount(), 1);
            QCOMPARE(
                f->rowsGrid->gridModel()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                QStringLiteral("Операции"));
            QCOMPARE(dataModule->Vid_oper->recordCount(), kinds());
            // The fixed kinds are listed like any other.
            QVERIFY(listed().contains("Хоз. работы") && listed().contains("Ср. сдельная"));
            QList<QWidget *> walked;
            f->rowsGrid->setFocus();
            for (int i = 0; i < 6; ++i) {
                walked << f->focusWidget();
                QTest::keyClick(f->focusWidget(), Qt::Key_Tab);
            }
            QCOMPARE(walked, (QList<QWidget *>{f->rowsGrid, f->addButton, f->changeButton,
                                               f->deleteButton, f->exitButton, f->rowsGrid}));
            QTest::keyClick(f->rowsGrid, Qt::Key_Escape);
            QVERIFY(!f->isVisible());
        });
        QVERIFY(!dataModule->Vid_oper->isActive());
    }

    void pickMode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("downs");
        QTest::addColumn<bool>("choose");
        QTest::addColumn<QString>("handedBack");
        QTest::newRow("start of the name") << "Ср" << 0 << true << "Ср. сдельная";
        QTest::newRow("Down walks the filtered rows") << "Св" << 1 << true << "Сверловка";
        QTest::newRow("apostrophe") << "Д'" << 0 << true << "Д'Обработка";
        // What is typed is looked for as it stands: '%' and '_' are no wildcards.
        QTest::newRow("% is no wildcard") << "%лов" << 0 << true << QString();
        QTest::newRow("_ is no wildcard") << "_в" << 1 << true << QString();
        QTest::newRow("not inside the name") << "борка" << 0 << true << QString();
        QTest::newRow("one space") << " " << 0 << true << QString();
        QTest::newRow("closed with Выход") << "Ср" << 0 << false << QString();
    }
    void pickMode()
    {
        QFETCH(QString, typed);
        QFETCH(int, downs);
        QFETCH(bool, choose);
        QFETCH(QString, handedBack);
        operationKindList->searchEdit->setText("Р"); // left from an earlier showing
        operationKindList->searchEdit->hide();
        QString name;
        int calls = 0, id = 0;
        auto handBack = [&](const db::Dataset &ds) {
            ++calls;
            name = ds.asString("vid").trimmed();
            id = ds.asInteger("id");
        };
        QVERIFY(whileShown<OperationKindList>(
            [&] { operationKindList->pickFrom(shiftJournalWindow, 1, handBack); },
            [&](OperationKindList *f) {
                QCOMPARE(f->changeButton->text(), QStringLiteral("Выбрать"));
                QVERIFY(f->changeButton->isDefault());
                QVERIFY(f->addButton->isHidden() && f->deleteButton->isHidden());
                QVERIFY(f->searchEdit->isVisible());
                QVERIFY(f->searchEdit->text().isEmpty());
                QCOMPARE(f->focusWidget(), f->searchEdit);
                QCOMPARE(dataModule->Vid_oper->recordCount(), kinds());
                type(f->searchEdit, typed);
                for (int i = 0; i < downs; ++i)
                    QTest::keyClick(f->searchEdit, Qt::Key_Down);
                if (choose)
                    QTest::keyClick(f->searchEdit, Qt::Key_Return);
                else
                    QTest::keyClick(f->searchEdit, Qt::Key_Escape);
                QVERIFY(!f->isVisible());
            }));
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(calls, handedBack.isEmpty() ? 0 : 1);
        QCOMPARE(name, handedBack);
        if (!handedBack.isEmpty())
            QCOMPARE(id, idOf(handedBack));

        // The menu opens it for browsing afterwards, without search box or filter.
        openFromMenu([&](OperationKindList *f) {
            QVERIFY(!f->searchEdit->isVisible());
            QVERIFY(f->addButton->isDefault() && !f->changeButton->isDefault());
            QCOMPARE(dataModule->Vid_oper->recordCount(), kinds());
        });
    }

    void searchBoxKeys()
    {
        QVERIFY(whileShown<OperationKindList>(
            [] { operationKindList->pickFrom(shiftJournalWindow, 1, nullptr); },
            [](OperationKindList *f) {
                auto *q = dataModule->Vid_oper;
                QTest::keyClick(f->searchEdit, Qt::Key_Down);
                QTest::keyClick(f->searchEdit, Qt::Key_Down);
                QTest::keyClick(f->searchEdit, Qt::Key_Up);
                QCOMPARE(q->recNo(), 2);
                // Typing and Backspace edit; caret keys and Delete
                // do nothing.
                type(f->searchEdit, "Свв");
                QTest::keyClick(f->searchEdit, Qt::Key_Home);
                QTest::keyClick(f->searchEdit, Qt::Key_Backspace);
                f->searchEdit->setCursorPosition(0);
                QTest::keyClick(f->searchEdit, Qt::Key_Delete);
                QTest::keyClick(f->searchEdit, Qt::Key_Right);
                type(f->searchEdit, "е");
                QCOMPARE(f->searchEdit->text(), QStringLiteral("еСв"));
            }));
    }

    void addStoresTrimmedName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("trimmed") << "  Шлифовка  "
                                 << "Шлифовка";
        QTest::newRow("apostrophe") << "Л'Ковка"
                                    << "Л'Ковка";
    }
    void addStoresTrimmedName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const int before = kinds();
        inEditor(QString(), [&](OperationKindEditor *e) {
            QCOMPARE(e->windowTitle(), QStringLiteral("Заведение нового вида операций"));
            QCOMPARE(e->mode, ui::EditMode::Add);
            QVERIFY(e->nameEdit->text().isEmpty());
            QCOMPARE(e->focusWidget(), e->nameEdit);
            QVERIFY(e->saveButton->isDefault());
            type(e->nameEdit, typed);
            QTest::keyClick(e->nameEdit, Qt::Key_Return);
            QVERIFY(!e->isVisible());
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(kinds(), before + 1);
        QCOMPARE(
            sql("select count(*) from accounts_dep.vid_oper where rtrim(vid)=$$" + stored + "$$")
                .toInt(),
            1);
    }

    void changeSaves_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("typed");
        QTest::newRow("own name unchanged") << "Сборка"
                                            << "Сборка";
        QTest::newRow("own name in other letters") << "Сборка"
                                                   << " СБОРКА ";
        QTest::newRow("fixed kind renamed") << "Хоз. работы"
                                            << "Хоз. работы цеха";
    }
    void changeSaves()
    {
        QFETCH(QString, current);
        QFETCH(QString, typed);
        const int id = idOf(current);
        inEditor(current, [&](OperationKindEditor *e) {
            QCOMPARE(e->windowTitle(), QStringLiteral("Изменение данных вида операции"));
            QCOMPARE(e->mode, ui::EditMode::Change);
            QCOMPARE(e->nameEdit->text(), current);
            e->nameEdit->setText(typed);
            click(e->saveButton);
            QVERIFY(!e->isVisible());
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(
            sql(QStringLiteral("select trim(vid) from accounts_dep.vid_oper where id=%1").arg(id))
                .toString(),
            typed.trimmed());
    }

    void saveRefused_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString empty = QStringLiteral("Все поля должны быть заполнены!");
        const QString twice = QStringLiteral("Такая операция уже заведена!");
        QTest::newRow("add: spaces") << QString() << "   " << empty;
        QTest::newRow("add: name of another in other case") << QString() << "сварка" << twice;
        QTest::newRow("change: emptied") << "Гибка" << QString() << empty;
        QTest::newRow("change: name of another") << "Гибка"
                                                 << " РЕЗКА" << twice;
    }
    void saveRefused()
    {
        QFETCH(QString, current);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const QString before = allNames();
        inEditor(current, [&](OperationKindEditor *e) {
            e->nameEdit->setText(typed);
            click(e->saveButton);
            QVERIFY(e->isVisible());
            QCOMPARE(e->nameEdit->text(), typed);
        });
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(msg_->shown[0].kind, QStringLiteral("error"));
        QCOMPARE(msg_->shown[0].text, message);
        QCOMPARE(msg_->shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(allNames(), before);
    }

    // Another user changed or deleted the kind after the list was read: neither a save nor
    // a delete goes over it, and the user is told.
    void staleRowIsRefused_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("after");
        const QString renamed = "update accounts_dep.vid_oper set vid='Рихтовка' where id=%1";
        const QString deleted = "delete from accounts_dep.vid_oper where id=%1";
        QTest::newRow("save over a renamed kind") << true << renamed << "Рихтовка";
        QTest::newRow("save over a deleted kind") << true << deleted << QString();
        QTest::newRow("delete of a renamed kind") << false << renamed << "Рихтовка";
        QTest::newRow("delete of a deleted kind") << false << deleted << QString();
    }
    void staleRowIsRefused()
    {
        QFETCH(bool, save);
        QFETCH(QString, meanwhile);
        QFETCH(QString, after);
        const int id =
            sql("insert into accounts_dep.vid_oper (vid) values ('Шлифовка') returning id").toInt();
        const QString stored =
            QStringLiteral("select trim(vid) from accounts_dep.vid_oper where id=%1").arg(id);
        if (!save)
            msg_->answer({true});
        openFromMenu([&](OperationKindList *f) {
            QVERIFY(dataModule->Vid_oper->locate("id", id));
            if (save) {
                QVERIFY(whileShown<OperationKindEditor>([&] { click(f->changeButton); },
                                                        [&](OperationKindEditor *e) {
                                                            testdb::run(db_, meanwhile.arg(id));
                                                            e->nameEdit->setText("Полировка");
                                                            click(e->saveButton);
                                                            QVERIFY(e->isVisible());
                                                            QCOMPARE(e->nameEdit->text(),
                                                                     "Полировка");
                                                            QCOMPARE(sql(stored).toString(), after);
                                                        }));
            } else {
                testdb::run(db_, meanwhile.arg(id));
                click(f->deleteButton);
            }
            // The list shows the kinds as they now are.
            QCOMPARE(dataModule->Vid_oper->locate("id", id), !after.isEmpty());
        });
        QVERIFY(!msg_->shown.isEmpty());
        QCOMPARE(msg_->shown.last().text, db::RowChanged().text());
        QCOMPARE(msg_->shown.last().kind, QStringLiteral("error"));
        QCOMPARE(sql(stored).toString(), after);
        testdb::run(db_, QStringLiteral("delete from accounts_dep.vid_oper where id=%1").arg(id));
    }

    void deleteAsks_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("used");
        QTest::addColumn<bool>("gone");
        QTest::newRow("no") << false << false << false;
        QTest::newRow("yes") << true << false << true;
        QTest::newRow("yes, kind used by an operation: refused by the database")
            << true << true << false;
    }
    void deleteAsks()
    {
        QFETCH(bool, yes);
        QFETCH(bool, used);
        QFETCH(bool, gone);
        const int id =
            sql("insert into accounts_dep.vid_oper (vid) values ('Аа-удаляемый') returning id")
                .toInt();
        if (used)
            shop.operation(id, 7779);
        msg_->answer({yes});
        openFromMenu([&](OperationKindList *f) {
            auto *q = dataModule->Vid_oper;
            QVERIFY(q->locate("id", id));
            const int rows = q->recordCount();
            click(f->deleteButton);
            QVERIFY(f->isVisible());
            QCOMPARE(q->recordCount(), rows - (gone ? 1 : 0));
            QCOMPARE(q->locate("id", id), !gone);
        });
        QCOMPARE(msg_->shown.value(0).kind, QStringLiteral("question"));
        QCOMPARE(msg_->shown.value(0).text, QStringLiteral("Удалить вид операции?"));
        QCOMPARE(msg_->shown.value(0).caption, QStringLiteral("Удаление"));
        QCOMPARE(
            sql(QStringLiteral("select count(*) from accounts_dep.vid_oper where id=%1").arg(id))
                .toInt(),
            gone ? 0 : 1);
        if (used) {
            QCOMPARE(msg_->shown.size(), 2);
            QCOMPARE(msg_->shown[1].kind, QStringLiteral("error"));
            QCOMPARE(msg_->shown[1].caption, QStringLiteral("Ошибка"));
            QCOMPARE(msg_->shown[1].text,
                     QStringLiteral("Вид работ нельзя удалить: его используют операции."));
            QVERIFY(msg_->shown[1].details.contains("oper"));
        } else {
            QCOMPARE(msg_->shown.size(), 1);
        }
    }
};

TABEL_TEST_MAIN(KindsTest)
#include "tst_kinds.moc"
