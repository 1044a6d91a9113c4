// The operations list, the operation editor and the norms grid driven through their
// controls against the demo database.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "ScriptedMessages.h"
#include "Sheets.h"
#include "TestDb.h"
#include "journal/ShiftJournalWindow.h"
#include "refbooks/NormsWindow.h"
#include "refbooks/OperationEditor.h"
#include "refbooks/OperationList.h"
#include "refbooks/ProductList.h"
#include "shop/DataModule.h"
#include "ui/DBGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryFile>

using drive::click;
using drive::type;
using drive::whileShown;

class OperationsTest : public gui::Fixture {
    Q_OBJECT
    int cutting_ = 0, welding_ = 0; // kinds
    int product_ = 0, oddProduct_ = 0, zeros_ = 0;
    int priced_ = 0; // an operation with norms 10 and 15

    int product(const QString &mark)
    {
        return sql("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, "
                   "id_msm_bs, massa, id_class_item) values ($$" +
                   mark + "$$, '', 6, 1, 101) returning id")
            .toInt();
    }
    int operation(int kind, int naimen, int prod, const QList<double> &prices)
    {
        const int id = shop.operation(kind, prod, naimen);
        int norma = 0;
        for (double p : prices)
            testdb::run(db_, QString("insert into accounts_dep.norm (o_id, norma, price, prize) "
                                     "values (%1, %2, %3, 0)")
                                 .arg(id)
                                 .arg(norma += 10)
                                 .arg(p));
        return id;
    }
    int operations() { return sql("select count(*) from accounts_dep.oper").toInt(); }
    QString norms(int op)
    {
        return sql(QString("select string_agg(coalesce(norma::text,'-')||':'||price, ' ' order by "
                           "norma nulls first, price) from accounts_dep.norm where o_id=%1")
                       .arg(op))
            .toString();
    }
    void fromMenu(std::function<void(OperationList *)> act)
    {
        QVERIFY(
            whileShown<OperationList>([] { shiftJournalWindow->pricesAction->trigger(); }, act));
    }
    // The norms window of an operation opened from the list, as the user does it.
    void inNorms(int op, std::function<void(NormsWindow *)> act)
    {
        fromMenu([&](OperationList *f) {
            QVERIFY(dataModule->Oper->locate("id", op) || true);
            QVERIFY(whileShown<NormsWindow>([&] { f->openNorms(op); }, act));
        });
    }
    // Types into a cell of the norms grid as a user does, leaving the editor open.
    static QWidget *typeCell(NormsWindow *w, int row, int column, const QString &text)
    {
        const QModelIndex idx = w->model->index(row, column);
        w->normsGrid->setCurrentIndex(idx); // opens the cell's editor
        if (!w->normsGrid->indexWidget(idx))
            w->normsGrid->edit(idx);
        auto *editor = qobject_cast<QLineEdit *>(w->normsGrid->indexWidget(idx));
        if (!editor) {
            QTest::qFail("no cell editor", __FILE__, __LINE__);
            return w->normsGrid;
        }
        editor->clear();
        type(editor, text);
        return editor;
    }
    static void settle() { QTest::qWait(20); }

private slots:
    void initTestCase()
    {
        startProgram();
        dataModule->ServerDelim = sql("select delim from accounts_dep.ver").toString();
        cutting_ = sql("select id from accounts_dep.vid_oper where vid='Резка'").toInt();
        welding_ = sql("select id from accounts_dep.vid_oper where vid='Сварка'").toInt();
        product_ = product("Тест'12-А");
        oddProduct_ = product("Х%_9");
        zeros_ = product("0012");
        priced_ = operation(cutting_, 0, product_, {15, 10});
        operation(cutting_, 1, oddProduct_, {3});
        operation(welding_, 0, zeros_, {}); // not priced yet
        shiftJournalWindow->show();
    }

