#include "Excel.h"

#include "ui/Messages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QUuid>

#include <xlsxwriter.h>

#include <cmath>
#include <vector>

namespace excel {

namespace {

const int maxRows = 1048576;
const int maxColumns = 16384;

QString &folderOverride()
{
    static QString folder;
    return folder;
}

void tellUnshown(const QString &path)
{
    ui::showError(QStringLiteral("Книга Excel записана в файл\n%1\n"
                                 "На этом компьютере нет программы, которая может её показать.")
                      .arg(QDir::toNativeSeparators(path)),
                  QStringLiteral("Excel"));
}

// The desktop's opener runs beside the program: the window stays usable while it starts the
// spreadsheet program. xdg-open answers at once when no program takes the type; that answer
// (or a failure to start it at all) is told when it comes.
class DesktopOpener : public Opener {
public:
    bool open(const QString &path) override
    {
        auto *process = new QProcess(QCoreApplication::instance());
        process->setProgram(QStringLiteral("xdg-open"));
        process->setArguments({path});
        QObject::connect(process, &QProcess::finished, process,
                         [process, path](int code, QProcess::ExitStatus status) {
                             process->deleteLater();
                             if (status != QProcess::NormalExit || code != 0)
                                 tellUnshown(path);
                         });
        QObject::connect(process, &QProcess::errorOccurred, process,
                         [process, path](QProcess::ProcessError error) {
                             if (error != QProcess::FailedToStart)
                                 return;
                             process->deleteLater();
                             if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
                                 tellUnshown(path);
                         });
        process->start();
        return true;
    }
};

DesktopOpener desktopOpener;
Opener *currentOpener = nullptr;

Opener &opener()
{
    return currentOpener ? *currentOpener : desktopOpener;
}

// Column width in character units for a text of n characters, as a fit would set it.
double fittedWidth(int chars, bool bold)
{
    return chars * (bold ? 1.15 : 1.0) + 1.5;
}

bool isNumeric(const QString &text, QChar separator)
{
    int i = 0;
    const int n = text.size();
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    int digits = 0;
    bool separatorSeen = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++digits;
        else if (c == separator && !separatorSeen)
            separatorSeen = true;
        else
            return false;
    }
    return digits > 0;
}

// The value of a numeric-looking text; false for any other text and for digits beyond the
// largest number, which a spreadsheet keeps as text (a file may hold no infinite number).
bool isNumber(const QString &text, QChar separator, double *value)
{
    if (!isNumeric(text, separator))
        return false;
    // Only digits, a sign and the separator: a C-locale number once the separator is a point.
    QByteArray number = text.toLatin1();
    const int at = int(text.indexOf(separator));
    if (at >= 0)
        number[at] = '.';
    bool ok = false;
    *value = number.toDouble(&ok);
    return ok && std::isfinite(*value);
}

QString safeFileName(QString title)
{
    static const QString bad = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : title)
        if (bad.contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    title = title.trimmed();
    return title.isEmpty() ? QStringLiteral("Книга") : title;
}

void cellError(const QString &caption, int sheet, int column, int row)
{
    ui::showError(QStringLiteral("Ошибка при записи: лист %1, столбец %2, строка %3")
                      .arg(sheet)
                      .arg(column)
                      .arg(row),
                  caption);
}

} // namespace

class Workbook {
public:
    struct Column {
        int longest = 0; // characters of the longest text written
        bool longestBold = false;
        double fitted = -1; // width set by a fit; -1 = never fitted
    };

    ~Workbook()
    {
        if (book)
            lxw_workbook_free(book);
        if (!tempPath.isEmpty())
            QFile::remove(tempPath);
    }

    // Bold switched off on a new cell is the default look: such a cell needs no format.
    lxw_format *format(bool text, bool bold)
    {
        if (!text && !bold)
            return nullptr;
        lxw_format *&f = formats[(text ? 1 : 0) + (bold ? 2 : 0)];
        if (!f) {
            f = workbook_add_format(book);
            if (text)
                format_set_num_format(f, "@");
            if (bold)
                format_set_bold(f);
        }
        return f;
    }

