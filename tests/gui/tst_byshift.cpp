// The timesheet by shifts, opened from the journal's menu, on a small shop whose January
// 2021, December 2021 and February 2023 are known day by day.
#include "Drive.h"
#include "GuiApp.h"
#include "PdfText.h"
#include "ScriptedMessages.h"
#include "Sheets.h"
#include "TestDb.h"
#include "db/Connection.h"
#include "journal/ShiftJournalWindow.h"
#include "report/Preview.h"
#include "timesheets/ShiftTimesheetPrint.h"
#include "timesheets/ShiftTimesheetWindow.h"
#include "ui/DBGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QJsonObject>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTimer>

using drive::click;
using drive::whileShown;

namespace {

// Andreev (601) works two entries of 5 and 3 hours on Monday 4 January, 9 hours on the 5th
// and overtime on Sunday the 31st; Borisov (602) in shift 2 on a Monday, a Saturday and a
// Sunday. Entries on 31 December 2020 and 1 February 2021 lie outside January. Stale shift
// rows wait to be replaced; maintenance rows (smena 0) must stay as they are.
const char *const kShop = R"(
insert into accounts_dep.person (id, fio) values
  (601, 'Андреев А.А.'), (602, 'Борисов Б.Б.'), (603, 'Васильев В.В.');
insert into accounts_dep.smena (w_id, data, smena, time, kol_vo, brak, cena, ok) values
  (601, '04.01.2021', 1, 5, 1, 0, 1, 'ok'),
  (601, '04.01.2021', 1, 3, 1, 0, 1, 'ok'),
  (601, '05.01.2021', 1, 9, 1, 0, 1, 'ok'),
  (601, '31.01.2021', 4, 2, 1, 0, 1, 'ok'),
  (602, '04.01.2021', 2, 8, 1, 0, 1, 'ok'),
  (602, '09.01.2021', 2, 8, 1, 0, 1, 'ok'),
  (602, '10.01.2021', 2, 10, 1, 0, 1, 'ok'),
  (602, '11.01.2021', 2, 3, 1, 0, 1, 'ok'),
  (602, '31.12.2020', 2, 7, 1, 0, 1, 'ok'),
  (602, '01.02.2021', 2, 6, 1, 0, 1, 'ok'),
  (601, '01.12.2021', 3, 4, 1, 0, 1, 'ok'),
  (601, '31.12.2021', 3, 6, 1, 0, 1, 'ok'),
  (601, '01.01.2022', 3, 7, 1, 0, 1, 'ok'),
  (602, '31.01.2023', 1, 3, 1, 0, 1, 'ok'),
  (602, '28.02.2023', 1, 8, 1, 0, 1, 'ok'),
  (602, '01.03.2023', 1, 5, 1, 0, 1, 'ok');
insert into accounts_dep.h_tabel (w_id, smena, i_type, i_night, month, year, d4, d10) values
  (601, 1, 0, 0, 1, 2021, 1, 5), (603, 3, 0, 0, 1, 2021, null, 8),
  (601, 0, 7777, 0, 1, 2021, 2, null), (603, 0, 7777, 0, 1, 2021, null, null),
  (601, 2, 0, 0, 6, 2021, 8, null), (601, 0, 7778, 1, 6, 2021, 4, 4),
  (601, 2, 0, 0, 12, 2021, 1, 1), (602, 1, 0, 0, 2, 2023, 1, 1);
)";

} // namespace

class ByShiftTest : public gui::Fixture {
    Q_OBJECT

