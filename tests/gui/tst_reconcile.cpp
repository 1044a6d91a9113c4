// Every figure of a month, wherever the program shows, prints or exports it, agrees with the
// journals it comes from, per worker and in total. The month is generated: a worker whose person
// record knows him only by code, two workers of one name, shifts 1 to 4, rejects, night and
// day-off maintenance and average-piecework entries, and entries on the month's last day.
#include "Drive.h"
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "Sheets.h"
#include "TestDb.h"
#include "journal/ShiftJournalWindow.h"
#include "report/Preview.h"
#include "reports/ReportsWindow.h"
#include "reports/WorkersDetailReport.h"
#include "reports/WorkersReport.h"
#include "text/Figures.h"
#include "timesheets/PieceworkTimesheetWindow.h"
#include "timesheets/ShiftTimesheetPrint.h"
#include "timesheets/ShiftTimesheetWindow.h"
#include "ui/LookupCombo.h"

#include <QComboBox>
#include <QDateEdit>
#include <QJsonObject>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

using drive::whileShown;

namespace {

// November 2023. 601 an ordinary worker; 602 and 603 namesakes; 604 registered by another
// system first, so his person row carries 604 only as code.
const char *const kMonth = R"(
insert into cmn_contractor.person (id, s_caption, s_code) values (900000604, 'Кодов К.К.', '604');
insert into accounts_dep.person (id, fio) values
  (601, 'Петров П.П.'), (602, 'Тёзка Т.Т.'), (603, 'Тёзка Т.Т.'), (604, 'Кодов К.К.');
insert into accounts_dep.oper (id, vid, naimen, i_id) values
  (801, 41, 0, 9101), (802, 42, 1, 9102);
-- Shift entries: every worker, every third day and the last day, each shift by turns.
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok)
select w, case when (w + d) % 2 = 0 then 9101 else 9102 end,
       case when (w + d) % 2 = 0 then 801 else 802 end,
       round((1.25 + (w % 7) * 0.37 + d * 0.011)::numeric, 2)::float8,
       5 + (w * d) % 17, (w + d) % 3, make_date(2023, 11, d), 1 + (w + d) % 4,
       (w + d) % 3, 2 + (w + d) % 7, 'ok'
  from generate_series(601, 604) w,
       (select generate_series(1, 28, 3) as d union all select 30) days;
-- Just outside the month: never counted.
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time)
values (601, 9101, 801, 99, 99, 0, '31.10.2023', 1, 0, 9),
       (604, 9101, 801, 99, 99, 0, '01.12.2023', 1, 0, 9);
-- Maintenance and average piecework, by day and by night, on working days and days off.
insert into accounts_dep.fatigue (id_nom, id_o, id_p, d_date, i_mnth, i_year, cnt, price,
                                  i_holiday, i_night)
values (9001, 7777, 601, '06.11.2023', 11, 2023, 5, 250, 0, 0),
       (9001, 7777, 604, '11.11.2023', 11, 2023, 3, 600, 1, 1),
       (9002, 7778, 602, '15.11.2023', 11, 2023, 4, 37.51, 0, 1),
       (9002, 7778, 603, '30.11.2023', 11, 2023, 6, 25.5, 1, 0),
       (9001, 7778, 604, '30.11.2023', 11, 2023, 2, 12.25, 0, 0),
       (9001, 7777, 601, '01.12.2023', 12, 2023, 9, 1000, 0, 0);
)";

const QDate kFrom(2023, 11, 1);
const QDate kTo(2023, 11, 30);

} // namespace

class ReconcileTest : public gui::Fixture {
    Q_OBJECT

    QString sql(const QString &text) { return testdb::scalar(db_, text).toString(); }
    static QString money(double v) { return figures::money(v); }
    // worker → figure, from a statement over the journals giving (w_id, value).
    QMap<int, double> perWorker(const QString &text)
    {
        QMap<int, double> out;
        const QString rows =
            sql("select string_agg(w || '=' || v, ';' order by w) from (" + text + ") q(w, v)");
        for (const QString &r : rows.split(';', Qt::SkipEmptyParts))
            out[r.section('=', 0, 0).toInt()] = r.section('=', 1).toDouble();
        return out;
    }
    QString inMonth(const QString &column) const
    {
        return QStringLiteral(" %1 between '2023-11-01' and '2023-11-30' ").arg(column);
    }

private slots:
    void initTestCase()
    {
        startProgram(QStringLiteral("tabel_schema"));
        testdb::run(db_, QString::fromUtf8(testdb::november2023::kBooks));
        testdb::run(db_, QString::fromUtf8(kMonth));
        testdb::run(db_, QString::fromUtf8(testdb::november2023::kTimesheet));
        // Day cells: each day's hours of the row's key.
        for (int d = 1; d <= 30; ++d)
            testdb::run(
                db_,
                QStringLiteral("update accounts_dep.h_tabel h set d%1=(select sum(time) from "
                               "accounts_dep.smena s where s.w_id=h.w_id and s.smena=h.smena and "
                               "s.data=make_date(2023,11,%1)) where h.i_type=0 and month=11;"
                               "update accounts_dep.h_tabel h set d%1=(select sum(cnt) from "
                               "accounts_dep.fatigue f where f.id_p=h.w_id and f.id_o=h.i_type and "
                               "f.i_night=h.i_night and f.d_date=make_date(2023,11,%1)) where "
                               "h.i_type<>0 and month=11")
                    .arg(d));
        shiftJournalWindow->show();
    }

