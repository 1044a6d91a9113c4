#include "Excel.h"

#include "text/Figures.h"
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
    // The workbook is written: news, not an error.
    ui::showInformation(QStringLiteral("Книга Excel записана в файл\n%1\n"
                                       "На этом компьютере нет программы, которая может её "
                                       "показать.")
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

// Digits grouped by figures::money: "1 234,50" with non-breaking spaces.
QString ungrouped(QString text)
{
    if (text.size() > 4 && (text.contains(QChar(0x00A0)) || text.contains(QChar(0x202F)))) {
        text.remove(QChar(0x00A0));
        text.remove(QChar(0x202F));
    }
    return text;
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
bool isNumber(const QString &shown, QChar separator, double *value)
{
    const QString text = ungrouped(shown);
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

// A sheet name as a workbook takes it: none of []:*?/\\, at most 31 characters, not empty.
QString sheetName(QString name)
{
    static const QString bad = QStringLiteral("[]:*?/\\");
    for (QChar &c : name)
        if (bad.contains(c) || c.unicode() < 32)
            c = QLatin1Char(' ');
    name = name.simplified().left(31).trimmed();
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Лист1") : name;
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
    lxw_format *format(Kind kind, bool bold)
    {
        if (kind == Kind::Value && !bold)
            return nullptr;
        lxw_format *&f = formats[int(kind) * 2 + (bold ? 1 : 0)];
        if (!f) {
            f = workbook_add_format(book);
            if (kind == Kind::Text)
                format_set_num_format(f, "@");
            else if (kind == Kind::Money)
                format_set_num_format(f, "#,##0.00");
            if (bold)
                format_set_bold(f);
        }
        return f;
    }

    lxw_workbook *book = nullptr;
    lxw_worksheet *sheet = nullptr;
    lxw_format *formats[6] = {}; // by kind and boldness
    std::vector<Column> columns;
    QChar separator; // the user's decimal separator when the workbook was opened
    QString title;
    QString tempPath;
    QString writtenPath;
    bool finished = false;
};

Export::Export() = default;
Export::~Export() = default;

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

bool Export::open(const QString &title, const QString &sheet)
{
    // A new workbook replaces the one held before; one that was never shown goes with it.
    book_.reset();
    const QString folder = documentsFolder();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable()) {
        ui::showError(QStringLiteral("Невозможно открыть Microsoft Excel."));
        ui::showError(QStringLiteral("Ошибка открытия файла Microsoft Excel."));
        return false;
    }
    auto wb = std::make_unique<Workbook>();
    wb->title = safeFileName(title);
    wb->separator = QLocale().decimalPoint().at(0);
    wb->tempPath = QDir(folder).filePath(
        QStringLiteral(".~%1.xlsx").arg(QUuid::createUuid().toString(QUuid::Id128)));
    wb->book = workbook_new(QFile::encodeName(wb->tempPath).constData());
    const QByteArray name = sheetName(sheet.isEmpty() ? title : sheet).toUtf8();
    wb->sheet = wb->book ? workbook_add_worksheet(wb->book, name.constData()) : nullptr;
    if (!wb->sheet) {
        ui::showError(QStringLiteral("Ошибка открытия файла Microsoft Excel."));
        return false;
    }
    book_ = std::move(wb);
    return true;
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

void Export::show()
{
    if (book_ && !book_->finished)
        finish(*book_);
}

bool Export::write(int column, int row, const QString &text, const Cell &cell)
{
    if (text.isEmpty())
        return true;
    Workbook *wb = book_.get();
    const int sheet = 1;
    if (!wb) {
        cellError(QStringLiteral("Ошибочный номер листа Microsoft Excel"), sheet, column, row);
        return false;
    }
    if (wb->finished || row < 1 || row > maxRows || column < 1 || column > maxColumns) {
        cellError(QStringLiteral("Ошибка Microsoft Excel"), sheet, column, row);
        return false;
    }
    const bool asText = cell.kind == Kind::Text;
    const bool bold = cell.font == Font::Bold;
    const lxw_row_t r = lxw_row_t(row - 1);
    const lxw_col_t c = lxw_col_t(column - 1);
    lxw_format *format = wb->format(cell.kind, bold);
    lxw_error result;
    double number = 0;
    bool isMoney = false;
    if (!asText && isNumber(text, wb->separator, &number)) {
        isMoney = cell.kind == Kind::Money;
        result = worksheet_write_number(wb->sheet, r, c, number, format);
    } else {
        result = worksheet_write_string(wb->sheet, r, c, text.toUtf8().constData(), format);
    }
    if (result != LXW_NO_ERROR) {
        cellError(QStringLiteral("Ошибка Microsoft Excel"), sheet, column, row);
        return false;
    }
    if (wb->columns.size() <= c)
        wb->columns.resize(c + 1);
    Workbook::Column &col = wb->columns[c];
    // A money number is as wide as it shows: grouped, with its two decimals.
    const int chars = int(isMoney ? figures::money(number).size() : text.size());
    if (chars > col.longest || (chars == col.longest && bold)) {
        col.longest = chars;
        col.longestBold = bold;
    }
    if (cell.width == Width::Fit)
        col.fitted = fittedWidth(col.longest, col.longestBold);
    return true;
}

} // namespace excel
