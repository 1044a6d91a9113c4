// The production calendar and the organisation's details on a real server: the year loaded
// with the schema gives the decree's norms, a year the calendar does not know falls back to
// Saturdays and Sundays, and only a login of the administrators' group changes either (each
// change in the history).
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/SqlError.h"
#include "shop/Calendar.h"
#include "shop/Organisation.h"

#include <QTest>

namespace cal = shop::calendar;

class CalendarTest : public QObject {
    Q_OBJECT
    QString db_;
    ScriptedMessages messages_;

    void connectAs(const QString &login, const QString &groups)
    {
        testdb::connectProgramAs(db_, login, groups);
    }
    int history(const QString &table)
    {
        return testdb::scalar(db_, QStringLiteral("select count(*) from accounts_dep.change_log "
                                                  "where tbl='%1'")
                                       .arg(table))
            .toInt();
    }

private slots:
    void initTestCase()
    {
        db_ = testdb::create(QStringLiteral("tabel_schema"));
        testdb::connectProgram(db_);
    }
    void cleanupTestCase() { testdb::drop(db_); }

    void normsOf2026()
    {
        const cal::Year y = cal::Year::load(2026);
        QVERIFY(y.known());
        const int at40[] = {120, 152, 168, 175, 151, 167, 184, 168, 176, 176, 159, 176};
        for (int m = 1; m <= 12; ++m)
            QCOMPARE(y.normTenths(m, 40), at40[m - 1] * 10);
        QCOMPARE(y.yearNormTenths(40), 19720);
        // A fifth of a shorter week per working day, still one hour less before a holiday.
        QCOMPARE(y.normHours(1, 36), 108.0); // 15 days
        QCOMPARE(y.normHours(4, 36), 157.4); // 22 days, 30 April shortened
        QCOMPARE(y.normHours(11, 24), 95.0); // 20 days, 3 November shortened
    }

