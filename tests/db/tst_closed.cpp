// A closed month: the server refuses every change of its entries and timesheet rows, from any
// client, and the program shows the server's sentence naming the month.
#include "GuiApp.h"
#include "TestDb.h"
#include "db/Command.h"
#include "db/Connection.h"
#include "db/SqlError.h"
#include "shop/ClosedMonths.h"
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

    // A save in progress when the month is closed or opened again (it holds the month as
    // every writer does): the closing or reopening waits until it has committed.
    void closingWaitsForSavesInProgress_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("closing") << true;
        QTest::newRow("reopening") << false;
    }
    void closingWaitsForSavesInProgress()
    {
        QFETCH(bool, close);
        db::openConnection({db_, testdb::host(), testdb::port(), "sys", "wexapol"});
        testdb::OtherClerk saving(
            db_, {"select pg_advisory_xact_lock_shared(203011, 0), "
                  "pg_advisory_xact_lock(203011, 701)",
                  close ? "insert into accounts_dep.smena (w_id, data, smena, time) values "
                          "(701, '2030-11-05', 1, 8)"
                        : "select 1"});
        if (close)
            closing::close(11, 2030);
        else
            closing::reopen(11, 2030);
        const bool savedFirst = saving.committing();
        const QString error = saving.finish();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(savedFirst);
        QVERIFY(saving.committedWhileProgramWaited());
        QCOMPARE(closing::isClosed(11, 2030), close);
    }

    void reopeningLetsChangesThrough()
    {
        testdb::run(db_, "delete from accounts_dep.closed_month where year=2030 and month=3");
        QCOMPARE(refusal("update accounts_dep.smena set time=6 where id=9001"), QString());
        QCOMPARE(testdb::scalar(db_, "select time from accounts_dep.smena where id=9001").toInt(),
                 6);
        // The reopening itself is in the history, under the user of its session.
        QCOMPARE(testdb::scalar(db_, "select who from accounts_dep.change_log where "
                                     "tbl='closed_month' and row_id=203003 and action='delete'")
                     .toString(),
                 QStringLiteral("sys"));
    }

    // A save, a move and a delete as the program does them: who is the name the session set,
    // old and new are the rows before and after; a field that did not change is not listed.
    void historyKeepsWhoOldAndNew()
    {
        QCOMPARE(refusal("select set_config('tabel.user', 'Мастер (ivanova)', false)"), QString());
        QCOMPARE(refusal("insert into accounts_dep.smena (id, w_id, data, smena, time, kol_vo) "
                         "values (9100, 701, '2030-05-10', 1, 8, 40)"),
                 QString());
        QCOMPARE(refusal("update accounts_dep.smena set data='2030-05-11', smena=2 where id=9100"),
                 QString());
        QCOMPARE(refusal("delete from accounts_dep.smena where id=9100"), QString());
        QCOMPARE(refusal("select set_config('tabel.user', '', false)"), QString());
        QCOMPARE(refusal("update accounts_dep.smena set time=5 where id=9002"), QString());

        QCOMPARE(testdb::scalar(db_, "select string_agg(action || ' ' || who || ' ' || "
                                     "coalesce(old_row->>'data', '-') || ' ' || "
                                     "coalesce(new_row->>'data', '-') || ' ' || "
                                     "coalesce(new_row->>'smena', '-'), '; ' order by id) "
                                     "from accounts_dep.change_log where tbl='smena' "
                                     "and row_id=9100")
                     .toString(),
                 QStringLiteral("insert Мастер (ivanova) - 2030-05-10 1; "
                                "update Мастер (ivanova) 2030-05-10 2030-05-11 2; "
                                "delete Мастер (ivanova) 2030-05-11 - -"));
        // Without a name of its own a session is recorded as its database user.
        QCOMPARE(testdb::scalar(db_, "select who || ' ' || (old_row->>'time') || ' ' || "
                                     "(new_row->>'time') from accounts_dep.change_log where "
                                     "tbl='smena' and row_id=9002 order by id desc limit 1")
                     .toString(),
                 QStringLiteral("sys 7 5"));
        // An update that changes nothing leaves no row.
        const QVariant before = testdb::scalar(db_, "select count(*) from accounts_dep.change_log");
        QCOMPARE(refusal("update accounts_dep.smena set time=time where id=9002"), QString());
        QCOMPARE(testdb::scalar(db_, "select count(*) from accounts_dep.change_log"), before);
    }

    // A rebuild removes a month's timesheet rows in one statement: one history row, not one
    // per row; writing cells leaves none.
    void timesheetRebuildIsOneHistoryRow()
    {
        testdb::run(db_, "insert into accounts_dep.h_tabel (w_id, smena, month, year, d1) values "
                         "(701, 1, 6, 2030, 8), (701, 2, 6, 2030, 8), (701, 3, 6, 2030, 8)");
        testdb::run(db_, "update accounts_dep.h_tabel set d2=4 where month=6 and year=2030");
        QCOMPARE(refusal("delete from accounts_dep.h_tabel where month=6 and year=2030"),
                 QString());
        QCOMPARE(testdb::scalar(db_, "select string_agg(action || ' ' || row_id || ' ' || "
                                     "(old_row->>'rows'), '; ') from accounts_dep.change_log "
                                     "where tbl='h_tabel'")
                     .toString(),
                 QStringLiteral("delete 203006 3"));
    }

    // The program's role reads the history and cannot change it; its own changes are
    // recorded all the same.
    void historyIsReadOnlyForAnOrdinaryRole()
    {
        const QString role = QStringLiteral("clerk_") + db_;
        testdb::run(db_, QStringLiteral("create role %1 login").arg(role));
        testdb::run(db_, QStringLiteral("grant tabel_viewer to %1; "
                                        "grant select, insert, update, delete on "
                                        "accounts_dep.smena to %1")
                             .arg(role));
        {
            QSqlDatabase d = QSqlDatabase::addDatabase("QPSQL", "clerk");
            d.setHostName(testdb::host());
            d.setPort(testdb::port());
            d.setDatabaseName(db_);
            d.setUserName(role);
            QVERIFY(d.open());
            QSqlQuery q(d);
            QVERIFY2(q.exec("update accounts_dep.smena set time=4 where id=9002"),
                     qPrintable(q.lastError().databaseText()));
            QVERIFY(q.exec("select count(*) from accounts_dep.change_log"));
            for (const char *sql : {"update accounts_dep.change_log set who='кто-то'",
                                    "delete from accounts_dep.change_log",
                                    "insert into accounts_dep.change_log (tbl, action) "
                                    "values ('smena', 'delete')",
                                    "truncate accounts_dep.change_log"}) {
                QVERIFY2(!q.exec(QString::fromUtf8(sql)), sql);
                QCOMPARE(q.lastError().nativeErrorCode(), QStringLiteral("42501"));
            }
            d.close();
        }
        QSqlDatabase::removeDatabase("clerk");
        QCOMPARE(testdb::scalar(db_, "select who from accounts_dep.change_log where tbl='smena' "
                                     "and row_id=9002 order by id desc limit 1")
                     .toString(),
                 role);
        testdb::run(db_, QStringLiteral("drop owned by %1; drop role %1").arg(role));
    }
};

TABEL_TEST_MAIN(ClosedMonthTest)
#include "tst_closed.moc"
