// A worker's pay statement of a generated month: every line agrees with the journal entry it
// stands for, and every figure agrees with what the timesheets, the reports and the export
// show for the worker. The month has rejects, work on days off (a weekday holiday among
// them), night and overtime shifts, an operation whose norm changed after the entries, an
// entry not accepted yet, maintenance and average-piecework hours by day and by night, a
// worker known only by his code and two workers of one name. The production calendar of the
// year moves a day off onto a Monday, makes a Tuesday a holiday and a Sunday a working day.
#include "Drive.h"
#include "GuiApp.h"
#include "PdfText.h"
#include "ScriptedMessages.h"
#include "Sheets.h"
#include "TestDb.h"
#include "db/Dataset.h"
#include "journal/ShiftJournalWindow.h"
#include "maintenance/MaintenanceJournalWindow.h"
#include "refbooks/WorkerEditor.h"
#include "refbooks/WorkerList.h"
#include "report/Preview.h"
#include "reports/PayStatementWindow.h"
#include "reports/ReportStatements.h"
#include "reports/ReportsWindow.h"
#include "shop/DataModule.h"
#include "timesheets/Period.h"
#include "timesheets/PieceworkTimesheetWindow.h"
#include "ui/LookupCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <cmath>

using drive::whileShown;
using shop::pay::Kopecks;

namespace {

// November 2023. 611 works much; 612 and 613 are namesakes; 614 was registered by another
// system first, so his person row knows him by code only.
const char *const kMonth = R"(
insert into cmn_contractor.person (id, s_caption, s_code) values (900000614, 'Кодов К.К.', '614');
insert into accounts_dep.person (id, fio, s_staffpos_hl) values
  (611, 'Сдельщиков С.С.', 'Цех 1'), (612, 'Тёзка Т.Т.', 'Цех 1'), (613, 'Тёзка Т.Т.', 'Цех 2'),
  (614, 'Кодов К.К.', 'Цех 2');
insert into accounts_dep.oper (id, vid, naimen, i_id) values
  (801, 41, 0, 9101), (802, 42, 1, 9102), (803, 42, 0, 9101);
insert into accounts_dep.norm (o_id, norma, price, prize) values
  (801, 0, 1.25, 0), (801, 100, 1.4, 0), (802, 0, 2.37, 0), (803, 0, 3.1, 0);
-- The calendar: 6 November a day off moved onto a Monday, 7 November a holiday, Sunday the
-- 12th a working day; the organisation's details as the printed forms take them.
insert into accounts_dep.calendar_year (year, source) values (2023, 'Тест');
insert into accounts_dep.calendar_day (day, kind) values
  ('04.11.2023', 'holiday'), ('06.11.2023', 'off'), ('07.11.2023', 'holiday'),
  ('12.11.2023', 'work');
update accounts_dep.organisation set name = 'ООО «Металлист»', department = 'Сварочный цех'
 where id = 1;
-- Every other day, each worker; the price follows the norms with the day's factors.
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok)
select w, o.i_id, o.id,
       round((n.base * case when extract(isodow from d) >= 6 then 2 else 1 end
              * case (w + extract(day from d)::int) % 4 when 2 then 1.2 when 3 then 1.5 else 1 end
             )::numeric, 4)::float8,
       10 + (w * extract(day from d)::int) % 37, (w + extract(day from d)::int) % 3, d,
       (w + extract(day from d)::int) % 4 + 1, (w + extract(day from d)::int) % 2, 4 + w % 5, 'ok'
  from generate_series(611, 614) w,
       (select g::date d from generate_series(date '2023-11-01', date '2023-11-30',
                                              interval '2 day') g
        union all select date '2023-11-30') days
  join accounts_dep.oper o on o.id = 801 + (extract(day from d)::int % 2)
  join (select o_id, min(price)::numeric base from accounts_dep.norm group by o_id) n
    on n.o_id = o.id;
-- Work on the holiday paid double, an entry not accepted yet, and one whose norm changes below.
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok)
values (611, 9101, 801, 2.5, 120, 2, '07.11.2023', 2, 0, 8, 'ok'),
       (611, 9102, 802, 2.37, 33, 0, '08.11.2023', 1, 0, 3, 'no'),
       (611, 9101, 803, 3.1, 50, 1, '10.11.2023', 1, 0, 4, 'ok');
-- Just outside the month: never counted.
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time)
values (611, 9101, 801, 99, 99, 0, '31.10.2023', 1, 0, 9),
       (614, 9101, 801, 99, 99, 0, '01.12.2023', 1, 0, 9);
