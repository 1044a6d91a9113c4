// The dataset and command layer against a real server.
#include "TestDb.h"
#include "db/Command.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/SqlError.h"

#include <QSignalSpy>
#include <QTest>
#include <functional>

class DatasetTest : public QObject {
    Q_OBJECT
    QString db_;

    void fill()
    {
        testdb::run(db_, "drop table if exists t");
        testdb::run(db_, "create table t (id serial primary key, name varchar(50), "
                         "code char(6), qty integer, price numeric(10,2), big bigint, d date, "
                         "naimen smallint)");
        // A table of the test's own, open to the program's clerk login.
        testdb::run(db_, "grant all on t, t_id_seq to public");
        testdb::run(db_, "insert into t (name, code, qty, price, big, d, naimen) values "
                         "('Иванов', 'a1', 1, 1.50, 10000000000, '02.03.2024', 0),"
                         "('Ивашов', 'a2', 2, null, 2, '03.03.2024', 1),"
                         "('Петров', 'b1', 3, 3.25, 3, null, 0),"
                         "('O''Brien', 'c1', 4, 4, 4, '01.01.2024', 1),"
                         "('50%_off', 'c2', 5, 5, 5, '01.01.2024', 0)");
    }

private slots:
    void initTestCase()
    {
        db_ = testdb::create(QStringLiteral("tabel_schema"));
        testdb::connectProgram(db_);
    }
    void cleanupTestCase() { testdb::drop(db_); }
    void init() { fill(); }

    void readsWholeResultBothWays()
    {
        db::Dataset ds(QStringLiteral("ds"));
        ds.setSql("select * from t order by id");
        ds.open();
        QCOMPARE(ds.recordCount(), 5);
        QCOMPARE(ds.recNo(), 1);
        QVERIFY(ds.bof());
        QCOMPARE(ds.asString("NAME"), QStringLiteral("Иванов")); // names ignore case
        QCOMPARE(ds.asString("code"), QStringLiteral("a1    ")); // char(n) comes padded
        QCOMPARE(ds.value("big").typeId(), int(QMetaType::LongLong));
        QCOMPARE(ds.value("big").toLongLong(), 10000000000LL);
        QCOMPARE(ds.asFloat("price"), 1.5);
        QCOMPARE(ds.asDate("d"), QDate(2024, 3, 2)); // day-first literal
        ds.last();
        QCOMPARE(ds.recNo(), 5);
        ds.next();
        QVERIFY(ds.eof());
        QCOMPARE(ds.recNo(), 5);
        ds.prior();
        ds.prior();
        QCOMPARE(ds.asInteger("qty"), 3);
        QVERIFY(ds.isNull("d"));
        QCOMPARE(ds.asString("d"), QString());
        QCOMPARE(ds.asInteger("d"), 0);
        ds.setRecNo(2);
        QCOMPARE(ds.asString("name"), QStringLiteral("Ивашов"));
        QVERIFY(ds.locate("qty", 4));
        QCOMPARE(ds.asString("name"), QStringLiteral("O'Brien"));
        QVERIFY(!ds.locate("qty", 99));
        QCOMPARE(ds.asString("name"), QStringLiteral("O'Brien")); // a failed locate stays
        QVERIFY_THROWS_EXCEPTION(db::SqlError, ds.value("nosuch"));
    }

