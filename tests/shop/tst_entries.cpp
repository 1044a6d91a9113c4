// The entry stores against a real server: each save, move and delete keeps the timesheet
// cells it leaves and enters equal to the day's entries, refuses a repeated shift entry,
// refuses a change or delete of a row another user changed since it was read, and stores one
// entry when two clerks save it at once.
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/Command.h"
#include "db/Connection.h"
#include "db/SqlError.h"
#include "shop/MaintenanceEntries.h"
#include "shop/Refusals.h"
#include "shop/ShiftEntries.h"
#include "ui/Messages.h"

#include <QSqlQuery>
#include <QTest>

using shop::ShiftEntries::add;
using shop::ShiftEntries::change;
using shop::ShiftEntries::remove;

class EntriesTest : public QObject {
    Q_OBJECT
    QString db_;
    ScriptedMessages messages_;

    // The day cell of a worker's shift row, "-" without a row.
    QString cell(int worker, int shift, const QDate &day)
    {
        const QVariant v = testdb::shiftCell(db_, worker, shift, day);
        return !v.isValid() ? QStringLiteral("-")
               : v.isNull() ? QStringLiteral("null")
                            : v.toString();
    }
    shop::StoredEntry stored(int id)
    {
        QSqlQuery q(testdb::side(db_));
        q.exec(QStringLiteral("select xmin::text, w_id, data from accounts_dep.smena where id=") +
               QString::number(id));
        if (!q.next())
            return {};
        return {id, q.value(0).toString(), q.value(1).toInt(), q.value(2).toDate()};
    }
    int lastId() { return testdb::scalar(db_, "select max(id) from accounts_dep.smena").toInt(); }
    static shop::ShiftEntry entry(int worker, const QDate &day, int hours, int colour = 0)
    {
        shop::ShiftEntry e;
        e.workerId = worker;
        e.productId = 901;
        e.operationId = 902;
        e.price = 1.23456;
        e.quantity = 10;
        e.rejects = 1;
        e.colour = colour;
        e.hours = hours;
        e.date = day;
        e.shift = 2;
        return e;
    }
    // Hours of maintenance (kind 7777) at its hour price of 250.
    static shop::MaintenanceEntry maintenance(int worker, const QDate &day, int hours)
    {
        shop::MaintenanceEntry m;
        m.kind = 7777;
        m.workerId = worker;
        m.day = day;
        m.hours = hours;
        m.price = 250;
        return m;
    }

private slots:
    void init()
    {
        db_ = testdb::create(QStringLiteral("tabel_schema"));
        testdb::connectProgram(db_);
        for (const char *sql :
             {"insert into accounts_dep.person (id, fio) values (801, 'Первов П.П.'), "
              "(802, 'О''Нил О.О.')",
              "insert into cmn_gds_and_srv.gds_and_srv (id, s_caption) values (901, 'Скоба')",
              "insert into accounts_dep.vid_oper (id, vid) values (903, 'Гибка')",
              "insert into accounts_dep.oper (id, vid, naimen, i_id) values (902, 903, 0, 901)"})
            testdb::run(db_, QString::fromUtf8(sql));
    }
    void cleanup()
    {
        db::closeConnection();
        testdb::drop(db_);
    }

    void addSumsTheDayAndRefusesARepeat()
    {
        const QDate day(2031, 5, 14);
        const shop::StoreResult saved = add(entry(801, day, 5));
        QVERIFY(saved.ok());
        QCOMPARE(saved.id, lastId());
        QCOMPARE(testdb::scalar(db_, "select cena::text from accounts_dep.smena").toString(),
                 QStringLiteral("1.2346"));
        QVERIFY(add(entry(801, day, 3, 2)).ok()); // another colour is another entry
        QCOMPARE(cell(801, 2, day), QStringLiteral("8"));
        const shop::StoreResult again = add(entry(801, day, 4));
        QCOMPARE(again.refusal, shop::ShiftEntries::duplicateRefusal());
        QCOMPARE(cell(801, 2, day), QStringLiteral("8"));
        QCOMPARE(testdb::scalar(db_, "select count(*) from accounts_dep.smena").toInt(), 2);
    }

