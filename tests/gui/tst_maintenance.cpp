// The maintenance journal, its entry editor and the nomenclature picker, driven through
// their controls against a small shop of their own.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/Connection.h"
#include "db/SqlError.h"
#include "journal/ShiftJournalWindow.h"
#include "maintenance/MaintenanceEntryEditor.h"
#include "maintenance/MaintenanceJournalWindow.h"
#include "maintenance/NomenclaturePicker.h"
#include "refbooks/WorkerList.h"
#include "shop/DataModule.h"
#include "ui/DBGrid.h"
#include "ui/LookupCombo.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlQuery>

using drive::click;
using drive::type;
using drive::whileShown;

namespace {
const QDate kDay(2021, 2, 10); // a Wednesday
const QDate kSaturday(2021, 2, 13);
const QDate kDecember(2021, 12, 15);

QString dmy(const QDate &d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}
} // namespace

class MaintenanceTest : public gui::Fixture {
    Q_OBJECT
    int w1_ = 0, w2_ = 0; // Антонов, Борисов

    int entry(int worker, int nom, int kind, const QDate &d, int cnt, double price, int holiday = 0,
              int night = 0)
    {
        return sql(QStringLiteral("insert into accounts_dep.fatigue (id_nom, id_o, id_p, d_date, "
                                  "i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night) "
                                  "values (%1, %2, %3, '%4', %5, %6, 1, %7, %8, %9, %10) "
                                  "returning id")
                       .arg(nom)
                       .arg(kind)
                       .arg(worker)
                       .arg(dmy(d))
                       .arg(d.month())
                       .arg(d.year())
                       .arg(cnt)
                       .arg(price)
                       .arg(holiday)
                       .arg(night))
            .toInt();
    }
    void shiftEntry(int worker, int product, const QDate &d, int qty, int rejects, double price,
                    int hours)
    {
        const int operation = sql("select min(id) from accounts_dep.oper").toInt();
        shop.entry(worker)
            .operation(operation, product)
            .price(price)
            .made(qty, rejects)
            .on(d, 1)
            .hours(hours)
            .mark("no")
            .insert();
    }
    // The day's cell of a maintenance timesheet row; invalid when there is no row.
    QVariant cell(int worker, int kind, int night, const QDate &d)
    {
        return sql(QStringLiteral("select coalesce(d%1, -1) from accounts_dep.h_tabel where "
                                  "w_id=%2 and i_type=%3 and i_night=%4 and month=%5 and "
                                  "year=%6 and smena=0")
                       .arg(d.day())
                       .arg(worker)
                       .arg(kind)
                       .arg(night)
                       .arg(d.month())
                       .arg(d.year()));
    }
    int entries() { return sql("select count(*) from accounts_dep.fatigue").toInt(); }
    QString price(int id)
    {
        return sql(QStringLiteral("select price::float8::text from accounts_dep.fatigue where "
                                  "id=%1")
                       .arg(id))
            .toString();
    }
    int lastEntry() { return sql("select max(id) from accounts_dep.fatigue").toInt(); }

    // The journal opened from the main window and moved to a date.
    void inJournal(const QDate &d, std::function<void(MaintenanceJournalWindow *)> act)
    {
        QVERIFY(whileShown<MaintenanceJournalWindow>(
            [] { click(shiftJournalWindow->maintenanceButton); },
            [&](MaintenanceJournalWindow *f) {
                // It opens on the main window's date.
                QCOMPARE(f->dateEdit->date(), shiftJournalWindow->journalDate());
                f->dateEdit->setDate(d);
                act(f);
            }));
    }
    void inEditor(QPushButton *opener, std::function<void(MaintenanceEntryEditor *)> act)
    {
        QVERIFY(whileShown<MaintenanceEntryEditor>([&] { click(opener); }, act));
    }
    void pickWorker(MaintenanceEntryEditor *e, const QString &typed)
    {
        QVERIFY(whileShown<WorkerList>([&] { click(e->workerPickButton); },
                                       [&](WorkerList *f) {
                                           type(f->searchEdit, typed);
                                           QTest::keyClick(f->searchEdit, Qt::Key_Return);
                                       }));
    }
    void pickNomenclature(MaintenanceEntryEditor *e, const QString &typed)
    {
        QVERIFY(whileShown<NomenclaturePicker>([&] { click(e->nomenclaturePickButton); },
                                               [&](NomenclaturePicker *f) {
                                                   f->searchEdit->clear();
                                                   type(f->searchEdit, typed);
                                                   QTest::keyClick(f->searchEdit, Qt::Key_Return);
                                               }));
    }
    // Fills a new entry and saves it; the editor is left open when the save is refused.
    void addEntry(MaintenanceJournalWindow *f, const QString &worker, const QString &nom, int kind,
                  int hours, bool night)
    {
        inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
            pickWorker(e, worker);
            pickNomenclature(e, nom);
            e->workKindBox->setKeyValue(kind);
            e->hoursEdit->clear();
            type(e->hoursEdit, QString::number(hours));
            e->nightBox->setChecked(night);
            click(e->saveButton);
            QVERIFY2(!e->isVisible(), qPrintable(msg_->texts().join("; ")));
        });
    }
    void doubleClickRow(MaintenanceJournalWindow *f, int recNo)
    {
        f->fatigue->setRecNo(recNo);
        drive::doubleClickRow(f->entriesGrid, recNo - 1);
    }

