// The statutory monthly timesheet of a generated month, made from the journals: day, night and
// overtime shifts, work on a holiday and on a Saturday, maintenance by day and by night,
// average piecework, an absence from the month before and a worker that another system knows
// by code only. Every worker's hours per day and for the month agree with the journals, and
// each day carries the codes of the schema's list.
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/SqlError.h"
#include "shop/Absences.h"
#include "shop/WorkTime.h"

#include <QTest>

namespace wt = shop::worktime;

class WorkTimeTest : public QObject {
    Q_OBJECT
    QString db_;
    ScriptedMessages messages_;
    QHash<QString, int> ids_; // worker by the short name the cases use
    wt::Month month_;

    static QDate nov(int day) { return QDate(2026, 11, day); }
    const wt::Worker *worker(const QString &name) const
    {
        for (const wt::Worker &w : month_.workers)
            if (w.id == ids_.value(name))
                return &w;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        db_ = testdb::create(QStringLiteral("tabel_schema"));
        testdb::Shop shop(db_);
        const int product = testdb::scalar(db_, "insert into cmn_gds_and_srv.gds_and_srv "
                                                "(s_caption) values ('Рама') returning id")
                                .toInt();
        const int op = shop.operation(testdb::scalar(db_, "insert into accounts_dep.vid_oper "
                                                          "(vid) values ('Сварка') returning id")
                                          .toInt(),
                                      product);
        for (const char *name : {"day", "night", "overtime", "dayoff", "hourly", "absent"})
            ids_.insert(QLatin1String(name),
                        shop.worker(QStringLiteral("Работник %1").arg(QLatin1String(name)),
                                    QStringLiteral("Сварщик")));
        // Known to the enterprise by code only: his person row has another id.
        const int coded =
            testdb::scalar(db_, "select max(id) + 1000 from accounts_dep.person").toInt();
        testdb::run(db_, QStringLiteral("insert into cmn_contractor.person (id, s_caption, s_code) "
                                        "values (990001, 'Кодов К.К.', '%1')")
                             .arg(coded));
        testdb::run(db_, QStringLiteral("insert into accounts_dep.person (id, fio) values (%1, "
                                        "'Кодов К.К.')")
                             .arg(coded));
        ids_.insert(QStringLiteral("coded"), coded);

        const auto entry = [&](const char *who, int day, int shift, int hours) {
            (void)shop.entry(ids_.value(QLatin1String(who)))
                .on(nov(day), shift)
                .hours(hours)
                .operation(op, product)
                .made(10, 0)
                .insert();
        };
        entry("day", 2, 1, 8);
        entry("day", 2, 1, 0); // a row without hours adds nothing
        entry("day", 3, 2, 7); // shortened day
        entry("night", 2, 3, 8);
        entry("night", 2, 1, 2);
        entry("overtime", 10, 1, 8);
        entry("overtime", 10, 4, 3);
        entry("dayoff", 4, 1, 6); // Wednesday holiday
        entry("dayoff", 7, 3, 4); // Saturday, at night: still work on a day off
        entry("dayoff", 9, 1, 5);
        entry("dayoff", 9, 1, 3); // two rows of one day
        entry("coded", 16, 2, 8);
        const auto fatigue = [&](int kind, int day, int hours, int night) {
            testdb::run(db_,
                        QStringLiteral("insert into accounts_dep.fatigue (id_o, id_p, "
                                       "d_date, i_mnth, i_year, i_smena, cnt, price, "
                                       "i_night) values (%1, %2, '%3', 11, 2026, 1, %4, 250, %5)")
                            .arg(kind)
                            .arg(ids_.value("hourly"))
                            .arg(nov(day).toString(Qt::ISODate))
                            .arg(hours)
                            .arg(night));
        };
        fatigue(7777, 11, 5, 0);
        fatigue(7778, 12, 8, 0);
        fatigue(7777, 13, 4, 1);
        fatigue(7778, 13, 4, 0);
        testdb::connectProgramAs(db_, QStringLiteral("t_worktime_admin"),
                                 QStringLiteral("tabel_admin"));
        // From 26 October to 8 November: the first eight days of November are vacation.
        shop::absences::add({ids_.value("absent")}, QStringLiteral("ОТ"), QDate(2026, 10, 26),
                            nov(8), QString());
        month_ = wt::build(11, 2026);
    }
    void cleanupTestCase() { testdb::drop(db_); }

