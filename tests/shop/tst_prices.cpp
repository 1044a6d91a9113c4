// The shop's price rules, with the figures a clerk would work out by hand.
#include "TestDb.h"
#include "db/Connection.h"
#include "shop/MaintenanceEntries.h"
#include "shop/PayStatement.h"
#include "shop/Price.h"
#include "shop/ProductKind.h"

#include <QLocale>
#include <QTest>

class PricesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale ru(QLocale::Russian, QLocale::Russia);
        ru.setNumberOptions(QLocale::OmitGroupSeparator);
        QLocale::setDefault(ru);
    }

    void shiftPrice_data()
    {
        QTest::addColumn<double>("base");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("stored");
        QTest::newRow("first shift") << 10.0 << false << 1 << "10";
        QTest::newRow("second shift") << 1.5 << false << 2 << "1,5";
        QTest::newRow("third shift: a fifth more") << 10.0 << false << 3 << "12";
        QTest::newRow("fourth shift: a half more") << 10.0 << false << 4 << "15";
        QTest::newRow("day off doubles") << 10.0 << true << 1 << "20";
        QTest::newRow("day off, third shift") << 10.0 << true << 3 << "24";
        QTest::newRow("day off, fourth shift") << 10.0 << true << 4 << "30";
        QTest::newRow("rounded to 4 places") << 0.12345 << false << 3 << "0,1481";
        QTest::newRow("kopecks kept") << 2.35 << true << 4 << "7,05";
    }
    void shiftPrice()
    {
        QFETCH(double, base);
        QFETCH(bool, dayOff);
        QFETCH(int, shift);
        QFETCH(QString, stored);
        QCOMPARE(price::text(price::round4(price::shiftPrice(base, dayOff, shift))), stored);
    }

    void hourPrice_data()
    {
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<bool>("night");
        QTest::addColumn<double>("expected");
        QTest::newRow("weekday") << false << false << 250.0;
        QTest::newRow("day off doubles") << true << false << 500.0;
        QTest::newRow("night: a fifth more") << false << true << 300.0;
        QTest::newRow("night of a day off") << true << true << 600.0;
    }
    void hourPrice()
    {
        QFETCH(bool, dayOff);
        QFETCH(bool, night);
        QFETCH(double, expected);
        QCOMPARE(price::hourPrice(250, dayOff, night), expected);
    }

    // An average-piecework hour price: the exact average times the factors, rounded once.
    // The worker earned 973.4628 in 8 hours on the group: 121.68285 an hour.
    void averageHourPrice_data()
    {
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<bool>("night");
        QTest::addColumn<QString>("price");
        QTest::newRow("weekday") << false << false << "121.68";
        QTest::newRow("day off: 243.3657") << true << false << "243.37";
        QTest::newRow("night: 146.01942") << false << true << "146.02";
        QTest::newRow("night of a day off: 292.03884") << true << true << "292.04";
    }
    void averageHourPrice()
    {
        QFETCH(bool, dayOff);
        QFETCH(bool, night);
        QFETCH(QString, price);
        const QString db = testdb::create(QStringLiteral("tabel_schema"));
        testdb::connectProgram(db);
        for (const char *sql :
             {"insert into accounts_dep.person (id, fio) values (801, 'Средний С.С.')",
              "insert into cmn_classifier.item (id, id_level, s_caption) values (102, 2, 'Скобы')",
              "insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, id_class_item) values "
              "(901, 'Скоба', 102)",
              "insert into accounts_dep.vid_oper (id, vid) values (903, 'Гибка')",
              "insert into accounts_dep.oper (id, vid, naimen, i_id) values (902, 903, 0, 901)",
              "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, "
              "smena, time) values (801, 901, 902, 486.7314, 3, 1, '2031-05-14', 1, 5), "
              "(801, 901, 902, 0, 4, 0, '2031-05-15', 1, 3)"})
            testdb::run(db, QString::fromUtf8(sql));
        testdb::run(db, QStringLiteral("insert into accounts_dep.fatigue (id_nom, id_o, id_p, "
                                       "d_date, i_mnth, i_year, cnt, price, i_holiday, i_night) "
                                       "values (102, 7778, 801, '2031-05-20', 5, 2031, 8, 300, "
                                       "%1, %2)")
                            .arg(int(dayOff))
                            .arg(int(night)));
        // The editor's price and the month's recompute give one figure.
        QCOMPARE(
            price::sqlText(price::averageHourPrice(801, 102, QDate(2031, 5, 20), dayOff, night)),
            price);
        // So does the rule over the average read (the pay statement's).
        QCOMPARE(price::sqlText(price::averageHourPriceParts(121.68285, dayOff, night).price),
                 price);
        shop::MaintenanceEntries::recomputeAverages(5, 2031);
        QCOMPARE(testdb::scalar(db, "select price::numeric(15,2)::text from accounts_dep.fatigue")
                     .toString(),
                 price);
        db::closeConnection();
        testdb::drop(db);
    }

    void round4_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sql");
        QTest::newRow("tie goes down to even") << 0.03125 << "0,0312"
                                               << "0.0312";
        QTest::newRow("tie goes up to even") << 0.09375 << "0,0938"
                                             << "0.0938";
        QTest::newRow("no negative zero") << -0.00001 << "0"
                                          << "0";
        QTest::newRow("no trailing zeros") << 12.5 << "12,5"
                                           << "12.5";
        QTest::newRow("no grouping") << 1234567.8912 << "1234567,8912"
                                     << "1234567.8912";
    }
    void round4()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QFETCH(QString, sql);
        QCOMPARE(price::text(price::round4(value)), text);
        QCOMPARE(price::sqlText(price::round4(value)), sql);
    }

    // Why an entry's amount is what it is: the sentence names the base price and each factor
    // that the price rule applied, and the stored rate where today's norms give another.
    void explainShiftEntry_data()
    {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<int>("rejects");
        QTest::addColumn<double>("base");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<int>("shift");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("rejects on a day off")
            << 120 << 2 << 1.25 << true << 1 << 2.5
            << "120 шт − 2 брак = 118 шт × 1,25 р. × 2 (выходной) = 295,00 р.";
        QTest::newRow("plain") << 40 << 0 << 2.5 << false << 2 << 2.5
                               << "40 шт × 2,50 р. = 100,00 р.";
        QTest::newRow("night of a day off")
            << 10 << 0 << 10.0 << true << 3 << 24.0
            << "10 шт × 10,00 р. × 2 (выходной) × 1,2 (ночь) = 240,00 р.";
        QTest::newRow("overtime, four-place price")
            << 3 << 1 << 0.1234 << false << 4 << 0.1851
            << "3 шт − 1 брак = 2 шт × 0,1234 р. × 1,5 (переработка) = 0,37 р.";
        QTest::newRow("norm changed since: the stored rate is paid")
            << 1000 << 0 << 1.4 << false << 1 << 1.25
            << "1\u00a0000 шт × 1,25 р. = 1\u00a0250,00 р. (расценка записи; по нормам сегодня "
               "1,40 р. "
               "= 1,40 р.)";
    }
    void explainShiftEntry()
    {
        QFETCH(int, quantity);
        QFETCH(int, rejects);
        QFETCH(double, base);
        QFETCH(bool, dayOff);
        QFETCH(int, shift);
        QFETCH(double, stored);
        QFETCH(QString, sentence);
        shop::pay::ShiftLine l;
        l.quantity = quantity;
        l.rejects = rejects;
        l.shift = shift;
        l.rate = stored;
        l.hasNorm = true;
        l.today = price::shiftPriceParts(base, dayOff, shift);
        // The price the editor stores is the rule's, rounded to four places.
        QCOMPARE(price::round4(l.today.price) == stored, !sentence.contains("расценка записи"));
        l.normChanged = price::round4(l.today.price) != stored;
        l.amount = qRound64((quantity - rejects) * stored * 100);
        QCOMPARE(shop::pay::explain(l), sentence);
    }

    void explainHourEntry_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("base");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<bool>("night");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("maintenance, night of a day off")
            << 7777 << 250.0 << true << true << 600.0
            << "8 ч × 250,00 р./ч × 2 (выходной) × 1,2 (ночь) = 4\u00a0800,00 р.";
        QTest::newRow("average piecework")
            << 7778 << 102.5 << false << false << 102.5
            << "8 ч × 102,50 р./ч (средняя за ноябрь 2023: 12\u00a0300,00 р. за 120 ч) = 820,00 р.";
        QTest::newRow("list price changed since") << 7777 << 300.0 << false << false << 250.0
                                                  << "8 ч × 250,00 р./ч = 2\u00a0000,00 р. (цена "
                                                     "записи; сегодня 300,00 р./ч = 300,00 р./ч)";
    }
    void explainHourEntry()
    {
        QFETCH(int, kind);
        QFETCH(double, base);
        QFETCH(bool, dayOff);
        QFETCH(bool, night);
        QFETCH(double, stored);
        QFETCH(QString, sentence);
        shop::pay::HourLine l;
        l.kind = kind;
        l.hours = 8;
        l.rate = stored;
        l.hasBase = true;
        l.today = price::hourPriceParts(base, dayOff, night);
        l.rateChanged = price::round4(l.today.price) != stored;
        l.amount = qRound64(8 * stored * 100);
        l.averageMonth = QDate(2023, 11, 1);
        l.averagePay = 12300;
        l.averageHours = 120;
        QCOMPARE(shop::pay::explain(l), sentence);
    }

    void money_data()
    {
        QTest::addColumn<qlonglong>("kopecks");
        QTest::addColumn<QString>("text");
        QTest::newRow("kopecks") << 5LL << "0,05";
        QTest::newRow("thousands") << 123456789LL << "1\u00a0234\u00a0567,89";
        QTest::newRow("negative") << -100LL << "-1,00";
    }
    void money()
    {
        QFETCH(qlonglong, kopecks);
        QFETCH(QString, text);
        QCOMPARE(shop::pay::moneyText(kopecks), text);
    }

    void productKind()
    {
        QCOMPARE(shop::productKindText(0), QStringLiteral("Готовая продукция"));
        QCOMPARE(shop::productKindText(1), QStringLiteral("Заготовки"));
        QCOMPARE(shop::productKindText(2), QStringLiteral("Заготовки"));
    }
};

QTEST_GUILESS_MAIN(PricesTest)
#include "tst_prices.moc"
