// The shop's price rules, with the figures a clerk would work out by hand.
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

    void productKind()
    {
        QCOMPARE(shop::productKindText(0), QStringLiteral("Готовая продукция"));
        QCOMPARE(shop::productKindText(1), QStringLiteral("Заготовки"));
        QCOMPARE(shop::productKindText(2), QStringLiteral("Заготовки"));
    }
};

QTEST_GUILESS_MAIN(PricesTest)
#include "tst_prices.moc"