update accounts_dep.norm set price = 3.3 where o_id = 803;
-- Maintenance at the list price with its factors; average piecework priced below.
insert into accounts_dep.fatigue (id_nom, id_o, id_p, d_date, i_mnth, i_year, cnt, price,
                                  i_holiday, i_night)
values (9001, 7777, 611, '06.11.2023', 11, 2023, 5, 250, 0, 0),
       (9001, 7777, 611, '11.11.2023', 11, 2023, 3, 600, 1, 1),
       (9001, 7777, 614, '14.11.2023', 11, 2023, 7, 300, 0, 1),
       (9001, 7778, 612, '15.11.2023', 11, 2023, 4, 0, 0, 1),
       (9002, 7778, 613, '18.11.2023', 11, 2023, 6, 0, 1, 0),
       (9001, 7778, 614, '21.11.2023', 11, 2023, 2, 0, 0, 0),
       (9001, 7778, 611, '25.11.2023', 11, 2023, 8, 0, 1, 1);
)";

Kopecks kop(double v)
{
    return Kopecks(std::llround(v * 100.0));
}

} // namespace

class PayStatementTest : public gui::Fixture {
    Q_OBJECT

    QVector<shop::pay::Statement> all_;
    QHash<int, QStringList> firstPage_; // worker: the texts of his statement's first page
    QStringList printed_;               // the texts of every page

    const shop::pay::Statement *statementOf(int worker) const
    {
        for (const auto &s : all_)
            if (s.workerId == worker)
                return &s;
        return nullptr;
    }

    // worker (and night flag) → f_price of a piecework timesheet mode, as the window reads it.
    QMap<QPair<int, int>, Kopecks> timesheet(int mode, QMap<int, QVector<int>> *days = nullptr)
    {
        QMap<QPair<int, int>, Kopecks> out;
        pieceworkTimesheetWindow->setMode(mode);
        db::Dataset *ds = pieceworkTimesheetWindow->current;
        ds->close();
        ds->setParam("i_month", 11);
        ds->setParam("i_year", 2023);
        timesheet::bindPeriod(*ds, {11, 2023}, mode == 17 ? 4 : 3);
        ds->open();
        for (ds->first(); !ds->eof(); ds->next()) {
            const int night = ds->hasField("i_night") ? ds->asInteger("i_night") : 0;
            out[{ds->asInteger("id"), night}] += kop(ds->asFloat("f_price"));
            if (days) {
                QVector<int> &d = (*days)[ds->asInteger("id")];
                d.resize(30);
                for (int i = 1; i <= 30; ++i)
                    d[i - 1] += ds->asInteger(QStringLiteral("d%1").arg(i));
            }
        }
        ds->close();
        return out;
    }

private slots:
    void initTestCase()
    {
        startProgram(QStringLiteral("tabel_schema"));
        testdb::run(db_, QString::fromUtf8(testdb::november2023::kBooks));
        testdb::run(db_, QString::fromUtf8(kMonth));
        testdb::run(db_, QString::fromUtf8(testdb::november2023::kTimesheet));
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
        loggedInAs(QStringLiteral("0264"));
        shiftJournalWindow->show();
        // The average-piecework prices as the maintenance journal computes them.
        maintenanceJournalWindow->dateEdit->setDate(QDate(2023, 11, 10));
        maintenanceJournalWindow->averagePricesClick();
        QVERIFY(
            sql("select count(*) from accounts_dep.fatigue where id_o=7778 and price=0").toInt() ==
            0);

        // Every worker's statement of the month, from the journal's menu to the preview.
        QVERIFY(whileShown<PayStatementWindow>(
            [] { shiftJournalWindow->payStatementsAction->trigger(); },
            [&](PayStatementWindow *w) {
                QVERIFY(w->allWorkersCheck->isChecked());
                w->monthCombo->setCurrentIndex(10);
                w->yearSpin->setValue(2023);
                QVERIFY(whileShown<report::PreviewWindow>(
                    [w] { w->previewButton->click(); },
                    [&](report::PreviewWindow *p) {
                        all_ = w->statements();
                        // One worker per page: each statement starts a page of its own.
                        const auto &pages = p->report().pages();
                        QSet<int> firstPages;
                        for (const auto &s : all_)
                            for (const auto &page : pages)
                                if (page.texts().contains("Работник: " + s.name) &&
                                    !firstPages.contains(page.number)) {
                                    firstPages << page.number;
                                    firstPage_[s.workerId] = page.texts();
                                    break;
                                }
                        QCOMPARE(firstPages.size(), all_.size());
                        for (const auto &page : pages)
                            printed_ << page.texts();
                        // Each statement counts its own pages: every first page reads
                        // "стр. 1 из N", and no page counts the whole month's.
                        for (const QStringList &first : std::as_const(firstPage_))
                            QVERIFY(
                                !first.filter(QRegularExpression("^стр\\. 1 из \\d+$")).isEmpty());
                        QVERIFY(
                            !printed_.contains(QStringLiteral("стр. %1 из %1").arg(pages.size())));
                        QCOMPARE(printed_.count(QStringLiteral("Листок получил")), all_.size());
                        QVERIFY(keepPdf(p->report(), QStringLiteral("pay-statements-11.2023")));
                    }));
            }));
        QCOMPARE(all_.size(), 4);
        QVERIFY(msg_->shown.isEmpty());
    }

