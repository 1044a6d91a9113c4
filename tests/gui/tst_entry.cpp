// The shift entry editor: presets from the journal, picks, recompute, the save with its
// duplicate check and timesheet cells, against the demo database.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "journal/ShiftEntryEditor.h"
#include "journal/ShiftJournalWindow.h"
#include "refbooks/OperationList.h"
#include "refbooks/WorkerList.h"
#include "shop/DataModule.h"
#include "shop/Price.h"
#include "ui/DBGrid.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

namespace {
const QDate kDay(2020, 3, 2); // a Monday with no demo entries
const QDate kNextDay(2020, 3, 3);
const QString kWorkerA = QStringLiteral("Аавтестов А.А.");
const QString kWorkerB = QStringLiteral("Аавтестов Б.Б.");
} // namespace

class EntryTest : public gui::Fixture {
    Q_OBJECT
    int workerA_ = 0, workerB_ = 0, product_ = 0;
    int plain_ = 0, odd_ = 0, paint_ = 0; // operations: price 1.5, 10.12345, painting
    QString mark_;

    int operation(const QString &kind, const QList<double> &prices)
    {
        const int vid = sql(QStringLiteral("insert into accounts_dep.vid_oper (vid) values "
                                           "('%1') returning id")
                                .arg(kind))
                            .toInt();
        const int id = shop.operation(vid, product_);
        for (double p : prices)
            testdb::run(db_, QStringLiteral("insert into accounts_dep.norm (o_id, norma, price) "
                                            "values (%1, 1, %2)")
                                 .arg(id)
                                 .arg(p, 0, 'g', 15));
        return id;
    }
    void chooseShift(int shift, bool dayOff)
    {
        QRadioButton *b[] = {shiftJournalWindow->shift1Radio, shiftJournalWindow->shift2Radio,
                             shiftJournalWindow->shift3Radio, shiftJournalWindow->overtimeRadio};
        b[shift - 1]->click();
        shiftJournalWindow->dayOffBox->setChecked(dayOff);
    }
    // The operation pick's hand-back for the operation with this id.
    void pickOperation(int id)
    {
        QVERIFY(drive::whileShown<OperationList>([] { shiftEntryEditor->operationPickClick(); },
                                                 [id](OperationList *f) {
                                                     QVERIFY(f->dataset->locate("id", id));
                                                     drive::click(f->changeButton);
                                                 }));
    }
    void pickWorker(int id)
    {
        dataModule->Workers->open();
        QVERIFY(dataModule->Workers->locate("id", id));
        shiftEntryEditor->takeWorker(*dataModule->Workers);
        dataModule->Workers->close();
    }
    // A new entry typed into the editor (not shown) and saved.
    void fill(int worker, int oper, const QDate &date, const QString &qty, const QString &hours,
              const QString &colour = QString())
    {
        shiftEntryEditor->presetAdd(
            {date, shiftJournalWindow->shift, shiftJournalWindow->dayOffBox->isChecked()});
        pickWorker(worker);
        pickOperation(oper);
        shiftEntryEditor->quantityEdit->setText(qty);
        shiftEntryEditor->hoursEdit->setText(hours);
        shiftEntryEditor->colourEdit->setText(colour);
    }
    // Saves as a click on "Запись" does: an error travels to the application's display.
    bool save()
    {
        showEditor();
        drive::click(shiftEntryEditor->saveButton);
        const bool closed = !shiftEntryEditor->isVisible();
        shiftEntryEditor->hide();
        return closed;
    }
    // Shown and active, so that leaving a box is noticed.
    void showEditor()
    {
        shiftEntryEditor->show();
        shiftEntryEditor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shiftEntryEditor));
    }
    int count(const QString &where)
    {
        return sql("select count(*) from accounts_dep.smena where " + where).toInt();
    }
    QVariant cell(int worker, int shift, const QDate &d)
    {
        return testdb::shiftCell(db_, worker, shift, d);
    }
    // Opens the entry with this id from the journal of its date as "Изменить" does.
    void openForEdit(int shift, int id, const QDate &date)
    {
        db::Dataset *q = dataModule->smena(shift);
        q->close();
        q->setParam("data", date);
        q->open();
        QVERIFY(q->locate("id", id));
        shiftJournalWindow->current = q;
        shiftEntryEditor->presetEdit(*q, shiftJournalWindow->entryContext());
    }

