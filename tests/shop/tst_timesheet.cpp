// The timesheet writer against a real server: a day's cell follows the day's entries, and
// a month rebuilt from the entries equals what the demo shop was loaded with.
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "shop/Timesheet.h"

#include <QDate>
#include <QTest>

namespace tabel = shop::timesheet;

class TimesheetTest : public QObject {
    Q_OBJECT
    QString db_;
    ScriptedMessages messages_;

    QString cells(const QString &where)
    {
        return testdb::scalar(db_, "select string_agg(row(" + testdb::dayColumns() +
                                       ")::text, ' | ' order by id) from accounts_dep.h_tabel "
                                       "where " +
                                       where)
            .toString();
    }
    // A row's text with the given day cells set, the others empty.
    static QString row(std::initializer_list<std::pair<int, int>> days)
    {
        QStringList c;
        for (int d = 1; d <= 31; ++d)
            c << QString();
        for (const auto &[day, hours] : days)
            c[day - 1] = QString::number(hours);
        return QLatin1Char('(') + c.join(QLatin1Char(',')) + QLatin1Char(')');
    }

private slots:
    void init()
    {
        db_ = testdb::create(QStringLiteral("tabel_schema"));
        testdb::connectProgram(db_);
        testdb::run(db_, "insert into accounts_dep.person (id, fio) values (801, 'Табелев Т.Т.'), "
                         "(802, 'О''Нил О.О.')");
    }
    void cleanup()
    {
        db::closeConnection();
        testdb::drop(db_);
    }

    // A save, a second save of the day, a delete: the cell is always the day's sum; a
    // delete never makes a row.
    void shiftDayFollowsEntries()
    {
        const QDate day(2031, 5, 14);
        testdb::run(db_, "insert into accounts_dep.smena (id, w_id, data, smena, time) values "
                         "(1, 801, '2031-05-14', 2, 5), (2, 801, '2031-05-14', 3, 7)");
        db::transaction([&] { tabel::writeShiftDay(801, 2, day, true); });
        QCOMPARE(cells("w_id=801 and smena=2"), row({{14, 5}}));
        testdb::run(db_, "insert into accounts_dep.smena (id, w_id, data, smena, time) values "
                         "(3, 801, '2031-05-14', 2, 3)");
        db::transaction([&] { tabel::writeShiftDay(801, 2, day, true); });
        QCOMPARE(cells("w_id=801 and smena=2"), row({{14, 8}}));
        testdb::run(db_, "delete from accounts_dep.smena where id in (1, 3)");
        db::transaction([&] { tabel::writeShiftDay(801, 2, day, false); });
        QCOMPARE(cells("w_id=801 and smena=2"), row({{14, 0}}));
        // The third shift was never written: a delete's rewrite makes no row.
        testdb::run(db_, "delete from accounts_dep.smena where id=2");
        db::transaction([&] { tabel::writeShiftDay(801, 3, day, false); });
        QCOMPARE(cells("w_id=801 and smena=3"), QString());
    }

    // Maintenance cells are kept per kind and night flag.
    void kindDayPerKindAndNight()
    {
        const QDate day(2031, 6, 2);
        testdb::run(db_, "insert into accounts_dep.fatigue (id, id_o, id_p, d_date, cnt, price, "
                         "i_night) values (1, 7777, 802, '2031-06-02', 2, 250, 0), "
                         "(2, 7777, 802, '2031-06-02', 3, 300, 1), "
                         "(3, 7778, 802, '2031-06-02', 4, 100, 0), "
                         "(4, 7777, 802, '2031-06-02', 1, 250, 0)");
        db::transaction([&] {
            tabel::writeKindDay(802, 7777, 0, day, true);
            tabel::writeKindDay(802, 7777, 1, day, true);
            tabel::writeKindDay(802, 7778, 0, day, true);
        });
        QCOMPARE(cells("w_id=802 and i_type=7777 and i_night=0"), row({{2, 3}}));
        QCOMPARE(cells("w_id=802 and i_type=7777 and i_night=1"), row({{2, 3}}));
        QCOMPARE(cells("w_id=802 and i_type=7778"), row({{2, 4}}));
        QCOMPARE(cells("smena<>0"), QString());
    }

    // Rebuilding a month replaces only its own kind of rows and keeps other months.
    void rebuildsReplaceTheirOwnRows()
    {
        testdb::run(db_, "insert into accounts_dep.smena (id, w_id, data, smena, time) values "
                         "(1, 801, '2031-07-01', 1, 8), (2, 801, '2031-07-31', 1, 4), "
                         "(3, 802, '2031-07-15', 4, 6), (4, 801, '2031-08-01', 1, 9)");
        testdb::run(db_, "insert into accounts_dep.fatigue (id, id_o, id_p, d_date, cnt, price) "
                         "values (1, 7778, 801, '2031-07-20', 5, 100)");
        testdb::run(db_, "insert into accounts_dep.h_tabel (w_id, smena, month, year, d3) values "
                         "(801, 1, 7, 2031, 99), (802, 2, 7, 2031, 1), (801, 1, 8, 2031, 9)");
        tabel::rebuildShifts(7, 2031);
        QCOMPARE(cells("month=7 and smena=1"), row({{1, 8}, {31, 4}}));
        QCOMPARE(cells("month=7 and smena=4"), row({{15, 6}}));
        QCOMPARE(cells("month=7 and smena=2"), QString());
        QCOMPARE(cells("month=8"), row({{3, 9}}));
        QCOMPARE(cells("smena=0"), QString());
        int shown = 0;
        tabel::rebuildKinds(7, 2031, [&](int days, const std::function<void(int)> &work) {
            QCOMPARE(days, 31);
            tabel::eachDay(days, [&](int day) {
                work(day);
                ++shown;
            });
        });
        QCOMPARE(shown, 31);
        QCOMPARE(cells("month=7 and i_type=7778"), row({{20, 5}}));
        QCOMPARE(cells("month=7 and smena=1"), row({{1, 8}, {31, 4}}));
    }

    // The demo shop's timesheet was made by its data script from the same entries: a
    // rebuild of each of its open months changes nothing.
    void demoTimesheetEqualsRebuild()
    {
        cleanup();
        db_ = testdb::create(QStringLiteral("tabel_demo"));
        testdb::connectProgram(db_);
        const QString loaded = testdb::timesheet(db_);
        QVERIFY(!loaded.isEmpty());
        // A closed month is the server's to keep: no rebuild may touch it.
        const QString months =
            testdb::scalar(db_, "select string_agg(distinct (h.year*100+h.month)::text, ',') "
                                "from accounts_dep.h_tabel h where not exists (select from "
                                "accounts_dep.closed_month c where c.year=h.year and "
                                "c.month=h.month)")
                .toString();
        for (const QString &key : months.split(QLatin1Char(','))) {
            const int year = key.toInt() / 100, month = key.toInt() % 100;
            tabel::rebuildShifts(month, year);
            tabel::rebuildKinds(month, year);
        }
        QCOMPARE(testdb::timesheet(db_), loaded);
    }
};

QTEST_GUILESS_MAIN(TimesheetTest)
#include "tst_timesheet.moc"
