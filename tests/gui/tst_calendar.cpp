// The production calendar in the windows: the journals' "Выходной" box starts from it, its
// window shows a year's norms (or says that a year is not entered), and the organisation's
// details are read-only for everyone but the administrator.
#include "Drive.h"
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "journal/ShiftJournalWindow.h"
#include "maintenance/MaintenanceJournalWindow.h"
#include "refbooks/CalendarWindow.h"
#include "refbooks/OrganisationWindow.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

using drive::whileShown;

class CalendarWindowsTest : public gui::Fixture {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        startProgram();
        loggedInAs(QStringLiteral("0264"));
        // Saturday 7 November 2026 made a working day for this test.
        testdb::run(db_, QStringLiteral("insert into accounts_dep.calendar_day (day, kind) "
                                        "values ('2026-11-07', 'work')"));
        shiftJournalWindow->show();
    }

    void dayOffBoxFollowsTheCalendar_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("Wednesday holiday") << QDate(2026, 11, 4) << true;
        QTest::newRow("moved day off") << QDate(2026, 3, 9) << true;
        QTest::newRow("working Saturday") << QDate(2026, 11, 7) << false;
        QTest::newRow("ordinary Saturday") << QDate(2026, 11, 14) << true;
        QTest::newRow("ordinary Tuesday") << QDate(2026, 11, 10) << false;
        QTest::newRow("shortened day") << QDate(2026, 11, 3) << false;
    }
    void dayOffBoxFollowsTheCalendar()
    {
        QFETCH(QDate, day);
        QFETCH(bool, ticked);
        shiftJournalWindow->dateEdit->setDate(day);
        shiftJournalWindow->dateChange();
        QCOMPARE(shiftJournalWindow->dayOffBox->isChecked(), ticked);
        QVERIFY(whileShown<MaintenanceJournalWindow>(
            [] { shiftJournalWindow->maintenanceButton->click(); },
            [&](MaintenanceJournalWindow *f) {
                QCOMPARE(f->dateEdit->date(), day);
                QCOMPARE(f->dayOffBox->isChecked(), ticked);
            }));
        // The user still decides.
        shiftJournalWindow->dayOffBox->setChecked(!ticked);
        QCOMPARE(shiftJournalWindow->entryContext().dayOff, !ticked);
        QVERIFY(msg_->texts().isEmpty());
    }

    void windowShowsNormsOrSaysTheYearIsMissing()
    {
        QVERIFY(whileShown<CalendarWindow>(
            [] { calendarWindow->openFrom(shiftJournalWindow, 2026, false); },
            [](CalendarWindow *f) {
                QStringList norms;
                for (int m = 0; m < 12; ++m)
                    norms << f->monthsTable->item(m, 3)->text();
                // 7 November worked: November has 167 hours instead of 159.
                QCOMPARE(norms.join(' '), QStringLiteral("120 152 168 175 151 167 184 168 176 "
                                                         "176 167 176"));
                QVERIFY(!f->saveDayButton->isEnabled());
                QVERIFY(!f->addYearButton->isEnabled());
                f->yearBox->setValue(2031);
                QVERIFY(f->stateLabel->text().contains(QStringLiteral("не введён")));
                QCOMPARE(f->monthsTable->item(0, 1)->text(), QStringLiteral("23"));
            }));
        QVERIFY(msg_->texts().isEmpty());
    }

    void detailsReadOnlyButForTheAdministrator()
    {
        QVERIFY(whileShown<OrganisationWindow>(
            [] { organisationWindow->openFrom(shiftJournalWindow, false); },
            [](OrganisationWindow *f) {
                QVERIFY(f->nameEdit->isReadOnly());
                QVERIFY(!f->saveButton->isEnabled());
            }));
        // The administrator: a wrong ОКПО is told before the server is asked, a name with
        // an apostrophe is kept as typed.
        QVERIFY(whileShown<OrganisationWindow>(
            [] { organisationWindow->openFrom(shiftJournalWindow, true); },
            [](OrganisationWindow *f) {
                QVERIFY(!f->nameEdit->isReadOnly());
                f->okpoEdit->setText(QStringLiteral("123"));
                f->saveButton->click();
                QVERIFY(f->isVisible());
                f->okpoEdit->setText(QStringLiteral("12345678"));
                f->nameEdit->clear();
                drive::type(f->nameEdit, QStringLiteral("Завод \"Д'Арт\""));
                f->saveButton->click();
                QVERIFY(!f->isVisible());
            }));
        QCOMPARE(msg_->texts().size(), 1);
        QVERIFY(msg_->texts().at(0).contains(QStringLiteral("ОКПО")));
        QCOMPARE(
            sql(QStringLiteral("select name || okpo from accounts_dep.organisation")).toString(),
            QStringLiteral("Завод \"Д'Арт\"12345678"));
    }
};

TABEL_TEST_MAIN(CalendarWindowsTest)
#include "tst_calendar.moc"