private slots:
    void initTestCase()
    {
        startProgram();
        workerA_ = shop.worker(kWorkerA);
        workerB_ = shop.worker(kWorkerB);
        product_ = sql("select min(id) from accounts_dep.izdel").toInt();
        mark_ = sql(QStringLiteral("select trim(marka) from accounts_dep.izdel where id=%1")
                        .arg(product_))
                    .toString();
        plain_ = operation("Сборка тест", {2.0, 1.5});
        odd_ = operation("Резка тест", {10.12345});
        paint_ = operation("Окраска (покраска) тест", {3.0});
        loggedInAs(QStringLiteral("0264"));
        shiftJournalWindow->show();
    }
    void init()
    {
        testdb::run(db_, QStringLiteral("delete from accounts_dep.smena where w_id in (%1, %2)")
                             .arg(workerA_)
                             .arg(workerB_));
        testdb::run(db_, QStringLiteral("delete from accounts_dep.h_tabel where w_id in (%1, %2)")
                             .arg(workerA_)
                             .arg(workerB_));
        Fixture::init();
        chooseShift(1, false);
    }

    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("shortest text") << 1.5 << "1,5";
        QTest::newRow("whole") << 15.0 << "15";
        QTest::newRow("four places") << 12.148140000001 << "12,1481";
        QTest::newRow("tie to even, down") << 0.00125 << "0,0012";
        QTest::newRow("tie to even, up") << 0.00375 << "0,0038";
        QTest::newRow("zero") << 0.0 << "0";
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(QString, shown);
        QCOMPARE(price::text(price::round4(value)), shown);
    }

    void priceFactors_data()
    {
        // The lowest norm price is 1,5.
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("stored");
        QTest::newRow("shift 1") << 1 << false << "1,5" << 1.5;
        QTest::newRow("shift 2") << 2 << false << "1,5" << 1.5;
        QTest::newRow("shift 3") << 3 << false << "1,8" << 1.8;
        QTest::newRow("overtime") << 4 << false << "2,25" << 2.25;
        QTest::newRow("shift 1, day off") << 1 << true << "3" << 3.0;
        QTest::newRow("shift 2, day off") << 2 << true << "3" << 3.0;
        QTest::newRow("shift 3, day off") << 3 << true << "3,6" << 3.6;
        QTest::newRow("overtime, day off") << 4 << true << "4,5" << 4.5;
    }
    void priceFactors()
    {
        QFETCH(int, shift);
        QFETCH(bool, dayOff);
        QFETCH(QString, shown);
        QFETCH(double, stored);
        chooseShift(shift, dayOff);
        fill(workerA_, plain_, kDay, "10", "8");
        QCOMPARE(shiftEntryEditor->basePriceEdit->text(),
                 QStringLiteral("1,5")); // the lowest norm price
        QCOMPARE(shiftEntryEditor->finalPriceEdit->text(), shown);
        QVERIFY(save());
        QCOMPARE(sql(QStringLiteral("select cena from accounts_dep.smena where w_id=%1 and "
                                    "smena=%2")
                         .arg(workerA_)
                         .arg(shift))
                     .toDouble(),
                 stored);
    }

    void oddPriceStoredRounded()
    {
        chooseShift(3, false);
        fill(workerA_, odd_, kDay, "1", "8");
        QCOMPARE(shiftEntryEditor->finalPriceEdit->text(), QStringLiteral("12,1481"));
        QVERIFY(save());
        QCOMPARE(sql(QStringLiteral("select cena::text from accounts_dep.smena where w_id=%1")
                         .arg(workerA_))
                     .toString(),
                 QStringLiteral("12.1481"));
    }

    // "Сумма" shows what the stored entry earns: the pieces less the rejects at the price as
    // stored, as the journal's "Итого" reads it back; it follows the rejects as they are typed.
    void sumIsWhatTheSaveStores()
    {
        fill(workerA_, plain_, kDay, "10", "8");
        showEditor();
        shiftEntryEditor->rejectsEdit->selectAll();
        QTest::keyClicks(shiftEntryEditor->rejectsEdit, "3");
        QCOMPARE(shiftEntryEditor->sumEdit->text(), QStringLiteral("10,5")); // 7 x 1,5
        shiftEntryEditor->hide();
        QVERIFY(save());
        QCOMPARE(sql(QStringLiteral("select round((kol_vo-brak)*cena::numeric, 2)::text from "
                                    "accounts_dep.smena where w_id=%1")
                         .arg(workerA_))
                     .toString(),
                 QStringLiteral("10.50"));
        // Leaving an emptied quantity or hours box keeps it empty; the sum counts it as 0.
        fill(workerA_, plain_, kDay, "10", "8");
        showEditor();
        shiftEntryEditor->quantityEdit->setFocus();
        shiftEntryEditor->quantityEdit->clear();
        shiftEntryEditor->hoursEdit->clear();
        shiftEntryEditor->hoursEdit->setFocus();
        shiftEntryEditor->workerPickButton->setFocus();
        shiftEntryEditor->hide();
        QCOMPARE(shiftEntryEditor->quantityEdit->text(), QString());
        QCOMPARE(shiftEntryEditor->hoursEdit->text(), QString());
        QCOMPARE(shiftEntryEditor->sumEdit->text(), QStringLiteral("0"));
    }

    void paintingRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("painting");
        QTest::newRow("upper case") << "М-1; ПОКРАСКА; Готовая продукция" << true;
        QTest::newRow("lower case inside a word") << "М-1; окраска (покраска); Заготовки" << true;
        QTest::newRow("mixed case") << "М-1; Краска; Заготовки" << true;
        QTest::newRow("no painting") << "М-1; Сварка; Готовая продукция" << false;
        QTest::newRow("empty") << "" << false;
    }
    void paintingRule()
    {
        QFETCH(QString, text);
        QFETCH(bool, painting);
        shiftEntryEditor->colourEdit->setText("5");
        shiftEntryEditor->operationEdit->setText(text);
        shiftEntryEditor->applyColourRule();
        QCOMPARE(shiftEntryEditor->colourEdit->isEnabled(), painting);
        QCOMPARE(shiftEntryEditor->colourLabel->isEnabled(), painting);
        QCOMPARE(shiftEntryEditor->colourEdit->text(), painting ? QStringLiteral("5") : QString());
    }

    void refusals_data()
    {
        QTest::addColumn<int>("oper");
        QTest::addColumn<QString>("qty");
        QTest::addColumn<QString>("rejects");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("message");
        const QString empty = QStringLiteral("Все поля должны быть заполнены!");
        QTest::newRow("painting without colour") << 2 << "5"
                                                 << "0"
                                                 << "8"
                                                 << "" << empty;
        QTest::newRow("empty rejects") << 0 << "5"
                                       << ""
                                       << "8"
                                       << "" << empty;
        QTest::newRow("empty quantity stays empty") << 0 << ""
                                                    << "0"
                                                    << "8"
                                                    << "" << empty;
        QTest::newRow("rejects above the quantity")
            << 0 << "5"
            << "6"
            << "8"
            << ""
            << QStringLiteral("Брак в поле «Брак» не может быть больше количества в поле "
                              "«Кол-во».");
        QTest::newRow("quantity past its limit")
            << 0 << "100001"
            << "0"
            << "8"
            << "" << QStringLiteral("В поле «Кол-во» не более 100\u00a0000 шт. в одной записи.");
        QTest::newRow("rejects past their column")
            << 0 << "40000"
            << "32768"
            << "8"
            << "" << QStringLiteral("В поле «Брак» не более 32\u00a0767 шт. в одной записи.");
        QTest::newRow("hours past a day")
            << 0 << "5"
            << "0"
            << "25"
            << "" << QStringLiteral("В поле «Время» не более 24 ч: смена не бывает длиннее суток.");
        QTest::newRow("colour too large")
            << 2 << "5"
            << "0"
            << "8"
            << "9999999999"
            << QStringLiteral("Слишком большое число в поле «Цвет»: не более 2147483647.");
        QTest::newRow("a decimal comma in a whole number")
            << 0 << "5,7"
            << "0"
            << "8"
            << "" << QStringLiteral("В поле «Кол-во» нужно целое число, без запятой: «5,7».");
        QTest::newRow("a letter in the hours")
            << 0 << "5"
            << "0"
            << "8ч"
            << "" << QStringLiteral("В поле «Время» нужно целое число: «8ч» — не число.");
        QTest::newRow("a negative rejects count")
            << 0 << "5"
            << "-1"
            << "8"
            << "" << QStringLiteral("В поле «Брак» число не может быть отрицательным: «-1».");
    }
    void refusals()
    {
        QFETCH(int, oper);
        QFETCH(QString, qty);
        QFETCH(QString, rejects);
        QFETCH(QString, hours);
        QFETCH(QString, colour);
        QFETCH(QString, message);
        const int ops[] = {plain_, odd_, paint_};
        fill(workerA_, ops[oper], kDay, qty, hours, colour);
        shiftEntryEditor->rejectsEdit->setText(rejects);
        QVERIFY(!save());
        QCOMPARE(msg_->texts(), QStringList{message});
        QCOMPARE(msg_->shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(shiftEntryEditor->quantityEdit->text(), qty); // what was typed stays
        QCOMPARE(count(QStringLiteral("w_id=%1").arg(workerA_)), 0);
        QVERIFY(sql(QStringLiteral("select count(*) from accounts_dep.h_tabel where w_id=%1")
                        .arg(workerA_))
                    .toInt() == 0);
    }

    // The number boxes keep what is typed, letters and commas included, for the save to refuse
    // with the field named: nothing is dropped or shifted ("5,7" never becomes 57).
    void typedNumbersStayAsTyped()
    {
        for (QLineEdit *e : {shiftEntryEditor->quantityEdit, shiftEntryEditor->rejectsEdit,
                             shiftEntryEditor->colourEdit, shiftEntryEditor->hoursEdit}) {
            e->setEnabled(true);
            e->clear();
            drive::type(e, "1a2,3 -");
            QCOMPARE(e->text(), QStringLiteral("1a2,3 -"));
            e->clear();
            QGuiApplication::clipboard()->setText("4x5");
            e->paste();
            QCOMPARE(e->text(), QStringLiteral("4x5"));
        }
        fill(workerA_, plain_, kDay, "", "8");
        drive::type(shiftEntryEditor->quantityEdit, "5,7");
        QVERIFY(!save());
        QCOMPARE(msg_->texts(),
                 QStringList{"В поле «Кол-во» нужно целое число, без запятой: «5,7»."});
        QCOMPARE(shiftEntryEditor->quantityEdit->text(), QStringLiteral("5,7"));
        QCOMPARE(count(QStringLiteral("w_id=%1").arg(workerA_)), 0);
    }

    // An unusual figure is asked about: "Нет" stores nothing and keeps what was typed, "Да"
    // stores it.
    void unusualFiguresAreAskedAbout_data()
    {
        QTest::addColumn<QString>("qty");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("question");
        QTest::newRow("a long shift")
            << "5"
            << "13"
            << "В поле «Время» 13 ч — смена длиннее 12 часов бывает редко. Вы уверены?";
        QTest::newRow("many pieces") << "20000"
                                     << "8"
                                     << "В поле «Кол-во» 20\u00a0000 шт. — больше 10\u00a0000 за "
                                        "смену бывает редко. Вы уверены?";
    }
    void unusualFiguresAreAskedAbout()
    {
        QFETCH(QString, qty);
        QFETCH(QString, hours);
        QFETCH(QString, question);
        fill(workerA_, plain_, kDay, qty, hours);
        msg_->answer({false});
        QVERIFY(!save());
        QCOMPARE(msg_->texts(), QStringList{question});
        QCOMPARE(msg_->shown[0].kind, QStringLiteral("question"));
        QCOMPARE(count(QStringLiteral("w_id=%1").arg(workerA_)), 0);
        QCOMPARE(shiftEntryEditor->hoursEdit->text(), hours);
        msg_->clear();
        msg_->answer({true});
        QVERIFY(save());
        QCOMPARE(
            count(
                QStringLiteral("w_id=%1 and kol_vo=%2 and time=%3").arg(workerA_).arg(qty, hours)),
            1);
    }

    // A worker's day holds at most 24 hours across the shift entries of every shift and the
    // maintenance journal; a change counts the entry's new hours in place of its old ones.
    void dayHoldsAtMost24Hours()
    {
        testdb::run(db_, QStringLiteral("insert into accounts_dep.fatigue (id_nom, id_o, id_p, "
                                        "d_date, i_mnth, i_year, i_smena, cnt, price) select "
                                        "min(i.id), 7777, %1, '%2', 3, 2020, 1, 4, 1 from "
                                        "cmn_classifier.item i")
                             .arg(workerA_)
                             .arg(kDay.toString(Qt::ISODate)));
        const auto dropMaintenance = qScopeGuard([&] {
            testdb::run(
                db_,
                QStringLiteral("delete from accounts_dep.fatigue where id_p=%1").arg(workerA_));
        });
        chooseShift(1, false);
        fill(workerA_, plain_, kDay, "5", "12");
        QVERIFY(save());
        chooseShift(2, false);
        fill(workerA_, odd_, kDay, "5", "9");
        QVERIFY(!save());
        QCOMPARE(msg_->texts(),
                 QStringList{"У работника за 02.03.2020 уже записано 16 ч во всех журналах; с "
                             "этой записью было бы 25 ч, а в сутках не более 24 ч."});
        msg_->clear();
        shiftEntryEditor->hoursEdit->setText("8");
        QVERIFY(save());
        QVERIFY(msg_->shown.isEmpty());
        // The 12-hour entry changed to 11 hours: its own 12 are not counted twice.
        const int id = sql(QStringLiteral("select id from accounts_dep.smena where w_id=%1 and "
                                          "smena=1")
                               .arg(workerA_))
                           .toInt();
        chooseShift(1, false);
        openForEdit(1, id, kDay);
        shiftEntryEditor->hoursEdit->setText("11");
        QVERIFY(save());
        QCOMPARE(sql(QStringLiteral("select sum(time) from accounts_dep.smena where w_id=%1")
                         .arg(workerA_))
                     .toInt(),
                 19);
    }

    // A change stores what the editor shows and keeps the rest: when the entry was made, who
    // accepted it, its premium and the warehouse's links.
    void changeKeepsWhatItDoesNotShow()
    {
        fill(workerA_, plain_, kDay, "5", "8");
        QVERIFY(save());
        const int id =
            sql(QStringLiteral("select id from accounts_dep.smena where w_id=%1").arg(workerA_))
                .toInt();
        testdb::run(db_, QStringLiteral("update accounts_dep.smena set vvod='2020-03-02 15:40', "
                                        "ok='да', prize=5, id_doc=77, id_doc_item=3 where id=%1")
                             .arg(id));
        openForEdit(1, id, kDay);
        shiftEntryEditor->quantityEdit->setText("6");
        QVERIFY(save());
        QCOMPARE(sql(QStringLiteral("select concat_ws('|', kol_vo, to_char(vvod, 'DD.MM.YYYY "
                                    "HH24:MI'), ok, prize, id_doc, id_doc_item) from "
                                    "accounts_dep.smena where id=%1")
                         .arg(id))
                     .toString(),
                 QStringLiteral("6|02.03.2020 15:40|да|5|77|3"));
    }

    void duplicates()
    {
        fill(workerA_, paint_, kDay, "5", "4", "7");
        QVERIFY(save());
        // The same worker, operation, date, shift and colour: refused.
        fill(workerA_, paint_, kDay, "6", "2", "7");
        QVERIFY(!save());
        QCOMPARE(msg_->texts(), QStringList{"Позиция с такими параметрами уже заведена!"});
        QCOMPARE(msg_->shown[0].caption, QStringLiteral("Ошибка"));
        // Another colour: allowed.
        msg_->clear();
        shiftEntryEditor->colourEdit->setText("8");
        QVERIFY(save());
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(count(QStringLiteral("w_id=%1").arg(workerA_)), 2);
        // A change is not counted against itself, but against the other entry it is.
        const int id = sql(QStringLiteral("select id from accounts_dep.smena where w_id=%1 and "
                                          "color=8")
                               .arg(workerA_))
                           .toInt();
        openForEdit(1, id, kDay);
        shiftEntryEditor->quantityEdit->setText("9");
        QVERIFY(save());
        openForEdit(1, id, kDay);
        shiftEntryEditor->colourEdit->setText("7");
        QVERIFY(!save());
        QCOMPARE(msg_->texts().last(),
                 QStringLiteral("Позиция с такими параметрами уже заведена!"));
        QCOMPARE(sql(QStringLiteral("select kol_vo from accounts_dep.smena where id=%1").arg(id))
                     .toInt(),
                 9);
    }

    void timesheetCells()
    {
        // The first entry of a month creates the row with that one day set.
        fill(workerA_, plain_, kDay, "5", "3");
        QVERIFY(save());
        QCOMPARE(cell(workerA_, 1, kDay).toInt(), 3);
        QCOMPARE(sql(QStringLiteral("select count(*) from accounts_dep.h_tabel where w_id=%1 "
                                    "and num_nonnulls(d1,d2,d3,d4,d5,d6,d7,d8,d9,d10,d11,d12,"
                                    "d13,d14,d15,d16,d17,d18,d19,d20,d21,d22,d23,d24,d25,d26,"
                                    "d27,d28,d29,d30,d31)=1")
                         .arg(workerA_))
                     .toInt(),
                 1);
        // A second entry of the day: the cell holds the day's total, in the same row.
        fill(workerA_, odd_, kDay, "2", "4");
        QVERIFY(save());
        QCOMPARE(cell(workerA_, 1, kDay).toInt(), 7);
        QCOMPARE(sql(QStringLiteral("select count(*) from accounts_dep.h_tabel where w_id=%1")
                         .arg(workerA_))
                     .toInt(),
                 1);
    }

    void movingAnEntry_data()
    {
        QTest::addColumn<bool>("toOtherWorker");
        QTest::addColumn<bool>("toOtherDate");
        QTest::addColumn<bool>("otherEntryLeft");
        QTest::newRow("another date, nothing left") << false << true << false;
        QTest::newRow("another date, an entry left") << false << true << true;
        QTest::newRow("another worker, nothing left") << true << false << false;
        QTest::newRow("another worker and date, an entry left") << true << true << true;
    }
    void movingAnEntry()
    {
        QFETCH(bool, toOtherWorker);
        QFETCH(bool, toOtherDate);
        QFETCH(bool, otherEntryLeft);
        chooseShift(2, false);
        fill(workerA_, plain_, kDay, "5", "6");
        QVERIFY(save());
        if (otherEntryLeft) {
            fill(workerA_, odd_, kDay, "5", "2");
            QVERIFY(save());
        }
        const int id = sql(QStringLiteral("select id from accounts_dep.smena where w_id=%1 and "
                                          "o_id=%2")
                               .arg(workerA_)
                               .arg(plain_))
                           .toInt();
        openForEdit(2, id, kDay);
        if (toOtherWorker)
            pickWorker(workerB_);
        if (toOtherDate)
            shiftEntryEditor->dateEdit->setDate(kNextDay);
        QVERIFY(save());
        const int newWorker = toOtherWorker ? workerB_ : workerA_;
        const QDate newDate = toOtherDate ? kNextDay : kDay;
        QCOMPARE(cell(newWorker, 2, newDate).toInt(), 6);
        QCOMPARE(cell(workerA_, 2, kDay).toInt(), otherEntryLeft ? 2 : 0);
        QCOMPARE(count(QStringLiteral("id=%1 and w_id=%2 and data='%3'")
                           .arg(id)
                           .arg(newWorker)
                           .arg(newDate.toString("dd.MM.yyyy"))),
                 1);
    }

    void failingStatementLeavesNothing()
    {
        // The timesheet refuses this worker's rows: the entry must not stay behind either.
        testdb::run(db_, "create function accounts_dep.t_fail() returns trigger language plpgsql "
                         "as $$ begin raise exception 'cell refused'; end $$");
        testdb::run(db_, QStringLiteral("create trigger t_fail before insert or update on "
                                        "accounts_dep.h_tabel for each row when (new.w_id=%1) "
                                        "execute function accounts_dep.t_fail()")
                             .arg(workerB_));
        fill(workerB_, plain_, kDay, "5", "6");
        const bool closed = save();
        testdb::run(db_, "drop trigger t_fail on accounts_dep.h_tabel");
        testdb::run(db_, "drop function accounts_dep.t_fail()");
        QVERIFY(!closed);
        QCOMPARE(msg_->shown.size(), 1);
        QVERIFY(msg_->shown[0].text.contains("cell refused"));
        QCOMPARE(count(QStringLiteral("w_id=%1").arg(workerB_)), 0);
        QCOMPARE(shiftEntryEditor->workerEdit->text(), kWorkerB);
        QCOMPARE(shiftEntryEditor->quantityEdit->text(), QStringLiteral("5"));
        // The retry after the cause is gone is not refused as a duplicate.
        msg_->clear();
        QVERIFY(save());
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(cell(workerB_, 1, kDay).toInt(), 6);
    }

    void staleEntryIsRefused()
    {
        fill(workerA_, plain_, kDay, "5", "6");
        QVERIFY(save());
        const int id =
            sql(QStringLiteral("select id from accounts_dep.smena where w_id=%1").arg(workerA_))
                .toInt();
        openForEdit(1, id, kDay);
        // Another user changes the entry meanwhile.
        testdb::run(db_,
                    QStringLiteral("update accounts_dep.smena set kol_vo=77 where id=%1").arg(id));
        shiftEntryEditor->quantityEdit->setText("9");
        QVERIFY(!save());
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(shiftEntryEditor->quantityEdit->text(), QStringLiteral("9"));
        QCOMPARE(sql(QStringLiteral("select kol_vo from accounts_dep.smena where id=%1").arg(id))
                     .toInt(),
                 77);
        // Saving again now writes over what the journal has re-read.
        msg_->clear();
        QVERIFY(save());
        QCOMPARE(sql(QStringLiteral("select kol_vo from accounts_dep.smena where id=%1").arg(id))
                     .toInt(),
                 9);
    }

    void editPresets()
    {
        chooseShift(4, true);
        fill(workerA_, paint_, kDay, "10", "5", "9005");
        QVERIFY(save());
        const int id =
            sql(QStringLiteral("select id from accounts_dep.smena where w_id=%1").arg(workerA_))
                .toInt();
        chooseShift(4, false); // the stored price stays until the operation is picked again
        openForEdit(4, id, kDay);
        QCOMPARE(shiftEntryEditor->windowTitle(),
                 QStringLiteral("Изменение данных о позиции (11)"));
        QCOMPARE(shiftEntryEditor->mode, ui::EditMode::Change);
        QCOMPARE(shiftEntryEditor->workerEdit->text(), kWorkerA);
        QCOMPARE(shiftEntryEditor->operationEdit->text(),
                 mark_ + QStringLiteral("; Окраска (покраска) тест; Готовая продукция"));
        QCOMPARE(shiftEntryEditor->finalPriceEdit->text(), QStringLiteral("9")); // 3 x 2 x 1.5
        QCOMPARE(shiftEntryEditor->sumEdit->text(), QStringLiteral("90"));
        QCOMPARE(shiftEntryEditor->quantityEdit->text(), QStringLiteral("10"));
        QCOMPARE(shiftEntryEditor->rejectsEdit->text(), QStringLiteral("0"));
        QCOMPARE(shiftEntryEditor->hoursEdit->text(), QStringLiteral("5"));
        QVERIFY(shiftEntryEditor->colourEdit->isEnabled());
        QCOMPARE(shiftEntryEditor->colourEdit->text(), QStringLiteral("9005"));
        QCOMPARE(shiftEntryEditor->dateEdit->date(), kDay);
        // The operations list opens on the entry's operation.
        QVERIFY(drive::whileShown<OperationList>([] { shiftEntryEditor->operationPickClick(); },
                                                 [this](OperationList *f) {
                                                     QCOMPARE(f->dataset->asInteger("id"), paint_);
                                                     QTest::keyClick(f, Qt::Key_Escape);
                                                 }));
        QCOMPARE(shiftEntryEditor->finalPriceEdit->text(),
                 QStringLiteral("9")); // no choice, no change
        QCOMPARE(shiftEntryEditor->basePriceEdit->text(),
                 QStringLiteral("3")); // the base price of its operation
        pickOperation(paint_);
        QCOMPARE(shiftEntryEditor->finalPriceEdit->text(), QStringLiteral("4,5"));
    }

    void lookAndTabOrder()
    {
        shiftEntryEditor->presetAdd(
            {kDay, shiftJournalWindow->shift, shiftJournalWindow->dayOffBox->isChecked()});
        QCOMPARE(shiftEntryEditor->windowTitle(), QStringLiteral("Заведение новой позиции (11)"));
        for (QLineEdit *e : {shiftEntryEditor->workerEdit, shiftEntryEditor->operationEdit,
                             shiftEntryEditor->finalPriceEdit, shiftEntryEditor->basePriceEdit,
                             shiftEntryEditor->sumEdit})
            QVERIFY(e->isReadOnly());
        QCOMPARE(shiftEntryEditor->saveButton->text(), QStringLiteral("Запись"));
        QCOMPARE(shiftEntryEditor->cancelButton->text(), QStringLiteral("Отмена"));
        QVERIFY(shiftEntryEditor->saveButton->isDefault());
        shiftEntryEditor->operationEdit->setText("М; ПОКРАСКА; Заготовки");
        shiftEntryEditor->applyColourRule();
        showEditor();
        // The date picker's own Tab walks its day, month and year first.
        QList<QWidget *> walk;
        for (QWidget *w : drive::tabWalk(shiftEntryEditor->workerPickButton, 13)) {
            if (w->parent() == shiftEntryEditor->dateEdit)
                w = shiftEntryEditor->dateEdit;
            if (walk.isEmpty() || walk.last() != w)
                walk << w;
        }
        shiftEntryEditor->hide();
        const QList<QWidget *> expected = {
            shiftEntryEditor->workerPickButton, shiftEntryEditor->operationPickButton,
            shiftEntryEditor->quantityEdit,     shiftEntryEditor->hoursEdit,
            shiftEntryEditor->colourEdit,       shiftEntryEditor->dateEdit,
            shiftEntryEditor->rejectsEdit,      shiftEntryEditor->saveButton,
            shiftEntryEditor->cancelButton,     shiftEntryEditor->workerPickButton};
        walk = walk.mid(0, expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(walk[i] == expected[i], qPrintable(QString::number(i)));
        for (QLabel *l : shiftEntryEditor->findChildren<QLabel *>())
            QVERIFY2(l->buddy(), qPrintable(l->text()));
    }

    // A click on the worker's name or on the operation opens its list in pick mode; the
    // chosen row comes back into the editor.
    void clickOnNameOrOperationOpensItsPick()
    {
        chooseShift(3, false);
        shiftEntryEditor->presetAdd(
            {kDay, shiftJournalWindow->shift, shiftJournalWindow->dayOffBox->isChecked()});
        showEditor();
        const auto pickMode = [](ListForm *f) {
            QCOMPARE(f->mode, 1);
            QCOMPARE(f->changeButton->text(), QStringLiteral("Выбрать"));
            QVERIFY(f->changeButton->isDefault());
            QVERIFY(f->addButton->isHidden());
            QVERIFY(f->deleteButton->isHidden());
            QVERIFY(f->searchEdit->isVisible());
            QVERIFY(f->searchEdit->text().isEmpty());
        };
        QVERIFY(drive::whileShown<WorkerList>(
            [] { QTest::mouseClick(shiftEntryEditor->workerEdit, Qt::LeftButton); },
            [&](WorkerList *f) {
                pickMode(f);
                QVERIFY(f->dataset->locate("id", workerB_));
                drive::click(f->changeButton);
            }));
        QCOMPARE(shiftEntryEditor->workerEdit->text(), kWorkerB);
        QCOMPARE(shiftEntryEditor->workerId, workerB_);
        QVERIFY(!dataModule->Workers->isActive());
        QVERIFY(drive::whileShown<OperationList>(
            [] { QTest::mouseClick(shiftEntryEditor->operationEdit, Qt::LeftButton); },
            [&](OperationList *f) {
                pickMode(f);
                QCOMPARE(f->dataset->recNo(), 1); // a new entry starts at the first operation
                QVERIFY(f->dataset->locate("id", plain_));
                drive::click(f->changeButton);
            }));
        QCOMPARE(shiftEntryEditor->operationEdit->text(),
                 mark_ + QStringLiteral("; Сборка тест; Готовая продукция"));
        QCOMPARE(shiftEntryEditor->operationId, plain_);
        QCOMPARE(shiftEntryEditor->basePriceEdit->text(), QStringLiteral("1,5"));
        QCOMPARE(shiftEntryEditor->finalPriceEdit->text(), QStringLiteral("1,8")); // shift 3
        shiftEntryEditor->hide();
    }

    // The whole road as a user walks it: "Добавить", the worker by typing his name and Enter,
    // the operation, the numbers, "Запись"; the journal shows the entry with its sum.
    void addFromJournal()
    {
        const QDate today = QDate::currentDate();
        shiftJournalWindow->FormActivate();
        chooseShift(1, false);
        const bool shown = drive::whileShown<ShiftEntryEditor>(
            [] { drive::click(shiftJournalWindow->addButton); },
            [&](ShiftEntryEditor *f) {
                QVERIFY(QTest::qWaitForWindowActive(f));
                QCOMPARE(f->focusWidget(), f->workerPickButton);
                QCOMPARE(f->dateEdit->date(), today);
                QCOMPARE(f->rejectsEdit->text(), QStringLiteral("0"));
                QVERIFY(drive::whileShown<WorkerList>(
                    [f] { QTest::keyClick(f->workerPickButton, Qt::Key_Space); },
                    [](WorkerList *w) {
                        drive::type(w->searchEdit, kWorkerB.left(11));
                        QTest::keyClick(w->searchEdit, Qt::Key_Return);
                    }));
                QCOMPARE(f->workerEdit->text(), kWorkerB);
                QCOMPARE(f->focusWidget(), f->workerPickButton); // back after the pick
                pickOperation(plain_);
                f->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(f));
                // Tab into a box selects what it holds, so typing replaces the "0".
                QTest::keyClick(f->workerPickButton, Qt::Key_Tab);
                QTest::keyClick(f->operationPickButton, Qt::Key_Tab);
                drive::type(f->quantityEdit, "12");
                QTest::keyClick(f->quantityEdit, Qt::Key_Tab);
                drive::type(f->hoursEdit, "7");
                QTest::keyClick(f->hoursEdit, Qt::Key_Tab);
                QCOMPARE(f->quantityEdit->text(), QStringLiteral("12"));
                QCOMPARE(f->hoursEdit->text(), QStringLiteral("7"));
                QCOMPARE(f->sumEdit->text(), QStringLiteral("18"));
                drive::click(f->saveButton);
                QVERIFY(!f->isVisible());
            });
        QVERIFY(shown);
        QVERIFY(msg_->shown.isEmpty());
        db::Dataset *q = dataModule->Smena1;
        QVERIFY(q->locate("w_id", workerB_));
        QCOMPARE(q->asString("fio").trimmed(), kWorkerB);
        QCOMPARE(q->asString("ok").trimmed(), QStringLiteral("no"));
        QCOMPARE(q->asFloat("summa"), 18.0);
        QCOMPARE(cell(workerB_, 1, today).toInt(), 7);
        for (QLineEdit *e : {shiftEntryEditor->workerEdit, shiftEntryEditor->quantityEdit,
                             shiftEntryEditor->sumEdit})
            QVERIFY(e->text().isEmpty());
    }

    // "Изменить" opens the selected row and the journal comes back to it.
    void changeFromJournal()
    {
        const QDate today = QDate::currentDate();
        for (int worker : {workerA_, workerB_}) {
            fill(worker, plain_, today, "3", "1");
            QVERIFY(save());
        }
        shiftJournalWindow->FormActivate();
        db::Dataset *q = dataModule->Smena1;
        QVERIFY(q->locate("w_id", workerB_));
        const int rec = q->recNo();
        const int id = q->asInteger("id");
        QVERIFY(drive::whileShown<ShiftEntryEditor>(
            [] { drive::click(shiftJournalWindow->changeButton); },
            [](ShiftEntryEditor *f) {
                QCOMPARE(f->workerEdit->text(), kWorkerB);
                f->quantityEdit->setText("4");
                drive::click(f->saveButton);
            }));
        QCOMPARE(q->recNo(), rec);
        QCOMPARE(q->asInteger("id"), id);
        QCOMPARE(q->asInteger("kol_vo"), 4);
        QVERIFY(!dataModule->Oper->isActive());
    }

    // The picked price is rounded once, when it is shown and stored: a tie goes to the even
    // neighbour there, never away from zero beforehand.
    void pickedTieRoundsToEven_data()
    {
        QTest::addColumn<double>("base");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("stored");
        QTest::newRow("down") << 0.00125 << "0,0012" << 0.0012;
        QTest::newRow("up") << 0.00375 << "0,0038" << 0.0038;
    }
    void pickedTieRoundsToEven()
    {
        QFETCH(double, base);
        QFETCH(QString, shown);
        QFETCH(double, stored);
        const int id = operation(QStringLiteral("Доводка %1").arg(base, 0, 'g', 15), {base});
        fill(workerA_, id, kDay, "1", "8");
        QCOMPARE(shiftEntryEditor->finalPriceEdit->text(), shown);
        QVERIFY(save());
        QCOMPARE(sql(QStringLiteral("select cena from accounts_dep.smena where o_id=%1").arg(id))
                     .toDouble(),
                 stored);
    }
};

TABEL_TEST_MAIN(EntryTest)
#include "tst_entry.moc"
