// The products list and the product editor driven through their controls against the demo
// database.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/SqlError.h"
#include "journal/ShiftJournalWindow.h"
#include "refbooks/ProductEditor.h"
#include "refbooks/ProductList.h"
#include "shop/DataModule.h"
#include "shop/Products.h"
#include "ui/DBGrid.h"
#include "ui/LookupCombo.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

namespace {

const QString kDelete = QStringLiteral("Удалить изделие? ");
const QString kOperations = QStringLiteral("По изделию есть расценки они будут удалены!!!");
const QString kEntries = QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах "
                                        "и ранее, они будут удалены. Удалить изделие? ");
const QString kRefused = QStringLiteral("Ничего не удалено: расценки изделия используются в "
                                        "записях журнала смен, которые остаются.");
// The server keeps a product that entries still name, the old ones the list does not count
// included.
const QString kInUse =
    QStringLiteral("Изделие нельзя удалить: по нему есть записи в журнале смен.");

} // namespace

using drive::click;
using drive::tabWalk;
using drive::type;
using drive::whileShown;

static QStringList listed()
{
    return drive::listed(dataModule->Izdel, "marka");
}

class ProductsTest : public gui::Fixture {
    Q_OBJECT
    int worker_ = 0;

    int products() { return sql("select count(*) from accounts_dep.izdel").toInt(); }
    int product(const QString &mark)
    {
        return sql("select id from accounts_dep.izdel where marka=$$" + mark + "$$").toInt();
    }
    QString row(int id)
    {
        return sql(QStringLiteral("select s_caption||'|'||massa::float8||'|'||id_class_item||'|'||"
                                  "s_description||'|'||id_msm_bs from "
                                  "cmn_gds_and_srv.gds_and_srv where id=%1")
                       .arg(id))
            .toString();
    }
    // The product's history: action, mark before and after, and the number after.
    QString history(int id)
    {
        return sql(QStringLiteral("select string_agg(action || ' ' || coalesce(old_row->>"
                                  "'s_caption', '-') || ' ' || coalesce(new_row->>'s_caption', "
                                  "'-') || ' ' || coalesce(new_row->>'massa', '-'), '; ' order "
                                  "by id) from accounts_dep.change_log where tbl='izdel' and "
                                  "row_id=%1")
                       .arg(id))
            .toString();
    }
    void openFromMenu(std::function<void(ProductList *)> act)
    {
        QVERIFY(
            whileShown<ProductList>([] { shiftJournalWindow->productsAction->trigger(); }, act));
    }
    // Opens the editor with opener in the list opened from the menu and runs edit on it.
    // after runs in the list once the editor has closed.
    void inEditor(bool add, const QString &current, std::function<void(ProductEditor *)> edit,
                  std::function<void()> after = nullptr)
    {
        openFromMenu([&](ProductList *f) {
            if (!current.isEmpty())
                QVERIFY(dataModule->Izdel->locate("marka", current));
            QVERIFY(whileShown<ProductEditor>([&] { click(add ? f->addButton : f->changeButton); },
                                              edit));
            QVERIFY(f->isVisible()); // add and change leave the list open
            if (after)
                after();
        });
    }
    void chooseItem(ProductEditor *e, const QString &caption)
    {
        e->itemBox->setCurrentIndex(e->itemBox->findText(caption));
    }

private slots:
    void initTestCase()
    {
        startProgram();
        worker_ = sql("select min(id) from accounts_dep.person").toInt();
        // What the login reads from the version record.
        dataModule->ServerDelim = sql("select delim from accounts_dep.ver").toString();
        testdb::run(db_, "insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, "
                         "id_msm_bs, massa, id_class_item) values ('К''Б-1', '', 6, 1, 101)");
        shiftJournalWindow->show();
    }