    // Per worker: the lines are the journals' entries and every figure is the timesheets' and
    // the reports' for him.
    void statement_data()
    {
        QTest::addColumn<int>("worker");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("why");     // the sentence of his holiday entry
        QTest::addColumn<QString>("missing"); // the calendar's working days without his hours
        QTest::newRow("rejects, days off, night, overtime, a changed norm, unaccepted")
            << 611 << "Сдельщиков С.С."
            << "611"
            << "Цех 1"
            << "120 шт − 2 брак = 118 шт × 1,25 р. × 2 (выходной) = 295,00 р."
            << "2, 12, 14, 16, 20, 22, 24, 28";
        QTest::newRow("namesake, average piecework at night")
            << 612 << "Тёзка Т.Т."
            << "612"
            << "Цех 1"
            << ""
            << "2, 8, 10, 12, 14, 16, 20, 22, 24, 28";
        QTest::newRow("namesake, average piecework on a day off")
            << 613 << "Тёзка Т.Т."
            << "613"
            << "Цех 2"
            << ""
            << "2, 8, 10, 12, 14, 16, 20, 22, 24, 28";
        QTest::newRow("known by code only, maintenance at night")
            << 614 << "Кодов К.К."
            << "614"
            << "Цех 2"
            << ""
            << "2, 8, 10, 12, 16, 20, 22, 24, 28";
    }
    void statement()
    {
        QFETCH(int, worker);
        QFETCH(QString, name);
        QFETCH(QString, number);
        QFETCH(QString, position);
        QFETCH(QString, why);
        QFETCH(QString, missing);
        const shop::pay::Statement *s = statementOf(worker);
        QVERIFY(s);
        QCOMPARE(s->name, name);
        QCOMPARE(s->number, number);

        // The heading of the printed statement: the organisation's details, the month and its
        // norm by the calendar, the worker's position; the working days he has no hours on.
        const QStringList page = firstPage_.value(worker);
        for (const QString &text :
             {QStringLiteral("ООО «Металлист»"), QStringLiteral("Сварочный цех"),
              QStringLiteral("Расчетный листок сдельщика"), QStringLiteral("за ноябрь 2023 г."),
              "Таб. № " + number, "Должность: " + position,
              QStringLiteral("Норма часов месяца: 168 ч")})
            QVERIFY2(page.contains(text), qPrintable(text));
        QStringList missingDays;
        for (int d : s->missingDays())
            missingDays << QString::number(d);
        QCOMPARE(missingDays.join(", "), missing);
        QVERIFY(printed_.contains("Рабочие дни без часов: " + missing));

        // The shift lines: his entries of the month in date order, each with the journal's
        // amount; the factors are the ones his price was made with.
        const QString entries =
            QStringLiteral("from accounts_dep.smena where w_id=%1 and data between "
                           "'2023-11-01' and '2023-11-30'")
                .arg(worker);
        QStringList ids, amounts;
        for (const auto &l : s->shifts) {
            ids << QString::number(l.id);
            amounts << shop::pay::moneyText(l.amount);
            QCOMPARE(l.accepted, sql(QStringLiteral("select ok='ok' from accounts_dep.smena where "
                                                    "id=%1")
                                         .arg(l.id))
                                     .toBool());
            const bool holiday = l.date == QDate(2023, 11, 7) && l.quantity == 120;
            const bool dayOff = l.date.dayOfWeek() >= 6 || holiday;
            QStringList names;
            for (const auto &f : l.today.factors)
                names << f.name;
            QStringList want;
            if (dayOff && !l.normChanged)
                want << "выходной";
            if (l.shift == 3)
                want << "ночь";
            if (l.shift == 4)
                want << "переработка";
            if (!l.normChanged)
                QCOMPARE(names, want);
            QCOMPARE(l.normChanged, l.operation == "Покраска" && l.product == "Изд-А");
            QVERIFY(shop::pay::explain(l).contains(shop::pay::moneyText(l.amount) + " р."));
            if (holiday)
                QCOMPARE(shop::pay::explain(l), why);
        }
        QCOMPARE(
            ids.join(','),
            sql("select string_agg(id::text, ',' order by data, smena, id) " + entries).toString());
        QStringList journal;
        for (const QString &v :
             sql("select string_agg(round((kol_vo-brak)*cena::numeric, 2)::text, ';' order by "
                 "data, smena, id) " +
                 entries)
                 .toString()
                 .split(';'))
            journal << shop::pay::moneyText(kop(v.toDouble()));
        QCOMPARE(amounts, journal);

        // The hour lines: his maintenance and average-piecework entries, at their stored
        // prices, the average's sources named.
        QCOMPARE(int(s->maintenance.size() + s->average.size()),
                 sql(QStringLiteral("select count(*) from accounts_dep.fatigue where id_p=%1 and "
                                    "d_date between '2023-11-01' and '2023-11-30'")
                         .arg(worker))
                     .toInt());
        for (const auto &l : s->average) {
            QVERIFY(!l.rateChanged);
            QCOMPARE(l.averageMonth, QDate(2023, 11, 1));
            QVERIFY(l.averageHours > 0);
            QCOMPARE(price::round4(l.today.price), price::round4(l.rate));
        }
        for (const auto &l : s->maintenance)
            QVERIFY2(!l.rateChanged, qPrintable(shop::pay::explain(l)));

        // The timesheets' figures of the worker, to the kopeck.
        QCOMPARE(s->piecework, timesheet(9).value({worker, 0}));
        const auto maintenance = timesheet(14);
        QCOMPARE(s->maintenanceDay, maintenance.value({worker, 0}));
        QCOMPARE(s->maintenanceNight, maintenance.value({worker, 1}));
        const auto average = timesheet(15);
        QCOMPARE(s->averageDay, average.value({worker, 0}));
        QCOMPARE(s->averageNight, average.value({worker, 1}));
        QMap<int, QVector<int>> days;
        QCOMPARE(s->combined, timesheet(17, &days).value({worker, 0}));
        QCOMPARE(s->hoursByDay, days.value(worker));

        // The report by workers: his amount as the report adds it up.
        db::Dataset report;
        report.setSql(QString::fromLatin1(reports::sql::kByWorkers));
        for (const char *p : {"data1", "data3", "data5"})
            report.setParam(p, QDate(2023, 11, 1));
        for (const char *p : {"data2", "data4", "data6"})
            report.setParam(p, QDate(2023, 12, 1));
        report.open();
        Kopecks byReport = 0;
        for (report.first(); !report.eof(); report.next())
            if (report.asInteger("w_id") == worker)
                byReport += kop(report.asFloat("summa"));
        QCOMPARE(s->pieceworkByGroups, byReport);

        QCOMPARE(s->total(), s->piecework + s->maintenanceTotal() + s->averageTotal());
    }

