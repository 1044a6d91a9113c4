// Writing a timesheet-sized workbook through the spreadsheet layer, beside libxlsxwriter
// writing the same cells directly. The peak memory of each is measured once in a child
// process and printed after the table's row.
#include "Bench.h"
#include "PreviewClick.h"

#include "spreadsheet/Excel.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cstdio>

namespace {

const int rows = 10000;
const int columns = 36;

// A worker's name in the first column, hours in the others (some days empty).
QString cellText(int row, int column)
{
    if (column == 1)
        return QStringLiteral("Работник %1 И.О.").arg(row);
    const int k = (row * 7 + column) % 10;
    return k == 0 ? QString() : k == 5 ? QStringLiteral("7,5") : QString::number(k);
}

void throughLayer()
{
    using excel::Font;
    using excel::Kind;
    using excel::Width;
    excel::Export book;
    book.open(QStringLiteral("bench"));
    for (int c = 1; c <= columns; ++c)
        book.write(c, 1, QStringLiteral("День %1").arg(c), {Kind::Text, Font::Bold, Width::Fit});
    for (int r = 2; r <= rows + 1; ++r)
        for (int c = 1; c <= columns; ++c)
            book.write(c, r, cellText(r, c),
                       {c == 1 ? Kind::Text : Kind::Value, Font::Regular, Width::Fit});
    book.show();
}

void direct(const QString &folder)
{
    const QByteArray path = QDir(folder).filePath(QStringLiteral("direct.xlsx")).toLocal8Bit();
    lxw_workbook *book = workbook_new(path.constData());
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *head = workbook_add_format(book);
    format_set_num_format(head, "@");
    format_set_bold(head);
    lxw_format *text = workbook_add_format(book);
    format_set_num_format(text, "@");
    std::vector<int> longest(columns, 0);
    for (int c = 1; c <= columns; ++c) {
        const QString t = QStringLiteral("День %1").arg(c);
        worksheet_write_string(sheet, 0, lxw_col_t(c - 1), t.toUtf8().constData(), head);
        longest[c - 1] = int(t.size());
    }
    for (int r = 2; r <= rows + 1; ++r)
        for (int c = 1; c <= columns; ++c) {
            const QString t = cellText(r, c);
            if (t.isEmpty())
                continue;
            if (c == 1)
                worksheet_write_string(sheet, lxw_row_t(r - 1), 0, t.toUtf8().constData(), text);
            else
                worksheet_write_number(
                    sheet, lxw_row_t(r - 1), lxw_col_t(c - 1),
                    QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(), nullptr);
            longest[c - 1] = std::max(longest[c - 1], int(t.size()));
        }
    for (int c = 0; c < columns; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), longest[c] + 1.5, nullptr);
    workbook_close(book);
}

// Peak memory the work adds, measured in a child process so that each starts alike.
long peakKb(const std::function<void()> &work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const bench::Resident r = bench::resident(work);
        const long grown = r.peakKb - r.beforeKb;
        (void)!write(fds[1], &grown, sizeof grown);
        _exit(0);
    }
    close(fds[1]);
    long grown = -1;
    if (read(fds[0], &grown, sizeof grown) != sizeof grown)
        grown = -1;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return grown;
}

} // namespace

TABEL_BENCH("workbook 10,000 rows x 36 columns through WriteCell")
{
    QTemporaryDir dir;
    bench::NoOpener opener;
    excel::setOpener(&opener);
    excel::setDocumentsFolder(dir.path());
    run.setSize(QStringLiteral("%1 rows × %2 columns").arg(rows).arg(columns));
    // Each round's files go; the folder would otherwise fill with workbooks.
    run.beforeEach([&] {
        for (const QString &f : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(QDir(dir.path()).filePath(f));
    });
    run.measure(throughLayer, [&] { direct(dir.path()); });
    const long layerKb = peakKb(throughLayer);
    const long directKb = peakKb([&] { direct(dir.path()); });
    QTextStream(stderr) << "workbook peak memory: through WriteCell " << layerKb / 1024
                        << " MB, libxlsxwriter directly " << directKb / 1024 << " MB\n";
    excel::setOpener(nullptr);
    excel::setDocumentsFolder(QString());
}
