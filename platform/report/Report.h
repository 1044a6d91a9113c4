#pragma once

#include "ReportDef.h"
#include "Source.h"

#include <QDate>
#include <QRectF>
#include <QStringList>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QWidget;

namespace report {

// One thing drawn on a page, in millimetres from the paper's top left corner.
struct Primitive {
    enum Kind { Text, Fill, Line };
    Kind kind = Text;
    QRectF rect; // Line: from rect.topLeft() to rect.bottomRight()
    QString text;
    Font font;
    Align align = Align::Left;
    QColor color = Qt::black; // text, fill or line colour
    QString band;             // the band it belongs to
};

struct Page {
    int number = 0;
    QVector<Primitive> items;
    // The texts of the page top to bottom, left to right on a line.
    QStringList texts() const;
    // The first text item equal to text, or nullptr.
    const Primitive *find(const QString &text) const;
};

// Texts are measured and drawn with the same scalable font, so that what fits when the
// pages are laid out fits in the preview, on paper and in a PDF alike.
constexpr double kTextPadMm = 0.6; // text kept off the left and right edges of its box
double textWidth(const QString &text, const Font &font); // mm
double textHeight(const Font &font);                     // mm, ascent and descent
// The text as it will be drawn in a box of width x height mm: its font shrunk (not below
// kMinFontSize) until it fits, and then cut with an ellipsis when it still does not.
struct FittedText {
    QString text;
    Font font;
};
FittedText fitText(const QString &text, const Font &font, double width, double height);
// Where the text of a primitive lands on the paper.
QRectF textExtent(const Primitive &text);

class Layout;

class Report {
public:
    explicit Report(ReportDef def = ReportDef());
    ~Report();

    ReportDef &def() { return def_; }
    const ReportDef &def() const { return def_; }
    void setSource(std::shared_ptr<Source> source) { source_ = std::move(source); }
    // Sets the text of the named label; false when there is none.
    bool setLabel(const QString &name, const QString &text);
    QString labelText(const QString &name) const;

    // Laid out on demand, prepare() only counts the pages and notes where each band stands;
    // a page gets its texts when it is first shown, printed or asked for. For a report of
    // thousands of pages whose source stays as it is until the report is cleared; a report
    // with sums is laid out at once all the same.
    void setLaidOutOnDemand(bool on) { onDemand_ = on; }

    // Walks the source's records into pages. Throws std::runtime_error for an expression
    // that does not parse or names a field the source lacks.
    void prepare();
    int pageCount() const;
    // One page (0-based), laid out now if it was not.
    const Page &page(int index) const;
    // Every page, each laid out now if it was not.
    const QVector<Page> &pages() const;
    // Lets go of the pages and the records: a report of a thousand pages holds tens of
    // megabytes that nobody needs once its preview is closed.
    void clear();

    // Paints the prepared pages (from..to, 1-based; 0: all) on any paged device (a printer,
    // a PDF writer). False when the device could not be painted on.
    bool paint(QPagedPaintDevice *device, int fromPage = 0, int toPage = 0) const;
    // Paints one prepared page (0-based) at scale pixels per millimetre from the painter's
    // origin, the paper's top left corner.
    void paintPage(QPainter &painter, int index, double scale) const;
    // False, with the reason in error, when the file could not be written; an existing
    // file is then left as it was.
    bool writePdf(const QString &path, QString *error = nullptr) const;
    // What the document is called: the PDF's title and the file name proposed on saving
    // ("Отчет по рабочим 01.11.2026-30.11.2026").
    void setDocumentName(const QString &name) { documentName_ = name; }
    QString documentName() const { return documentName_; }
    // The day printed by PrintDate elements; unset: the day prepare() runs.
    void setPrintDate(const QDate &date) { printDate_ = date; }
    // The preview window, modal, with navigation, zoom, printing and "Save as PDF".
    void preview(QWidget *parent = nullptr) const;

private:
    ReportDef def_;
    std::shared_ptr<Source> source_;
    bool onDemand_ = false;
    std::shared_ptr<Layout> layout_; // laid out on demand: draws the pages not laid out yet
    mutable QVector<Page> pages_;
    mutable QVector<bool> laidOut_;
    // The page as laid out, or laid out into scratch without keeping it (printing thousands
    // of pages holds one at a time).
    const Page &pageToPaint(int index, Page &scratch) const;
    QString documentName_;
    QDate printDate_;
};

} // namespace report