    lxw_workbook *book = nullptr;
    lxw_worksheet *sheet = nullptr;
    lxw_format *formats[4] = {};
    std::vector<Column> columns;
    QChar separator; // the user's decimal separator when the workbook was opened
    QString title;
    QString tempPath;
    QString writtenPath;
    bool finished = false;
};

Application::Application() = default;
Application::~Application() = default;

struct Engine {
    static std::unique_ptr<Workbook> &book(Application &app) { return app.book_; }
    static const std::unique_ptr<Workbook> &book(const Application &app) { return app.book_; }
};

void setOpener(Opener *o)
{
    currentOpener = o;
}

QString documentsFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath();
    return docs + QStringLiteral("/Выгрузки Excel");
}

void setDocumentsFolder(const QString &folder)
{
    folderOverride() = folder;
}

int openWorkbook(Application &app, const QString &path, const QString &title)
{
    // A new workbook replaces the one held before; one that was never shown goes with it.
    Engine::book(app).reset();
    const QString folder = documentsFolder();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable()) {
        ui::showError(QStringLiteral("Невозможно открыть Microsoft Excel."));
        ui::showError(QStringLiteral("Ошибка открытия файла Microsoft Excel."));
        return -1;
    }
    if (!path.isEmpty()) { // reading existing workbooks is not supported
        ui::showError(QStringLiteral("Ошибка открытия файла Microsoft Excel."));
        return -1;
    }
    auto wb = std::make_unique<Workbook>();
    wb->title = safeFileName(title);
    wb->separator = QLocale().decimalPoint().at(0);
    wb->tempPath = QDir(folder).filePath(
        QStringLiteral(".~%1.xlsx").arg(QUuid::createUuid().toString(QUuid::Id128)));
    wb->book = workbook_new(QFile::encodeName(wb->tempPath).constData());
    wb->sheet = wb->book ? workbook_add_worksheet(wb->book, nullptr) : nullptr;
    if (!wb->sheet) {
        ui::showError(QStringLiteral("Ошибка открытия файла Microsoft Excel."));
        return -1;
    }
    Engine::book(app) = std::move(wb);
    return 1;
}