    void browseFromMenu()
    {
        openFromMenu([&](ProductList *f) {
            QCOMPARE(f->windowTitle(), QStringLiteral("Изделия (3)"));
            QCOMPARE(f->minimumSize(), f->maximumSize()); // a dialog border: not resizable
            QCOMPARE(f->changeButton->text(), QStringLiteral("Изменить"));
            QVERIFY(f->addButton->isDefault() && !f->changeButton->isDefault());
            QVERIFY(f->addButton->isVisible() && f->deleteButton->isVisible());
            QVERIFY(f->searchEdit->isVisible());
            QCOMPARE(f->focusWidget(), f->searchEdit);
            QCOMPARE(dataModule->Izdel->recordCount(), products());
            auto *model = f->rowsGrid->gridModel();
            QStringList titles;
            for (int i = 0; i < model->columnCount(); ++i)
                titles << model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
            QCOMPARE(titles, (QStringList{"Марка изделия", "Номенклатурная группа", "Коробки"}));
            QVERIFY(dataModule->Izdel->locate("marka", "РО-1"));
            const QModelIndex massa = model->index(dataModule->Izdel->recNo() - 1, 2);
            QCOMPARE(model->data(massa, Qt::DisplayRole).toString(), QStringLiteral("0,333333"));
            QVERIFY(Qt::Alignment(model->data(massa, Qt::TextAlignmentRole).toInt()) &
                    Qt::AlignLeft);
            // Tab order: search box, grid, then the buttons.
            QList<QWidget *> walked;
            f->searchEdit->setFocus();
            for (int i = 0; i < 7; ++i) {
                walked << f->focusWidget();
                QTest::keyClick(f->focusWidget(), Qt::Key_Tab);
            }
            QCOMPARE(walked,
                     (QList<QWidget *>{f->searchEdit, f->rowsGrid, f->addButton, f->changeButton,
                                       f->deleteButton, f->exitButton, f->searchEdit}));
            QTest::keyClick(f->changeButton, Qt::Key_Escape);
            QVERIFY(!f->isVisible());
        });
        QVERIFY(!dataModule->Izdel->isActive());
    }

