// Every printed report laid out on a busy month: long names, long marks, four-digit
// totals. Whatever the data, a page must read as it is handed over: no text on top of
// another, none outside its box, no group header left alone at the foot of a page.
#include "Drive.h"
#include "GuiApp.h"
#include "PdfText.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "app/LoginWindow.h"
#include "db/Dataset.h"
#include "journal/ShiftJournalWindow.h"
#include "report/Preview.h"
#include "reports/PayStatementWindow.h"
#include "reports/ReportsWindow.h"
#include "text/Figures.h"
#include "timesheets/ShiftTimesheetPrint.h"
#include "timesheets/WorkTimeSheetWindow.h"
#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>

using drive::whileShown;
using namespace report;

namespace {

constexpr double kEps = 0.01; // mm

// What is wrong with the laid-out pages, one line per fault.
QStringList layoutFaults(const Report &r)
{
    QSet<QString> headers, pageFooters;
    for (const Band &b : r.def().bands) {
        if (b.kind == BandKind::GroupHeader)
            headers << b.name;
        if (b.kind == BandKind::PageFooter)
            pageFooters << b.name;
    }
    QStringList faults;
    for (const Page &p : r.pages()) {
        const QString where = QStringLiteral("page %1: ").arg(p.number);
        QVector<const Primitive *> texts;
        QVector<QRectF> inks;
        QString last;
        double bottom = -1;
        for (const Primitive &item : p.items) {
            if (!pageFooters.contains(item.band) && item.rect.bottom() >= bottom - kEps) {
                bottom = std::max(bottom, item.rect.bottom());
                last = item.band;
            }
            if (item.kind != Primitive::Text)
                continue;
            texts << &item;
            const QRectF ink = textExtent(item);
            inks << ink;
            if (!item.rect.adjusted(-kEps, -kEps, kEps, kEps).contains(ink))
                faults << where + QStringLiteral("\"%1\" leaves its box").arg(item.text);
            if (item.font.size < kMinFontSize)
                faults << where + QStringLiteral("\"%1\" below the smallest size").arg(item.text);
        }
        for (int i = 0; i < texts.size(); ++i)
            for (int j = i + 1; j < texts.size(); ++j) {
                const QRectF both = inks[i].intersected(inks[j]);
                if (both.width() > kEps && both.height() > kEps)
                    faults << where + QStringLiteral("\"%1\" runs into \"%2\"")
                                          .arg(texts[i]->text, texts[j]->text);
            }
        if (headers.contains(last))
            faults << where + QStringLiteral("ends with the group header %1").arg(last);
    }
    return faults;
}

} // namespace

class PageLayoutTest : public gui::Fixture {
    Q_OBJECT

    // Runs a report button of the reports window for the month that starts on from.
    void runReport(const QString &button, const QDate &from,
                   std::function<void(PreviewWindow *)> act)
    {
        QVERIFY(whileShown<ReportsWindow>(
            [] { shiftJournalWindow->summaryReportsAction->trigger(); },
            [&](ReportsWindow *f) {
                f->kindGroup->setItemIndex(0);
                f->fromDateEdit->setDate(from);
                f->toDateEdit->setDate(from.addMonths(1).addDays(-1));
                auto *b = f->findChild<QPushButton *>(button);
                QVERIFY(whileShown<PreviewWindow>([b] { b->click(); }, act));
            }));
    }

private slots:
    void initTestCase()
    {
        startProgram();
        // 45 workers with long names with an apostrophe, forty nomenclature groups and sixty
        // products with long marks, two long kinds of operation; entries on four days of
        // March 2001 with counts that make four-digit totals, each worker on his own share of
        // the products (so that the workers' blocks end at every height of a page); fatigue
        // entries; a month of timesheet marks.
        testdb::run(db_, "insert into accounts_dep.person (fio) select 'Константинопольская-"
                         "Переяславская Александра ' || n || ' О''Брайен-Вишневецкая' from "
                         "generate_series(1, 45) n");
        testdb::run(db_, "insert into cmn_classifier.item (id, id_level, s_caption) select "
                         "9000 + n, 2, 'Номенклатурная группа металлоконструкций ' || n from "
                         "generate_series(1, 40) n");
        testdb::run(db_, "insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, massa, "
                         "id_class_item) select 9100 + n, 'Изделие ДКП-2001-' || n || "
                         "'-Ж усиленное оцинкованное', 125.5, 9001 + n % 40 from "
                         "generate_series(1, 60) n");
        testdb::run(db_, "insert into accounts_dep.vid_oper (vid) values ('Окраска порошковая "
                         "двухслойная с грунтованием'), ('Сварка полуавтоматическая в среде "
                         "защитных газов')");
        testdb::run(db_, "insert into accounts_dep.oper (vid, naimen, i_id) select v.id, n % 2, "
                         "9100 + n from generate_series(1, 60) n, accounts_dep.vid_oper v where "
                         "v.vid like 'Окраска порошковая%' or v.vid like 'Сварка полуавт%'");
        testdb::run(db_, "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, "
                         "brak, data, smena, color, time) select p.id, o.i_id, o.id, 37.55, "
                         "900 + d, d % 7, date '2001-03-01' + d, 1, d % 2, 8 from "
                         "accounts_dep.person p, accounts_dep.oper o, generate_series(0, 27, 9) "
                         "d where p.fio like 'Константинопольская%' and o.i_id between 9101 and "
                         "9160 and (p.id + o.i_id) % (3 + p.id % 7) = 0");
        testdb::run(db_, "insert into accounts_dep.fatigue (id_nom, id_o, id_p, d_date, i_mnth, "
                         "i_year, cnt, price) select 9001 + p.id % 40, 7777, p.id, '2001-03-12', "
                         "3, 2001, 24, 497.5 from accounts_dep.person p where p.fio like "
                         "'Константинопольская%'");
        QStringList days;
        for (int d = 1; d <= 31; ++d)
            days << QStringLiteral("d%1").arg(d);
        testdb::run(db_, "insert into accounts_dep.h_tabel (w_id, month, year, " + days.join(',') +
                             ") select p.id, 3, 2001, " +
                             QStringList(31, "100 + p.id % 20").join(',') +
                             " from accounts_dep.person p where p.fio like "
                             "'Константинопольская%'");
        shiftJournalWindow->show();
    }

