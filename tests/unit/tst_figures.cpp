#include "text/Figures.h"

#include <QTest>

// Figures as the accountants write them, the same wherever they are shown.
class TestFigures : public QObject {
    Q_OBJECT
private slots:
    void formats_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("money");
        QTest::addColumn<QString>("quantity");
        const QString nb(QChar(0x00A0));
        QTest::newRow("thousands") << QVariant(918906.66) << "918" + nb + "906,66"
                                   << "918" + nb + "906,66";
        QTest::newRow("millions, halves away from zero")
            << QVariant(1234567.125) << "1" + nb + "234" + nb + "567,13"
            << "1" + nb + "234" + nb + "567,13";
        QTest::newRow("a half cent stored below it") << QVariant(2.675) << "2,68"
                                                     << "2,68";
        QTest::newRow("negative") << QVariant(-1500.5) << "-1" + nb + "500,50"
                                  << "-1" + nb + "500,5";
        QTest::newRow("no minus zero") << QVariant(-0.001) << "0,00"
                                       << "0";
        QTest::newRow("whole") << QVariant(44) << "44,00"
                               << "44";
        QTest::newRow("hundreds stay one group") << QVariant(999.999) << "1" + nb + "000,00"
                                                 << "1" + nb + "000";
        QTest::newRow("server's numeric text") << QVariant("1254.000") << "1" + nb + "254,00"
                                               << "1" + nb + "254";
        QTest::newRow("typed with a comma") << QVariant("37,5") << "37,50"
                                            << "37,5";
        QTest::newRow("shown text read back")
            << QVariant("2" + nb + "874,667") << "2" + nb + "874,67"
            << "2" + nb + "874,67";
        QTest::newRow("null") << QVariant() << ""
                              << "";
        QTest::newRow("empty text") << QVariant("") << ""
                                    << "";
        QTest::newRow("words") << QVariant("нет") << ""
                               << "";
    }
    void formats()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, money);
        QFETCH(QString, quantity);
        QCOMPARE(figures::money(value), money);
        QCOMPARE(figures::quantity(value), quantity);
    }

    void numberWithoutGrouping()
    {
        QCOMPARE(figures::number(2026, 0, 0, false), QStringLiteral("2026"));
        QCOMPARE(figures::number(0.12345, 3), QStringLiteral("0,123"));
        QCOMPARE(figures::number(12.5, 1, 3), QStringLiteral("12,5"));
    }
};

QTEST_GUILESS_MAIN(TestFigures)
#include "tst_figures.moc"
