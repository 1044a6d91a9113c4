// The reports window's buttons at a month and at the year to date: from the click, through
// the statement and the laying out of every page, until the preview is up (the export: until
// the workbook is written). The floor reads the period's entries once, summing what every
// report sums.
#include "Bench.h"
#include "PreviewClick.h"

#include "report/Preview.h"
#include "reports/ReportsWindow.h"
#include "spreadsheet/Excel.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

namespace {

struct Period {
    QDate from, to; // both days counted, as the window's two dates
};

// The last whole month before the shop's last entry, or the year of the last entry up to it.
Period period(bool yearToDate)
{
    const QDate last = bench::lastEntryDay();
    if (yearToDate)
        return {QDate(last.year(), 1, 1), last};
    const QDate month = bench::lastWholeMonth();
    return {month, month.addMonths(1).addDays(-1)};
}

QString entriesOf(const Period &p)
{
    return QStringLiteral("data>='%1' and data<'%2'")
        .arg(p.from.toString(QStringLiteral("dd.MM.yyyy")),
             p.to.addDays(1).toString(QStringLiteral("dd.MM.yyyy")));
}

void floorOf(const Period &p)
{
    bench::scalar(QStringLiteral(R"(
        select sum(kol_vo-brak), sum((kol_vo-brak)*cena), count(distinct w_id)
        from accounts_dep.smena
        where %1)")
                      .arg(entriesOf(p)));
}

// The pages of the last preview timed (the report lets go of them when it closes).
int shownPages = 0;

const bool reports = [] {
    const struct {
        const char *action;
        QPushButton *ReportsWindow::*button;
    } list[] = {
        {"report by workers", &ReportsWindow::workersButton},
        {"report by products", &ReportsWindow::productsButton},
        {"detailed report by workers", &ReportsWindow::workersDetailButton},
        {"detailed report by products", &ReportsWindow::productsDetailButton},
    };
    for (bool yearToDate : {false, true}) {
        for (const auto &l : list) {
            auto button = l.button;
            const QString action =
                QLatin1String(l.action) +
                (yearToDate ? QStringLiteral(", year to date") : QStringLiteral(", month")) +
                QStringLiteral(": button to preview");
            bench::add(action, [=](bench::Run &run) {
                const Period p = period(yearToDate);
                reportsWindow->fromDateEdit->setDate(p.from);
                reportsWindow->toDateEdit->setDate(p.to);
                run.measureMs(
                    [=] { return bench::clickToPreview(reportsWindow->*button, &shownPages); },
                    [&] {
                        QElapsedTimer t;
                        t.start();
                        floorOf(p);
                        return t.nsecsElapsed() / 1e6;
                    });
                run.setSize(QStringLiteral("%1 entries, %2 pages")
                                .arg(bench::scalar(QStringLiteral(R"(
                                    select count(*)
                                    from accounts_dep.smena
                                    where %1)")
                                                       .arg(entriesOf(p)))
                                         .toLongLong())
                                .arg(shownPages));
                // The program's size at its peak during one more press of the button: the
                // records, the laid-out pages and the preview with the pages in sight (the
                // pages of the press before are held until the new ones replace them).
                const bench::Resident r = bench::resident(
                    [=] { bench::clickToPreview(reportsWindow->*button, &shownPages); });
                QTextStream(stderr)
                    << action << ": resident " << r.beforeKb / 1024 << " MB before, peak "
                    << r.peakKb / 1024 << " MB, " << shownPages << " pages\n";
            });
        }
        bench::add(QStringLiteral("reports window export, ") +
                       (yearToDate ? QStringLiteral("year to date") : QStringLiteral("month")),
                   [=](bench::Run &run) {
                       const Period p = period(yearToDate);
                       reportsWindow->fromDateEdit->setDate(p.from);
                       reportsWindow->toDateEdit->setDate(p.to);
                       QTemporaryDir folder;
                       bench::NoOpener opener;
                       excel::setDocumentsFolder(folder.path());
                       excel::setOpener(&opener);
                       run.measure([] { reportsWindow->exportClick(); }, [&] { floorOf(p); });
                       run.setSize(reportsWindow->exportButton->text());
                       excel::setOpener(nullptr);
                       excel::setDocumentsFolder(QString());
                   });
    }
    return true;
}();

} // namespace