    // A query opened for later reads its rows at the first use, with the parameters it was
    // opened with; closed before that, its statement never runs.
    void openedForLaterReadsAtFirstUse()
    {
        db::Dataset ds;
        ds.setSql("select name from t where qty >= :q order by id");
        ds.setParam("q", 4);
        ds.openLater();
        QVERIFY(ds.isActive());
        QVERIFY(!ds.isSettled());
        ds.setParam("q", 1);
        testdb::run(db_, "delete from t where qty = 5"); // done before the first use: not listed
        QCOMPARE(ds.recordCount(), 1);
        QVERIFY(ds.isSettled());
        QCOMPARE(ds.asString("name"), QStringLiteral("O'Brien"));
        // Every way in reads the rows first.
        const std::function<void(db::Dataset &)> uses[] = {
            [](db::Dataset &d) { QCOMPARE(d.asString("name"), QStringLiteral("Иванов")); },
            [](db::Dataset &d) { QVERIFY(d.locate("name", "Петров")); },
            [](db::Dataset &d) { QCOMPARE(d.valueAt(1, "name").toString(), "Ивашов"); },
            [](db::Dataset &d) {
                d.last();
                QCOMPARE(d.recNo(), 4);
            },
            [](db::Dataset &d) {
                // A filter set before the rows are read applies to them as they come.
                d.setFilter("name like 'Ива%'");
                d.setFiltered(true);
                QVERIFY(!d.isSettled());
                QCOMPARE(d.recordCount(), 2);
                d.setFiltered(false);
                QCOMPARE(d.recordCount(), 4);
            },
        };
        for (const auto &use : uses) {
            ds.close();
            ds.openLater();
            use(ds);
            QVERIFY(ds.isSettled());
        }
    }
    void openedForLaterFailsAtFirstUse()
    {
        db::Dataset ds;
        ds.setSql("select 1/0 as x");
        ds.openLater();
        ds.close(); // closed unread: never run
        ds.openLater();
        QVERIFY_THROWS_EXCEPTION(db::SqlError, ds.recordCount());
        // Left closed, as after a failed open.
        QVERIFY(!ds.isActive());
        QVERIFY(ds.isEmpty());
    }

    void emptyResultReadsNull()
    {
        db::Dataset ds;
        ds.setSql("select sum(qty) as tim from t where qty > 100 group by name");
        ds.open();
        QVERIFY(ds.isEmpty());
        QCOMPARE(ds.recNo(), 0);
        QCOMPARE(ds.asInteger("tim"), 0);
        QVERIFY(ds.eof() && ds.bof());
    }

    void parametersByNameIgnoringCase()
    {
        db::Dataset ds;
        ds.setSql("select name from t where d=:Data and name<>:ok and qty::numeric >= :q "
                  "order by id");
        ds.setParam("data", QDate(2024, 1, 1));
        ds.setParam("OK", "x");
        ds.setParam("q", 5);
        ds.open();
        QCOMPARE(ds.recordCount(), 1);
        QCOMPARE(ds.asString("name"), QStringLiteral("50%_off"));
        // A day-first text parameter is read as a date by the server.
        ds.close();
        ds.setSql("select count(*) as cnt from t where d >= :dt");
        ds.setParam("dt", "02.03.2024");
        ds.open();
        QCOMPARE(ds.asInteger("cnt"), 2);
        // Text that looks like a placeholder inside quotes is left alone.
        ds.close();
        ds.setSql("select ':notaparam' as s, count(*) as cnt from t where name=:n");
        ds.setParam("n", "O'Brien");
        ds.open();
        QCOMPARE(ds.asString("s"), QStringLiteral(":notaparam"));
        QCOMPARE(ds.asInteger("cnt"), 1);
    }