    void browseFromMenu()
    {
        fromMenu([&](OperationList *f) {
            QCOMPARE(f->windowTitle(), "Операции");
            QCOMPARE(f->minimumSize(), f->maximumSize()); // a dialog border: not resizable
            QCOMPARE(f->changeButton->text(), "Изменить");
            QVERIFY(f->addButton->isVisible() && f->deleteButton->isVisible());
            QVERIFY(f->addButton->isDefault());
            QCOMPARE(f->focusWidget(), f->searchEdit);
            // Every operation with a norm, and only those.
            QCOMPARE(dataModule->Oper->recordCount(),
                     sql("select count(distinct o_id) from accounts_dep.norm n join "
                         "accounts_dep.oper o on o.id=n.o_id")
                         .toInt());
            QVERIFY(!dataModule->Oper->locate("i_id", zeros_));
            QVERIFY(dataModule->Oper->locate("id", priced_));
            QCOMPARE(dataModule->Oper->asInteger("norma"), 2);
            QCOMPARE(dataModule->Oper->asFloat("cena"), 10.0);
            QCOMPARE(dataModule->Oper->asString("nmn"), "Готовая продукция");
            QCOMPARE(
                drive::tabWalk(f->searchEdit, 8),
                QList<QWidget *>({f->searchEdit, f->rowsGrid, f->addButton, f->changeButton,
                                  f->deleteButton, f->exitButton, f->exportButton, f->pricesBox}));
        });
        QVERIFY(!dataModule->Oper->isActive());
    }

