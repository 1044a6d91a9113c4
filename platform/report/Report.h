#pragma once

#include "ReportDef.h"
#include "Source.h"

#include <QRectF>
#include <QStringList>
#include <memory>

class QPagedPaintDevice;
class QPrinter;
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

    // Walks the source's records into pages. Throws std::runtime_error for an expression
    // that does not parse or names a field the source lacks.
    void prepare();
    const QVector<Page> &pages() const { return pages_; }

    // Paints the prepared pages (from..to, 1-based; 0: all) on any paged device (a printer,
    // a PDF writer).
    void paint(QPagedPaintDevice *device, int fromPage = 0, int toPage = 0) const;
    void print(QPrinter *printer) const;
    bool writePdf(const QString &path) const;
    // The preview window, modal, with navigation, zoom, printing and "Save as PDF".
    void preview(QWidget *parent = nullptr) const;

private:
    ReportDef def_;
    std::shared_ptr<Source> source_;
    QVector<Page> pages_;
};

} // namespace report