private slots:
    void initTestCase()
    {
        startProgram(QStringLiteral("tabel_schema"));
        w1_ = shop.worker("Антонов А.А.", "");
        w2_ = shop.worker("Борисов Б.Б.", "");
        shop.worker("Д'Арк Ж.", "");
        testdb::run(db_, "insert into cmn_classifier.item (id, id_classifier, id_level, s_code, "
                         "s_caption) values (100, 1, 1, '1', 'Группа'), (101, 1, 2, '1.1', "
                         "'Двери'), (102, 1, 2, '1.2', 'Окна'), (103, 1, 2, '1.3', 'Д''Арк "
                         "ворота'), (104, 1, 2, '1.4', '50% скидка'), (105, 1, 2, '1.5', "
                         "'50 лет'), (106, 1, 2, '1.6', 'A_B'), (107, 1, 2, '1.7', 'AxB')");
        testdb::run(db_, "insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, id_class_item) "
                         "values (1, 'Дверь ДМ', 101), (2, 'Окно ОК', 102)");
        shiftJournalWindow->show();
    }
    void init()
    {
        testdb::run(db_, "delete from accounts_dep.fatigue");
        testdb::run(db_, "delete from accounts_dep.smena");
        testdb::run(db_, "delete from accounts_dep.h_tabel");
        testdb::run(db_, "update accounts_dep.norm n set price = case o.vid when 7777 then 250 "
                         "else 300 end from accounts_dep.oper o where o.id = n.o_id");
        Fixture::init();
        nomenclaturePicker->searchEdit->clear();
    }

    void journalGridShowsEntriesOfTheDate()
    {
        entry(w2_, 101, 7777, kDay, 3, 250.5, 1, 0);
        entry(w1_, 102, 7778, kDay, 8, 12.5, 0, 1);
        entry(w1_, 101, 7777, kDay, 2, 250);
        entry(w1_, 101, 7777, kDay.addDays(1), 4, 250); // another date
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            QCOMPARE(f->windowTitle(), QStringLiteral("Хоз. работы (25)"));
            QCOMPARE(f->minimumSize(), f->maximumSize()); // a dialog border: not resizable
            // The journal, its editor and the picker carry the program's icon.
            for (QWidget *w :
                 std::initializer_list<QWidget *>{f, maintenanceEntryEditor, nomenclaturePicker})
                QVERIFY2(!w->windowIcon().pixmap(16, 16).isNull(), qPrintable(w->objectName()));
            auto *model = f->entriesGrid->gridModel();
            const QStringList titles = {"ФИО",    "Номенклатура", "Работа", "Цена",
                                        "Кол-во", "Итого",        "Вых.",   "Ноч."};
            QCOMPARE(model->columnCount(), titles.size());
            for (int i = 0; i < titles.size(); ++i)
                QCOMPARE(model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(),
                         titles[i]);
            QCOMPARE(model->rowCount(), 3);
            QStringList rows;
            for (int r = 0; r < 3; ++r) {
                QStringList cells;
                for (int c = 0; c < titles.size(); ++c)
                    cells << model->cellText(r, c);
                rows << cells.join('|');
            }
            // By worker, then in the order entered.
            QCOMPARE(rows, (QStringList{"Антонов А.А.|Окна|Ср. сдельная|12,50|8|100,00||+",
                                        "Антонов А.А.|Двери|Хоз. работы|250,00|2|500,00||",
                                        "Борисов Б.Б.|Двери|Хоз. работы|250,50|3|751,50|+|"}));
        });
    }

    void dateChangeSetsDayOff_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("dayOff");
        QTest::newRow("Saturday") << kSaturday << true;
        QTest::newRow("Sunday") << kSaturday.addDays(1) << true;
        QTest::newRow("Monday") << kSaturday.addDays(2) << false;
    }
    void dateChangeSetsDayOff()
    {
        QFETCH(QDate, date);
        QFETCH(bool, dayOff);
        entry(w1_, 101, 7777, date, 2, 250);
        inJournal(date.addDays(-3), [&](MaintenanceJournalWindow *f) {
            f->dayOffBox->setChecked(!dayOff); // the user's tick goes with the date
            f->dateEdit->setDate(date);
            QCOMPARE(f->dayOffBox->isChecked(), dayOff);
            QCOMPARE(f->dayOffBox->font().bold(), dayOff);
            QCOMPARE(f->fatigue->recordCount(), 1);
            // A tick of the user's own stays when the list is read again.
            f->dayOffBox->setChecked(!dayOff);
            f->FormActivate();
            QCOMPARE(f->dayOffBox->isChecked(), !dayOff);
            QCOMPARE(f->dayOffBox->font().bold(), !dayOff);
        });
    }

    void emptyListOffersNothingToChangeOrDelete()
    {
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            QVERIFY(f->fatigue->isEmpty());
            bool editor = false;
            modal::when<MaintenanceEntryEditor>([&](MaintenanceEntryEditor *e) {
                editor = true;
                e->reject();
            });
            click(f->changeButton);
            click(f->deleteButton);
            QTest::mouseDClick(f->entriesGrid->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
            QTest::qWait(200);
            modal::cancelPending();
            QVERIFY(!editor);
        });
        QVERIFY(msg_->shown.isEmpty());
    }

    void deleteCorrectsTheTimesheetCell_data()
    {
        QTest::addColumn<int>("doomed"); // the entry deleted: 0 the 3-hour, 1 the 5-hour one
        QTest::addColumn<bool>("both");  // whether the other one goes first
        QTest::addColumn<int>("left");
        QTest::newRow("one of two: the rest remains") << 0 << false << 5;
        QTest::newRow("the last one: 0") << 1 << true << 0;
    }
    void deleteCorrectsTheTimesheetCell()
    {
        QFETCH(int, doomed);
        QFETCH(bool, both);
        QFETCH(int, left);
        const int ids[] = {entry(w1_, 101, 7777, kDay, 3, 250),
                           entry(w1_, 102, 7777, kDay, 5, 250)};
        const int night = entry(w1_, 101, 7777, kDay, 7, 300, 0, 1);
        testdb::run(db_, QStringLiteral("insert into accounts_dep.h_tabel (w_id, month, year, "
                                        "i_type, i_night, d10, d11) values (%1, 2, 2021, 7777, "
                                        "0, 8, 6), (%1, 2, 2021, 7777, 1, 7, null)")
                             .arg(w1_));
        if (both)
            testdb::run(db_, QStringLiteral("delete from accounts_dep.fatigue where id=%1")
                                 .arg(ids[1 - doomed]));
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            QVERIFY(f->fatigue->locate("id", ids[doomed]));
            const int rec = f->fatigue->recNo();
            msg_->answer({false});
            click(f->deleteButton);
            QCOMPARE(sql("select count(*) from accounts_dep.fatigue where id=" +
                         QString::number(ids[doomed]))
                         .toInt(),
                     1);
            QCOMPARE(msg_->shown.size(), 1);
            QCOMPARE(msg_->shown[0].text, QStringLiteral("Удалить позицию «%1, %2, %3» из списка?")
                                              .arg(f->fatigue->asString("fio").trimmed(),
                                                   f->fatigue->asString("vid").trimmed(),
                                                   f->fatigue->asString("s_caption").trimmed()));
            QCOMPARE(msg_->shown[0].caption, QStringLiteral("Удаление"));
            QCOMPARE(msg_->shown[0].kind, QStringLiteral("question"));
            msg_->answer({true});
            click(f->deleteButton);
            QCOMPARE(msg_->shown.size(), 2);
            QCOMPARE(f->fatigue->recordCount(), both ? 1 : 2);
            QCOMPARE(f->fatigue->recNo(), qMin(rec, f->fatigue->recordCount()));
        });
        QCOMPARE(sql("select count(*) from accounts_dep.fatigue where id=" +
                     QString::number(ids[doomed]))
                     .toInt(),
                 0);
        QCOMPARE(cell(w1_, 7777, 0, kDay).toInt(), left);
        QCOMPARE(cell(w1_, 7777, 0, kDay.addDays(1)).toInt(), 6);
        QCOMPARE(cell(w1_, 7777, 1, kDay).toInt(), 7);
        QVERIFY(night > 0);
    }

    // Another user moved the entry to another worker after the list was read: the delete is
    // refused, the entry stays, and no cell is corrected from the list's stale values.
    void deleteOfAnEntryMovedMeanwhileIsRefused()
    {
        const int id = entry(w1_, 101, 7777, kDay, 3, 250);
        testdb::run(db_, QStringLiteral("insert into accounts_dep.h_tabel (w_id, month, year, "
                                        "i_type, i_night, d10) values (%1, 2, 2021, 7777, 0, 0), "
                                        "(%2, 2, 2021, 7777, 0, 3)")
                             .arg(w1_)
                             .arg(w2_));
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            QVERIFY(f->fatigue->locate("id", id));
            testdb::run(db_, QStringLiteral("update accounts_dep.fatigue set id_p=%1 where id=%2")
                                 .arg(w2_)
                                 .arg(id));
            msg_->answer({true});
            click(f->deleteButton);
            QCOMPARE(msg_->shown.size(), 2);
            QCOMPARE(msg_->shown[1].kind, QStringLiteral("error"));
        });
        QCOMPARE(
            sql("select id_p from accounts_dep.fatigue where id=" + QString::number(id)).toInt(),
            w2_);
        QCOMPARE(cell(w1_, 7777, 0, kDay).toInt(), 0);
        QCOMPARE(cell(w2_, 7777, 0, kDay).toInt(), 3);
    }

    void averagePrices_data()
    {
        QTest::addColumn<QDate>("date"); // the journal's date when the button is pressed
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("expected");
        QTest::newRow("working day: (8*5 + 6*10) / 8") << kDay << "day"
                                                       << "12.5";
        QTest::newRow("day off: doubled") << kDay << "day off"
                                          << "25";
        QTest::newRow("night: a fifth more") << kDay << "night"
                                             << "15";
        QTest::newRow("night on a day off: both factors") << kDay << "night off"
                                                          << "30";
        QTest::newRow("shift work only on other nomenclature") << kDay << "other"
                                                               << "0";
        QTest::newRow("maintenance untouched") << kDay << "maintenance"
                                               << "250";
        QTest::newRow("other month untouched") << kDay << "january"
                                               << "300";
        QTest::newRow("December up to 1 January") << kDecember << "december"
                                                  << "3";
        QTest::newRow("December of another year untouched") << kDecember << "december 2020"
                                                            << "300";
    }
    void averagePrices()
    {
        QFETCH(QDate, date);
        QFETCH(QString, which);
        QFETCH(QString, expected);
        // Антонов on doors: in February 8 good pieces at 5 and 6 at 10 in 8 hours, with work
        // just outside the month on both sides; Борисов on windows only.
        shiftEntry(w1_, 1, QDate(2021, 2, 1), 10, 2, 5, 4);
        shiftEntry(w1_, 1, QDate(2021, 2, 28), 6, 0, 10, 4);
        shiftEntry(w1_, 1, QDate(2021, 1, 31), 100, 0, 100, 1);
        shiftEntry(w1_, 1, QDate(2021, 3, 1), 100, 0, 100, 1);
        shiftEntry(w2_, 2, QDate(2021, 2, 5), 10, 0, 7, 5);
        // December: 1 December counts, 1 January does not: 6 pieces at 2 in 4 hours.
        shiftEntry(w1_, 1, QDate(2021, 12, 1), 6, 0, 2, 4);
        shiftEntry(w1_, 1, QDate(2022, 1, 1), 100, 0, 100, 1);
        const QMap<QString, int> ids = {
            {"day", entry(w1_, 101, 7778, kDay, 8, 300)},
            {"day off", entry(w1_, 101, 7778, kSaturday, 8, 300, 1)},
            {"night", entry(w1_, 101, 7778, kDay, 8, 360, 0, 1)},
            {"night off", entry(w1_, 101, 7778, kSaturday, 8, 720, 1, 1)},
            {"other", entry(w2_, 101, 7778, kDay, 8, 300)},
            {"maintenance", entry(w1_, 101, 7777, kDay, 8, 250)},
            {"january", entry(w1_, 101, 7778, QDate(2021, 1, 20), 8, 300)},
            {"december", entry(w1_, 101, 7778, kDecember, 8, 300)},
            {"december 2020", entry(w1_, 101, 7778, QDate(2020, 12, 15), 8, 300)},
        };
        inJournal(date, [&](MaintenanceJournalWindow *f) {
            click(f->averagePricesButton);
            QVERIFY(f->isVisible());
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(price(ids[which]), expected);
    }

    void editorPricesWithFactors_data()
    {
        QTest::addColumn<double>("norm");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<bool>("night");
        QTest::addColumn<QString>("expected");
        QTest::newRow("day on a working day") << 250.0 << 7777 << false << false << "250";
        QTest::newRow("day off") << 250.0 << 7777 << true << false << "500";
        QTest::newRow("night") << 300.0 << 7778 << false << true << "360";
        QTest::newRow("night on a day off: 2.4") << 250.0 << 7777 << true << true << "600";
        QTest::newRow("fractional, with a point") << 12.5 << 7778 << false << false << "12.5";
        QTest::newRow("fractional at night") << 5.25 << 7777 << false << true << "6.3";
    }
    void editorPricesWithFactors()
    {
        QFETCH(double, norm);
        QFETCH(int, kind);
        QFETCH(bool, dayOff);
        QFETCH(bool, night);
        QFETCH(QString, expected);
        testdb::run(db_, QStringLiteral("update accounts_dep.norm n set price=%1 from "
                                        "accounts_dep.oper o where o.id=n.o_id and o.vid=%2")
                             .arg(norm)
                             .arg(kind));
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            f->dayOffBox->setChecked(dayOff);
            addEntry(f, "Бор", "Ок", kind, 6, night);
            QCOMPARE(f->fatigue->recordCount(), 1);
        });
        QCOMPARE(price(lastEntry()), expected);
        QCOMPARE(sql("select format('%s %s %s %s %s %s %s %s %s', id_nom, id_o, id_p, d_date, "
                     "i_mnth, i_year, i_smena, cnt, i_holiday) || ' ' || i_night from "
                     "accounts_dep.fatigue")
                     .toString(),
                 QStringLiteral("102 %1 %2 2021-02-10 2 2021 1 6 %3 %4")
                     .arg(kind)
                     .arg(w2_)
                     .arg(dayOff ? 1 : 0)
                     .arg(night ? 1 : 0));
    }

    // A database from before the hour-price operations were fixed: a second operation of
    // the maintenance kind, on another product at 35, and a second norm row of average
    // piecework. The kind list still shows each kind once, in order, at its own price.
    void kindListShowsEachKindOnceAtItsOwnPrice()
    {
        testdb::run(db_, "alter table accounts_dep.oper disable trigger oper_hour_price; "
                         "alter table accounts_dep.norm disable trigger norm_hour_price");
        testdb::run(db_, "insert into accounts_dep.oper (id, vid, naimen, i_id) values "
                         "(990, 7777, 0, 2)");
        testdb::run(db_, "insert into accounts_dep.norm (o_id, norma, price, prize) select 990, "
                         "0, 35, 0 union all select id, 0, 40, 0 from accounts_dep.oper where "
                         "vid=7778");
        const auto restore = qScopeGuard([&] {
            testdb::run(db_, "delete from accounts_dep.norm where price in (35, 40); "
                             "delete from accounts_dep.oper where id=990; "
                             "alter table accounts_dep.oper enable trigger oper_hour_price; "
                             "alter table accounts_dep.norm enable trigger norm_hour_price");
        });
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                QStringList kinds;
                for (int i = 0; i < e->workKindBox->count(); ++i)
                    kinds << e->workKindBox->itemText(i);
                QCOMPARE(kinds, (QStringList{"Хоз. работы", "Ср. сдельная"}));
                QCOMPARE(e->priceEdit->text(), QStringLiteral("250,00"));
                e->workKindBox->setKeyValue(7778);
                QCOMPARE(e->priceEdit->text(), QStringLiteral("300,00"));
                click(e->cancelButton);
            });
        });
    }

    void editorShowsPriceAndSum()
    {
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                QCOMPARE(e->windowTitle(), QStringLiteral("Хоз. работы/среднесдельная (24)"));
                QCOMPARE(e->findChild<QGroupBox *>()->title(), QStringLiteral("Закрыто мастером"));
                QCOMPARE(e->mode, ui::EditMode::Add);
                QCOMPARE(e->hoursEdit->text(), QStringLiteral("0"));
                QVERIFY(e->workerEdit->text().isEmpty() && e->nomenclatureEdit->text().isEmpty());
                QVERIFY(e->nightBox->isEnabled() && !e->nightBox->isChecked());
                QCOMPARE(e->workKindBox->currentText(), QStringLiteral("Хоз. работы"));
                QCOMPARE(e->priceEdit->text(), QStringLiteral("250,00"));
                QCOMPARE(e->sumEdit->text(), QStringLiteral("0,00"));
                e->hoursEdit->clear();
                type(e->hoursEdit, "7");
                QCOMPARE(e->sumEdit->text(), QStringLiteral("1750,00"));
                e->workKindBox->setKeyValue(7778);
                QCOMPARE(e->priceEdit->text(), QStringLiteral("300,00"));
                QCOMPARE(e->sumEdit->text(), QStringLiteral("2100,00"));
                // The sum is what a save stores: at night a fifth more.
                e->nightBox->setChecked(true);
                QCOMPARE(e->sumEdit->text(), QStringLiteral("2520,00"));
                e->nightBox->setChecked(false);
                QVERIFY(e->saveButton->isDefault());
                QCOMPARE(e->cancelButton->text(), QStringLiteral("Выход"));
                click(e->cancelButton);
                QVERIFY(!e->isVisible());
            });
        });
        QCOMPARE(entries(), 0);
    }

    void editorShowsThePriceItSaves_data()
    {
        QTest::addColumn<double>("norm");
        QTest::addColumn<QString>("shown"); // price | sum of 3 hours
        QTest::addColumn<QString>("saved");
        QTest::newRow("whole") << 250.0 << "250,00|750,00"
                               << "250";
        QTest::newRow("one decimal") << 5.5 << "5,50|16,50"
                                     << "5.5";
        QTest::newRow("three decimals") << 12.345 << "12,345|37,035"
                                        << "12.345";
        QTest::newRow("below one") << 0.125 << "0,125|0,375"
                                   << "0.125";
    }
    void editorShowsThePriceItSaves()
    {
        QFETCH(double, norm);
        QFETCH(QString, shown);
        QFETCH(QString, saved);
        testdb::run(db_, QStringLiteral("update accounts_dep.norm n set price=%1 from "
                                        "accounts_dep.oper o where o.id=n.o_id and o.vid=7777")
                             .arg(norm));
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            f->dayOffBox->setChecked(false);
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                pickWorker(e, "Ант");
                pickNomenclature(e, "Две");
                e->hoursEdit->clear();
                type(e->hoursEdit, "3");
                QCOMPARE(e->priceEdit->text() + '|' + e->sumEdit->text(), shown);
                click(e->saveButton);
                QVERIFY(!e->isVisible());
            });
        });
        QCOMPARE(price(lastEntry()), saved);
    }

    // The hours box keeps what is typed or pasted; a save refuses what is no whole number of
    // hours with the field named, and nothing is dropped or shifted ("1a2,5" never becomes 125).
    void hoursBoxRefusesWhatIsNoWholeNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString noNumber =
            QStringLiteral("В поле «Часы» нужно целое число: «%1» — не число.");
        QTest::newRow("a decimal comma")
            << "7,5" << QStringLiteral("В поле «Часы» нужно целое число, без запятой: «7,5».");
        QTest::newRow("letters among digits")
            << "1a2,5" << QStringLiteral("В поле «Часы» нужно целое число, без запятой: «1a2,5».");
        QTest::newRow("minus and spaces")
            << " -8 " << QStringLiteral("В поле «Часы» число не может быть отрицательным: «-8».");
        QTest::newRow("quote") << "4'; drop table x" << noNumber.arg("4'; drop table x");
        QTest::newRow("a unit after the hours") << "8ч" << noNumber.arg("8ч");
        QTest::newRow("other scripts' digits") << "٣4" << noNumber.arg("٣4");
        QTest::newRow("more than a day")
            << "25"
            << QStringLiteral("В поле «Часы» не более 24 ч: смена не бывает длиннее суток.");
    }
    void hoursBoxRefusesWhatIsNoWholeNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                pickWorker(e, "Ант");
                pickNomenclature(e, "Две");
                e->hoursEdit->clear();
                QGuiApplication::clipboard()->setText(typed);
                e->hoursEdit->paste();
                QCOMPARE(e->hoursEdit->text(), typed);
                e->hoursEdit->clear();
                type(e->hoursEdit, typed);
                QCOMPARE(e->hoursEdit->text(), typed);
                click(e->saveButton);
                QVERIFY(e->isVisible());
                QCOMPARE(msg_->texts(), QStringList{message});
                QCOMPARE(e->hoursEdit->text(), typed);
                QVERIFY(e->sumEdit->text().isEmpty() || typed == "25");
            });
        });
        QCOMPARE(entries(), 0);
    }

    // "Цена" shows the hour price a save stores, the one "Сумма" is made of: an average-
    // piecework entry's own price, not the list price of its kind.
    void priceBoxShowsThePriceStored()
    {
        const int id = entry(w1_, 101, 7778, kDay, 8, 67.29);
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            QVERIFY(f->fatigue->locate("id", id));
            QVERIFY(whileShown<MaintenanceEntryEditor>(
                [&] { doubleClickRow(f, f->fatigue->recNo()); },
                [&](MaintenanceEntryEditor *e) {
                    QCOMPARE(e->priceEdit->text() + '|' + e->sumEdit->text(),
                             QStringLiteral("67,29|538,32"));
                    click(e->cancelButton);
                }));
        });
    }

    // The worker's day holds at most 24 hours across the shift journal and this one; more
    // than 12 hours in one entry is asked about.
    void dayHoursAndUnusualHours()
    {
        shiftEntry(w1_, sql("select min(id) from accounts_dep.izdel").toInt(), kDay, 5, 0, 1, 14);
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                pickWorker(e, "Ант");
                pickNomenclature(e, "Две");
                e->hoursEdit->clear();
                type(e->hoursEdit, "11");
                click(e->saveButton);
                QVERIFY(e->isVisible());
                QCOMPARE(msg_->texts(),
                         QStringList{"У работника за 10.02.2021 уже записано 14 ч во всех "
                                     "журналах; с этой записью было бы 25 ч, а в сутках не более "
                                     "24 ч."});
                msg_->clear();
                e->hoursEdit->clear();
                type(e->hoursEdit, "10");
                click(e->saveButton);
                QVERIFY(!e->isVisible());
            });
        });
        testdb::run(db_, "delete from accounts_dep.smena where time=14");
        testdb::run(db_, "delete from accounts_dep.fatigue");
        testdb::run(db_, "delete from accounts_dep.h_tabel");
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                pickWorker(e, "Ант");
                pickNomenclature(e, "Две");
                e->hoursEdit->clear();
                type(e->hoursEdit, "13");
                msg_->answer({false});
                click(e->saveButton);
                QVERIFY(e->isVisible());
                QCOMPARE(msg_->texts(), QStringList{"В поле «Часы» 13 ч — смена длиннее 12 часов "
                                                    "бывает редко. Вы уверены?"});
                msg_->answer({true});
                click(e->saveButton);
                QVERIFY(!e->isVisible());
            });
        });
        QCOMPARE(sql("select cnt from accounts_dep.fatigue").toInt(), 13);
    }

    void refusedSaves_data()
    {
        QTest::addColumn<bool>("worker");
        QTest::addColumn<bool>("nomenclature");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("message");
        const QString fill = QStringLiteral("Все поля должны быть заполнены!");
        const QString count = QStringLiteral("Нужно завести количество!");
        QTest::newRow("no worker, hours 0: fields first") << false << true << "0" << fill;
        QTest::newRow("no nomenclature") << true << false << "5" << fill;
        QTest::newRow("hours 0") << true << true << "0" << count;
        QTest::newRow("hours empty") << true << true << "" << count;
        QTest::newRow("hours beyond a cell")
            << true << true << "32768"
            << QStringLiteral("В поле «Часы» не более 24 ч: смена не бывает длиннее суток.");
    }
    void refusedSaves()
    {
        QFETCH(bool, worker);
        QFETCH(bool, nomenclature);
        QFETCH(QString, hours);
        QFETCH(QString, message);
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                if (worker)
                    pickWorker(e, "Ант");
                if (nomenclature)
                    pickNomenclature(e, "Две");
                e->hoursEdit->clear();
                type(e->hoursEdit, hours);
                click(e->saveButton);
                QVERIFY(e->isVisible());
                QCOMPARE(msg_->texts(), QStringList{message});
                QCOMPARE(msg_->shown[0].caption, QStringLiteral("Ошибка"));
            });
        });
        QCOMPARE(entries(), 0);
        QCOMPARE(sql("select count(*) from accounts_dep.h_tabel").toInt(), 0);
    }

    void entriesWriteTheTimesheetCell()
    {
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            addEntry(f, "Ант", "Две", 7777, 3, false);
            // The first entry of the month makes the row with that one day.
            QCOMPARE(cell(w1_, 7777, 0, kDay).toInt(), 3);
            QCOMPARE(sql(QStringLiteral("select num_nonnulls(d1,d2,d3,d4,d5,d6,d7,d8,d9,d10,d11,"
                                        "d12,d13,d14,d15,d16,d17,d18,d19,d20,d21,d22,d23,d24,"
                                        "d25,d26,d27,d28,d29,d30,d31) from accounts_dep.h_tabel "
                                        "where w_id=%1")
                             .arg(w1_))
                         .toInt(),
                     1);
            addEntry(f, "Ант", "Окн", 7777, 4, false);
            addEntry(f, "Ант", "Окн", 7777, 2, true); // a night row of its own
            addEntry(f, "Ант", "Окн", 7778, 8, false);
            QCOMPARE(f->fatigue->recordCount(), 4);
        });
        QCOMPARE(
            sql(QStringLiteral("select count(*) from accounts_dep.h_tabel where w_id=%1").arg(w1_))
                .toInt(),
            3);
        QCOMPARE(cell(w1_, 7777, 0, kDay).toInt(), 7);
        QCOMPARE(cell(w1_, 7777, 1, kDay).toInt(), 2);
        QCOMPARE(cell(w1_, 7778, 0, kDay).toInt(), 8);
    }

    void changeMovesHoursBetweenCells_data()
    {
        QTest::addColumn<QString>("worker"); // typed into the workers pick; empty: keep
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QList<int>>("cells"); // Антонов 7777, Антонов 7778, Борисов 7777
        QTest::newRow("hours only") << "" << 7777 << "6" << QList<int>{8, -2, -2};
        QTest::newRow("to another worker") << "Бор" << 7777 << "3" << QList<int>{2, -2, 3};
        QTest::newRow("to another kind") << "" << 7778 << "3" << QList<int>{2, 3, -2};
    }
    void changeMovesHoursBetweenCells()
    {
        QFETCH(QString, worker);
        QFETCH(int, kind);
        QFETCH(QString, hours);
        QFETCH(QList<int>, cells);
        const int moved = entry(w1_, 101, 7777, kDay, 3, 99, 1, 0);
        entry(w1_, 102, 7777, kDay, 2, 250);
        testdb::run(db_, QStringLiteral("insert into accounts_dep.h_tabel (w_id, month, year, "
                                        "i_type, d10, d11) values (%1, 2, 2021, 7777, 5, 9)")
                             .arg(w1_));
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            QVERIFY(f->fatigue->locate("id", moved));
            QVERIFY(whileShown<MaintenanceEntryEditor>(
                [&] { doubleClickRow(f, f->fatigue->recNo()); },
                [&](MaintenanceEntryEditor *e) {
                    QCOMPARE(e->mode, ui::EditMode::Change);
                    QCOMPARE(e->workerEdit->text(), "Антонов А.А.");
                    QCOMPARE(e->nomenclatureEdit->text(), "Двери");
                    QCOMPARE(e->hoursEdit->text(), "3");
                    QCOMPARE(e->workKindBox->keyValue().toInt(), 7777);
                    QVERIFY(!e->nightBox->isEnabled());
                    if (!worker.isEmpty())
                        pickWorker(e, worker);
                    e->workKindBox->setKeyValue(kind);
                    e->hoursEdit->clear();
                    type(e->hoursEdit, hours);
                    click(e->saveButton);
                    QVERIFY(!e->isVisible());
                }));
            QVERIFY(f->isVisible());
        });
        QVERIFY(msg_->shown.isEmpty());
        auto at = [&](int w, int k) {
            const QVariant v = cell(w, k, 0, kDay);
            return v.isValid() ? v.toInt() : -2;
        };
        QCOMPARE((QList<int>{at(w1_, 7777), at(w1_, 7778), at(w2_, 7777)}), cells);
        QCOMPARE(cell(w1_, 7777, 0, kDay.addDays(1)).toInt(), 9);
        // The date and the day-off flag stay. The price stays while the kind does; a new kind
        // prices the entry by its own rule: the worker's average, here 0 as he made nothing in
        // shifts that month (what "Рассчитать ср.сд." would store), doubled for the day off.
        QCOMPARE(sql("select format('%s %s %s', d_date, i_holiday, price::float8) from "
                     "accounts_dep.fatigue where id=" +
                     QString::number(moved))
                     .toString(),
                 QStringLiteral("2021-02-10 1 %1").arg(kind == 7777 ? 99 : 0));
    }

    void changeOfAnEntryChangedMeanwhileIsRefused()
    {
        const int id = entry(w1_, 101, 7777, kDay, 3, 250);
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            QVERIFY(whileShown<MaintenanceEntryEditor>(
                [&] { doubleClickRow(f, 1); },
                [&](MaintenanceEntryEditor *e) {
                    testdb::run(db_, "update accounts_dep.fatigue set "
                                     "cnt=4 where id=" +
                                         QString::number(id));
                    e->hoursEdit->clear();
                    type(e->hoursEdit, "6");
                    click(e->saveButton);
                    QVERIFY(e->isVisible());
                    QCOMPARE(e->hoursEdit->text(), "6");
                    QCOMPARE(msg_->shown.size(), 1);
                    QCOMPARE(msg_->shown[0].kind, "error");
                }));
            QCOMPARE(f->fatigue->asInteger("cnt"), 4);
        });
        QCOMPARE(sql("select cnt from accounts_dep.fatigue").toInt(), 4);
        QCOMPARE(sql("select count(*) from accounts_dep.h_tabel").toInt(), 0);
    }

    void failedTimesheetWriteKeepsNothing()
    {
        // The worker's month is held by another user beyond the lock timeout when the day's
        // cell is to be written: the entry goes back with it, and the sentence says why.
        entry(w1_, 101, 7777, kDay, 3, 250);
        QSqlQuery holder(testdb::side(db_));
        QVERIFY(holder.exec(QStringLiteral("select pg_advisory_lock(%1, %2)")
                                .arg(kDay.year() * 100 + kDay.month())
                                .arg(w1_)));
        db::setSessionSetting(QStringLiteral("lock_timeout"), QStringLiteral("200ms"));
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                pickWorker(e, "Ант");
                pickNomenclature(e, "Две");
                e->hoursEdit->clear();
                type(e->hoursEdit, "2");
                click(e->saveButton);
                QVERIFY(e->isVisible());
                QCOMPARE(msg_->texts(), QStringList{"Месяц сейчас перестраивается другим "
                                                    "пользователем, повторите позже."});
                QCOMPARE(e->workerEdit->text(), QStringLiteral("Антонов А.А."));
            });
            QCOMPARE(f->fatigue->recordCount(), 1);
        });
        db::setSessionSetting(QStringLiteral("lock_timeout"), QStringLiteral("10s"));
        QVERIFY(holder.exec(QStringLiteral("select pg_advisory_unlock(%1, %2)")
                                .arg(kDay.year() * 100 + kDay.month())
                                .arg(w1_)));
        QCOMPARE(entries(), 1);
        QCOMPARE(sql("select count(*) from accounts_dep.h_tabel").toInt(), 0);
    }

    void pickerSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("start of the name") << "Д" << QStringList{"Двери", "Д'Арк ворота"};
        QTest::newRow("other case") << "окн" << QStringList{"Окна"};
        QTest::newRow("not inside a name") << "ворота" << QStringList{};
        QTest::newRow("apostrophe") << "Д'" << QStringList{"Д'Арк ворота"};
        QTest::newRow("percent is a percent") << "50%" << QStringList{"50% скидка"};
        QTest::newRow("underscore is an underscore") << "A_" << QStringList{"A_B"};
        QTest::newRow("backslash") << "\\" << QStringList{};
        QTest::newRow("quote and semicolon") << "'; drop" << QStringList{};
        QTest::newRow("NUL") << QString("Д") + QChar(0) << QStringList{};
        QTest::newRow("emoji") << "😀" << QStringList{};
        QTest::newRow("right to left") << "שלום" << QStringList{};
        QTest::newRow("leading space") << " Д" << QStringList{};
        QTest::newRow("10,000 characters") << QString(10000, QChar(0x414)) << QStringList{};
    }
    void pickerSearch()
    {
        // What key events cannot carry arrives pasted.
        auto typeable = [](const QString &t) {
            return t.size() < 100 && std::none_of(t.begin(), t.end(), [](QChar c) {
                       return c.isNull() || c.isSurrogate();
                   });
        };
        QFETCH(QString, typed);
        QFETCH(QStringList, names);
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                QVERIFY(whileShown<NomenclaturePicker>(
                    [&] { click(e->nomenclaturePickButton); },
                    [&](NomenclaturePicker *p) {
                        QCOMPARE(p->focusWidget(), p->searchEdit);
                        const int all = p->item->recordCount();
                        QCOMPARE(all, 8);
                        if (!typeable(typed))
                            p->searchEdit->setText(typed); // pasted
                        else
                            type(p->searchEdit, typed);
                        QCOMPARE(p->searchEdit->text(), typed);
                        QStringList got = drive::listed(p->item, "s_caption");
                        got.sort();
                        names.sort();
                        QCOMPARE(got, names);
                        p->searchEdit->clear();
                        QCOMPARE(p->item->recordCount(), all);
                    }));
            });
        });
        QVERIFY(msg_->shown.isEmpty());
    }

    void pickerChoiceAndKeys()
    {
        inJournal(kDay, [&](MaintenanceJournalWindow *f) {
            inEditor(f->addButton, [&](MaintenanceEntryEditor *e) {
                auto pick = [&](std::function<void(NomenclaturePicker *)> act) {
                    QVERIFY(whileShown<NomenclaturePicker>(
                        [&] { click(e->nomenclaturePickButton); }, act));
                };
                // Down walks the list; Enter chooses; the search text stays for next time.
                pick([&](NomenclaturePicker *p) {
                    QCOMPARE(p->windowTitle(), QStringLiteral("Номенклатура (26)"));
                    QCOMPARE(p->minimumSize(), p->maximumSize()); // a dialog border: not resizable
                    type(p->searchEdit, "Д");
                    QTest::keyClick(p->searchEdit, Qt::Key_Down);
                    const QString second = p->item->asString("s_caption");
                    QTest::keyClick(p->searchEdit, Qt::Key_Up);
                    QTest::keyClick(p->searchEdit, Qt::Key_Down);
                    QTest::keyClick(p->searchEdit, Qt::Key_Return);
                    QCOMPARE(e->nomenclatureEdit->text(), second);
                });
                const int chosen = e->nomId;
                QVERIFY(chosen == 101 || chosen == 103);
                pick([&](NomenclaturePicker *p) {
                    QCOMPARE(p->searchEdit->text(), QStringLiteral("Д"));
                    QCOMPARE(p->item->recordCount(), 2);
                    // Caret keys and Delete do nothing; typing and Backspace edit.
                    p->searchEdit->end(false); // a click behind the text
                    QTest::keyClick(p->searchEdit, Qt::Key_Left);
                    QTest::keyClick(p->searchEdit, Qt::Key_Home);
                    type(p->searchEdit, "в");
                    QCOMPARE(p->searchEdit->text(), QStringLiteral("Дв"));
                    p->searchEdit->setCursorPosition(0);
                    QTest::keyClick(p->searchEdit, Qt::Key_Delete);
                    QCOMPARE(p->searchEdit->text(), QStringLiteral("Дв"));
                    QTest::keyClick(p->searchEdit, Qt::Key_End);
                    QCOMPARE(p->searchEdit->cursorPosition(), 0);
                    p->searchEdit->end(false);
                    QTest::keyClick(p->searchEdit, Qt::Key_Backspace);
                    QCOMPARE(p->searchEdit->text(), QStringLiteral("Д"));
                    click(p->exitButton); // Выход changes nothing
                });
                QCOMPARE(e->nomId, chosen);
                pick([&](NomenclaturePicker *p) {
                    p->searchEdit->clear();
                    QVERIFY(p->item->locate("id", 102));
                    const QModelIndex idx =
                        p->itemsGrid->gridModel()->index(p->item->recNo() - 1, 0);
                    QTest::mouseDClick(p->itemsGrid->viewport(), Qt::LeftButton, {},
                                       p->itemsGrid->visualRect(idx).center());
                    QVERIFY(!p->isVisible());
                });
                QCOMPARE(e->nomId, 102);
                QCOMPARE(e->nomenclatureEdit->text(), QStringLiteral("Окна"));
                // An empty list chooses nothing.
                pick([&](NomenclaturePicker *p) {
                    type(p->searchEdit, "Щ");
                    click(p->chooseButton);
                });
                QCOMPARE(e->nomId, 0);
                QVERIFY(e->nomenclatureEdit->text().isEmpty());
            });
        });
        nomenclaturePicker->searchEdit->clear();
    }
};

TABEL_TEST_MAIN(MaintenanceTest)
#include "tst_maintenance.moc"
