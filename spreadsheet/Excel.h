#pragma once

// Export of tables to a spreadsheet workbook.
//
// Every "Excel" button writes its table cell by cell through one export:
//
//     excel::Export book;
//     if (!book.open(QStringLiteral("Операции")))
//         return;                                  // both messages were shown already
//     book.write(1, 1, QStringLiteral("Марка"), excel::kText);
//     ...                                          // results need not be looked at
//     book.show();                                 // the workbook goes to the user
//
// open starts a new workbook (one sheet named for what it holds, cells counted from 1). write
// stores one text in a column and row: an empty text writes nothing; a numeric-looking text
// (digits, a sign, the user's decimal separator, non-breaking spaces between thousands as
// figures::money writes them) becomes a number unless the cell is of the text kind, which
// keeps it as typed ("0012"). A money cell shows its number with two decimals and grouped
// thousands. A cell may be bold and may fit its column to the longest text written
// there. show writes the workbook as a new .xlsx file with a readable unique name into the
// documents folder (documentsFolder()) and opens it with the desktop's program for the type.
// When nothing can show it, the user is told where the file is. Nothing is ever overwritten.
// Failures are shown through ui::messages(); an export goes on after a failed cell.

#include <QString>

#include <memory>

namespace excel {

class Workbook;

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

// How a cell takes its text.
enum class Kind {
    Value, // a numeric-looking text becomes a number, any other text stays text
    Text,  // kept as typed, in the text format
    Money, // as Value; a number shows two decimals and thousands apart ("#,##0.00")
};
enum class Font { Regular, Bold };
enum class Width {
    Kept, // the column keeps its width
    Fit,  // the column takes the width of the longest text written in it so far
};

// The options of one cell.
struct Cell {
    Kind kind = Kind::Value;
    Font font = Font::Regular;
    Width width = Width::Kept;
};

inline constexpr Cell kValue{};
inline constexpr Cell kText{Kind::Text};
inline constexpr Cell kMoney{Kind::Money};

// One export: a workbook filled and handed to the user. A new open replaces the workbook
// held before; one that was never shown leaves nothing behind.
class Export {
public:
    Export();
    ~Export();
    Export(const Export &) = delete;
    Export &operator=(const Export &) = delete;

    // The title names the file ("Операции 2024-05-01 10-15-00.xlsx") and, unless a sheet
    // name is given, the sheet (cut to the 31 characters a sheet name may have). False when
    // no workbook could be started (the user was told).
    bool open(const QString &title = QString(), const QString &sheet = QString());
    // One cell of the sheet; false when it could not be written (the user was told).
    bool write(int column, int row, const QString &text, const Cell &cell = kValue);
    // Writes the workbook and shows it; once shown, it takes no more cells and is not
    // written again. Without a workbook it does nothing.
    void show();
    bool isEmpty() const { return !book_; }

private:
    std::unique_ptr<Workbook> book_;
};

} // namespace excel
