// The data layer against a real server when things go wrong: a connection that goes away,
// transactions that fail, refusals by the server, two users writing at once.
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/Command.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/Transaction.h"
#include "shop/DataModule.h"
#include "shop/Timesheet.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <atomic>
#include <thread>

namespace {

QVariant programScalar(const QString &sql)
{
    db::Dataset ds;
    ds.setSql(sql);
    ds.open();
    return ds.value(ds.hasField("v") ? "v" : "count");
}

int programBackend()
{
    return programScalar("select pg_backend_pid() as v").toInt();
}

} // namespace

class RobustTest : public QObject {
    Q_OBJECT
    QString db_;
    ScriptedMessages *msg_ = nullptr;

    int count(const QString &table, const QString &where = "true")
    {
        return testdb::scalar(db_, "select count(*) from " + table + " where " + where).toInt();
    }
    // Ends the program's server process from another connection, as a restart or an
    // administrator would.
    void dropProgramBackend()
    {
        const int pid = programBackend();
        testdb::scalar(db_, QString("select pg_terminate_backend(%1)").arg(pid));
        for (int i = 0; i < 100; ++i) {
            if (testdb::scalar(
                    db_, QString("select count(*) from pg_stat_activity where pid=%1").arg(pid))
                    .toInt() == 0)
                return;
            QTest::qWait(20);
        }
        QFAIL("the backend did not end");
    }
    // Another copy of the program: a connection of its own to the same database, for the
    // thread that uses it.
    QSqlDatabase otherClerk(const QString &name)
    {
        QSqlDatabase d = QSqlDatabase::addDatabase("QPSQL", name);
        d.setHostName(testdb::host());
        d.setPort(testdb::port());
        d.setDatabaseName(db_);
        d.setUserName("sys");
        d.setPassword("wexapol");
        return d;
    }
    static void insertWorker(const QString &name)
    {
        db::Command c("insert into accounts_dep.person (fio, s_staffpos_hl) values (:f, '')");
        c.setParam("f", name);
        c.execute();
    }

private slots:
    void initTestCase()
    {
        db_ = testdb::create();
        testdb::connectProgram(db_);
        dataModule = new DataModule(this);
        msg_ = new ScriptedMessages;
    }
    void cleanupTestCase()
    {
        delete msg_;
        testdb::drop(db_);
    }
    void init() { msg_->clear(); }

