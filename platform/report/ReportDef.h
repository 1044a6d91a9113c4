#pragma once

// Banded reports: a report is plain data (ReportDef) bound to one record source (Source).
// Report::prepare() walks the records once and lays them out into pages of primitives
// positioned in millimetres; the pages are then painted as they are into the preview window,
// a printer or a PDF file, so that what is previewed is what is printed.
//
// Use:
//     report::ReportDef def;                      // A4 portrait, margins 10 mm, Arial 10 pt
//     def.page.landscape = true;
//     report::Band head = report::groupHeader("head", 6, QString(), "foot");  // report header
//     head.background = QColor(0xF4, 0xF4, 0xF4);
//     head.reprintOnNewPage = true;
//     head.elements << report::label("QRLabel1", 0, 120, "Title").bold();
//     report::Band byName = report::groupHeader("byName", 5.3, "fio", "byNameFoot");
//     byName.linkedBand = "byNameFoot";           // never alone at a page foot
//     report::Band detail = report::band(report::BandKind::Detail, "detail", 4.2);
//     detail.elements << report::field(0, 40, "fio")
//                     << report::expr(50, 30, "IF(n=0,'no','yes')")
//                     << report::field(90, 20,
//                     "summa").masked("#0.00").aligned(report::Align::Right);
//     report::Band byNameFoot = report::band(report::BandKind::GroupFooter, "byNameFoot", 5);
//     byNameFoot.elements << report::expr(90, 20, "sum(summa)").masked("#0.00").resetting();
//     def.bands << head << byName << detail << byNameFoot << foot
//               << report::band(report::BandKind::PageFooter, "pageFoot", 5);
//     report::Report rep(def);
//     rep.setSource(std::make_shared<report::DatasetSource>(dataset)); // or a TableSource
//     rep.setLabel("QRLabel1", "Report for ...");  // texts of labels may change before prepare
//     rep.prepare();                 // rep.pages(): texts, rectangles (mm), fills, lines
//     rep.preview(parentWidget);     // navigation, zoom, print dialog, "Save as PDF"
//     rep.writePdf("/tmp/x.pdf");    // the same pages without a window
//
// Bands are listed in any order, but for the group headers, which nest in the order they are
// listed, outermost first. What prints when follows from their kinds:
// - Title: once, first. Page footer: at the bottom of every page.
// - Group headers; each names its footer band. A header's
//   expression is evaluated on every record; when its value differs from the previous
//   record's, the footers of that group and of every group inside it print (innermost
//   first, with the values of the group's last record), then the headers of the new groups.
//   A header without an expression never changes: it prints before the first record, its
//   footer after the last, which makes them the report header and footer. They print also
//   for a source without records.
// - Detail: once per record.
// - A band's child band prints right after it; a header's linked band must fit below it at
//   a page foot, or the header moves to the next page. Headers marked reprintOnNewPage are
//   printed again at the top of each new page while their group is open.
// Elements: labels, data fields, expressions, the page number ("стр. N из M" as well) and the
// print date, each at a left offset
// with a width, with a font (the band's or the report's by default; bold() and sized()
// change only the weight or the size of that font), alignment, background,
// border lines and a number mask ("#0.00": two decimals, "#,##0.00" with thousands grouped,
// "#,##0.##" decimals only when not zero; see formatValue). Expressions: field names bare or
// qualified by the source's name
// ("t_Report.fio"), numbers, 'texts', + - * / = <> > < >= <=, IF(c, a, b), STR(n), sum(x),
// PAGENUMBER. Every sum() adds its argument over each detail record; an element marked
// resetting() starts its sums again from zero after it has printed (per-group totals),
// the others keep adding up over the whole report (grand totals), whatever the band's height.
// A text is measured with the font it is drawn in: one wider than its box shrinks down to
// kMinFontSize and is then cut with an ellipsis, so that no text leaves its box.
// A group header never ends a page: it needs room for itself, the headers of the groups
// inside it and the first detail line (and its linked band), or it moves to the next page.

#include <QColor>
#include <QString>
#include <QVector>
#include <optional>