    void daysOff_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("off");
        QTest::addColumn<int>("kind");
        const auto row = [](const char *name, QDate d, bool off, cal::Kind k) {
            QTest::newRow(name) << d << off << int(k);
        };
        row("New Year holidays", QDate(2026, 1, 5), true, cal::Kind::Holiday);
        row("moved from 3 January", QDate(2026, 1, 9), true, cal::Kind::MovedOff);
        row("first working day", QDate(2026, 1, 12), false, cal::Kind::Working);
        row("moved from 8 March", QDate(2026, 3, 9), true, cal::Kind::MovedOff);
        row("shortened", QDate(2026, 4, 30), false, cal::Kind::Short);
        row("Wednesday holiday", QDate(2026, 11, 4), true, cal::Kind::Holiday);
        row("ordinary Saturday", QDate(2026, 11, 7), true, cal::Kind::Weekend);
        row("31 December", QDate(2026, 12, 31), true, cal::Kind::MovedOff);
        // A year without a calendar: Saturdays and Sundays only.
        row("unknown year, 1 January", QDate(2031, 1, 1), false, cal::Kind::Working);
        row("unknown year, Saturday", QDate(2031, 1, 4), true, cal::Kind::Weekend);
    }
    void daysOff()
    {
        QFETCH(QDate, day);
        QFETCH(bool, off);
        QFETCH(int, kind);
        QCOMPARE(cal::isDayOff(day), off);
        const cal::Year y = cal::Year::load(day.year());
        QCOMPARE(int(y.kind(day)), kind);
        QCOMPARE(y.isDayOff(day), off);
    }

    void unknownYearSaysSo()
    {
        const cal::Year y = cal::Year::load(2031);
        QVERIFY(!y.known());
        QCOMPARE(y.workingDays(1), 23); // January 2031: 23 weekdays, 1 January among them
        QVERIFY(cal::fallbackSentence(2031).contains(QStringLiteral("2031")));
    }

    // A foreman reads the calendar and the details; the server refuses him every change.
    void clerkChangesNothing()
    {
        connectAs(QStringLiteral("t_cal_clerk"), QStringLiteral("tabel_foreman"));
        QCOMPARE(cal::Year::load(2026).yearNormTenths(40), 19720);
        QVERIFY(shop::organisation().name.isEmpty());
        const auto refused = [](const std::function<void()> &change) {
            try {
                change();
            } catch (const db::SqlError &e) {
                return e.sqlState() == QLatin1String("42501");
            }
            return false;
        };
        QVERIFY(refused([] { cal::addYear(2027, QString()); }));
        QVERIFY(refused([] {
            cal::setDay({QDate(2026, 11, 7), cal::Kind::WorkingDay, false, {}});
        }));
        QVERIFY(refused([] { cal::removeYear(2026); }));
        shop::Organisation o;
        o.name = QStringLiteral("ООО \"Ромашка\"");
        QVERIFY(refused([&] { shop::saveOrganisation(o); }));
        QVERIFY(!cal::isDayOff(QDate(2026, 1, 12)));
        QVERIFY(cal::isDayOff(QDate(2026, 11, 7)));
    }

    // The next year before its decree: its public holidays, a working Saturday and a regional
    // day added by the administrator, each change in the history.
    void administratorEntersTheNextYear()
    {
        connectAs(QStringLiteral("t_cal_admin"), QStringLiteral("tabel_admin"));
        const int daysBefore = history(QStringLiteral("calendar_day"));
        cal::addYear(2027, QStringLiteral("проект"));
        cal::Year y = cal::Year::load(2027);
        QVERIFY(y.known());
        QCOMPARE(y.kind(QDate(2027, 1, 7)), cal::Kind::Holiday);
        QCOMPARE(y.kind(QDate(2027, 11, 4)), cal::Kind::Holiday);
        QCOMPARE(history(QStringLiteral("calendar_year")), 2); // 2026 from the schema, 2027
        QCOMPARE(history(QStringLiteral("calendar_day")), daysBefore + 14);

        // Saturday 6 November 2027 worked for Monday 8 November off; a regional holiday.
        cal::setDay({QDate(2027, 11, 6), cal::Kind::WorkingDay, false, QStringLiteral("перенос")});
        cal::setDay({QDate(2027, 11, 8), cal::Kind::MovedOff, false, QStringLiteral("перенос")});
        cal::setDay({QDate(2027, 9, 1), cal::Kind::Holiday, true, QStringLiteral("День города")});
        QVERIFY(!cal::isDayOff(QDate(2027, 11, 6)));
        QVERIFY(cal::isDayOff(QDate(2027, 11, 8)));
        QVERIFY(cal::isDayOff(QDate(2027, 9, 1)));
        y = cal::Year::load(2027);
        // November 2027: 22 weekdays, 4 November and 8 November off, Saturday 6 worked.
        QCOMPARE(y.workingDays(11), 21);
        // September 2027: 22 weekdays, the regional holiday off.
        QCOMPARE(y.workingDays(9), 21);
        // Corrected: the regional day is an ordinary day again.
        cal::setDay({QDate(2027, 9, 1), cal::Kind::Working, false, QString()});
        QVERIFY(!cal::isDayOff(QDate(2027, 9, 1)));
        QCOMPARE(history(QStringLiteral("calendar_day")), daysBefore + 14 + 4);
        // A day of a year the calendar does not know is refused with its own sentence.
        try {
            cal::setDay({QDate(2031, 5, 5), cal::Kind::Holiday, false, QString()});
            QFAIL("a day of an unknown year was kept");
        } catch (const db::SqlError &e) {
            QCOMPARE(e.sqlState(), QStringLiteral("23503"));
        }
    }

    void administratorKeepsTheDetails()
    {
        connectAs(QStringLiteral("t_cal_admin"), QStringLiteral("tabel_admin"));
        shop::Organisation o;
        o.name = QStringLiteral("ООО \"Д'Артаньян и партнёры\"");
        o.department = QStringLiteral("Цех №2");
        o.okpo = QStringLiteral(" 12345678 ");
        o.responsiblePosition = QStringLiteral("Табельщик");
        o.responsibleName = QStringLiteral("О'Нил А.А.");
        o.headPosition = QStringLiteral("Начальник цеха");
        o.headName = QStringLiteral("Петров П.П.");
        o.hrPosition = QStringLiteral("Инспектор по кадрам");
        o.hrName = QStringLiteral("Сидорова С.С.");
        shop::saveOrganisation(o);
        o.okpo = QStringLiteral("12345678");
        QCOMPARE(shop::organisation(), o);
        QCOMPARE(history(QStringLiteral("organisation")), 1);
        QVERIFY(shop::okpoProblem(QStringLiteral("12345")).contains(QStringLiteral("ОКПО")));
        QVERIFY(shop::okpoProblem(QStringLiteral("0012345678")).isEmpty());
        o.okpo = QStringLiteral("12345");
        try {
            shop::saveOrganisation(o);
            QFAIL("a wrong ОКПО was kept");
        } catch (const db::SqlError &e) {
            QCOMPARE(e.sqlState(), QStringLiteral("23514"));
        }
    }
};

QTEST_GUILESS_MAIN(CalendarTest)
#include "tst_calendar.moc"