    // A statement that only reads is run again on a new connection; one beginning with
    // "with" that changes rows is not (it may have been carried out).
    void readAfterLostConnectionIsRetried_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("read");
        QTest::newRow("select") << "select count(*) from accounts_dep.person" << true;
        QTest::newRow("with, reading")
            << "with p as materialized (select id from accounts_dep.person) select count(*) "
               "from p"
            << true;
        QTest::newRow("with, deleting")
            << "with gone as (delete from accounts_dep.person where fio = 'Нет такого' "
               "returning id) select count(*) from gone"
            << false;
    }
    void readAfterLostConnectionIsRetried()
    {
        QFETCH(QString, sql);
        QFETCH(bool, read);
        const int before = programBackend();
        dropProgramBackend();
        if (read) {
            QCOMPARE(programScalar(sql).toInt(), count("accounts_dep.person"));
        } else {
            QVERIFY_THROWS_EXCEPTION(db::ConnectionLost, programScalar(sql));
        }
        QVERIFY(programBackend() != before);
    }

    void writeAfterLostConnectionFailsOnceThenWorks()
    {
        dropProgramBackend();
        try {
            insertWorker("Связь А.А.");
            QFAIL("a write on a lost connection reported success");
        } catch (const db::ConnectionLost &e) {
            QVERIFY(!e.details().isEmpty());
        }
        QCOMPARE(count("accounts_dep.person", "fio='Связь А.А.'"), 0);
        insertWorker("Связь А.А.");
        QCOMPARE(count("accounts_dep.person", "fio='Связь А.А.'"), 1);
    }

    // One click on a lost connection: one box with the server's text as details; the next
    // click works and shows nothing.
    void oneMessageForTheClickThenAWorkingAction()
    {
        dropProgramBackend();
        QTimer::singleShot(0, [] { insertWorker("Клик Б.Б."); });
        QTest::qWait(50);
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(msg_->shown[0].text, db::ConnectionLost(QString()).text());
        QVERIFY(!msg_->shown[0].details.isEmpty());
        QTimer::singleShot(0, [] { insertWorker("Клик Б.Б."); });
        QTest::qWait(50);
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(count("accounts_dep.person", "fio='Клик Б.Б.'"), 1);
    }

    void failureInsideTransactionLeavesNothing_data()
    {
        QTest::addColumn<bool>("dropConnection");
        QTest::newRow("refused statement") << false;
        QTest::newRow("connection lost") << true;
    }
    void failureInsideTransactionLeavesNothing()
    {
        QFETCH(bool, dropConnection);
        const int w = testdb::scalar(db_, "select min(id) from accounts_dep.person").toInt();
        const int rows = count("accounts_dep.h_tabel");
        QVERIFY_THROWS_EXCEPTION(db::SqlError, db::transaction([&] {
                                     insertWorker("Откат В.В.");
                                     shop::timesheet::writeDay({w, 2, 0, 0, 2, 2031}, 5, 8, true);
                                     if (dropConnection)
                                         dropProgramBackend();
                                     db::Command("update accounts_dep.person set fio=fio||'x' "
                                                 "where id=0/0")
                                         .execute();
                                 }));
        QVERIFY(!db::inTransaction());
        QCOMPARE(count("accounts_dep.person", "fio='Откат В.В.'"), 0);
        QCOMPARE(count("accounts_dep.h_tabel"), rows);
        // The next unit runs normally on the (new) connection.
        db::transaction([] { insertWorker("Откат В.В."); });
        QCOMPARE(count("accounts_dep.person", "fio='Откат В.В.'"), 1);
        testdb::run(db_, "delete from accounts_dep.person where fio='Откат В.В.'");
    }

    // A refusal users can cause reads as a sentence; the server's text is kept as details.
    // The server process ends after the last statement of a unit, before its commit, while
    // a statement of the unit still holds its result: the unit is never reported done.
    void backendEndedBeforeCommitIsNeverDone()
    {
        QVERIFY_THROWS_EXCEPTION(db::SqlError, db::transaction([&] {
                                     insertWorker("Обрыв О.О.");
                                     db::Dataset q(QStringLiteral("held"));
                                     q.setSql(QStringLiteral("select count(*) as n from "
                                                             "accounts_dep.person"));
                                     q.open();
                                     dropProgramBackend();
                                 }));
        QCOMPARE(count("accounts_dep.person", "fio='Обрыв О.О.'"), 0);
        db::transaction([] { insertWorker("Обрыв О.О."); });
        QCOMPARE(count("accounts_dep.person", "fio='Обрыв О.О.'"), 1);
        testdb::run(db_, "delete from accounts_dep.person where fio='Обрыв О.О.'");
    }

    void refusalsAreToldInRussian_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");
        QTest::newRow("worker with shift entries")
            << "delete from accounts_dep.person where id=(select min(w_id) from "
               "accounts_dep.smena where w_id not in (select id_p from accounts_dep.fatigue))"
            << "Работника нельзя удалить: по нему есть записи в журнале смен.";
        QTest::newRow("kind used by operations")
            << "delete from accounts_dep.vid_oper where id=(select min(vid) from "
               "accounts_dep.oper where vid<7777)"
            << "Вид работ нельзя удалить: его используют операции.";
        QTest::newRow("worker with maintenance entries, told by the server")
            << "delete from accounts_dep.person where id=(select min(id_p) from "
               "accounts_dep.fatigue)"
            << "У работника \"" +
                   testdb::scalar(db_, "select fio from accounts_dep.person where "
                                       "id=(select min(id_p) from "
                                       "accounts_dep.fatigue)")
                       .toString() +
                   "\" есть записи хоз. работ, удаление невозможно";
        QTest::newRow("entry of a missing worker")
            << "insert into accounts_dep.smena (w_id) values (-5)"
            << "Работник не найден: возможно, его удалил другой пользователь.";
        QTest::newRow("second timesheet row")
            << "insert into accounts_dep.h_tabel (w_id, month, year, smena) select w_id, month, "
               "year, smena from accounts_dep.h_tabel where (year, month) not in (select year, "
               "month from accounts_dep.closed_month) limit 1"
            << "Строка табеля этого работника за этот месяц уже есть.";
        QTest::newRow("duplicate key the schema gives no sentence")
            << "insert into accounts_dep.vid_oper (id, vid) select id, vid from "
               "accounts_dep.vid_oper limit 1"
            << "Такая запись уже есть в базе.";
        // The person row is the mirror's, written as the owner: the program's login holds
        // no right on the person table of the enterprise.
        QTest::newRow("failed check")
            << "insert into accounts_dep.person (id, fio) values (-7, 'x')"
            << "Табельный номер работника должен состоять из цифр (не более 9).";
        QTest::newRow("value too long")
            << "update accounts_dep.person set fio=repeat('я', 300)"
            << "Значение слишком длинное для поля: допускается не более 254 знаков.";
        QTest::newRow("number out of range")
            << "update accounts_dep.h_tabel set d1=100000"
            << "Число вне допустимого диапазона для поля: введите меньшее по величине число.";
    }
    void refusalsAreToldInRussian()
    {
        QFETCH(QString, sql);
        QFETCH(QString, text);
        const QString before = testdb::scalar(db_, "select md5(string_agg(fio, ',' order by id)) "
                                                   "from accounts_dep.person")
                                   .toString();
        QTimer::singleShot(0, [sql] { db::Command(sql).execute(); });
        QTest::qWait(50);
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(msg_->shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(msg_->shown[0].text, text);
        QVERIFY2(msg_->shown[0].details.contains(QRegularExpression("[a-z]{4}")),
                 qPrintable(msg_->shown[0].details));
        QCOMPARE(testdb::scalar(db_, "select md5(string_agg(fio, ',' order by id)) "
                                     "from accounts_dep.person")
                     .toString(),
                 before);
    }

    // The clerk's login may not rewrite the history: the refusal is told as a sentence,
    // the server's words under the details.
    void rightsRefusalIsASentence()
    {
        try {
            db::Command("update accounts_dep.change_log set who='кто-то' where false").execute();
            QFAIL("the clerk may write the history");
        } catch (const db::SqlError &e) {
            QCOMPARE(e.sqlState(), QStringLiteral("42501"));
            const ui::DbErrorText shown = ui::describeDbError(e);
            QCOMPARE(shown.text, QStringLiteral("Недостаточно прав: вашей учётной записи это "
                                                "действие не разрешено. Обратитесь к "
                                                "администратору."));
            QCOMPARE(shown.details, e.text());
        }
    }

    void otherErrorsKeepTheServerText()
    {
        try {
            db::Command("select * from accounts_dep.no_such_table").execute();
            QFAIL("no error");
        } catch (const db::SqlError &e) {
            const ui::DbErrorText shown = ui::describeDbError(e);
            QCOMPARE(shown.text, "relation \"accounts_dep.no_such_table\" does not exist");
            QCOMPARE(shown.details, e.text());
        }
    }

    // Two clerks save the first hours of one worker's month at the same moment: the other
    // clerk's row is inserted but not yet committed when this program writes its day.
    void concurrentFirstRowOfAMonthMakesOneRow()
    {
        const int w = testdb::scalar(db_, "select max(id) from accounts_dep.person").toInt();
        std::atomic<bool> inserted{false};
        QString otherError;
        std::thread other([&] {
            const QString name = "race";
            {
                QSqlDatabase d = otherClerk(name);
                QSqlQuery q(d);
                if (!d.open() || !d.transaction() ||
                    !q.exec(QString("insert into accounts_dep.h_tabel(smena, i_type, i_night, "
                                    "w_id, month, year, d3) values(1, 0, 0, %1, 7, 2032, 5) on "
                                    "conflict (w_id, smena, i_type, i_night, month, year) do "
                                    "update set d3=excluded.d3")
                                .arg(w)))
                    otherError = q.lastError().text() + d.lastError().text();
                inserted = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
                d.commit();
                d.close();
            }
            QSqlDatabase::removeDatabase(name);
        });
        while (!inserted)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        // Waits on the other clerk's row, then adds its own day to it.
        shop::timesheet::writeDay({w, 1, 0, 0, 7, 2032}, 4, 8, true);
        other.join();
        QVERIFY2(otherError.isEmpty(), qPrintable(otherError));
        const QString row = QString("w_id=%1 and smena=1 and month=7 and year=2032").arg(w);
        QCOMPARE(count("accounts_dep.h_tabel", row), 1);
        QCOMPARE(count("accounts_dep.h_tabel", row + " and d3=5 and d4=8"), 1);
    }

    // Two clerks save hours for one worker, day and shift at the same moment: 3 h here, 5 h
    // by another copy of the program. Whichever writes the day's cell last must count both
    // entries; a writer that sums the day without waiting for the other leaves 3 or 5.
    void twoClerksSavingOneDayLoseNoHours()
    {
        const int w = testdb::scalar(db_, "select max(id) from accounts_dep.person").toInt();
        const QDate day(2032, 8, 9);
        std::atomic<int> stage{0}; // 1 this clerk wrote its cell, 2 the other inserted its entry
        QString otherError;
        std::thread other([&] {
            const QString name = "clerk";
            {
                QSqlDatabase d = otherClerk(name);
                while (stage < 1)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                QSqlQuery q(d);
                const QString steps[] = {
                    QString("insert into accounts_dep.smena (w_id, data, smena, time) values "
                            "(%1, '2032-08-09', 1, 5)")
                        .arg(w),
                    "", // the cell writer's lock, below
                    QString("insert into accounts_dep.h_tabel(smena, i_type, i_night, w_id, "
                            "month, year, d9) select 1, 0, 0, %1, 8, 2032, sum(time) from "
                            "accounts_dep.smena where w_id=%1 and smena=1 and data='2032-08-09' "
                            "on conflict (w_id, smena, i_type, i_night, month, year) do update "
                            "set d9=excluded.d9")
                        .arg(w)};
                bool ok = d.open() && d.transaction();
                for (int i = 0; ok && i < 3; ++i) {
                    if (i == 1) {
                        stage = 2;
                        ok = q.exec(QString("select pg_advisory_xact_lock_shared(203208, 0), "
                                            "pg_advisory_xact_lock(203208, %1)")
                                        .arg(w));
                    } else {
                        ok = q.exec(steps[i]);
                    }
                }
                if (!ok || !d.commit())
                    otherError = q.lastError().text() + d.lastError().text();
                stage = 2;
                d.close();
            }
            QSqlDatabase::removeDatabase(name);
        });
        db::transaction([&] {
            db::Command insert(QString("insert into accounts_dep.smena (w_id, data, smena, time) "
                                       "values (%1, '2032-08-09', 1, 3)")
                                   .arg(w));
            insert.execute();
            shop::timesheet::writeShiftDay(w, 1, day, true);
            stage = 1;
            // The other clerk inserts and comes to its cell while this one is not committed.
            while (stage < 2)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        });
        other.join();
        QVERIFY2(otherError.isEmpty(), qPrintable(otherError));
        QCOMPARE(testdb::shiftCell(db_, w, 1, day).toInt(), 8);
    }

    // A deadlock is run again by the transaction helper, not shown; when it keeps failing,
    // the failure reaches the caller.
    void deadlocksAreRetriedThenReported()
    {
        const int before = db::retries();
        int runs = 0;
        db::transaction([&] {
            if (++runs == 1)
                throw db::SqlError("deadlock detected", "40P01");
        });
        QCOMPARE(runs, 2);
        QCOMPARE(db::retries(), before + 1);
        runs = 0;
        try {
            db::transaction([&] {
                ++runs;
                throw db::SqlError("could not serialize access", "40001");
            });
            QFAIL("a failure that keeps coming back must be reported");
        } catch (const db::SqlError &e) {
            QCOMPARE(e.sqlState(), QString("40001"));
        }
        QVERIFY(runs > 1 && runs <= 4);
    }
};

TABEL_TEST_MAIN(RobustTest)
#include "tst_robust.moc"
