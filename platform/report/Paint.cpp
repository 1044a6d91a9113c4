// Painting prepared pages: the same primitives scaled to whatever device shows them.
#include "Preview.h"
#include "Report.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <memory>
#include <vector>

namespace report {

namespace {

constexpr double kPointMm = 25.4 / 72.0;
// Texts are shaped at this many pixels per millimetre (600 dpi) and scaled to the device.
constexpr double kShapePxPerMm = 600 / 25.4;

QFont shapingFont(const Font &font)
{
    QFont f(font.family);
    f.setPixelSize(std::max(1, qRound(font.size * kPointMm * kShapePxPerMm)));
    f.setBold(font.bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

// The fonts in use with their metrics and the widths of the texts measured in them, kept:
// a report of a thousand pages measures hundreds of thousands of texts in a handful of fonts,
// most of them names and figures that repeat.
struct MeasuredFont {
    Font font;
    QFontMetricsF metrics;
    QHash<QString, double> widths; // shaping pixels
};

constexpr int kWidthsKept = 50000; // per font; forgotten all at once when exceeded

MeasuredFont &measured(const Font &font)
{
    static std::vector<std::unique_ptr<MeasuredFont>> known;
    static MeasuredFont *last = nullptr;
    const auto same = [&font](const MeasuredFont &m) { return m.font == font; };
    if (last && same(*last))
        return *last;
    for (const auto &m : known)
        if (same(*m))
            return *(last = m.get());
    known.push_back(
        std::make_unique<MeasuredFont>(MeasuredFont{font, QFontMetricsF(shapingFont(font)), {}}));
    return *(last = known.back().get());
}

const QFontMetricsF &metrics(const Font &font)
{
    return measured(font).metrics;
}

double advance(const QString &text, const Font &font)
{
    MeasuredFont &m = measured(font);
    auto it = m.widths.constFind(text);
    if (it != m.widths.constEnd())
        return *it;
    if (m.widths.size() >= kWidthsKept)
        m.widths.clear();
    return *m.widths.insert(text, m.metrics.horizontalAdvance(text));
}

int textFlags(Align align)
{
    const int h = align == Align::Center  ? Qt::AlignHCenter
                  : align == Align::Right ? Qt::AlignRight
                                          : Qt::AlignLeft;
    return h | Qt::AlignVCenter | Qt::TextSingleLine;
}

void drawPage(QPainter &p, const Page &page, double scale)
{
    auto px = [scale](const QRectF &r) {
        return QRectF(r.left() * scale, r.top() * scale, r.width() * scale, r.height() * scale);
    };
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, 0.2 * scale));
    for (const Primitive &item : page.items) {
        switch (item.kind) {
        case Primitive::Fill:
            p.fillRect(px(item.rect), item.color);
            break;
        case Primitive::Line:
            pen.setColor(item.color);
            p.setPen(pen);
            p.drawLine(QPointF(item.rect.left() * scale, item.rect.top() * scale),
                       QPointF(item.rect.right() * scale, item.rect.bottom() * scale));
            break;
        case Primitive::Text: {
            // Drawn in shaping pixels under a scaled painter, clipped to the box whatever
            // the device does with the glyphs.
            const double k = kShapePxPerMm;
            const QRectF box = item.rect.adjusted(kTextPadMm, 0, -kTextPadMm, 0);
            const QRectF r(box.left() * k, box.top() * k, box.width() * k, box.height() * k);
            p.save();
            p.scale(scale / k, scale / k);
            p.setClipRect(QRectF(item.rect.left() * k, item.rect.top() * k, item.rect.width() * k,
                                 item.rect.height() * k));
            const QFont f = shapingFont(item.font);
            p.setFont(f);
            p.setPen(item.color);
            QString text = item.text;
            if (advance(text, item.font) > r.width())
                text = metrics(item.font).elidedText(text, Qt::ElideRight, r.width());
            p.drawText(r, textFlags(item.align), text);
            p.restore();
            break;
        }
        }
    }
}

} // namespace

double textWidth(const QString &text, const Font &font)
{
    return advance(text, font) / kShapePxPerMm;
}

double textHeight(const Font &font)
{
    const QFontMetricsF &m = metrics(font);
    return (m.ascent() + m.descent()) / kShapePxPerMm;
}

FittedText fitText(const QString &text, const Font &font, double width, double height)
{
    FittedText out{text, font};
    const double room = width - 2 * kTextPadMm;
    if (text.isEmpty() || room <= 0)
        return out;
    // Half a point at a time down to the floor, the floor itself included.
    while (out.font.size > kMinFontSize &&
           (textWidth(text, out.font) > room || textHeight(out.font) > height))
        out.font.size = std::max(kMinFontSize, out.font.size - 0.5);
    if (textWidth(text, out.font) > room)
        out.text = metrics(out.font).elidedText(text, Qt::ElideRight, room * kShapePxPerMm);
    return out;
}

QRectF textExtent(const Primitive &text)
{
    const QRectF box = text.rect.adjusted(kTextPadMm, 0, -kTextPadMm, 0);
    const double w = textWidth(text.text, text.font);
    const double h = textHeight(text.font);
    const double left = text.align == Align::Center  ? box.center().x() - w / 2
                        : text.align == Align::Right ? box.right() - w
                                                     : box.left();
    return QRectF(left, box.center().y() - h / 2, w, h);
}

bool Report::paint(QPagedPaintDevice *device, int fromPage, int toPage) const
{
    const PageSetup &s = def_.page;
    const QPageLayout layout(QPageSize(QPageSize::A4),
                             s.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    if (auto *printer = dynamic_cast<QPrinter *>(device))
        printer->setFullPage(true); // coordinates from the paper's corner
    device->setPageLayout(layout);
    QPainter p;
    if (!p.begin(device))
        return false;
    const double scale = device->logicalDpiX() / 25.4;
    const int first = fromPage > 0 ? fromPage - 1 : 0;
    const int last = toPage > 0 ? std::min<int>(toPage, pageCount()) : pageCount();
    Page scratch;
    for (int i = first; i < last; ++i) {
        if (i > first)
            device->newPage();
        drawPage(p, pageToPaint(i, scratch), scale);
    }
    return p.end();
}

void Report::paintPage(QPainter &painter, int index, double scale) const
{
    if (index >= 0 && index < pageCount())
        drawPage(painter, page(index), scale);
}

bool Report::writePdf(const QString &path, QString *error) const
{
    // Written aside and put in place only when complete: a failed write leaves the old
    // file as it was and is told as a failure.
    QSaveFile file(path);
    auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("tabel"));
        writer.setTitle(documentName_);
        if (!paint(&writer))
            return fail(QStringLiteral("страницы отчета не удалось нарисовать"));
    }
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

void Report::preview(QWidget *parent) const
{
    PreviewWindow w(*this, parent);
    w.exec();
}

} // namespace report
