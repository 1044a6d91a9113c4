// Pure functions of the core: quoting, the LIKE matcher, the connection string, the decimal
// fix, access codes and build numbers.
#include "app/BuildInfo.h"
#include "db/SqlText.h"
#include "shop/DataModule.h"
#include "shop/Roles.h"

#include <QTest>

class SqlTextTest : public QObject {
    Q_OBJECT
private slots:
    void quoteDoublesQuotes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "Иванов"
                               << "'Иванов'";
        QTest::newRow("apostrophe") << "O'Brien"
                                    << "'O''Brien'";
        QTest::newRow("injection") << "x'); drop table t; --"
                                   << "'x''); drop table t; --'";
        QTest::newRow("empty") << ""
                               << "''";
    }
    void quoteDoublesQuotes()
    {
        QFETCH(QString, text);
        QFETCH(QString, quoted);
        QCOMPARE(db::quote(text), quoted);
    }

    void likeMatch_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("match");
        QTest::newRow("prefix") << "Иванов И.И."
                                << "Ив%" << true;
        QTest::newRow("prefix other case") << "Иванов И.И."
                                           << "ив%" << true;
        QTest::newRow("not prefix") << "Сидоров Иван"
                                    << "Ив%" << false;
        QTest::newRow("anywhere") << "ДМ-12-А"
                                  << "%12%" << true;
        QTest::newRow("underscore one char") << "ДМ-12"
                                             << "ДМ_12" << true;
        QTest::newRow("underscore needs a char") << "ДМ12"
                                                 << "ДМ_12" << false;
        QTest::newRow("space prefix") << " Петров"
                                      << " %" << true;
        QTest::newRow("space prefix refused") << "Петров"
                                              << " %" << false;
        QTest::newRow("apostrophe") << "O'Brien"
                                    << "O'B%" << true;
        QTest::newRow("percent only") << ""
                                      << "%" << true;
        QTest::newRow("exact") << "abc"
                               << "abc" << true;
        QTest::newRow("longer pattern") << "ab"
                                        << "abc" << false;
    }
    void likeMatch()
    {
        QFETCH(QString, value);
        QFETCH(QString, pattern);
        QFETCH(bool, match);
        QCOMPARE(db::likeMatch(value, pattern), match);
    }

    void likeMatchWithEscape_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("match");
        QTest::newRow("percent") << "50% скидка"
                                 << "50%" << true;
        QTest::newRow("percent is no wildcard") << "50 лет"
                                                << "50%" << false;
        QTest::newRow("underscore") << "A_B"
                                    << "a_" << true;
        QTest::newRow("underscore is no wildcard") << "AxB"
                                                   << "A_" << false;
        QTest::newRow("backslash") << "C:\\x"
                                   << "C:\\" << true;
        QTest::newRow("apostrophe") << "Д'Арк"
                                    << "Д'" << true;
    }
    void likeMatchWithEscape()
    {
        QFETCH(QString, value);
        QFETCH(QString, typed);
        QFETCH(bool, match);
        // What a search box makes of the typed text: a prefix of literal characters.
        const QString pattern = db::likeLiteral(typed) + QLatin1Char('%');
        QCOMPARE(db::likeMatch(value, pattern, QLatin1Char('\\')), match);
    }

    void connectionString()
    {
        const QString tail = QStringLiteral(
            ";PORT=5432;UID=sys;SSLmode=allow;ReadOnly=0;Protocol=7.4;FakeOidIndex=0;"
            "ShowOidColumn=0;RowVersioning=0;ShowSystemTables=0;Fetch=100;UnknownSizes=0;"
            "MaxVarcharSize=255;MaxLongVarcharSize=8190;Debug=0;CommLog=0;UseDeclareFetch=0;"
            "TextAsLongVarchar=1;UnknownsAsLongVarchar=0;BoolsAsChar=1;Parse=0;"
            "ExtraSysTablePrefixes=;LFConversion=1;UpdatableCursors=1;TrueIsMinus1=0;BI=0;"
            "ByteaAsLongVarBinary=1;UseServerSidePrepare=1;LowerCaseIdentifier=0;D6=-101;"
            "OptionalErrors=0;XaOpt=1");
        const QString builtIn =
            QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=vesk_erp;SERVER=localhost") + tail;
        QCOMPARE(DataModule::connectionString({}), builtIn);
        QCOMPARE(DataModule::connectionString({"other"}), builtIn); // first alone is ignored
        QCOMPARE(DataModule::connectionString({"plant", "10.0.0.5"}),
                 QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=plant;SERVER=10.0.0.5") +
                     tail);
        QCOMPARE(DataModule::connectionString({"", "srv"}),
                 QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=;SERVER=srv") + tail);

        const db::ConnectionParams p =
            DataModule::connectionParams(DataModule::connectionString({"plant", "srv"}));
        QCOMPARE(p.database, QStringLiteral("plant"));
        QCOMPARE(p.host, QStringLiteral("srv"));
        QCOMPARE(p.port, 5432);
        QCOMPARE(p.user, QStringLiteral("sys"));
        // The program holds no password: the settings or the client library give it.
        QCOMPARE(p.password, QString());
    }

    void accessCodes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("role");
        QTest::newRow("admin long") << "61370482" << int(Role::Administrator);
        QTest::newRow("admin short, spaces") << "  0264 " << int(Role::Administrator);
        QTest::newRow("viewer") << "vardel" << int(Role::Viewer);
        QTest::newRow("viewer other case") << "Vardel" << int(Role::Refused);
        QTest::newRow("foreman") << "\tpilgrun " << int(Role::Foreman);
        QTest::newRow("foreman upper") << "PILGRUN" << int(Role::Refused);
        QTest::newRow("warehouse") << "fomir" << int(Role::Warehouse);
        QTest::newRow("inner space") << "fo mir" << int(Role::Refused);
        QTest::newRow("empty") << "" << int(Role::Refused);
    }
    void accessCodes()
    {
        QFETCH(QString, typed);
        QFETCH(int, role);
        QCOMPARE(int(roleOf(typed)), role);
        QCOMPARE(mayAccept(typed.trimmed()), role != int(Role::Foreman));
    }

    void buildNumbers()
    {
        // The stamp is a real calendar date and a time of day in seconds.
        const BuildStamp s = buildStamp();
        QVERIFY(QDate(s.date / 10000, s.date / 100 % 100, s.date % 100).isValid());
        QVERIFY(s.date > 20200101);
        QVERIFY(s.time >= 0 && s.time < 86400);
        QCOMPARE(buildStamp().date, s.date);
        QCOMPARE(buildStamp().time, s.time);
    }
};

QTEST_GUILESS_MAIN(SqlTextTest)
#include "tst_sqltext.moc"