    void filterOnLoadedRows_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("number") << "naimen=0" << QStringList{"Иванов", "Петров", "50%_off"};
        QTest::newRow("not equal") << "naimen<>0" << QStringList{"Ивашов", "O'Brien"};
        QTest::newRow("prefix") << "name like 'Ив%'" << QStringList{"Иванов", "Ивашов"};
        QTest::newRow("prefix other case") << "name like 'ив%'" << QStringList{"Иванов", "Ивашов"};
        QTest::newRow("underscore") << "name like 'Ива_ов'" << QStringList{"Иванов", "Ивашов"};
        QTest::newRow("quote") << "name like 'O''B%'" << QStringList{"O'Brien"};
        QTest::newRow("percent in text") << "name like '50%'" << QStringList{"50%_off"};
        QTest::newRow("space prefix") << "name like ' %'" << QStringList{};
        QTest::newRow("and") << "naimen=0 and name like '%ов'" << QStringList{"Иванов", "Петров"};
        QTest::newRow("escaped underscore")
            << "name like '50\\%\\_%' escape '\\'" << QStringList{"50%_off"};
        QTest::newRow("escaped, no match")
            << "name like 'Ива\\_ов' escape '\\' and naimen=0" << QStringList{};
    }
    void filterOnLoadedRows()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, names);
        db::Dataset ds;
        ds.setSql("select * from t order by id");
        ds.setFilter(filter);
        ds.setFiltered(true);
        ds.open();
        QStringList seen;
        for (ds.first(); !ds.eof(); ds.next())
            seen << ds.asString("name");
        QCOMPARE(seen, names);
        QCOMPARE(ds.recordCount(), names.size());
        // The filter survives close and open, and goes when switched off.
        ds.reopen();
        QCOMPARE(ds.recordCount(), names.size());
        ds.setFiltered(false);
        QCOMPARE(ds.recordCount(), 5);
    }

    void badFilterIsAnError()
    {
        db::Dataset ds;
        ds.setSql("select * from t");
        ds.open();
        ds.setFilter("name like 'unterminated");
        QVERIFY_THROWS_EXCEPTION(db::SqlError, ds.setFiltered(true));
        ds.setFiltered(false);
        ds.setFilter("name like 'a%' escape 'ab'");
        QVERIFY_THROWS_EXCEPTION(db::SqlError, ds.setFiltered(true));
        QCOMPARE(ds.recordCount(), 5);
    }

    void postInsertUpdateDelete()
    {
        db::Dataset ds;
        ds.setSql("select id, name from t order by id");
        ds.setUpdateTable("t", "id");
        ds.open();
        QSignalSpy changed(&ds, &db::Dataset::changed);
        ds.append();
        ds.setValue("name", "Новый O'Neil");
        ds.post();
        QVERIFY(ds.asInteger("id") > 5); // the key the server gave
        QCOMPARE(ds.recordCount(), 6);
        QVERIFY(changed.count() > 0);
        const int id = ds.asInteger("id");
        QCOMPARE(testdb::scalar(db_, QStringLiteral("select name from t where id=%1").arg(id))
                     .toString(),
                 QStringLiteral("Новый O'Neil"));

        ds.setRecNo(2);
        ds.setValue("name", "Сменен");
        ds.post();
        QCOMPARE(testdb::scalar(db_, "select name from t where id=2").toString(),
                 QStringLiteral("Сменен"));
        QCOMPARE(ds.recNo(), 2);

        ds.setRecNo(1);
        ds.deleteCurrent();
        QCOMPARE(testdb::scalar(db_, "select count(*) from t where id=1").toInt(), 0);
        QCOMPARE(ds.recordCount(), 5);
        QCOMPARE(ds.asInteger("id"), 2);
    }

    void serverErrorsThrowWithServerText()
    {
        db::Command cmd("insert into t (qty) values ('abc')");
        try {
            cmd.execute();
            QFAIL("no error");
        } catch (const db::SqlError &e) {
            QCOMPARE(e.sqlState(), QStringLiteral("22P02"));
            QVERIFY(!e.text().isEmpty());
        }
        db::Dataset ds;
        ds.setSql("select * from no_such_table");
        QVERIFY_THROWS_EXCEPTION(db::SqlError, ds.open());
        QVERIFY(!ds.isActive());
        // Every statement commits on its own: the failure above left earlier work in place.
        db::Command ok("update t set qty=42 where id=3");
        QCOMPARE(ok.execute(), 1);
        QVERIFY_THROWS_EXCEPTION(db::SqlError,
                                 db::Command("update t set qty='x' where id=3").execute());
        QCOMPARE(testdb::scalar(db_, "select qty from t where id=3").toInt(), 42);
    }

    void unreachableServer()
    {
        db::ConnectionParams p;
        p.database = db_;
        p.host = testdb::host();
        p.port = 1; // nothing listens there
        p.user = "sys";
        p.password = "wexapol";
        QVERIFY_THROWS_EXCEPTION(db::SqlError, db::openConnection(p));
        QVERIFY(!db::isConnected());
        QVERIFY_THROWS_EXCEPTION(db::SqlError, db::Command("select 1").execute());
        testdb::connectProgram(db_);
        QVERIFY(db::isConnected());
    }
};

QTEST_GUILESS_MAIN(DatasetTest)
#include "tst_dataset.moc"