    // The store itself keeps a worker's day within 24 hours over every shift, whoever calls it;
    // a change counts the entry's new hours in place of its old ones.
    void dayHoldsAtMost24Hours()
    {
        const QDate day(2031, 5, 14);
        QVERIFY(add(entry(801, day, 20)).ok());
        shop::ShiftEntry other = entry(801, day, 5);
        other.shift = 3;
        QCOMPARE(add(other).refusal,
                 QStringLiteral("У работника за 14.05.2031 уже записано 20 ч во всех журналах; с "
                                "этой записью было бы 25 ч, а в сутках не более 24 ч."));
        other.hours = 4;
        QVERIFY(add(other).ok());
        const int id = lastId();
        other.hours = 3;
        QVERIFY(change(stored(id), other).ok());
        other.hours = 5;
        QVERIFY(!change(stored(id), other).ok());
        QCOMPARE(testdb::scalar(db_, "select sum(time) from accounts_dep.smena").toInt(), 23);

        // The maintenance store counts the shift hours too, and its own entry's former hours
        // not, whoever calls it: nothing is stored when refused.
        shop::MaintenanceEntry m = maintenance(801, day, 2);
        const shop::StoreResult refused = shop::MaintenanceEntries::add(m);
        QCOMPARE(refused.refusal,
                 QStringLiteral("У работника за 14.05.2031 уже записано 23 ч во всех журналах; с "
                                "этой записью было бы 25 ч, а в сутках не более 24 ч."));
        m.hours = 1;
        const shop::StoreResult one = shop::MaintenanceEntries::add(m);
        QVERIFY(one.ok());
        QSqlQuery q(testdb::side(db_));
        QVERIFY(q.exec("select xmin::text from accounts_dep.fatigue where id=" +
                       QString::number(one.id)));
        QVERIFY(q.next());
        const shop::StoredMaintenance read{one.id, q.value(0).toString(), 801, 7777, 0, day};
        m.hours = 2;
        QVERIFY(!shop::MaintenanceEntries::change(read, m).ok());
        m.night = true; // the same hour moved to the night cell stays within the day
        m.hours = 1;
        QVERIFY(shop::MaintenanceEntries::change(read, m).ok());
        QCOMPARE(testdb::scalar(db_, "select sum(cnt) from accounts_dep.fatigue").toInt(), 1);
    }

    // A move to another worker and date rewrites both cells; a change into a repeat of
    // another entry is refused and stores nothing.
    void moveRewritesBothCells()
    {
        const QDate day(2031, 5, 14), later(2031, 5, 20);
        QVERIFY(add(entry(801, day, 5)).ok());
        const int first = lastId();
        QVERIFY(add(entry(801, day, 2, 3)).ok());
        const int second = lastId();
        QVERIFY(change(stored(first), entry(802, later, 6)).ok());
        QCOMPARE(cell(801, 2, day), QStringLiteral("2"));
        QCOMPARE(cell(802, 2, later), QStringLiteral("6"));
        const shop::StoreResult repeat = change(stored(second), entry(802, later, 1));
        QCOMPARE(repeat.refusal, shop::ShiftEntries::duplicateRefusal());
        QCOMPARE(cell(801, 2, day), QStringLiteral("2"));
        // The entry itself may keep its own worker, date and colour.
        const shop::StoreResult kept = change(stored(second), entry(801, day, 7, 3));
        QVERIFY(kept.ok());
        QCOMPARE(kept.id, second);
        QCOMPARE(cell(801, 2, day), QStringLiteral("7"));

        // A move to another shift only: the former shift's cell keeps what remains.
        shop::ShiftEntry night = entry(801, day, 7, 3);
        night.shift = 3;
        QVERIFY(change(stored(second), night).ok());
        QCOMPARE(cell(801, 2, day), QStringLiteral("0"));
        QCOMPARE(cell(801, 3, day), QStringLiteral("7"));
    }

    // A row changed or deleted since it was read: the change and the delete are refused
    // and the cells stay as they were.
    void staleRowsRefused()
    {
        const QDate day(2031, 5, 14);
        QVERIFY(add(entry(801, day, 5)).ok());
        const int id = lastId();
        const shop::StoredEntry read = stored(id);
        testdb::run(db_, "update accounts_dep.smena set kol_vo=11 where id=" + QString::number(id));
        QVERIFY_THROWS_EXCEPTION(db::RowChanged, change(read, entry(802, day, 9)));
        QCOMPARE(cell(801, 2, day), QStringLiteral("5"));
        QCOMPARE(cell(802, 2, day), QStringLiteral("-"));
        QVERIFY_THROWS_EXCEPTION(db::RowChanged, remove(id, read.rowVer));
        QCOMPARE(cell(801, 2, day), QStringLiteral("5"));
        const shop::StoredEntry now = stored(id);
        remove(id, now.rowVer);
        QCOMPARE(cell(801, 2, day), QStringLiteral("0"));
        QVERIFY_THROWS_EXCEPTION(db::RowChanged, remove(id, now.rowVer));
    }