    // The export of the reports window holds the month's paid quantities; the statements'
    // lines give the same per product group, operation, kind of product and colour.
    void reportsExport()
    {
        QMap<QString, double> lines;
        for (const auto &s : all_)
            for (const auto &l : s.shifts)
                lines[l.group + '|' + l.operation + '|' + QString::number(l.naimen)] += l.paid();
        SheetsFixture sheets;
        QVERIFY(
            whileShown<ReportsWindow>([] { shiftJournalWindow->summaryReportsAction->trigger(); },
                                      [&](ReportsWindow *f) {
                                          f->fromDateEdit->setDate(QDate(2023, 11, 1));
                                          f->toDateEdit->setDate(QDate(2023, 11, 30));
                                          f->exportButton->click();
                                      }));
        const QJsonObject cells = sheets.readLast()["cells"].toObject();
        QMap<QString, double> exported;
        for (int row = 2; cells.contains(QStringLiteral("A%1").arg(row)); ++row) {
            auto text = [&](char c) {
                return cells[QStringLiteral("%1%2").arg(c).arg(row)].toObject().value("value");
            };
            const QString operation = text('B').toString().section(" (", 0, 0);
            const QString kind = text('C').toString() == "Готовая продукция" ? "0" : "1";
            exported[text('A').toString() + '|' + operation + '|' + kind] += text('E').toDouble();
        }
        QCOMPARE(exported, lines);
    }