    QString tabel() { return testdb::timesheet(db_); }
    // The month's rows with a shift number: "worker/shift dN=hours ...".
    QStringList shiftRows(int month, int year)
    {
        return testdb::scalar(
                   db_, QStringLiteral(
                            "select string_agg(format('%s/%s %s', w_id, smena, (select "
                            "string_agg(format('d%s=%s', n, v), ' ' order by n) from "
                            "unnest(array[%1]) with ordinality u(v, n) where v is not null)), "
                            "',' order by w_id, smena) from accounts_dep.h_tabel where smena>0 "
                            "and month=%2 and year=%3")
                            .arg(testdb::dayColumns())
                            .arg(month)
                            .arg(year))
            .toString()
            .split(QLatin1Char(','), Qt::SkipEmptyParts);
    }
    // The month rebuilt entry group by entry group, a count and an insert or update each,
    // as the shop always did; the outcome is read and then undone.
    QString rebuiltOneByOne(int month, int year)
    {
        return testdb::rebuiltOneByOne(
            db_, month, year,
            {"smena>0",
             "select smena, w_id, sum(time) as hours from accounts_dep.smena where data=:date "
             "group by smena, w_id",
             {"smena", "w_id"}});
    }
    static void choose(ShiftTimesheetWindow *f, int month, int year)
    {
        f->yearBox->setCurrentIndex(f->yearBox->findText(QString::number(year)));
        emit f->yearBox->activated(f->yearBox->currentIndex());
        f->monthBox->setCurrentIndex(month - 1);
        emit f->monthBox->activated(month - 1);
    }
    void shown(std::function<void(ShiftTimesheetWindow *)> act)
    {
        QVERIFY(whileShown<ShiftTimesheetWindow>(
            [&] { shiftJournalWindow->shiftTimesheetAction->trigger(); }, act));
    }
    void rebuild(int month, int year)
    {
        shown([&](ShiftTimesheetWindow *f) {
            choose(f, month, year);
            click(f->rebuildButton);
        });
    }

private slots:
    void initTestCase()
    {
        startProgram(QStringLiteral("tabel_schema"));
        testdb::run(db_, QString::fromUtf8(kShop));
        shiftJournalWindow->dateEdit->setDate(QDate(2021, 1, 15));
        shiftJournalWindow->show();
    }