    // Another clerk saves the same entry at the same moment: his save holds the worker's
    // month until it commits, and this save, waiting for it, then finds the repeat.
    void repeatSavedAtOnceIsStoredOnce()
    {
        const QDate day(2031, 5, 14);
        testdb::OtherClerk other(
            db_, {"select pg_advisory_xact_lock_shared(203105, 0), "
                  "pg_advisory_xact_lock(203105, 801)",
                  "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, "
                  "smena, color, time) values (801, 901, 902, 1, 10, 1, '2031-05-14', 2, 0, 4)"});
        const shop::StoreResult saved = add(entry(801, day, 5));
        const QString error = other.finish();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(other.committedWhileProgramWaited());
        QCOMPARE(saved.refusal, shop::ShiftEntries::duplicateRefusal());
        QCOMPARE(testdb::scalar(db_, "select count(*) from accounts_dep.smena").toInt(), 1);
    }

    // Accepting says which mark it wants: asked twice (the first answer lost with the
    // connection), the entry stays accepted and keeps its version.
    void acceptSetsTheMarkAsked()
    {
        QVERIFY(add(entry(801, QDate(2031, 5, 14), 5)).ok());
        const int id = lastId();
        const auto mark = [&] {
            return testdb::scalar(db_, "select ok from accounts_dep.smena where id=" +
                                           QString::number(id))
                .toString();
        };
        shop::ShiftEntries::setAccepted(id, true);
        QCOMPARE(mark(), QStringLiteral("ok"));
        QVERIFY(shop::ShiftEntries::isAccepted(mark()));
        const QString version = stored(id).rowVer;
        shop::ShiftEntries::setAccepted(id, true);
        QCOMPARE(mark(), QStringLiteral("ok"));
        QCOMPARE(stored(id).rowVer, version);
        shop::ShiftEntries::setAccepted(id, false);
        QCOMPARE(mark(), QStringLiteral("no"));
        QVERIFY(!shop::ShiftEntries::isAccepted(mark()));
        testdb::run(db_, "delete from accounts_dep.smena where id=" + QString::number(id));
        QVERIFY_THROWS_EXCEPTION(db::RowChanged, shop::ShiftEntries::setAccepted(id, true));
    }

    // A month another user holds (a rebuild) is waited for as long as the connection's lock
    // timeout: then the save is refused in a sentence and leaves nothing behind, neither
    // the entry nor its cell.
    void heldMonthRefusesTheSaveWhole()
    {
        const QDate day(2031, 5, 14);
        QVERIFY(add(entry(801, day, 5)).ok());
        QSqlQuery holder(testdb::side(db_));
        QVERIFY(holder.exec("select pg_advisory_lock(203105, 0)"));
        db::setSessionSetting(QStringLiteral("lock_timeout"), QStringLiteral("200ms"));
        QString sentence;
        try {
            add(entry(801, day, 3, 2));
        } catch (const db::SqlError &e) {
            sentence = ui::describeDbError(e).text;
        }
        db::setSessionSetting(QStringLiteral("lock_timeout"), QStringLiteral("10s"));
        QVERIFY(holder.exec("select pg_advisory_unlock(203105, 0)"));
        QCOMPARE(sentence, QStringLiteral("Месяц сейчас перестраивается другим пользователем, "
                                          "повторите позже."));
        QCOMPARE(testdb::scalar(db_, "select count(*) from accounts_dep.smena").toInt(), 1);
        QCOMPARE(cell(801, 2, day), QStringLiteral("5"));
    }