    void days_data()
    {
        QTest::addColumn<QString>("who");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("hours");
        const auto row = [](const char *who, int day, const char *codes, const char *hours) {
            QTest::addRow("%s %d", who, day)
                << QString::fromLatin1(who) << day << QString::fromUtf8(codes)
                << QString::fromLatin1(hours);
        };
        row("day", 2, "Я", "8");
        row("day", 3, "Я", "7");
        row("day", 1, "В", ""); // Sunday
        row("day", 4, "В", ""); // the holiday, not worked
        row("day", 5, "", "");  // a working day without hours: blank
        row("night", 2, "Я/Н", "2/8");
        row("overtime", 10, "Я/С", "8/3");
        row("dayoff", 4, "РВ", "6");
        row("dayoff", 7, "РВ", "4");
        row("dayoff", 9, "Я", "8");
        row("hourly", 11, "Я", "5"); // maintenance
        row("hourly", 12, "Я", "8"); // average piecework
        row("hourly", 13, "Я/Н", "4/4");
        row("absent", 1, "ОТ", "");
        row("absent", 8, "ОТ", "");
        row("absent", 9, "", "");
        row("coded", 16, "Я", "8");
        row("coded", 30, "", "");
    }
    void days()
    {
        QFETCH(QString, who);
        QFETCH(int, day);
        QFETCH(QString, codes);
        QFETCH(QString, hours);
        const wt::Worker *w = worker(who);
        QVERIFY(w);
        QCOMPARE(w->days[day - 1].codeText(), codes);
        QCOMPARE(w->days[day - 1].hoursText(), hours);
        QCOMPARE(w->days[day - 1].unmarked, codes.isEmpty());
    }

    // Every worker of the month, every day: the hours are the journals' hours.
    void hoursAgreeWithTheJournals()
    {
        QCOMPARE(month_.workers.size(), ids_.size());
        QCOMPARE(month_.days, 30);
        QVERIFY(month_.calendarKnown);
        for (const wt::Worker &w : month_.workers) {
            int month = 0;
            for (int d = 1; d <= 30; ++d) {
                const int journal =
                    testdb::scalar(
                        db_, QStringLiteral("select coalesce((select sum(time) from "
                                            "accounts_dep.smena where w_id=%1 and data='%2'), 0) "
                                            "+ coalesce((select sum(cnt) from accounts_dep.fatigue "
                                            "where id_p=%1 and d_date='%2'), 0)")
                                 .arg(w.id)
                                 .arg(nov(d).toString(Qt::ISODate)))
                        .toInt();
                QCOMPARE(w.days[d - 1].workedHours(), journal);
                month += journal;
            }
            QCOMPARE(w.monthHours(), month);
        }
        const wt::Worker *coded = worker("coded");
        QCOMPARE(coded->name, QStringLiteral("Кодов К.К."));
        QCOMPARE(coded->halfDays[0], 0);
        QCOMPARE(coded->halfDays[1], 1);
        // November 2026 has 20 working days; he worked one of them.
        QCOMPARE(coded->unmarked, 19);
        QCOMPARE(worker("absent")->absencesText(), QStringLiteral("ОТ 8"));
        QCOMPARE(worker("dayoff")->monthDays(), 3);
        QCOMPARE(worker("dayoff")->monthHours(), 18);
        int unmarked = 0;
        for (const wt::Worker &w : month_.workers)
            unmarked += w.unmarked;
        QCOMPARE(month_.unmarked, unmarked);
        QCOMPARE(month_.normHours40, 159);
    }

    // An absence over another, or over a day with hours, is refused naming the day; several
    // workers at once are entered together or not at all.
    void absencesRefusedNamingTheDay()
    {
        const auto refusal = [](const std::function<void()> &add) {
            try {
                add();
            } catch (const db::SqlError &e) {
                return e.text();
            }
            return QString();
        };
        const int before = testdb::scalar(db_, "select count(*) from accounts_dep.absence").toInt();
        QString text = refusal([&] {
            shop::absences::add({ids_.value("absent")}, QStringLiteral("Б"), nov(5), nov(12), {});
        });
        QVERIFY2(text.contains(QStringLiteral("05.11.2026")), qPrintable(text));
        text = refusal([&] {
            shop::absences::add({ids_.value("coded"), ids_.value("day")}, QStringLiteral("РП"),
                                nov(2), nov(2), {});
        });
        QVERIFY2(text.contains(QStringLiteral("02.11.2026")) &&
                     text.contains(QStringLiteral("Работник day")),
                 qPrintable(text));
        QCOMPARE(testdb::scalar(db_, "select count(*) from accounts_dep.absence").toInt(), before);
        // Downtime of two workers on a day neither worked.
        QCOMPARE(shop::absences::add({ids_.value("coded"), ids_.value("day")}, QStringLiteral("РП"),
                                     nov(5), nov(5), {})
                     .size(),
                 2);
        const wt::Month m = wt::build(11, 2026);
        for (const wt::Worker &w : m.workers)
            if (w.id == ids_.value("coded") || w.id == ids_.value("day"))
                QCOMPARE(w.days[4].codeText(), QStringLiteral("РП"));
    }
};

QTEST_GUILESS_MAIN(WorkTimeTest)
#include "tst_worktime.moc"
