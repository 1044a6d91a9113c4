#pragma once

// Export of tables to a spreadsheet workbook.
//
// Every "Excel" button writes its table cell by cell through three calls:
//
//     if (excel::plain::OpenWorkbook(QString(), QStringLiteral("Операции")) == -1)
//         return;                                  // both messages were shown already
//     excel::plain::WriteCell(1, 1, 1, QStringLiteral("Марка"), 1);
//     ...                                          // results need not be looked at
//     excel::plain::SetVisible(true);              // the workbook goes to the user
//
// OpenWorkbook starts a new workbook (one sheet, cells counted from 1). WriteCell stores one
// text: an empty text writes nothing; a numeric-looking text (digits, a sign, the user's
// decimal separator) becomes a number unless the text format is asked for, which keeps it as
// typed ("0012"). SetVisible(false) keeps the workbook hidden while it is filled;
// SetVisible(true) writes it as a new .xlsx file with a readable unique name into the
// documents folder (documentsFolder()) and opens it with the desktop's program for the type.
// When nothing can show it, the user is told where the file is. Nothing is ever overwritten.
//
// The three instances differ only in their options and in who holds the workbook:
//  - plain: the text flag (1 for headers and names) asks for the text format; nothing else;
//  - tabel: text format, column fit and bold (bold 0 sets a regular font explicitly);
//  - piece: as tabel, with the workbook held by the caller in an excel::Application that
//    lives for one export.
// Failures are shown through ui::messages() and give -1; an export goes on after a failed
// cell.

#include <QString>

#include <memory>

namespace excel {

class Workbook;

// The workbook an instance works on; empty until OpenWorkbook succeeds.
class Application {
public:
    Application();
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;
    bool isEmpty() const { return !book_; }

private:
    friend struct Engine;
    std::unique_ptr<Workbook> book_;
};

// Shows a written workbook with the desktop's program for its type.
class Opener {
public:
    virtual ~Opener() = default;
    // false when nothing could show the file.
    virtual bool open(const QString &path) = 0;
};

// The opener in use (not owned); nullptr restores the desktop's one.
void setOpener(Opener *opener);
// Where workbooks are written; created when the first workbook is written.
QString documentsFolder();
// Replaces the folder (tests, or a site that keeps exports elsewhere); empty restores it.
void setDocumentsFolder(const QString &folder);

// The options of one cell, for the formatting instances and the benchmark.
struct CellOptions {
    bool textFormat = false;
    bool fitColumn = false;
    bool bold = false; // the plain instance never sets it
};

int openWorkbook(Application &app, const QString &path, const QString &title);
int setVisible(Application &app, bool visible);
int writeCell(Application &app, int sheet, int column, int row, const QString &text,
              const CellOptions &options);

// The file SetVisible(true) last wrote for this application (empty before); for tests.
QString lastFile(const Application &app);

namespace plain {
// The title names the file ("Операции 2024-05-01 10-15-00.xlsx").
int OpenWorkbook(const QString &path, const QString &title = QString());
int SetVisible(bool visible);
int WriteCell(int sheet, int column, int row, const QString &text, int textFlag);
Application &application();
} // namespace plain

namespace tabel {
int OpenWorkbook(const QString &path, const QString &title = QString());
int SetVisible(bool visible);
int WriteCell(int sheet, int column, int row, const QString &text, int textFormat, int fitColumn,
              int bold);
Application &application();
} // namespace tabel

namespace piece {
int OpenWorkbook(const QString &path, Application &app, const QString &title = QString());
int SetVisible(bool visible, Application &app);
int WriteCell(int sheet, int column, int row, const QString &text, int textFormat, int fitColumn,
              int bold, Application &app);
} // namespace piece

} // namespace excel