    // What a row may not hold is refused by the server and told in a sentence naming the
    // field; nothing is stored.
    void rowsOutOfRangeRefusedNamingTheField_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("sentence");
        const QString entry = "insert into accounts_dep.smena (w_id, i_id, o_id, data, smena, "
                              "time, kol_vo, brak) values (801, 901, 902, '2031-05-14', 1, ";
        const QString hours = "insert into accounts_dep.fatigue (id_o, id_p, d_date, cnt, "
                              "price, i_night, i_holiday) values (7777, 801, '2031-05-14', ";
        QTest::newRow("hours beyond a day") << entry + "40000, 1, 0)"
                                            << "Часы в записи журнала смен должны быть от 0 до 24.";
        QTest::newRow("negative hours") << entry + "-1, 1, 0)"
                                        << "Часы в записи журнала смен должны быть от 0 до 24.";
        QTest::newRow("negative quantity")
            << entry + "8, -1, 0)"
            << "Количество в записи журнала смен не может быть отрицательным.";
        QTest::newRow("negative rejects")
            << entry + "8, 1, -1)"
            << "Брак в записи журнала смен не может быть отрицательным.";
        QTest::newRow("maintenance hours beyond a day")
            << hours + "25, 250, 0, 0)"
            << "Часы в записи хоз. работ должны быть от 0 до 24.";
        QTest::newRow("negative maintenance hours")
            << hours + "-2, 250, 0, 0)"
            << "Часы в записи хоз. работ должны быть от 0 до 24.";
        QTest::newRow("night mark of 2")
            << hours + "2, 250, 2, 0)"
            << "Отметка «Ночь» в записи хоз. работ должна быть 0 или 1.";
        QTest::newRow("night mark left empty")
            << hours + "2, 250, null, 0)"
            << "Отметка «Ночь» в записи хоз. работ должна быть заполнена.";
        QTest::newRow("day-off mark of -1")
            << hours + "2, 250, 0, -1)"
            << "Отметка «Выходной» в записи хоз. работ должна быть 0 или 1.";
    }
    void rowsOutOfRangeRefusedNamingTheField()
    {
        QFETCH(QString, sql);
        QFETCH(QString, sentence);
        nameSchemaRefusals();
        QString told;
        try {
            db::Command(sql).execute();
        } catch (const db::SqlError &e) {
            told = ui::describeDbError(e).text;
        }
        QCOMPARE(told, sentence);
        QCOMPARE(testdb::scalar(db_, "select (select count(*) from accounts_dep.smena) + "
                                     "(select count(*) from accounts_dep.fatigue)")
                     .toInt(),
                 0);
    }

    // Maintenance cells are per kind and night flag: a change from day to night moves the
    // hours from one cell to the other; a delete of a row changed meanwhile is refused.
    void maintenanceMovesBetweenCells()
    {
        const QDate day(2031, 6, 2);
        const auto kindCell = [&](int worker, int kind, int night) {
            const QVariant v = testdb::scalar(
                db_, QStringLiteral("select d2 from accounts_dep.h_tabel where w_id=%1 and "
                                    "i_type=%2 and i_night=%3 and month=6 and year=2031")
                         .arg(worker)
                         .arg(kind)
                         .arg(night));
            return v.isNull() ? QStringLiteral("-") : v.toString();
        };
        shop::MaintenanceEntry e = maintenance(801, day, 3);
        QVERIFY(shop::MaintenanceEntries::add(e).ok());
        e.hours = 2;
        const qlonglong second = shop::MaintenanceEntries::add(e).id;
        QCOMPARE(second,
                 testdb::scalar(db_, "select max(id) from accounts_dep.fatigue").toLongLong());
        QCOMPARE(kindCell(801, 7777, 0), QStringLiteral("5"));
        QCOMPARE(testdb::scalar(db_, "select sum(price*cnt) from accounts_dep.fatigue").toInt(),
                 1250);

        QSqlQuery q(testdb::side(db_));
        QVERIFY(q.exec("select id, xmin::text from accounts_dep.fatigue where cnt=2"));
        QVERIFY(q.next());
        const shop::StoredMaintenance read{
            q.value(0).toLongLong(), q.value(1).toString(), 801, 7777, 0, day};
        e.night = true;
        e.price = 300;
        QVERIFY(shop::MaintenanceEntries::change(read, e).ok());
        QCOMPARE(kindCell(801, 7777, 0), QStringLiteral("3"));
        QCOMPARE(kindCell(801, 7777, 1), QStringLiteral("2"));
        // The version read before the change is gone.
        QVERIFY_THROWS_EXCEPTION(db::RowChanged, shop::MaintenanceEntries::change(read, e));
        QVERIFY_THROWS_EXCEPTION(db::RowChanged,
                                 shop::MaintenanceEntries::remove(read.id, read.rowVer));
        QCOMPARE(kindCell(801, 7777, 1), QStringLiteral("2"));
        QVERIFY(q.exec("select xmin::text from accounts_dep.fatigue where id=" +
                       QString::number(read.id)));
        QVERIFY(q.next());
        shop::MaintenanceEntries::remove(read.id, q.value(0).toString());
        QCOMPARE(kindCell(801, 7777, 1), QStringLiteral("0"));
        QCOMPARE(kindCell(801, 7777, 0), QStringLiteral("3"));
    }
};

QTEST_GUILESS_MAIN(EntriesTest)
#include "tst_entries.moc"