    // One worker's statement from his line in the piecework timesheet and from his card; the
    // workbook holds the printed lines.
    void openedFromTimesheetAndCard()
    {
        SheetsFixture sheets;
        QVERIFY(whileShown<PieceworkTimesheetWindow>(
            [] { shiftJournalWindow->pieceworkTimesheetAction->trigger(); },
            [&](PieceworkTimesheetWindow *f) {
                f->yearBox->setKeyValue(2023);
                f->monthBox->setCurrentIndex(10);
                emit f->monthBox->activated(10);
                QVERIFY(f->current->locate("id", 614));
                QVERIFY(whileShown<PayStatementWindow>(
                    [f] { f->payStatementButton->click(); },
                    [&](PayStatementWindow *w) {
                        QCOMPARE(w->workerLabel->text(), QStringLiteral("Кодов К.К."));
                        QCOMPARE(w->monthCombo->currentIndex(), 10);
                        QCOMPARE(w->yearSpin->value(), 2023);
                        w->excelButton->click();
                        QCOMPARE(w->statements().size(), 1);
                    }));
            }));
        // From the worker's card in the workers list.
        QVERIFY(whileShown<WorkerList>(
            [] { shiftJournalWindow->workersAction->trigger(); },
            [&](WorkerList *l) {
                QVERIFY(l->dataset->locate("id", 613));
                QVERIFY(whileShown<WorkerEditor>(
                    [l] { l->changeCurrent(); },
                    [&](WorkerEditor *e) {
                        QVERIFY(e->payStatementButton->isVisible());
                        QVERIFY(whileShown<PayStatementWindow>(
                            [e] { e->payStatementButton->click(); },
                            [&](PayStatementWindow *w) {
                                QCOMPARE(w->workerLabel->text(), QStringLiteral("Тёзка Т.Т."));
                                QVERIFY(!w->allWorkersCheck->isChecked());
                                w->monthCombo->setCurrentIndex(10);
                                w->yearSpin->setValue(2023);
                                w->prepare();
                                QCOMPARE(w->statements().size(), 1);
                                QCOMPARE(w->statements().first().workerId, 613);
                            }));
                    }));
            }));

        const QJsonObject cells = sheets.readLast()["cells"].toObject();
        QStringList texts;
        for (const QJsonValue &v : cells)
            texts << v.toObject()["value"].toVariant().toString();
        QVERIFY(texts.contains("Работник: Кодов К.К."));
        QVERIFY(texts.contains("Всего начислено"));
        QVERIFY(msg_->shown.isEmpty());
    }

    // "Почему такая сумма?" in both journals: the sentence of the current entry.
    void whyThisAmount()
    {
        shiftJournalWindow->dateEdit->setDate(QDate(2023, 11, 7));
        shiftJournalWindow->dateChange();
        shiftJournalWindow->shift2Radio->setChecked(true);
        db::Dataset *q = dataModule->smena(2);
        QVERIFY(q->locate("w_id", 611));
        shiftJournalWindow->whyAmountButton->click();
        QCOMPARE(shiftJournalWindow->amountExplanation->text(),
                 QStringLiteral("Сдельщиков С.С., Изд-А, Сварка: 120 шт − 2 брак = 118 шт × "
                                "1,25 р. × 2 (выходной) = 295,00 р."));
        shiftJournalWindow->shift1Radio->setChecked(true);

        QVERIFY(whileShown<MaintenanceJournalWindow>(
            [] { shiftJournalWindow->maintenanceButton->click(); },
            [&](MaintenanceJournalWindow *w) {
                w->dateEdit->setDate(QDate(2023, 11, 11));
                QVERIFY(w->fatigue->locate("id_p", 611));
                w->whyAmountButton->click();
                QCOMPARE(w->amountExplanation->text(),
                         QStringLiteral("Сдельщиков С.С., Хоз. работы, Группа А: 3 ч × 250,00 "
                                        "р./ч × 2 (выходной) × 1,2 (ночь) = 1\u00a0800,00 р."));
            }));
        QVERIFY(msg_->shown.isEmpty());
    }
};

TABEL_TEST_MAIN(PayStatementTest)
#include "tst_paystatement.moc"