    void search_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("literal"); // what the marks must contain; empty: all rows
        QTest::newRow("anywhere") << "12"
                                  << "12";
        QTest::newRow("other case") << "тест"
                                    << "ТЕСТ";
        QTest::newRow("spaces only") << "   "
                                     << "";
        QTest::newRow("apostrophe") << "т'1"
                                    << "Т'1";
        QTest::newRow("percent is a character") << "%"
                                                << "%";
        QTest::newRow("underscore is a character") << "_9"
                                                   << "_9";
    }
    void search()
    {
        QFETCH(QString, typed);
        QFETCH(QString, literal);
        fromMenu([&](OperationList *f) {
            type(f->searchEdit, typed);
            const int expected =
                sql("select count(distinct o.id) from accounts_dep.oper o join accounts_dep.norm "
                    "n on n.o_id=o.id join accounts_dep.izdel i on i.id=o.i_id where strpos("
                    "upper(i.marka), $$" +
                    literal + "$$)>0")
                    .toInt();
            QCOMPARE(dataModule->Oper->recordCount(), expected);
            QVERIFY(expected > 0);
            QVERIFY(msg_->shown.isEmpty());
            f->searchEdit->clear();
        });
    }

    void searchBoxWalksTheList()
    {
        fromMenu([&](OperationList *f) {
            db::Dataset *oper = dataModule->Oper;
            oper->first();
            QTest::keyClick(f->searchEdit, Qt::Key_Down);
            QTest::keyClick(f->searchEdit, Qt::Key_Down);
            QCOMPARE(oper->recNo(), 3);
            QTest::keyClick(f->searchEdit, Qt::Key_Up);
            QCOMPARE(oper->recNo(), 2);
            type(f->searchEdit, "ДМ");
            QTest::keyClick(f->searchEdit, Qt::Key_Left);
            QTest::keyClick(f->searchEdit, Qt::Key_Delete);
            QCOMPARE(f->searchEdit->text(), "ДМ");
            // Enter stays in the box: it does not reach "Добавить" and open the editor.
            QTest::keyClick(f->searchEdit, Qt::Key_Return);
            QVERIFY(f->isVisible());
            QVERIFY(!operationEditor->isVisible());
            f->searchEdit->clear();
        });
    }

    void chooseStepPrices_data()
    {
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<double>("price");
        const double plain[] = {10, 10, 12, 15}, off[] = {20, 20, 24, 30};
        for (int s = 1; s <= 4; ++s) {
            QTest::addRow("shift %d", s) << s << false << plain[s - 1];
            QTest::addRow("shift %d day off", s) << s << true << off[s - 1];
        }
    }
    void chooseStepPrices()
    {
        QFETCH(int, shift);
        QFETCH(bool, dayOff);
        QFETCH(double, price);
        const int oldShift = shiftJournalWindow->shift;
        shiftJournalWindow->shift = shift;
        shiftJournalWindow->dayOffBox->setChecked(dayOff);
        QList<OperationList::Picked> got;
        QVERIFY(whileShown<OperationList>(
            [&] {
                operationList->pickFrom(shiftJournalWindow, 1, shiftJournalWindow->entryContext(),
                                        [&](const OperationList::Picked &p) { got << p; });
            },
            [&](OperationList *f) {
                QCOMPARE(f->changeButton->text(), "Выбрать");
                QVERIFY(f->changeButton->isDefault());
                QVERIFY(f->addButton->isHidden() && f->deleteButton->isHidden());
                type(f->searchEdit, "Тест'12");
                QCOMPARE(dataModule->Oper->recordCount(), 1);
                f->pricesBox->setChecked(true); // has no say in pick mode
                const QModelIndex idx = f->rowsGrid->model()->index(0, 0);
                QTest::mouseDClick(f->rowsGrid->viewport(), Qt::LeftButton, {},
                                   f->rowsGrid->visualRect(idx).center());
                QVERIFY(!f->isVisible());
                f->pricesBox->setChecked(false);
            }));
        shiftJournalWindow->shift = oldShift;
        shiftJournalWindow->dayOffBox->setChecked(false);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].price, price);
        QCOMPARE(got[0].operationId, priced_);
        QCOMPARE(got[0].productId, product_);
        QCOMPARE(got[0].naimen, 0);
        QCOMPARE(got[0].text, "Тест'12-А; Резка; Готовая продукция");
        QVERIFY(!dataModule->Oper->isFiltered());
    }

    void chooseOnEmptyOrLeave()
    {
        int calls = 0;
        auto count = [&](const OperationList::Picked &) { ++calls; };
        QVERIFY(whileShown<OperationList>(
            [&] {
                operationList->pickFrom(shiftJournalWindow, 1, shiftJournalWindow->entryContext(),
                                        count);
            },
            [&](OperationList *f) {
                type(f->searchEdit, "нет такой марки");
                QVERIFY(dataModule->Oper->isEmpty());
                click(f->changeButton);
                QVERIFY(!f->isVisible());
            }));
        QVERIFY(whileShown<OperationList>(
            [&] {
                operationList->pickFrom(shiftJournalWindow, 1, shiftJournalWindow->entryContext(),
                                        count);
            },
            [&](OperationList *f) { click(f->exitButton); }));
        QCOMPARE(calls, 0);
        QVERIFY(msg_->shown.isEmpty());
        // The next browse shows the add button and change again.
        fromMenu([](OperationList *f) {
            QCOMPARE(f->changeButton->text(), "Изменить");
            QVERIFY(f->addButton->isVisible());
        });
    }

    void editorRefusals()
    {
        const int before = operations();
        fromMenu([&](OperationList *f) {
            QVERIFY(whileShown<OperationEditor>(
                [&] { click(f->addButton); },
                [&](OperationEditor *e) {
                    QCOMPARE(e->windowTitle(), "Заведение новой цены за операцию");
                    QCOMPARE(e->focusWidget(), e->productPickButton);
                    click(e->saveButton); // nothing chosen
                    QCOMPARE(msg_->texts(), QStringList({"Все поля должны быть заполнены!"}));
                    // The same product, kind and type again.
                    e->productId = product_;
                    e->productEdit->setText("Тест'12-А");
                    e->kindId = cutting_;
                    e->kindEdit->setText("Резка");
                    click(e->saveButton);
                    QCOMPARE(msg_->shown.size(), 2);
                    QCOMPARE(msg_->shown[1].text, "Операция с такими параметрами уже заведена!");
                    QCOMPARE(msg_->shown[1].caption, "Ошибка");
                    QVERIFY(e->isVisible());
                }));
            // Changed into the values of another operation.
            QVERIFY(dataModule->Oper->locate("i_id", oddProduct_));
            QVERIFY(whileShown<OperationEditor>(
                [&] { click(f->changeButton); },
                [&](OperationEditor *e) {
                    QCOMPARE(e->windowTitle(), "Изменение данных о цене за операцию");
                    QCOMPARE(e->productEdit->text(), "Х%_9");
                    QCOMPARE(e->typeBox->currentIndex(), 1);
                    e->productId = product_;
                    e->typeBox->setCurrentIndex(0);
                    click(e->saveButton);
                    QCOMPARE(msg_->shown.size(), 3);
                    QCOMPARE(msg_->shown[2].text, "Операция с такими параметрами уже заведена!");
                    QVERIFY(e->isVisible());
                }));
        });
        QCOMPARE(operations(), before);
    }

    void editorChangesAndStaleRows()
    {
        const int op = operation(welding_, 1, oddProduct_, {4});
        fromMenu([&](OperationList *f) {
            // Saved unchanged: not counted against itself.
            QVERIFY(dataModule->Oper->locate("id", op));
            QVERIFY(whileShown<OperationEditor>([&] { click(f->changeButton); },
                                                [&](OperationEditor *e) {
                                                    click(e->saveButton);
                                                    QVERIFY(!e->isVisible());
                                                }));
            QVERIFY(msg_->shown.isEmpty());
            // Changed by someone else after it was listed: refused, the list re-read.
            QVERIFY(dataModule->Oper->locate("id", op));
            testdb::run(db_, QString("update accounts_dep.oper set naimen=2 where id=%1").arg(op));
            QVERIFY(whileShown<OperationEditor>([&] { click(f->changeButton); },
                                                [&](OperationEditor *e) {
                                                    e->typeBox->setCurrentIndex(0);
                                                    click(e->saveButton);
                                                    QCOMPARE(msg_->shown.size(), 1);
                                                    QVERIFY(e->isVisible());
                                                    QCOMPARE(e->typeBox->currentIndex(), 0);
                                                }));
            QCOMPARE(
                sql(QString("select naimen from accounts_dep.oper where id=%1").arg(op)).toInt(),
                2);
            // Read afresh, the change goes through.
            QVERIFY(dataModule->Oper->locate("id", op));
            QVERIFY(whileShown<OperationEditor>([&] { click(f->changeButton); },
                                                [&](OperationEditor *e) {
                                                    e->typeBox->setCurrentIndex(0);
                                                    click(e->saveButton);
                                                    QVERIFY(!e->isVisible());
                                                }));
            QCOMPARE(
                sql(QString("select naimen from accounts_dep.oper where id=%1").arg(op)).toInt(),
                0);
            QCOMPARE(dataModule->Oper->asInteger("id"), op);
        });
    }

    void productPickFillsTheEditor()
    {
        fromMenu([&](OperationList *f) {
            QVERIFY(whileShown<OperationEditor>(
                [&] { click(f->addButton); },
                [&](OperationEditor *e) {
                    QVERIFY(whileShown<ProductList>([&] { click(e->productPickButton); },
                                                    [&](ProductList *p) {
                                                        QVERIFY(dataModule->Izdel->locate("id",
                                                                                          zeros_));
                                                        click(p->changeButton);
                                                    }));
                    QCOMPARE(e->productEdit->text(), "0012");
                    QCOMPARE(e->productId, zeros_);
                    QCOMPARE(e->focusWidget(), e->productPickButton);
                }));
        });
    }

    // A new operation: the norms window opens for it, and its first norm makes it listed.
    void addOpensItsNorms()
    {
        const int before = operations();
        int added = 0;
        fromMenu([&](OperationList *f) {
            modal::when<OperationEditor>([&](OperationEditor *e) {
                e->productId = product_;
                e->productEdit->setText("Тест'12-А");
                e->kindId = cutting_;
                e->kindEdit->setText("Резка");
                e->typeBox->setCurrentIndex(1); // blanks: the same product and kind once more
                modal::when<NormsWindow>([&](NormsWindow *n) {
                    added = n->operationId;
                    QVERIFY(n->newRowFlag);
                    QTest::keyClick(typeCell(n, 0, 0, "5"), Qt::Key_Tab);
                    settle();
                    QCOMPARE(norms(added), QString()); // no price yet: nothing stored
                    typeCell(n, 0, 1, "7,25");
                    click(n->saveButton);
                });
                click(e->saveButton);
            });
            click(f->addButton);
            QVERIFY(added > 0);
            QCOMPARE(dataModule->Oper->asInteger("id"), added);
            QCOMPARE(dataModule->Oper->asFloat("cena"), 7.25);
            QCOMPARE(dataModule->Oper->asString("nmn"), "Заготовки");
        });
        QCOMPARE(operations(), before + 1);
        QCOMPARE(norms(added), "5:7.25");
        QVERIFY(msg_->shown.isEmpty());
    }

    void newNormRowIsLinked_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("leaving the column") << "column";
        QTest::newRow("another row, same column") << "row";
        QTest::newRow("Сохранить") << "save";
    }
    void newNormRowIsLinked()
    {
        QFETCH(QString, way);
        const int op = operation(welding_, 0, product_, {7});
        const int other = operation(welding_, 1, product_, {9});
        fromMenu([&](OperationList *f) {
            QVERIFY(dataModule->Oper->locate("id", other)); // another row is current in the list
            QVERIFY(whileShown<NormsWindow>(
                [&] { f->openNorms(op); },
                [&](NormsWindow *n) {
                    QCOMPARE(n->model->rowCount(), 2);
                    QTest::keyClick(typeCell(n, 1, 0, "50"), Qt::Key_Tab);
                    QWidget *price = typeCell(n, 1, 1, "5,5");
                    if (way == "column") {
                        QTest::keyClick(price, Qt::Key_Tab);
                        settle();
                        QCOMPARE(norms(op), "10:7 50:5.5");
                    } else if (way == "row") {
                        n->normsGrid->setCurrentIndex(n->model->index(0, 1));
                        settle();
                        QCOMPARE(norms(op), "10:7 50:5.5");
                    }
                    click(n->saveButton);
                    QVERIFY(!n->isVisible());
                }));
            // The list is read afresh: count and lowest price.
            QVERIFY(dataModule->Oper->locate("id", op));
            QCOMPARE(dataModule->Oper->asInteger("norma"), 2);
            QCOMPARE(dataModule->Oper->asFloat("cena"), 5.5);
        });
        QCOMPARE(norms(op), "10:7 50:5.5");
        QCOMPARE(norms(other), "10:9");
        QVERIFY(msg_->shown.isEmpty());
    }

    void normRowRefusals_data()
    {
        QTest::addColumn<QString>("norma");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("prize");
        QTest::addColumn<QString>("message");
        const QString negative = "Норматив, цена и премия не могут быть отрицательными.";
        QTest::newRow("no price") << "40"
                                  << ""
                                  << "5"
                                  << "У нормы должна быть цена.";
        QTest::newRow("negative price") << "40"
                                        << "-1"
                                        << "" << negative;
        QTest::newRow("negative norm") << "-40"
                                       << "2"
                                       << "" << negative;
        QTest::newRow("negative bonus") << "40"
                                        << "2"
                                        << "-5" << negative;
    }
    void normRowRefusals()
    {
        QFETCH(QString, norma);
        QFETCH(QString, price);
        QFETCH(QString, prize);
        QFETCH(QString, message);
        const int op = operation(welding_, 0, oddProduct_ + 0 * zeros_, {8});
        inNorms(op, [&](NormsWindow *n) {
            // Typed in any order, the row is not stored while the cursor stays in it.
            const QString typed[3] = {norma, price, prize};
            for (int c : {2, 0, 1})
                if (!typed[c].isEmpty()) {
                    typeCell(n, 1, c, typed[c]);
                    n->normsGrid->commitEditing();
                }
            n->normsGrid->setCurrentIndex(n->model->index(1, 2));
            settle();
            QCOMPARE(norms(op), "10:8");
            QVERIFY(msg_->shown.isEmpty());
            n->normsGrid->setCurrentIndex(n->model->index(0, 0)); // leaves the row
            settle();
            QCOMPARE(msg_->texts(), QStringList({message}));
            QCOMPARE(n->normsGrid->currentIndex().row(), 1); // back on the refused row
            click(n->saveButton);
            QCOMPARE(msg_->shown.size(), 2);
            QVERIFY(n->isVisible()); // "Сохранить" refuses it too
            n->reject();             // the close box drops it
        });
        QCOMPARE(norms(op), "10:8");
        testdb::run(db_, QString("delete from accounts_dep.oper where id=%1").arg(op));
        testdb::run(db_, QString("delete from accounts_dep.norm where o_id=%1").arg(op));
    }

    // What the norms grid cannot take is said with its column named, and a price past its
    // limit is refused when the row is left; an unusual price is asked about.
    void normFiguresAreSaid_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("a comma in the whole norm")
            << 0 << "5,5"
            << "В поле «Норматив» нужно целое число, без запятой: «5,5».";
        QTest::newRow("a word for a price")
            << 1 << "дорого"
            << "В поле «Цена» нужно число (дробную часть отделяет запятая): «дорого» — не число.";
        QTest::newRow("five decimals")
            << 1 << "1,23456"
            << "В поле «Цена» не более 4 знаков после запятой: «1,23456».";
        QTest::newRow("a price past its limit") << 1 << "99999999999"
                                                << "В поле «Цена» не более 100\u00a0000,00 р.";
    }
    void normFiguresAreSaid()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const int op = operation(welding_, 0, oddProduct_ + 0 * zeros_, {8});
        inNorms(op, [&](NormsWindow *n) {
            typeCell(n, 0, column, typed);
            n->normsGrid->commitEditing();
            settle();
            n->normsGrid->setCurrentIndex(n->model->index(1, 0)); // leaves the row
            settle();
            QCOMPARE(msg_->texts(), QStringList{message});
            n->reject();
        });
        QCOMPARE(norms(op), "10:8");
        msg_->clear();
        // An unusual price: "Нет" keeps it out, "Да" stores it.
        inNorms(op, [&](NormsWindow *n) {
            typeCell(n, 0, 1, "12 500,5");
            n->normsGrid->commitEditing();
            msg_->answer({false, true});
            n->normsGrid->setCurrentIndex(n->model->index(1, 0));
            settle();
            QCOMPARE(norms(op), "10:8");
            click(n->saveButton);
            QVERIFY(!n->isVisible());
        });
        QCOMPARE(msg_->texts(),
                 QStringList(2, "В поле «Цена» 12\u00a0500,50 р. — цена больше 10\u00a0000,00 р. "
                                "бывает редко. Вы уверены?"));
        QCOMPARE(norms(op), "10:12500.5");
        testdb::run(db_, QString("delete from accounts_dep.oper where id=%1").arg(op));
        testdb::run(db_, QString("delete from accounts_dep.norm where o_id=%1").arg(op));
    }

    void existingNormChangedAndLastKept()
    {
        const int op = operation(welding_, 1, zeros_, {6, 9});
        inNorms(op, [&](NormsWindow *n) {
            QCOMPARE(n->minimumSize(), n->maximumSize()); // a dialog border: not resizable
            QCOMPARE(n->model->data(n->model->index(0, 1), Qt::DisplayRole).toString(), "6,00");
            // The row indicator: the cursor's row and the new row.
            const auto indicator = [n] {
                QStringList marks;
                for (int r = 0; r < n->model->rowCount(); ++r)
                    marks << n->model->headerData(r, Qt::Vertical, Qt::DisplayRole).toString();
                return marks.join('|');
            };
            QCOMPARE(indicator(), "▶||*");
            n->normsGrid->setCurrentIndex(n->model->index(1, 0));
            QCOMPARE(indicator(), "|▶|*");
            n->normsGrid->setCurrentIndex(n->model->index(2, 0));
            QCOMPARE(indicator(), "||*");
            typeCell(n, 1, 1, "9,125");
            n->normsGrid->setCurrentIndex(n->model->index(1, 2));
            settle();
            QCOMPARE(norms(op), "10:6 20:9.125");
            QCOMPARE(n->model->data(n->model->index(1, 1), Qt::DisplayRole).toString(), "9,125");
            n->normsGrid->setCurrentIndex(n->model->index(0, 0));
            click(n->deleteButton);
            QCOMPARE(norms(op), "20:9.125");
            QCOMPARE(n->model->storedRows(), 1);
            click(n->deleteButton); // the last norm stays, silently
            QCOMPARE(norms(op), "20:9.125");
            QCOMPARE(n->model->storedRows(), 1);
            // A norm changed by another user after it was read is not overwritten.
            testdb::run(db_, QString("update accounts_dep.norm set prize=1 where o_id=%1").arg(op));
            typeCell(n, 0, 1, "3");
            n->normsGrid->setCurrentIndex(n->model->index(0, 0));
            settle();
            QCOMPARE(msg_->shown.size(), 1);
            QCOMPARE(norms(op), "20:9.125");
        });
        QCOMPARE(msg_->shown.size(), 1);
    }

    void deleteOperation()
    {
        const int op = operation(welding_, 0, oddProduct_, {2, 3});
        fromMenu([&](OperationList *f) {
            QVERIFY(dataModule->Oper->locate("id", op));
            msg_->answer({false});
            click(f->deleteButton);
            QCOMPARE(msg_->shown.size(), 1);
            QCOMPARE(msg_->shown[0].text, "Удалить операцию?");
            QCOMPARE(msg_->shown[0].caption, "Удаление");
            QVERIFY(dataModule->Oper->locate("id", op));
            msg_->answer({true});
            click(f->deleteButton);
            QVERIFY(!dataModule->Oper->locate("id", op));
        });
        QCOMPARE(sql(QString("select count(*) from accounts_dep.oper where id=%1").arg(op)).toInt(),
                 0);
        QCOMPARE(norms(op), "10:2 20:3"); // only the operation row goes
    }

    // The operations of the maintenance and average-piecework kinds hold those kinds' hour
    // prices: never deleted, never booked as shift work.
    void hourPriceOperationsStay()
    {
        for (int kind : {7777, 7778}) {
            const int op =
                sql(QString("select min(id) from accounts_dep.oper where vid=%1").arg(kind))
                    .toInt();
            fromMenu([&](OperationList *f) {
                QVERIFY(dataModule->Oper->locate("id", op));
                click(f->deleteButton);
                QCOMPARE(msg_->shown.size(), 1);
                QCOMPARE(msg_->shown[0].kind, "error");
                QVERIFY(msg_->shown[0].text.startsWith("Эту операцию удалить нельзя"));
                QVERIFY(dataModule->Oper->locate("id", op));
            });
            msg_->shown.clear();
            QCOMPARE(
                sql(QString("select count(*) from accounts_dep.oper where id=%1").arg(op)).toInt(),
                1);
            int picked = 0;
            QVERIFY(whileShown<OperationList>(
                [&] {
                    operationList->pickFrom(shiftJournalWindow, 1,
                                            shiftJournalWindow->entryContext(),
                                            [&](const OperationList::Picked &) { ++picked; });
                },
                [&](OperationList *f) {
                    QVERIFY(dataModule->Oper->locate("id", op));
                    click(f->changeButton);
                }));
            QCOMPARE(picked, 0);
            QCOMPARE(msg_->texts(),
                     QStringList{"Операции хоз. работ и среднесдельной задают цену часа и в "
                                 "смену не заводятся."});
            msg_->shown.clear();
        }
    }

    void doubleClickOpensNormsWithPrices()
    {
        fromMenu([&](OperationList *f) {
            type(f->searchEdit, "Тест'12");
            QVERIFY(dataModule->Oper->locate("id", priced_));
            const QModelIndex idx = f->rowsGrid->model()->index(dataModule->Oper->recNo() - 1, 0);
            const QPoint at = f->rowsGrid->visualRect(idx).center();
            f->pricesBox->setChecked(true);
            QVERIFY(whileShown<NormsWindow>(
                [&] { QTest::mouseDClick(f->rowsGrid->viewport(), Qt::LeftButton, {}, at); },
                [&](NormsWindow *n) {
                    QCOMPARE(n->operationId, priced_);
                    QCOMPARE(n->model->storedRows(), 2);
                }));
            f->pricesBox->setChecked(false);
            QVERIFY(whileShown<OperationEditor>(
                [&] { QTest::mouseDClick(f->rowsGrid->viewport(), Qt::LeftButton, {}, at); },
                [&](OperationEditor *e) { QCOMPARE(e->productEdit->text(), "Тест'12-А"); }));
            f->searchEdit->clear();
        });
    }

    // No folder for the workbook: the two messages, no workbook, and neither the query nor
    // the hourglass cursor left behind.
    void exportWithoutFolder()
    {
        SheetsFixture sheets;
        QTemporaryFile blocker;
        QVERIFY(blocker.open());
        excel::setDocumentsFolder(blocker.fileName() + "/Документы");
        fromMenu([&](OperationList *f) { click(f->exportButton); });
        QCOMPARE(msg_->texts(), QStringList({"Невозможно открыть Microsoft Excel.",
                                             "Ошибка открытия файла Microsoft Excel."}));
        QVERIFY(sheets.opened.isEmpty());
        QVERIFY(!operationList->XLS_Rep->isActive());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void exportEveryOperation()
    {
        SheetsFixture sheets;
        fromMenu([&](OperationList *f) {
            type(f->searchEdit, "Тест"); // the export ignores the search box
            click(f->exportButton);
            f->searchEdit->clear();
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(sheets.opened.size(), 1);
        const QJsonObject cells = sheets.readLast()["cells"].toObject();
        auto text = [&](const QString &at) { return cells[at].toObject()["value"].toVariant(); };
        QCOMPARE(text("A1").toString(), "Марка");
        QCOMPARE(text("B1").toString(), "Операция");
        QCOMPARE(text("C1").toString(), "Цена");
        QCOMPARE(text("D1").toString(), "Вид");
        const int rows = operations();
        QVERIFY(cells.contains(QString("A%1").arg(rows + 1)));
        QVERIFY(!cells.contains(QString("A%1").arg(rows + 2)));
        // The operation without norms is there; its mark stays as typed.
        bool found = false;
        for (int r = 2; r <= rows + 1; ++r) {
            const QJsonObject mark = cells[QString("A%1").arg(r)].toObject();
            if (mark["value"].toString() != "0012")
                continue;
            found = true;
            QCOMPARE(mark["format"].toString(), "@");
            const QJsonObject price = cells[QString("C%1").arg(r)].toObject();
            QCOMPARE(price["type"].toString(), "number");
            QCOMPARE(price["value"].toDouble(), 0.0);
        }
        QVERIFY(found);
    }
};

TABEL_TEST_MAIN(OperationsTest)
#include "tst_operations.moc"