namespace report {

constexpr double kMinFontSize = 7; // points: a text shrinks no further, it is cut instead

struct Font {
    QString family = QStringLiteral("Arial");
    double size = 10; // points
    bool bold = false;
    bool operator==(const Font &o) const
    {
        return family == o.family && size == o.size && bold == o.bold;
    }
};

enum class Align { Left, Center, Right };

// Edges of a band or an element that carry a line.
enum Edge { NoEdge = 0, TopEdge = 1, BottomEdge = 2, LeftEdge = 4, RightEdge = 8, AllEdges = 15 };

// PageOfPages prints "стр. N из M", PrintDate the day the report was laid out (dd.MM.yyyy).
enum class ElementKind { Label, Field, Expression, PageNumber, PageOfPages, PrintDate };

struct Element {
    ElementKind kind = ElementKind::Label;
    QString name; // optional, to find a label whose text the program sets
    double left = 0;
    double width = 0;
    double top = 0;
    double height = 0;        // 0: down to the band's bottom
    QString text;             // label text, field name or expression
    std::optional<Font> font; // the whole font; unset: the band's (or the report's)
    // Changes of the inherited font that name one thing only (bold(), sized()).
    std::optional<bool> boldness;
    std::optional<double> pointSize;
    Align align = Align::Left;
    QColor background;    // invalid: none
    int borders = NoEdge; // Edge flags
    QString mask;         // number mask
    bool resetAfterPrint = false;
    // Added to the text where the band is printed again at the top of a following page
    // (reprintOnNewPage): the group's name then reads "Иванов И.И. (продолжение)".
    QString continuation;

    Element &bold(bool on = true);
    Element &sized(double points);
    // The font the element is drawn in, given its band's.
    Font effectiveFont(const Font &inherited) const;
    Element &aligned(Align a)
    {
        align = a;
        return *this;
    }
    Element &masked(const QString &m)
    {
        mask = m;
        return *this;
    }
    Element &continued(const QString &suffix = QStringLiteral(" (продолжение)"))
    {
        continuation = suffix;
        return *this;
    }
    Element &resetting()
    {
        resetAfterPrint = true;
        return *this;
    }
    Element &filled(const QColor &c)
    {
        background = c;
        return *this;
    }
    Element &framed(int edges)
    {
        borders = edges;
        return *this;
    }
    Element &box(double topMm, double heightMm)
    {
        top = topMm;
        height = heightMm;
        return *this;
    }
};

enum class BandKind { Title, GroupHeader, Child, Detail, GroupFooter, PageFooter };

struct Band {
    BandKind kind = BandKind::Detail;
    QString name;
    double height = 0; // mm
    QColor background;
    int edges = NoEdge;
    std::optional<Font> font; // elements without a font of their own
    // Group headers only.
    QString expression;
    QString footer;
    bool reprintOnNewPage = false;
    // The group begins on a page of its own: its header goes to a new page once detail lines
    // or group footers stand on the current one (one statement or worker per page).
    bool startsPage = false;
    QString linkedBand;
    // Any band: printed right after this one.
    QString child;
    QVector<Element> elements;
};

struct PageSetup {
    bool landscape = false;
    double left = 10, top = 10, right = 10, bottom = 10; // margins, mm
    double width() const { return landscape ? 297 : 210; }
    double height() const { return landscape ? 210 : 297; }
};

struct ReportDef {
    PageSetup page;
    Font font;
    QVector<Band> bands;
    // Page numbers ("стр. N из M") count within each group that starts a page of its own
    // (startsPage): a worker's statement handed to him reads "стр. 1 из 2".
    bool pagesPerGroup = false;
};

// Shorthands for report definitions written in code.
Band band(BandKind kind, const QString &name, double height);
Band groupHeader(const QString &name, double height, const QString &expression,
                 const QString &footer);
Element label(const QString &name, double left, double width, const QString &text);
Element label(double left, double width, const QString &text);
Element field(double left, double width, const QString &fieldName);
Element expr(double left, double width, const QString &expression);
Element pageNumber(double left, double width);
Element pageOfPages(double left, double width); // "стр. 2 из 5"
Element printDate(double left, double width);   // "Дата печати: 11.12.2026"

} // namespace report
