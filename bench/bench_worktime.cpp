// The monthly timesheet in the statutory form at the month before the shop's last entry: from
// the preview button (reading the month, laying out every page) until the preview is up, and
// the export until the workbook is written. The floor reads the month's hours per worker, day
// and shift from both journals once, which every sheet needs.
#include "Bench.h"
#include "PreviewClick.h"

#include "journal/ShiftJournalWindow.h"
#include "report/Preview.h"
#include "spreadsheet/Excel.h"
#include "timesheets/WorkTimeSheetWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <stdexcept>

namespace {

double floorOf(const QDate &first)
{
    QElapsedTimer t;
    t.start();
    const QString from = first.toString(QStringLiteral("dd.MM.yyyy"));
    const QString to = first.addMonths(1).toString(QStringLiteral("dd.MM.yyyy"));
    bench::fetchAll(QStringLiteral(R"(
        select w_id, data, smena, sum(time)
        from accounts_dep.smena
        where data>='%1'
          and data<'%2'
          and time<>0
        group by 1, 2, 3
        union all
        select id_p::int, d_date, i_night, sum(cnt)
        from accounts_dep.fatigue
        where d_date>='%1'
          and d_date<'%2'
          and cnt<>0
        group by 1, 2, 3)")
                        .arg(from, to));
    return t.nsecsElapsed() / 1e6;
}

int shownPages = 0;

void chooseMonth(const QDate &first)
{
    workTimeSheetWindow->monthBox->setCurrentIndex(first.month() - 1);
    workTimeSheetWindow->yearBox->setValue(first.year());
}

QString size(const QDate &first)
{
    return QStringLiteral("%1 workers, %2 entries")
        .arg(workTimeSheetWindow->month().workers.size())
        .arg(bench::scalar(QStringLiteral(R"(
            select count(*)
            from accounts_dep.smena
            where data>='%1'
              and data<'%2')")
                               .arg(first.toString(QStringLiteral("dd.MM.yyyy")),
                                    first.addMonths(1).toString(QStringLiteral("dd.MM.yyyy"))))
                 .toLongLong());
}

} // namespace

TABEL_BENCH("T-13 timesheet, month: button to preview")
{
    const QDate first = bench::lastWholeMonth();
    chooseMonth(first);
    run.measureMs(
        [] { return bench::clickToPreview(workTimeSheetWindow->previewButton, &shownPages); },
        [&] { return floorOf(first); });
    run.setSize(size(first) + QStringLiteral(", %1 pages").arg(shownPages));
}

TABEL_BENCH("T-13 timesheet, month: export")
{
    const QDate first = bench::lastWholeMonth();
    chooseMonth(first);
    QTemporaryDir folder;
    bench::NoOpener opener;
    excel::setDocumentsFolder(folder.path());
    excel::setOpener(&opener);
    run.measure([] { workTimeSheetWindow->exportSheet(); }, [&] { floorOf(first); });
    run.setSize(size(first));
    excel::setOpener(nullptr);
    excel::setDocumentsFolder(QString());
}