    // The piecework timesheet, each mode: one line per worker and night flag, hours and
    // earnings as the journals have them, and the totals panel as the sum of its lines.
    void piecework_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("hours");    // (worker, hours) from the journals
        QTest::addColumn<QString>("earnings"); // (worker, amount)
        const QString shifts = "from accounts_dep.smena where" + inMonth("data") + "group by 1";
        const QString kind = "from accounts_dep.fatigue where" + inMonth("d_date") + "and id_o=";
        const QString both = "from (select w_id, time, (kol_vo-brak)*cena from "
                             "accounts_dep.smena where" +
                             inMonth("data") +
                             "union all select id_p, cnt, cnt*price from accounts_dep.fatigue "
                             "where" +
                             inMonth("d_date") + ") q(w, h, m) group by 1";
        QTest::newRow("piecework") << 9 << "select w_id, sum(time) " + shifts
                                   << "select w_id, sum((kol_vo-brak)*cena) " + shifts;
        QTest::newRow("maintenance") << 14 << "select id_p, sum(cnt) " + kind + "7777 group by 1"
                                     << "select id_p, sum(cnt*price) " + kind + "7777 group by 1";
        QTest::newRow("average piecework")
            << 15 << "select id_p, sum(cnt) " + kind + "7778 group by 1"
            << "select id_p, sum(cnt*price) " + kind + "7778 group by 1";
        QTest::newRow("all together")
            << 17 << "select w, sum(h) " + both << "select w, sum(m) " + both;
    }
    void piecework()
    {
        QFETCH(int, mode);
        QFETCH(QString, hours);
        QFETCH(QString, earnings);
        const QMap<int, double> wantHours = perWorker(hours);
        const QMap<int, double> wantMoney = perWorker(earnings);
        QAction *item = mode == 9    ? shiftJournalWindow->pieceworkTimesheetAction
                        : mode == 14 ? shiftJournalWindow->maintenanceTimesheetAction
                        : mode == 15 ? shiftJournalWindow->averageRateTimesheetAction
                                     : shiftJournalWindow->generalTimesheetAction;
        QVERIFY(whileShown<PieceworkTimesheetWindow>(
            [&] { item->trigger(); },
            [&](PieceworkTimesheetWindow *f) {
                f->yearBox->setKeyValue(2023);
                f->monthBox->setCurrentIndex(10);
                emit f->monthBox->activated(10);
                db::Dataset *ds = f->current;
                QMap<int, double> gotHours, gotMoney;
                double lines = 0;
                for (ds->first(); !ds->eof(); ds->next()) {
                    const int w = ds->asInteger("id");
                    gotHours[w] += ds->asFloat("i_time");
                    gotMoney[w] += ds->asFloat("f_price");
                    lines += ds->asFloat("f_price");
                }
                QCOMPARE(gotHours, wantHours);
                QCOMPARE(gotMoney.keys(), wantMoney.keys());
                for (int w : wantMoney.keys())
                    QCOMPARE(money(gotMoney[w]), money(wantMoney[w]));
                // Итого, Сделка, Хоз. работы, Ср. сдел.
                const QLabel *panel = mode == 9    ? f->pieceworkTotal
                                      : mode == 14 ? f->maintenanceTotal
                                      : mode == 15 ? f->averageRateTotal
                                                   : f->grandTotal;
                QCOMPARE(panel->text(), money(lines));
            }));
        QVERIFY(msg_->shown.isEmpty());
    }

    // The timesheet by shifts, printed and exported: a line per worker, namesakes apart,
    // each line's hours those of the worker's shift entries.
    void byShifts()
    {
        // Shift, maintenance and average-piecework hours all stand on the worker's line.
        const QMap<int, double> want = perWorker(
            "select w, sum(h) from (select w_id, time from accounts_dep.smena where" +
            inMonth("data") + "union all select id_p, cnt from accounts_dep.fatigue where" +
            inMonth("d_date") + ") q(w, h) group by 1");
        SheetsFixture sheets;
        QVERIFY(whileShown<ShiftTimesheetWindow>(
            [] { shiftJournalWindow->shiftTimesheetAction->trigger(); },
            [&](ShiftTimesheetWindow *f) {
                f->monthBox->setCurrentIndex(10);
                f->yearBox->setCurrentIndex(f->yearBox->findText("2023"));
                shiftTimesheetPrint->openMonth(11, 2023);
                db::Dataset *ds = shiftTimesheetPrint->H_Tabel;
                QStringList printed;
                for (ds->first(); !ds->eof(); ds->next()) {
                    int total = 0;
                    for (int d = 1; d <= 31; ++d)
                        total += ds->asInteger(QStringLiteral("sd%1").arg(d));
                    printed << ds->asString("fio").trimmed() + '=' + QString::number(total);
                }
                ds->close();
                QStringList expected;
                for (auto it = want.begin(); it != want.end(); ++it)
                    expected << sql(QStringLiteral(
                                        "select fio from accounts_dep.person where id=%1")
                                        .arg(it.key())) +
                                    '=' + QString::number(int(it.value()));
                std::sort(expected.begin(), expected.end());
                QStringList sorted = printed;
                std::sort(sorted.begin(), sorted.end());
                QCOMPARE(sorted, expected);
                QVERIFY(f->exportButton->isEnabled());
                f->exportButton->click();
                QCOMPARE(f->exportButton->text(),
                         QStringLiteral("Excel (%1 из %1)").arg(want.size()));
            }));
        QCOMPARE(sheets.opened.size(), 1);
        const QJsonObject cells = sheets.readLast()["cells"].toObject();
        double exported = 0;
        int lines = 0;
        for (int row = 3; cells.contains(QStringLiteral("A%1").arg(row)); ++row, ++lines)
            exported += cells[QStringLiteral("AG%1").arg(row)].toObject()["value"].toDouble();
        double total = 0;
        for (double v : want)
            total += v;
        QCOMPARE(lines, want.size());
        QCOMPARE(exported, total);
        QVERIFY(msg_->shown.isEmpty());
    }

    // The four reports over the whole month, its last day included: the grand totals, and one
    // group per worker in the reports by workers, the namesakes as two.
    void reports_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("total");
        QTest::addColumn<int>("groups"); // worker groups, -1 for the reports by products
        const QString money = "select to_char(sum((kol_vo-brak)*cena),'FM999999990.00') from "
                              "accounts_dep.smena where";
        const QString pieces = "select sum(kol_vo-brak) from accounts_dep.smena where";
        QTest::newRow("by workers") << "workersButton" << money << 4;
        QTest::newRow("by products") << "productsButton" << pieces << -1;
        QTest::newRow("detailed by workers") << "workersDetailButton" << money << 4;
        QTest::newRow("detailed by products") << "productsDetailButton" << money << -1;
    }
    void reports()
    {
        QFETCH(QString, button);
        QFETCH(QString, total);
        QFETCH(int, groups);
        // The period's money or pieces as the printed totals show them.
        const QString raw = sql(total + inMonth("data"));
        const QString want =
            raw.contains('.') ? figures::money(QVariant(raw)) : figures::quantity(QVariant(raw));
        QVERIFY(whileShown<ReportsWindow>(
            [] { shiftJournalWindow->summaryReportsAction->trigger(); },
            [&](ReportsWindow *f) {
                f->fromDateEdit->setDate(kFrom);
                f->toDateEdit->setDate(kTo);
                auto *b = f->findChild<QPushButton *>(button);
                QVERIFY(whileShown<report::PreviewWindow>(
                    [b] { b->click(); },
                    [&](report::PreviewWindow *w) {
                        QStringList texts;
                        for (const auto &page : w->report().pages())
                            texts << page.texts();
                        QVERIFY(texts.first().endsWith("по 30.11.2023"));
                        const int at = int(texts.indexOf("Итого:"));
                        QVERIFY(at >= 0);
                        QVERIFY2(texts.mid(at, 6).contains(want),
                                 qPrintable(texts.mid(at, 6).join('|') + " lacks " + want));
                        if (groups > 0) {
                            QCOMPARE(int(texts.count("Тёзка Т.Т.")), 2);
                            QCOMPARE(int(texts.count("Кодов К.К.")), 1);
                            QCOMPARE(int(texts.count("Петров П.П.")), 1);
                        }
                    }));
            }));
        QVERIFY(msg_->shown.isEmpty());
    }

    // The export of the reports window: the pieces of the month, its last day included.
    void reportsExport()
    {
        SheetsFixture sheets;
        QVERIFY(
            whileShown<ReportsWindow>([] { shiftJournalWindow->summaryReportsAction->trigger(); },
                                      [&](ReportsWindow *f) {
                                          f->fromDateEdit->setDate(kFrom);
                                          f->toDateEdit->setDate(kTo);
                                          f->exportButton->click();
                                      }));
        const QJsonObject cells = sheets.readLast()["cells"].toObject();
        double pieces = 0;
        for (int row = 2; cells.contains(QStringLiteral("A%1").arg(row)); ++row)
            pieces += cells[QStringLiteral("E%1").arg(row)].toObject()["value"].toDouble();
        QCOMPARE(QString::number(pieces),
                 sql("select sum(kol_vo-brak) from accounts_dep.smena where" + inMonth("data")));
        QVERIFY(msg_->shown.isEmpty());
    }
};

TABEL_TEST_MAIN(ReconcileTest)
#include "tst_reconcile.moc"