    void rebuildMonth_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("two entries summed, overtime, stale rows gone")
            << 1 << 2021
            << QStringList{"601/1 d4=8 d5=9", "601/4 d31=2", "602/2 d4=8 d9=8 d10=10 d11=3"};
        QTest::newRow("no entries") << 6 << 2021 << QStringList{};
        QTest::newRow("December: up to the 31st") << 12 << 2021 << QStringList{"601/3 d1=4 d31=6"};
        QTest::newRow("February of 28 days") << 2 << 2023 << QStringList{"602/1 d28=8"};
    }
    void rebuildMonth()
    {
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QStringList, rows);
        const QString before = tabel();
        const QString expected = rebuiltOneByOne(month, year);
        QCOMPARE(tabel(), before);
        shown([&](ShiftTimesheetWindow *f) {
            choose(f, month, year);
            click(f->rebuildButton);
            QVERIFY(msg_->shown.isEmpty());
            QVERIFY(f->progressBar->isHidden());
            QCOMPARE(f->progressBar->maximum(), QDate(year, month, 1).daysInMonth());
            QCOMPARE(f->progressBar->value(), f->progressBar->maximum());
        });
        QCOMPARE(shiftRows(month, year), rows);
        QCOMPARE(tabel(), expected); // other months and the maintenance rows as they were
    }

    void sameAsOneByOne()
    {
        // 40 workers over March 2022: one to three entries a day in shifts 1 to 4, some on
        // weekends, and existing shift rows of the month to be replaced.
        testdb::run(db_, R"(
            insert into accounts_dep.person (id, fio)
              select 1000 + w, 'Работник ' || w from generate_series(1, 40) w;
            insert into accounts_dep.smena (w_id, data, smena, time, kol_vo, brak, cena, ok)
              select 1000 + w, date '2022-03-01' + d, 1 + (w * 7 + d * 3 + k) % 4,
                     1 + (w * 13 + d * 5 + k * 11) % 12, 1, 0, 1, 'ok'
                from generate_series(1, 40) w, generate_series(0, 30) d, generate_series(0, 2) k
               where (w + d * 17 + k * 5) % 7 > k * 2;
            insert into accounts_dep.h_tabel (w_id, smena, month, year, d1)
              select 1000 + w, 1 + w % 4, 3, 2022, 1 from generate_series(1, 40, 3) w;
        )");
        const QString expected = rebuiltOneByOne(3, 2022);
        rebuild(3, 2022);
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(tabel(), expected);
        QVERIFY(testdb::scalar(db_, "select count(*) from accounts_dep.h_tabel where month=3 and "
                                    "year=2022")
                    .toInt() > 100);
    }

    void entriesWithoutShiftLeaveMaintenanceRows()
    {
        // Entries written by hand with shift 0 or none: counted as shift 0 they would be
        // written over the worker's maintenance row of June (601, smena 0).
        testdb::run(db_, "insert into accounts_dep.smena (w_id, data, smena, time) values "
                         "(601, '04.06.2021', 0, 5), (601, '05.06.2021', null, 3), "
                         "(602, '07.06.2021', 1, 8)");
        const QString maintenance = "select string_agg(row(w_id,i_type,i_night," +
                                    testdb::dayColumns() +
                                    ")::text, ' | ' order by w_id, i_type, i_night) from "
                                    "accounts_dep.h_tabel where smena=0 and month=6 and year=2021";
        const QString before = testdb::scalar(db_, maintenance).toString();
        rebuild(6, 2021);
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(testdb::scalar(db_, maintenance).toString(), before);
        QCOMPARE(shiftRows(6, 2021), QStringList{"602/1 d7=8"});
        testdb::run(db_, "delete from accounts_dep.smena where data between '04.06.2021' and "
                         "'07.06.2021'");
        rebuild(6, 2021);
    }

    void failedRebuildChangesNothing()
    {
        // Another user holds the month (a save of his, a rebuild) beyond the connection's
        // lock timeout: the rebuild is refused in a sentence and changes nothing.
        const int added = shop.entry(603).on(QDate(2021, 1, 20), 1).hours(4).insert();
        const QString before = tabel();
        QSqlQuery holder(testdb::side(db_));
        QVERIFY(holder.exec("select pg_advisory_lock_shared(202101, 0)"));
        db::setSessionSetting(QStringLiteral("lock_timeout"), QStringLiteral("200ms"));
        shown([&](ShiftTimesheetWindow *f) {
            choose(f, 1, 2021);
            const int rows = f->shift1Grid->dataset()->recordCount();
            click(f->rebuildButton);
            QCOMPARE(msg_->texts(), QStringList{"Месяц сейчас перестраивается другим "
                                                "пользователем, повторите позже."});
            QCOMPARE(msg_->shown[0].kind, QStringLiteral("error"));
            QCOMPARE(tabel(), before);
            QVERIFY(f->progressBar->isHidden());
            QVERIFY(f->shift1Grid->dataset()->isActive());
            QCOMPARE(f->shift1Grid->dataset()->recordCount(), rows);
        });
        db::setSessionSetting(QStringLiteral("lock_timeout"), QStringLiteral("10s"));
        QVERIFY(holder.exec("select pg_advisory_unlock_shared(202101, 0)"));
        testdb::run(db_, QStringLiteral("delete from accounts_dep.smena where id=%1").arg(added));
    }

    void colours_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("shows");
        QTest::addColumn<QColor>("figure");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("fill"); // invalid: none
        QTest::addColumn<QColor>("title");
        const QColor text = QApplication::palette().color(QPalette::Text);
        const QColor base = QApplication::palette().color(QPalette::Base);
        const QColor red(Qt::red), silver(0xC0, 0xC0, 0xC0), green(0xC0, 0xDC, 0xC0);
        QTest::newRow("8 on a Monday")
            << 1 << 2021 << 0 << 4 << "8" << text << true << QColor() << text;
        QTest::newRow("9 on a Tuesday")
            << 1 << 2021 << 0 << 5 << "9" << text << true << green << text;
        QTest::newRow("empty workday")
            << 1 << 2021 << 0 << 6 << "" << silver << false << QColor() << text;
        QTest::newRow("empty Saturday")
            << 1 << 2021 << 0 << 2 << "" << red << false << QColor() << red;
        QTest::newRow("8 on a Saturday")
            << 1 << 2021 << 1 << 9 << "8" << red << true << QColor() << red;
        QTest::newRow("10 on a Sunday")
            << 1 << 2021 << 1 << 10 << "10" << red << true << green << red;
        QTest::newRow("3 keeps the column's colour")
            << 1 << 2021 << 1 << 11 << "3" << text << false << QColor() << text;
        QTest::newRow("beyond February")
            << 2 << 2023 << 0 << 29 << "" << base << false << QColor() << silver;
        QTest::newRow("last day of February")
            << 2 << 2023 << 0 << 28 << "8" << text << true << QColor() << text;
    }
    void colours()
    {
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(int, tab);
        QFETCH(int, day);
        QFETCH(QString, shows);
        QFETCH(QColor, figure);
        QFETCH(bool, bold);
        QFETCH(QColor, fill);
        QFETCH(QColor, title);
        shown([&](ShiftTimesheetWindow *f) {
            choose(f, month, year);
            f->shiftTabs->setCurrentIndex(tab);
            ui::DBGrid *grid =
                QList<ui::DBGrid *>{f->shift1Grid, f->shift2Grid, f->shift3Grid}[tab];
            const QAbstractItemModel *model = grid->model();
            QVERIFY(model->rowCount() > 0);
            const QModelIndex cell = model->index(0, day);
            QCOMPARE(model->data(cell).toString(), shows);
            QCOMPARE(model->data(cell, Qt::ForegroundRole).value<QBrush>().color(), figure);
            QCOMPARE(model->data(cell, Qt::FontRole).value<QFont>().bold(), bold);
            QCOMPARE(model->data(cell, Qt::BackgroundRole).value<QBrush>().color(),
                     fill.isValid() ? fill : QColor(Qt::black));
            const QVariant t = model->headerData(day, Qt::Horizontal, Qt::ForegroundRole);
            QCOMPARE(t.value<QBrush>().color(), title);
            QCOMPARE(model->headerData(day, Qt::Horizontal).toString(), QString::number(day));
        });
    }

    void opensOnJournalMonth_data()
    {
        QTest::addColumn<QDate>("journal");
        QTest::addColumn<int>("dataYear"); // a timesheet row in that year; 0: none
        QTest::newRow("journal in 2026") << QDate(2026, 5, 10) << 0;
        QTest::newRow("timesheet rows in a later year") << QDate(2021, 12, 31) << 2030;
        QTest::newRow("journal before the first year") << QDate(2005, 6, 1) << 0;
        QTest::newRow("journal far ahead") << QDate(2040, 3, 10) << 0;
    }
    void opensOnJournalMonth()
    {
        QFETCH(QDate, journal);
        QFETCH(int, dataYear);
        if (dataYear)
            testdb::run(db_, QStringLiteral("insert into accounts_dep.h_tabel (w_id, month, "
                                            "year) values (601, 1, %1)")
                                 .arg(dataYear));
        shiftJournalWindow->dateEdit->setDate(journal);
        // From 2007 to the year after the latest in use, and the journal's year always.
        const int first = qMin(2007, journal.year());
        const int last =
            qMax(qMax(qMax(QDate::currentDate().year(), dataYear), 2021) + 1, journal.year());
        shown([&](ShiftTimesheetWindow *f) {
            QCOMPARE(f->yearBox->itemText(0), QString::number(first));
            QCOMPARE(f->yearBox->count(), last - first + 1);
            QCOMPARE(f->yearBox->currentText(), QString::number(journal.year()));
            QCOMPARE(f->monthBox->currentIndex(), journal.month() - 1);
            QVERIFY(f->shift1Grid->dataset()->isActive());
            QCOMPARE(f->shift1Grid->dataset()->param("date2").toDate(),
                     QDate(journal.year(), journal.month(), 1).addMonths(1));
        });
        QVERIFY(
            !shiftTimesheetWindow->shift1Grid->dataset()->isActive()); // closed once the window is
        testdb::run(db_, "delete from accounts_dep.h_tabel where year=2030");
        shiftJournalWindow->dateEdit->setDate(QDate(2021, 1, 15));
    }

    void exportMonth()
    {
        rebuild(1, 2021);
        SheetsFixture sheets;
        shown([&](ShiftTimesheetWindow *f) {
            choose(f, 1, 2021);
            // While the rows are written the window takes no other command.
            QStringList enabledDuringExport;
            QTimer::singleShot(0, f, [&] {
                for (QWidget *w :
                     {static_cast<QWidget *>(f->monthBox), static_cast<QWidget *>(f->yearBox),
                      static_cast<QWidget *>(f->rebuildButton),
                      static_cast<QWidget *>(f->exportButton),
                      static_cast<QWidget *>(f->refreshButton),
                      static_cast<QWidget *>(f->printButton)})
                    if (w->isEnabled())
                        enabledDuringExport << w->objectName();
                enabledDuringExport << "checked";
            });
            click(f->exportButton);
            QCOMPARE(enabledDuringExport, QStringList{"checked"});
            QVERIFY(f->printButton->isEnabled() && f->yearBox->isEnabled());
            QCOMPARE(f->exportButton->text(), QStringLiteral("Excel (3 из 3)"));
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(sheets.opened.size(), 1);
        const QJsonObject cells = sheets.readLast()["cells"].toObject();
        // Andreev: shift 1, overtime and 2 maintenance hours on the 4th added up; Vasiliev
        // has a maintenance row without hours.
        const QStringList expected = {"A1=Январь 2021",
                                      "A2=Фамилия И.О.",
                                      "B2=1",
                                      "AF2=31",
                                      "AG2=Итого",
                                      "A3=Андреев А.А.",
                                      "E3=10",
                                      "F3=9",
                                      "G3=-",
                                      "AF3=2",
                                      "AG3=21",
                                      "A4=Борисов Б.Б.",
                                      "K4=10",
                                      "AG4=29",
                                      "A5=Васильев В.В.",
                                      "B5=-",
                                      "E5=-",
                                      "AG5=0",
                                      "A6=-"};
        for (const QString &c : expected) {
            const QString at = c.section('=', 0, 0), value = c.section('=', 1);
            if (value == "-")
                QVERIFY2(!cells.contains(at), qPrintable(at));
            else
                QCOMPARE(cells[at].toObject()["value"].toVariant().toString(), value);
        }
        const auto cell = [&](const char *at) { return cells[at].toObject(); };
        QVERIFY(cell("A1")["bold"].toBool() && cell("B2")["bold"].toBool());
        QVERIFY(!cell("A3")["bold"].toBool() && !cell("AG3")["bold"].toBool());
        QCOMPARE(cell("A3")["format"].toString(), QStringLiteral("@"));
        QCOMPARE(cell("B2")["type"].toString(), QStringLiteral("number"));
        QCOMPARE(cell("AG5")["type"].toString(), QStringLiteral("number"));
    }

    void printMonth()
    {
        rebuild(1, 2021);
        QString text;
        shown([&](ShiftTimesheetWindow *f) {
            choose(f, 1, 2021);
            QVERIFY(whileShown<report::PreviewWindow>([f] { click(f->printButton); },
                                                      [&](report::PreviewWindow *w) {
                                                          QCOMPARE(w->pageCount(), 1);
                                                          QVERIFY(w->report().def().page.landscape);
                                                          text = pdfText(w->report(), "timesheet");
                                                      }));
        });
        QVERIFY(msg_->shown.isEmpty());
        QVERIFY(!shiftTimesheetPrint->H_Tabel->isActive());
        const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
        // The title and the month with the shifts it adds up over everything.
        QVERIFY2(lines.value(0).contains(QStringLiteral("Табель по сменам")), qPrintable(text));
        QVERIFY2(lines.value(1).contains(QStringLiteral("за Январь 2021 г., все смены")),
                 qPrintable(text));
        // The month over the names, then the day numbers and the total's caption.
        const auto header = std::find_if(lines.begin(), lines.end(), [](const QString &l) {
            return l.contains(QStringLiteral("Январь 2021 г.")) && !l.contains("все смены");
        });
        QVERIFY2(header != lines.end(), qPrintable(text));
        QVERIFY(header->simplified().endsWith(
            QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 "
                           "27 28 29 30 31 Итого")));
        // Every row of the month added up per name: Andreev's shift 1, overtime and
        // maintenance hours; Vasiliev's rows without hours total 0.
        const auto row = [&](const QString &name) {
            for (const QString &l : lines)
                if (l.contains(name))
                    return l.simplified();
            return QString();
        };
        QCOMPARE(row(QStringLiteral("Андреев А.А.")), QStringLiteral("Андреев А.А. 10 9 2 21"));
        QCOMPARE(row(QStringLiteral("Борисов Б.Б.")), QStringLiteral("Борисов Б.Б. 8 8 10 3 29"));
        QCOMPARE(row(QStringLiteral("Васильев В.В.")), QStringLiteral("Васильев В.В. 0"));
    }
};

TABEL_TEST_MAIN(ByShiftTest)
#include "tst_byshift.moc"