    void reports_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("fileName");
        // The busy month made above, and the demo shop's last month as a clerk first sees it.
        const QDate today = QDate::currentDate();
        const QDate demo = QDate(today.year(), today.month(), 1).addMonths(-1);
        const QString demoDates = demo.toString("dd.MM.yyyy") + '-' +
                                  demo.addMonths(1).addDays(-1).toString("dd.MM.yyyy");
        const struct {
            const char *name, *button, *title;
        } reports[] = {
            {"by workers", "workersButton", "Отчет по рабочим"},
            {"by products", "productsButton", "Отчет по продукции"},
            {"detailed by workers", "workersDetailButton", "Детальный отчет по рабочим"},
            {"detailed by products", "productsDetailButton", "Детальный отчет по продукции"}};
        for (const auto &r : reports) {
            QTest::newRow(r.name) << r.button << QDate(2001, 3, 1)
                                  << QString::fromUtf8(r.title) + " 01.03.2001-31.03.2001.pdf";
            QTest::newRow(qPrintable(QStringLiteral("%1, demo month").arg(r.name)))
                << r.button << demo << QString::fromUtf8(r.title) + ' ' + demoDates + ".pdf";
        }
    }
    void reports()
    {
        QFETCH(QString, button);
        QFETCH(QDate, from);
        QFETCH(QString, fileName);
        runReport(button, from, [&](PreviewWindow *w) {
            const Report &r = w->report();
            QVERIFY2(r.pages().size() > 1,
                     qPrintable(QStringLiteral("%1 pages").arg(r.pages().size())));
            // Saved under the report's name and period.
            QCOMPARE(QFileInfo(w->proposedPdfPath()).fileName(), fileName);
            const QStringList faults = layoutFaults(r);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 20).join('\n')));
            QVERIFY(keepPdf(r, QFileInfo(fileName).completeBaseName()));
        });
        QVERIFY(msg_->shown.isEmpty());
    }

    // Every worker's pay statement of the busy month, each from a page of its own.
    void payStatements()
    {
        payStatementWindow->allWorkersCheck->setChecked(true);
        payStatementWindow->monthCombo->setCurrentIndex(2);
        payStatementWindow->yearSpin->setValue(2001);
        payStatementWindow->prepare();
        const Report &r = payStatementWindow->report();
        QCOMPARE(payStatementWindow->statements().size(), 45);
        QVERIFY(r.pages().size() >= 45);
        const QStringList faults = layoutFaults(r);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 20).join('\n')));
        QVERIFY(keepPdf(r, QStringLiteral("pay-statements")));
        payStatementWindow->report().clear();
    }

    void timesheet()
    {
        shiftTimesheetPrint->openMonth(3, 2001);
        shiftTimesheetPrint->setMonthLabel("Март 2001 г.");
        shiftTimesheetPrint->prepare();
        const Report &r = *shiftTimesheetPrint->printout;
        QVERIFY(r.pages().size() > 1);
        // The four-digit line totals (31 days of 100 to 119) are printed whole.
        const QStringList texts = r.pages().first().texts();
        QVERIFY(texts.contains(figures::quantity(31 * 101)));
        QVERIFY(texts.contains(figures::quantity(31 * 119)));
        const QStringList faults = layoutFaults(r);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 20).join('\n')));
        QVERIFY(keepPdf(r, QStringLiteral("timesheet")));
        shiftTimesheetPrint->H_Tabel->close();
    }

    // The statutory timesheet of the busy month: the long names shrink or are cut within their
    // boxes, the header, the worker lines and the signatures never overlap.
    void workTimeSheet()
    {
        QVERIFY(whileShown<WorkTimeSheetWindow>(
            [] { workTimeSheetWindow->openFrom(shiftJournalWindow, QDate(2001, 3, 1)); },
            [](WorkTimeSheetWindow *f) {
                QCOMPARE(f->month().workers.size(), 45);
                QVERIFY(whileShown<PreviewWindow>(
                    [f] { f->previewButton->click(); },
                    [](PreviewWindow *w) {
                        const Report &r = w->report();
                        QVERIFY2(r.pages().size() > 2,
                                 qPrintable(QStringLiteral("%1 pages").arg(r.pages().size())));
                        const QStringList faults = layoutFaults(r);
                        QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 20).join('\n')));
                        // The signatures come last, once.
                        int signed_ = 0;
                        for (const Page &p : r.pages())
                            signed_ += p.find(QStringLiteral("Ответственное лицо")) ? 1 : 0;
                        QCOMPARE(signed_, 1);
                        QVERIFY(r.pages().last().find(QStringLiteral("Ответственное лицо")));
                    }));
            }));
        QVERIFY(msg_->shown.isEmpty());
    }
};

TABEL_TEST_MAIN(PageLayoutTest)
#include "tst_pagelayout.moc"