    void searchFilters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("marks");
        QTest::newRow("start of the mark")
            << "К" << QStringList{"К'Б-1", "Калитка К-1", "Козырёк КЗ-1"};
        QTest::newRow("not inside the mark") << "-1200" << QStringList{};
        QTest::newRow("one space") << " " << QStringList{};
        QTest::newRow("apostrophe") << "К'" << QStringList{"К'Б-1"};
        // What is typed is looked for as it stands: '%' and '_' are no wildcards.
        QTest::newRow("% is no wildcard") << "%фрамуга" << QStringList{};
        QTest::newRow("_ is no wildcard") << "ДМ-2_ " << QStringList{};
    }
    void searchFilters()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, marks);
        openFromMenu([&](ProductList *f) {
            f->searchEdit->clear();
            type(f->searchEdit, typed);
            QCOMPARE(listed(), marks);
            f->searchEdit->clear();
            QCOMPARE(dataModule->Izdel->recordCount(), products());
        });
        QVERIFY(msg_->shown.isEmpty());
    }

    void searchBoxKeys()
    {
        openFromMenu([](ProductList *f) {
            auto *q = dataModule->Izdel;
            f->searchEdit->clear();
            QTest::keyClick(f->searchEdit, Qt::Key_Down);
            QTest::keyClick(f->searchEdit, Qt::Key_Down);
            QTest::keyClick(f->searchEdit, Qt::Key_Up);
            QCOMPARE(q->recNo(), 2);
            QVERIFY(f->searchEdit->text().isEmpty());
            // Every other key works as in any text box.
            type(f->searchEdit, "ДМ");
            QTest::keyClick(f->searchEdit, Qt::Key_Home);
            QTest::keyClick(f->searchEdit, Qt::Key_Delete);
            QCOMPARE(f->searchEdit->text(), QStringLiteral("М"));
            type(f->searchEdit, "О");
            QCOMPARE(f->searchEdit->text(), QStringLiteral("ОМ"));
            f->searchEdit->clear();
        });
    }

    void numberBoxKeyFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("comma becomes a point") << "12,5"
                                               << "12.5";
        QTest::newRow("point stays") << "0.75"
                                     << "0.75";
        QTest::newRow("letters refused") << "1a2бZ"
                                         << "12";
        QTest::newRow("signs and spaces refused") << "-1 +2e3"
                                                  << "123";
    }
    void numberBoxKeyFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        inEditor(true, QString(), [&](ProductEditor *e) {
            type(e->rateEdit, typed);
            QCOMPARE(e->rateEdit->text(), shown);
            QTest::keyClick(e->rateEdit, Qt::Key_Backspace);
            QCOMPARE(e->rateEdit->text(), shown.chopped(1));
        });
    }

    void addStoresTrimmedMark()
    {
        const int before = products();
        inEditor(true, QString(), [&](ProductEditor *e) {
            QCOMPARE(e->windowTitle(), QStringLiteral("Заведение нового изделия (7)"));
            QCOMPARE(e->mode, ui::EditMode::Add);
            QVERIFY(e->markEdit->text().isEmpty() && e->rateEdit->text().isEmpty());
            QCOMPARE(e->focusWidget(), e->markEdit);
            QVERIFY(e->saveButton->isDefault());
            type(e->markEdit, "  Д'НП-1  ");
            type(e->rateEdit, "12,5");
            chooseItem(e, "Окна");
            QTest::keyClick(e->markEdit, Qt::Key_Return);
            QVERIFY(!e->isVisible());
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(products(), before + 1);
        QCOMPARE(row(product("Д'НП-1")), QStringLiteral("Д'НП-1|12.5|102||6"));
        // The goods table has no trigger of ours: the editor records the new product itself.
        QCOMPARE(history(product("Д'НП-1")), QStringLiteral("insert - Д'НП-1 12.500000"));
    }

    void pastedCommaIsStoredAsTheNumber()
    {
        inEditor(true, QString(), [&](ProductEditor *e) {
            type(e->markEdit, "ВСТ-2");
            e->rateEdit->selectAll();
            e->rateEdit->insert("7,25"); // as a paste arrives, past the key filter
            chooseItem(e, "Окна");
            click(e->saveButton);
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(row(product("ВСТ-2")), QStringLiteral("ВСТ-2|7.25|102||6"));
    }

    void saveRefused_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("message");
        const QString empty = QStringLiteral("Все поля должны быть заполнены!");
        const QString twice = QStringLiteral("Такая марка изделия уже заведена!");
        QTest::newRow("add: mark of spaces") << true << "   "
                                             << "1"
                                             << "Окна" << empty;
        QTest::newRow("add: no number") << true << "НП-2" << QString() << "Окна" << empty;
        QTest::newRow("add: no item") << true << "НП-2"
                                      << "1" << QString() << empty;
        QTest::newRow("add: mark of another in other case") << true << "дм-21"
                                                            << "1"
                                                            << "Двери" << twice;
        QTest::newRow("change: mark of another in other case") << false << " ок-1500"
                                                               << "1"
                                                               << "Окна" << twice;
        QTest::newRow("change: mark emptied") << false << ""
                                              << "1"
                                              << "Окна" << empty;
        QTest::newRow("change: a lone point") << false << "ОК-1200"
                                              << "."
                                              << "Окна" << empty;
        QTest::newRow("add: two separators") << true << "НП-2"
                                             << "1,2.3"
                                             << "Окна" << empty;
    }
    void saveRefused()
    {
        QFETCH(bool, add);
        QFETCH(QString, mark);
        QFETCH(QString, number);
        QFETCH(QString, item);
        QFETCH(QString, message);
        const QString all =
            sql("select string_agg(s_caption||massa||id_class_item, '|' order by id) from "
                "cmn_gds_and_srv.gds_and_srv")
                .toString();
        if (add)
            productEditor->itemBox->setKeyValue(QVariant()); // nothing chosen yet
        inEditor(add, add ? QString() : QStringLiteral("ОК-1200"), [&](ProductEditor *e) {
            e->markEdit->setText(mark);
            e->rateEdit->clear();
            type(e->rateEdit, number);
            if (!item.isEmpty())
                chooseItem(e, item);
            click(e->saveButton);
            QVERIFY(e->isVisible());
            QCOMPARE(e->markEdit->text(), mark);
        });
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(msg_->shown[0].kind, QStringLiteral("error"));
        QCOMPARE(msg_->shown[0].text, message);
        QCOMPARE(msg_->shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(sql("select string_agg(s_caption||massa||id_class_item, '|' order by id) from "
                     "cmn_gds_and_srv.gds_and_srv")
                     .toString(),
                 all);
    }

    // A product that a closed month's entries use keeps its group and mass and is not
    // deleted: the editor stays open with the sentence, the list keeps the product. Its mark
    // may change.
    void productOfAClosedMonthKeepsWhatItsFiguresStandOn()
    {
        const int id = product("ОК-1200");
        const QString period = sql("select lpad(month::text, 2, '0') || '.' || year from "
                                   "accounts_dep.closed_month")
                                   .toString();
        const QString sentence = QStringLiteral("Изделие использовано в закрытом периоде %1: "
                                                "его группа и масса не меняются, и удалить его "
                                                "нельзя. Заведите новое изделие.")
                                     .arg(period);
        const QString stored = row(id);
        for (const QString &edit : {QStringLiteral("mass"), QStringLiteral("group")}) {
            inEditor(false, "ОК-1200", [&](ProductEditor *e) {
                if (edit == QLatin1String("mass")) {
                    QTest::keyClick(e->rateEdit, Qt::Key_End);
                    type(e->rateEdit, "5");
                } else {
                    chooseItem(e, "Двери");
                }
                click(e->saveButton);
                QVERIFY(e->isVisible());
                click(e->cancelButton);
            });
            QCOMPARE(msg_->texts(), QStringList{sentence});
            msg_->shown.clear();
            QCOMPARE(row(id), stored);
        }
        openFromMenu([&](ProductList *f) {
            QVERIFY(dataModule->Izdel->locate("id", id));
            click(f->deleteButton);
            QVERIFY(dataModule->Izdel->locate("id", id));
        });
        QCOMPARE(msg_->texts(), QStringList{sentence});
        msg_->shown.clear();
        inEditor(false, "ОК-1200", [&](ProductEditor *e) {
            e->markEdit->setText("ОК-1200М");
            click(e->saveButton);
            QVERIFY(!e->isVisible());
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(row(id), QString(stored).replace("ОК-1200", "ОК-1200М"));
        testdb::run(db_, QStringLiteral("update cmn_gds_and_srv.gds_and_srv set "
                                        "s_caption='ОК-1200' where id=%1; delete from "
                                        "accounts_dep.change_log where tbl='izdel' and row_id=%1")
                             .arg(id));
    }

    void changeFillsEditorAndSaves()
    {
        const int id = product("ОК-1200");
        // No closed month: the demo's closed month uses the product.
        testdb::run(db_, "create temporary table kept_closed as select * from "
                         "accounts_dep.closed_month; delete from accounts_dep.closed_month");
        const auto reclose = qScopeGuard([&] {
            testdb::run(db_, "insert into accounts_dep.closed_month select * from kept_closed; "
                             "drop table kept_closed");
        });
        int rec = 0;
        inEditor(
            false, "ОК-1200",
            [&](ProductEditor *e) {
                rec = dataModule->Izdel->recNo();
                QCOMPARE(e->windowTitle(), QStringLiteral("Изменение данных изделия (7)"));
                QCOMPARE(e->mode, ui::EditMode::Change);
                QCOMPARE(e->markEdit->text(), QStringLiteral("ОК-1200"));
                QCOMPARE(e->rateEdit->text(), QStringLiteral("0,5"));
                QCOMPARE(e->itemBox->keyValue().toLongLong(), 102);
                QCOMPARE(e->itemBox->currentText(), QStringLiteral("Окна"));
                // Its own mark in other letters is no duplicate; the comma is fixed for the server.
                e->markEdit->setText("ок-1200 ");
                QTest::keyClick(e->rateEdit, Qt::Key_End);
                type(e->rateEdit, "5");
                chooseItem(e, "Двери");
                click(e->saveButton);
                QVERIFY(!e->isVisible());
            },
            [&] {
                // The list is re-read and back on the record number it was on.
                QCOMPARE(dataModule->Izdel->recNo(), rec);
                QVERIFY(dataModule->Izdel->locate("marka", "ок-1200"));
            });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(row(id), QStringLiteral("ок-1200|0.55|101||6"));
        QCOMPARE(history(id), QStringLiteral("update ОК-1200 ок-1200 0.550000"));

        // Adding right after offers the item of the product just changed.
        inEditor(true, QString(), [](ProductEditor *e) {
            QCOMPARE(e->itemBox->keyValue().toLongLong(), 101);
            QCOMPARE(e->itemBox->currentText(), QStringLiteral("Двери"));
        });
    }

    // The separator read from the version record is text another login may have written: a
    // save takes the number typed and nothing of that text.
    void separatorOnRecordCarriesNoSql()
    {
        const QString before = dataModule->ServerDelim;
        dataModule->ServerDelim = QStringLiteral("1, s_caption='взлом' where id>0 or 1=1 --");
        const int id = sql("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, "
                           "id_msm_bs, massa, id_class_item) values ('РР-1', '', 6, 1, 102) "
                           "returning id")
                           .toInt();
        inEditor(false, "РР-1", [&](ProductEditor *e) {
            e->rateEdit->setText("12,5");
            click(e->saveButton);
            QVERIFY(!e->isVisible());
        });
        dataModule->ServerDelim = before;
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(row(id), QStringLiteral("РР-1|12.5|102||6"));
        QCOMPARE(
            sql("select count(*) from cmn_gds_and_srv.gds_and_srv where s_caption='взлом'").toInt(),
            0);
        testdb::run(db_,
                    QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv where id=%1").arg(id));
    }

    // Whatever number is stored, the box shows it in plain decimals and it saves unchanged.
    void storedNumberShownPlainAndSaved_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("negative") << "-2"
                                  << "-2";
        QTest::newRow("small") << "0.00005"
                               << "0,00005";
        QTest::newRow("fraction") << "12.5"
                                  << "12,5";
        QTest::newRow("whole") << "100"
                               << "100";
        QTest::newRow("large") << "123456789012"
                               << "123456789012";
        QTest::newRow("zero") << "0"
                              << "0";
    }
    void storedNumberShownPlainAndSaved()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        const int id = sql("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, "
                           "id_msm_bs, massa, id_class_item) values ('ЧЧ-1', '', 6, " +
                           stored + ", 102) returning id")
                           .toInt();
        inEditor(false, "ЧЧ-1", [&](ProductEditor *e) {
            QCOMPARE(e->rateEdit->text(), shown);
            click(e->saveButton);
            QVERIFY(!e->isVisible());
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(sql(QStringLiteral("select massa=%1 from cmn_gds_and_srv.gds_and_srv where id=%2")
                         .arg(stored)
                         .arg(id))
                     .toBool(),
                 true);
        testdb::run(db_,
                    QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv where id=%1").arg(id));
    }

    // Another user changed or deleted the product after the list was read.
    void staleRowIsNeitherOverwrittenNorReportedSaved_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("afterFirst");
        QTest::newRow("changed by another user")
            << "update cmn_gds_and_srv.gds_and_srv set massa=9 where id=%1"
            << "СТ-1|9|102||6";
        QTest::newRow("deleted by another user")
            << "delete from cmn_gds_and_srv.gds_and_srv where id=%1" << QString();
    }
    void staleRowIsNeitherOverwrittenNorReportedSaved()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QString, afterFirst);
        const int id = sql("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, "
                           "id_msm_bs, massa, id_class_item) values ('СТ-1', '', 6, 1, 102) "
                           "returning id")
                           .toInt();
        inEditor(false, "СТ-1", [&](ProductEditor *e) {
            testdb::run(db_, meanwhile.arg(id));
            e->markEdit->setText("СТ-2");
            click(e->saveButton);
            QVERIFY(e->isVisible());
            QCOMPARE(e->markEdit->text(), QStringLiteral("СТ-2"));
            QCOMPARE(row(id), afterFirst);
            QCOMPARE(dataModule->Izdel->locate("id", id), !afterFirst.isEmpty());
        });
        QCOMPARE(msg_->texts(), QStringList{db::RowChanged().text()});
        QCOMPARE(row(id), afterFirst);
        testdb::run(db_,
                    QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv where id=%1").arg(id));
    }

    void staleDeleteIsRefused()
    {
        const int id = sql("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, "
                           "id_msm_bs, massa, id_class_item) values ('СТ-3', '', 6, 1, 102) "
                           "returning id")
                           .toInt();
        msg_->answer({true});
        openFromMenu([&](ProductList *f) {
            QVERIFY(dataModule->Izdel->locate("id", id));
            testdb::run(db_, QStringLiteral("update cmn_gds_and_srv.gds_and_srv set massa=9 where "
                                            "id=%1")
                                 .arg(id));
            click(f->deleteButton);
            QVERIFY(dataModule->Izdel->locate("id", id));
        });
        QCOMPARE(msg_->texts(), (QStringList{kDelete, db::RowChanged().text()}));
        QCOMPARE(row(id), QStringLiteral("СТ-3|9|102||6"));
        testdb::run(db_,
                    QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv where id=%1").arg(id));
    }

    void itemKeyHeldWithoutListedItem()
    {
        // A product booked to a group of another level: nothing shown, the key held and saved.
        const int id = sql("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, "
                           "id_msm_bs, massa, id_class_item) values ('ЯЯ-1', '', 6, 2, 100) "
                           "returning id")
                           .toInt();
        inEditor(false, "ЯЯ-1", [&](ProductEditor *e) {
            QCOMPARE(e->itemBox->keyValue().toLongLong(), 100);
            QCOMPARE(e->itemBox->currentIndex(), -1);
            click(e->saveButton);
            QVERIFY(!e->isVisible());
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(row(id), QStringLiteral("ЯЯ-1|2|100||6"));
    }

    void startDateIsInTheYear2000_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("start");
        QTest::newRow("January: December") << QDate(2024, 1, 15) << "01.12.2000";
        QTest::newRow("March: February") << QDate(2031, 3, 1) << "01.2.2000";
        QTest::newRow("December: November") << QDate(2019, 12, 31) << "01.11.2000";
    }
    void startDateIsInTheYear2000()
    {
        QFETCH(QDate, today);
        QFETCH(QString, start);
        QCOMPARE(products::startDateText(today), start);
    }

    // The entries use the product's own operations; the worker has a timesheet cell for the
    // recent day, with hours of another product's entry too.
    void deleteAsks_data()
    {
        QTest::addColumn<bool>("operations");
        QTest::addColumn<bool>("recentEntries");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("operationsLeft");
        QTest::addColumn<bool>("entriesLeft");
        QTest::addColumn<bool>("productLeft");
        using B = QList<bool>;
        const QStringList both{kOperations, kEntries};
        const QStringList refused{kOperations, kEntries, kRefused};
        QTest::newRow("operations and entries: yes, yes")
            << true << true << B{true, true} << both << false << false << false;
        QTest::newRow("operations and entries: no, yes")
            << true << true << B{false, true} << both << true << false << false;
        QTest::newRow("operations and entries: yes, no: nothing deleted")
            << true << true << B{true, false} << refused << true << true << true;
        QTest::newRow("operations, old entries only: yes, yes: nothing deleted")
            << true << false << B{true, true} << QStringList{kOperations, kDelete, kRefused} << true
            << true << true;
        QTest::newRow("operations, old entries only: no, yes: the server keeps it")
            << true << false << B{false, true} << QStringList{kOperations, kDelete, kInUse} << true
            << true << true;
        QTest::newRow("entries, no operations: no")
            << false << true << B{false} << QStringList{kEntries} << false << true << true;
        QTest::newRow("old entries only: yes: the server keeps it")
            << false << false << B{true} << QStringList{kDelete, kInUse} << false << true << true;
        QTest::newRow("nothing else: no")
            << false << false << B{false} << QStringList{kDelete} << false << false << true;
    }
    void deleteAsks()
    {
        QFETCH(bool, operations);
        QFETCH(bool, recentEntries);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, asked);
        QFETCH(bool, operationsLeft);
        QFETCH(bool, entriesLeft);
        QFETCH(bool, productLeft);
        const int p = sql("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, "
                          "id_msm_bs, massa, id_class_item) values ('УД-1', '', 6, 1, 101) "
                          "returning id")
                          .toInt();
        // The operation the entries use: the product's own, or another product's.
        int o = 1;
        if (operations) {
            o = shop.operation(1, p);
            shop.operation(2, p);
        }
        const auto entry = [&](int product, int operation, const QDate &day, int hours) {
            shop.entry(worker_).operation(operation, product).on(day, 2).hours(hours).insert();
        };
        // An entry from before the start date is never counted.
        entry(p, o, QDate(1999, 6, 15), 8);
        if (recentEntries)
            entry(p, o, QDate(2020, 3, 2), 5);
        entry(7777, 1, QDate(2020, 3, 2), 3);
        testdb::run(db_, QStringLiteral("insert into accounts_dep.h_tabel (w_id, smena, month, "
                                        "year, d1, d2) values (%1, 2, 3, 2020, 4, %2)")
                             .arg(worker_)
                             .arg(recentEntries ? 8 : 3));
        for (bool a : answers)
            msg_->answer({a});
        openFromMenu([&](ProductList *f) {
            QVERIFY(dataModule->Izdel->locate("id", p));
            click(f->deleteButton);
            QVERIFY(f->isVisible());
            QCOMPARE(dataModule->Izdel->locate("id", p), productLeft);
        });
        QCOMPARE(msg_->texts(), asked);
        QCOMPARE(history(p) == QStringLiteral("delete УД-1 - -"), !productLeft);
        for (const auto &s : msg_->shown) {
            const bool refusal = s.text == kRefused || s.text == kInUse;
            QCOMPARE(s.kind, refusal ? QStringLiteral("error") : QStringLiteral("question"));
            QCOMPARE(s.caption, refusal ? QStringLiteral("Ошибка") : QStringLiteral("Удаление"));
        }
        auto count = [&](const QString &from) {
            return sql(QStringLiteral("select count(*) from %1").arg(from).arg(p)).toInt();
        };
        QCOMPARE(count("accounts_dep.oper where i_id=%1"), operationsLeft ? 2 : 0);
        QCOMPARE(count("accounts_dep.smena where i_id=%1 and data>='01.01.2000'"),
                 entriesLeft && recentEntries ? 1 : 0);
        // The entry delete takes the old entries too; without it they stay.
        const bool entriesDeleted = asked.contains(kEntries) && !entriesLeft;
        QCOMPARE(count("accounts_dep.smena where i_id=%1 and data<'01.01.2000'"),
                 entriesDeleted ? 0 : 1);
        QCOMPARE(count("cmn_gds_and_srv.gds_and_srv where id=%1"), productLeft ? 1 : 0);
        // The day's cell holds the hours that remain; other days are not touched.
        QCOMPARE(sql(QStringLiteral("select d1||','||d2 from accounts_dep.h_tabel where w_id=%1 "
                                    "and smena=2 and year=2020")
                         .arg(worker_))
                     .toString(),
                 QStringLiteral("4,%1").arg(entriesLeft && recentEntries ? 8 : 3));
        // Every entry is still listed with its operation.
        QCOMPARE(sql("select count(*) from accounts_dep.smena s where not exists (select 1 from "
                     "accounts_dep.oper o where o.id=s.o_id)")
                     .toInt(),
                 0);
        testdb::run(db_, QStringLiteral("delete from accounts_dep.smena where i_id in (%1, 7777) "
                                        "and w_id=%2 and smena=2; "
                                        "delete from accounts_dep.oper where i_id=%1; "
                                        "delete from accounts_dep.h_tabel where year=2020 and "
                                        "smena=2 and w_id=%2; "
                                        "delete from cmn_gds_and_srv.gds_and_srv where id=%1")
                             .arg(p)
                             .arg(worker_));
    }

    void pickMode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("choose");
        QTest::addColumn<QString>("handedBack");
        QTest::newRow("first of the filtered rows") << "ЛМ" << true << "ЛМ-12";
        QTest::newRow("empty list") << "ЩЩ" << true << QString();
        QTest::newRow("closed with Выход") << "ЛМ" << false << QString();
    }
    void pickMode()
    {
        QFETCH(QString, typed);
        QFETCH(bool, choose);
        QFETCH(QString, handedBack);
        productList->searchEdit->setText("Д"); // left from an earlier showing
        productList->searchEdit->hide();
        QString mark;
        int calls = 0;
        qlonglong id = 0;
        auto handBack = [&](const db::Dataset &ds) {
            ++calls;
            mark = ds.asString("marka");
            id = ds.value("id").toLongLong();
        };
        QVERIFY(whileShown<ProductList>(
            [&] { productList->pickFrom(shiftJournalWindow, 1, handBack); },
            [&](ProductList *f) {
                QCOMPARE(f->mode, 1);
                QCOMPARE(f->changeButton->text(), QStringLiteral("Выбрать"));
                QVERIFY(f->changeButton->isDefault());
                QVERIFY(f->addButton->isHidden() && f->deleteButton->isHidden());
                QVERIFY(f->searchEdit->isVisible());
                QVERIFY(f->searchEdit->text().isEmpty());
                QCOMPARE(f->focusWidget(), f->searchEdit);
                type(f->searchEdit, typed);
                if (choose)
                    QTest::keyClick(f->searchEdit, Qt::Key_Return);
                else
                    click(f->exitButton);
                QVERIFY(!f->isVisible());
            }));
        QCOMPARE(calls, handedBack.isEmpty() ? 0 : 1);
        QCOMPARE(mark, handedBack);
        if (!handedBack.isEmpty())
            QCOMPARE(id, qlonglong(product(handedBack)));
        QVERIFY(!dataModule->Izdel->isActive());

        // Opened from the menu afterwards the list is for browsing and shows every product.
        openFromMenu([&](ProductList *f) {
            QCOMPARE(f->changeButton->text(), QStringLiteral("Изменить"));
            QVERIFY(f->addButton->isVisible() && f->deleteButton->isVisible());
            QVERIFY(f->addButton->isDefault() && !f->changeButton->isDefault());
            QCOMPARE(dataModule->Izdel->recordCount(), products());
        });
    }
};

TABEL_TEST_MAIN(ProductsTest)
#include "tst_products.moc"
