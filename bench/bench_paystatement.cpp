// Every worker's pay statement of the last whole month: from the button of the statement window
// to the preview with every page laid out, and the same statements to a workbook. The floor
// reads the month's shift and hour entries once with the sums the statements show.
#include "Bench.h"
#include "PreviewClick.h"

#include "report/Preview.h"
#include "reports/PayStatementWindow.h"
#include "spreadsheet/Excel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <stdexcept>

namespace {

void floorOf(const QDate &month)
{
    const QString period =
        QStringLiteral("'%1' and '%2'")
            .arg(month.toString(QStringLiteral("dd.MM.yyyy")),
                 month.addMonths(1).addDays(-1).toString(QStringLiteral("dd.MM.yyyy")));
    bench::fetchAll(QStringLiteral(R"(
        select w_id, data, smena, kol_vo, brak, cena, round((kol_vo-brak)*cena::numeric, 2)
        from accounts_dep.smena
        where data between %1
        order by w_id, data)")
                        .arg(period));
    bench::fetchAll(QStringLiteral(R"(
        select id_p, d_date, id_o, cnt, price
        from accounts_dep.fatigue
        where d_date between %1)")
                        .arg(period));
}

int shownPages = 0;

void chooseMonth(const QDate &month)
{
    payStatementWindow->allWorkersCheck->setChecked(true);
    payStatementWindow->monthCombo->setCurrentIndex(month.month() - 1);
    payStatementWindow->yearSpin->setValue(month.year());
}

} // namespace

TABEL_BENCH("pay statements of every worker, month: button to preview")
{
    const QDate month = bench::lastWholeMonth();
    chooseMonth(month);
    run.measureMs(
        [] { return bench::clickToPreview(payStatementWindow->previewButton, &shownPages); },
        [&] {
            QElapsedTimer t;
            t.start();
            floorOf(month);
            return t.nsecsElapsed() / 1e6;
        });
    run.setSize(QStringLiteral("%1 statements, %2 pages")
                    .arg(payStatementWindow->statements().size())
                    .arg(shownPages));
    const bench::Resident r = bench::resident(
        [] { bench::clickToPreview(payStatementWindow->previewButton, &shownPages); });
    QTextStream(stderr) << "pay statements: resident " << r.beforeKb / 1024 << " MB before, peak "
                        << r.peakKb / 1024 << " MB\n";
}

TABEL_BENCH("pay statements of every worker, month: workbook")
{
    const QDate month = bench::lastWholeMonth();
    chooseMonth(month);
    QTemporaryDir folder;
    bench::NoOpener opener;
    excel::setDocumentsFolder(folder.path());
    excel::setOpener(&opener);
    run.measure([] { payStatementWindow->excelClick(); }, [&] { floorOf(month); });
    run.setSize(QStringLiteral("%1 statements").arg(payStatementWindow->statements().size()));
    excel::setOpener(nullptr);
    excel::setDocumentsFolder(QString());
}
