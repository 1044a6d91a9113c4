// A closed month: the server refuses every change of its entries and timesheet rows, from any
// client, and the program shows the server's sentence naming the month.
#include "GuiApp.h"
#include "TestDb.h"
#include "db/Command.h"
#include "db/Connection.h"
#include "db/SqlError.h"
#include "ui/Messages.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

class ClosedMonthTest : public QObject {
    Q_OBJECT
    QString db_;

    // The server's refusal of a statement run by another client, or an empty text.
    QString refusal(const QString &sql)
    {
        QSqlDatabase d = QSqlDatabase::database("other");
        QSqlQuery q(d);
        return q.exec(sql) ? QString() : q.lastError().databaseText();
    }

private slots:
    void initTestCase()
    {
        db_ = testdb::create(QStringLiteral("tabel_schema"));
        for (const char *sql :
             {"insert into accounts_dep.person (id, fio) values (701, 'Закрытов З.З.')",
              "insert into accounts_dep.smena (id, w_id, data, smena, time) values "
              "(9001, 701, '2030-03-10', 1, 8), (9002, 701, '2030-04-10', 1, 8)",
              "insert into accounts_dep.fatigue (id, id_o, id_p, d_date, cnt, price) values "
              "(9001, 7777, 701, '2030-03-11', 2, 250), (9002, 7777, 701, '2030-04-11', 2, 250)",
              "insert into accounts_dep.h_tabel (w_id, smena, month, year, d10) values "
              "(701, 1, 3, 2030, 8), (701, 1, 4, 2030, 8)",
              "insert into accounts_dep.closed_month (year, month) values (2030, 3)"})
            testdb::run(db_, QString::fromUtf8(sql));
        QSqlDatabase d = QSqlDatabase::addDatabase("QPSQL", "other");
        d.setHostName(testdb::host());
        d.setPort(testdb::port());
        d.setDatabaseName(db_);
        d.setUserName("sys");
        d.setPassword("wexapol");
        QVERIFY(d.open());
    }
    void cleanupTestCase()
    {
        db::closeConnection();
        QSqlDatabase::database("other").close();
        QSqlDatabase::removeDatabase("other");
        testdb::drop(db_);
    }

    void refusedForEveryTableAndAction_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("refused");
        const QString in = "where id=9001", open = "where id=9002";
        QTest::newRow("entry added") << "insert into accounts_dep.smena (w_id, data, smena, time) "
                                        "values (701, '2030-03-12', 1, 1)"
                                     << true;
        QTest::newRow("entry changed") << "update accounts_dep.smena set time=9 " + in << true;
        QTest::newRow("entry deleted") << "delete from accounts_dep.smena " + in << true;
        QTest::newRow("entry moved out")
            << "update accounts_dep.smena set data='2030-04-01' " + in << true;
        QTest::newRow("entry moved in")
            << "update accounts_dep.smena set data='2030-03-01' " + open << true;
        QTest::newRow("hours added") << "insert into accounts_dep.fatigue (id_o, id_p, d_date, "
                                        "cnt, price) values (7777, 701, '2030-03-31', 1, 1)"
                                     << true;
        QTest::newRow("hours changed") << "update accounts_dep.fatigue set cnt=5 " + in << true;
        QTest::newRow("hours deleted") << "delete from accounts_dep.fatigue " + in << true;
        QTest::newRow("hours moved in")
            << "update accounts_dep.fatigue set d_date='2030-03-02' " + open << true;
        QTest::newRow("timesheet row added") << "insert into accounts_dep.h_tabel (w_id, smena, "
                                                "month, year) values (701, 2, 3, 2030)"
                                             << true;
        QTest::newRow("timesheet cell written")
            << "update accounts_dep.h_tabel set d10=1 where month=3 and year=2030" << true;
        QTest::newRow("timesheet rebuilt")
            << "delete from accounts_dep.h_tabel where month=3 and year=2030" << true;
        QTest::newRow("open month: changes go through")
            << "update accounts_dep.smena set time=7 " + open << false;
        QTest::newRow("reference books stay open")
            << "update accounts_dep.norm set price=price+1 where o_id in (select id from "
               "accounts_dep.oper where vid=7777)"
            << false;
    }
    void refusedForEveryTableAndAction()
    {
        QFETCH(QString, sql);
        QFETCH(bool, refused);
        const QString text = refusal(sql);
        if (refused)
            QVERIFY2(text.contains("Период 03.2030 закрыт. Изменения запрещены."),
                     qPrintable(text));
        else
            QVERIFY2(text.isEmpty(), qPrintable(text));
    }

    // The program's own statement refused: the one error display shows the sentence.
    void programShowsTheSentence()
    {
        db::openConnection({db_, testdb::host(), testdb::port(), "sys", "wexapol"});
        db::Command update("update accounts_dep.smena set time=1 where id=9001");
        try {
            update.execute();
            QFAIL("a closed month must refuse");
        } catch (const db::SqlError &e) {
            QCOMPARE(ui::describeDbError(e).text,
                     QStringLiteral("Период 03.2030 закрыт. Изменения запрещены."));
        }
    }

    void reopeningLetsChangesThrough()
    {
        testdb::run(db_, "delete from accounts_dep.closed_month where year=2030 and month=3");
        QCOMPARE(refusal("update accounts_dep.smena set time=6 where id=9001"), QString());
        QCOMPARE(testdb::scalar(db_, "select time from accounts_dep.smena where id=9001").toInt(),
                 6);
    }
};

TABEL_TEST_MAIN(ClosedMonthTest)
#include "tst_closed.moc"
