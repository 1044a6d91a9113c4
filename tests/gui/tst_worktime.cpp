// The statutory monthly timesheet and the absences in the windows: the window tells the blank
// working days before printing, the preview and the PDF carry the organisation's header, the
// codes and the signatures, the workbook the same cells; the absences window refuses an absence
// over a worked day with the server's sentence.
#include "Drive.h"
#include "GuiApp.h"
#include "PdfText.h"
#include "ScriptedMessages.h"
#include "Sheets.h"
#include "TestDb.h"
#include "journal/ShiftJournalWindow.h"
#include "report/Preview.h"
#include "timesheets/AbsencesWindow.h"
#include "timesheets/WorkTimeSheetWindow.h"

#include <QComboBox>
#include <QDateEdit>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

using drive::whileShown;

class WorkTimeWindowsTest : public gui::Fixture {
    Q_OBJECT
    int worker_ = 0;
    SheetsFixture sheets_;

private slots:
    void initTestCase()
    {
        startProgram(QStringLiteral("tabel_schema"));
        loggedInAs(QStringLiteral("0264"));
        testdb::run(db_, "update accounts_dep.organisation set name='ООО \"Металлист\"', "
                         "department='Сборочный цех', okpo='12345678', "
                         "responsible_position='Табельщик', responsible_name='Иванова И.И.', "
                         "head_position='Начальник цеха', head_name='Петров П.П.', "
                         "hr_position='Инспектор', hr_name='Сидорова С.С.'");
        worker_ = shop.worker(QStringLiteral("Д'Артаньян Ш."), QStringLiteral("Сварщик"));
        const int product = sql("insert into cmn_gds_and_srv.gds_and_srv (s_caption) values "
                                "('Рама') returning id")
                                .toInt();
        const int kind = sql("insert into accounts_dep.vid_oper (vid) values ('Сборка') "
                             "returning id")
                             .toInt();
        const int op = shop.operation(kind, product);
        for (int day : {2, 3, 4})
            (void)shop.entry(worker_)
                .on(QDate(2026, 11, day), 1)
                .hours(8)
                .operation(op, product)
                .insert();
        (void)shop.entry(worker_)
            .on(QDate(2026, 11, 5), 3)
            .hours(8)
            .operation(op, product)
            .insert();
        shiftJournalWindow->show();
        shiftJournalWindow->dateEdit->setDate(QDate(2026, 11, 20));
    }

    void previewAndWorkbookOfTheMonth()
    {
        QVERIFY(whileShown<WorkTimeSheetWindow>(
            [] { shiftJournalWindow->workTimeSheetAction->trigger(); },
            [&](WorkTimeSheetWindow *f) {
                QCOMPARE(f->monthBox->currentIndex(), 10);
                QCOMPARE(f->yearBox->value(), 2026);
                // 20 working days, three of them worked (the fourth is the holiday).
                QVERIFY2(f->unmarkedLabel->text().contains(
                             QStringLiteral("Не отмечено рабочих дней: 17")),
                         qPrintable(f->unmarkedLabel->text()));
                QVERIFY(whileShown<report::PreviewWindow>(
                    [f] { f->previewButton->click(); },
                    [](report::PreviewWindow *w) {
                        const QString text = pdfText(w->report(), QStringLiteral("t13"));
                        for (const char *want :
                             {"ООО \"Металлист\"", "Сборочный цех", "12345678",
                              "ТАБЕЛЬ учета рабочего времени", "01.11.2026", "30.11.2026",
                              "Д'Артаньян Ш.", "Сварщик", "Иванова И.И.", "Петров П.П.",
                              "Сидорова С.С.", "РВ", "Н"})
                            QVERIFY2(text.contains(QString::fromUtf8(want)), want);
                    }));
                f->exportButton->click();
            }));
        QVERIFY(msg_->texts().isEmpty());
        QCOMPARE(sheets_.opened.size(), 1);
        const QJsonObject cells = sheets_.readLast().value("cells").toObject();
        const auto at = [&cells](const char *ref) {
            return cells.value(QLatin1String(ref)).toObject().value("value").toVariant().toString();
        };
        // The first worker's four lines start on row 8: days 1–15 in D..R.
        QCOMPARE(at("B8"), QStringLiteral("Д'Артаньян Ш."));
        QCOMPARE(at("D8"), QStringLiteral("В")); // Sunday 1 November
        QCOMPARE(at("E8"), QStringLiteral("Я")); // 2 November
        QCOMPARE(at("E9"), QStringLiteral("8"));
        QCOMPARE(at("G8"), QStringLiteral("РВ")); // the Wednesday holiday
        QCOMPARE(at("H8"), QStringLiteral("Н"));  // the night shift
        QCOMPARE(at("S8"), QStringLiteral("Х"));
        QCOMPARE(at("U10"), QStringLiteral("32")); // the month's hours
    }

    void absenceOverAWorkedDayIsRefused()
    {
        // The journal moves to today whenever a window it opened closes.
        shiftJournalWindow->dateEdit->setDate(QDate(2026, 11, 20));
        QVERIFY(whileShown<AbsencesWindow>(
            [] { shiftJournalWindow->absencesAction->trigger(); },
            [&](AbsencesWindow *f) {
                QVERIFY(f->addButton->isEnabled());
                f->chooseWorkers({worker_});
                f->codeBox->setCurrentIndex(f->codeBox->findData(QStringLiteral("Б")));
                f->firstEdit->setDate(QDate(2026, 11, 5));
                f->lastEdit->setDate(QDate(2026, 11, 9));
                f->addButton->click();
                QCOMPARE(f->absencesTable->rowCount(), 0);
                f->firstEdit->setDate(QDate(2026, 11, 6));
                f->addButton->click();
                QCOMPARE(f->absencesTable->rowCount(), 1);
                QCOMPARE(f->absencesTable->item(0, 2)->text(), QStringLiteral("Б"));
            }));
        QCOMPARE(msg_->texts().size(), 1);
        QVERIFY2(msg_->texts().first().contains(QStringLiteral("05.11.2026")),
                 qPrintable(msg_->texts().first()));
        QCOMPARE(sql("select count(*) from accounts_dep.change_log where tbl='absence'").toInt(),
                 1);
    }
};

TABEL_TEST_MAIN(WorkTimeWindowsTest)
#include "tst_worktime.moc"