namespace {

// A name that nothing has yet: title, date and time, and a number when the second is taken.
QString freeName(const QString &folder, const QString &title)
{
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    const QString base = QStringLiteral("%1 %2").arg(title, stamp);
    QString name = QDir(folder).filePath(base + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = QDir(folder).filePath(QStringLiteral("%1 (%2).xlsx").arg(base).arg(n));
    return name;
}

void finish(Workbook &wb)
{
    wb.finished = true;
    for (size_t i = 0; i < wb.columns.size(); ++i)
        if (wb.columns[i].fitted >= 0)
            worksheet_set_column(wb.sheet, lxw_col_t(i), lxw_col_t(i), wb.columns[i].fitted,
                                 nullptr);
    const lxw_error closed = workbook_close(wb.book);
    wb.book = nullptr;
    const QString folder = QFileInfo(wb.tempPath).absolutePath();
    if (closed != LXW_NO_ERROR) {
        ui::showError(
            QStringLiteral("Книгу Excel не удалось записать в папку %1: %2")
                .arg(QDir::toNativeSeparators(folder), QString::fromUtf8(lxw_strerror(closed))));
        return;
    }
    // rename never replaces an existing file; another process may take a name meanwhile.
    QString target = freeName(folder, wb.title);
    for (int attempt = 0; attempt < 5 && !QFile::rename(wb.tempPath, target); ++attempt)
        target = freeName(folder, wb.title);
    if (QFileInfo::exists(wb.tempPath))
        target = wb.tempPath; // keep the workbook under the name it has
    wb.tempPath.clear();
    wb.writtenPath = target;
    if (!opener().open(target))
        tellUnshown(target);
}

} // namespace

int setVisible(Application &app, bool visible)
{
    Workbook *wb = Engine::book(app).get();
    if (visible && wb && !wb->finished)
        finish(*wb);
    return 1;
}

int writeCell(Application &app, int sheet, int column, int row, const QString &text,
              const CellOptions &options)
{
    if (text.isEmpty())
        return 1;
    Workbook *wb = Engine::book(app).get();
    if (!wb || sheet != 1) {
        cellError(QStringLiteral("Ошибочный номер листа Microsoft Excel"), sheet, column, row);
        return -1;
    }
    if (wb->finished || row < 1 || row > maxRows || column < 1 || column > maxColumns) {
        cellError(QStringLiteral("Ошибка Microsoft Excel"), sheet, column, row);
        return -1;
    }
    const lxw_row_t r = lxw_row_t(row - 1);
    const lxw_col_t c = lxw_col_t(column - 1);
    lxw_format *format = wb->format(options.textFormat, options.bold);
    lxw_error result;
    double number = 0;
    if (!options.textFormat && isNumber(text, wb->separator, &number)) {
        result = worksheet_write_number(wb->sheet, r, c, number, format);
    } else {
        result = worksheet_write_string(wb->sheet, r, c, text.toUtf8().constData(), format);
    }
    if (result != LXW_NO_ERROR) {
        cellError(QStringLiteral("Ошибка Microsoft Excel"), sheet, column, row);
        return -1;
    }
    if (wb->columns.size() <= c)
        wb->columns.resize(c + 1);
    Workbook::Column &col = wb->columns[c];
    if (text.size() > col.longest || (text.size() == col.longest && options.bold)) {
        col.longest = int(text.size());
        col.longestBold = options.bold;
    }
    if (options.fitColumn)
        col.fitted = fittedWidth(col.longest, col.longestBold);
    return 1;
}

QString lastFile(const Application &app)
{
    const auto &wb = Engine::book(app);
    return wb ? wb->writtenPath : QString();
}

namespace plain {
Application &application()
{
    static Application app;
    return app;
}
int OpenWorkbook(const QString &path, const QString &title)
{
    return openWorkbook(application(), path, title);
}
int SetVisible(bool visible)
{
    return setVisible(application(), visible);
}
int WriteCell(int sheet, int column, int row, const QString &text, int textFlag)
{
    CellOptions options;
    options.textFormat = textFlag == 1;
    return writeCell(application(), sheet, column, row, text, options);
}
} // namespace plain

namespace {
CellOptions formatting(int textFormat, int fitColumn, int bold)
{
    CellOptions options;
    options.textFormat = textFormat == 1;
    options.fitColumn = fitColumn == 1;
    options.bold = bold == 1;
    return options;
}
} // namespace

namespace tabel {
Application &application()
{
    static Application app;
    return app;
}
int OpenWorkbook(const QString &path, const QString &title)
{
    return openWorkbook(application(), path, title);
}
int SetVisible(bool visible)
{
    return setVisible(application(), visible);
}
int WriteCell(int sheet, int column, int row, const QString &text, int textFormat, int fitColumn,
              int bold)
{
    return writeCell(application(), sheet, column, row, text,
                     formatting(textFormat, fitColumn, bold));
}
} // namespace tabel

namespace piece {
int OpenWorkbook(const QString &path, Application &app, const QString &title)
{
    return openWorkbook(app, path, title);
}
int SetVisible(bool visible, Application &app)
{
    return setVisible(app, visible);
}
int WriteCell(int sheet, int column, int row, const QString &text, int textFormat, int fitColumn,
              int bold, Application &app)
{
    return writeCell(app, sheet, column, row, text, formatting(textFormat, fitColumn, bold));
}
} // namespace piece

} // namespace excel
