// Painting prepared pages: the same primitives scaled to whatever device shows them.
#include "Preview.h"
#include "Report.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

namespace report {

namespace {

constexpr double kPointMm = 25.4 / 72.0;
constexpr double kPadMm = 0.6; // text kept off the edges of its box

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
            QFont f(item.font.family);
            f.setPixelSize(std::max(1, qRound(item.font.size * kPointMm * scale)));
            f.setBold(item.font.bold);
            p.setFont(f);
            p.setPen(item.color);
            int flags = Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine;
            flags |= item.align == Align::Center  ? Qt::AlignHCenter
                     : item.align == Align::Right ? Qt::AlignRight
                                                  : Qt::AlignLeft;
            p.drawText(px(item.rect.adjusted(kPadMm, 0, -kPadMm, 0)), flags, item.text);
            break;
        }
        }
    }
}

} // namespace

void Report::paint(QPagedPaintDevice *device, int fromPage, int toPage) const
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
        return;
    const double scale = device->logicalDpiX() / 25.4;
    const int first = fromPage > 0 ? fromPage - 1 : 0;
    const int last = toPage > 0 ? std::min<int>(toPage, pages_.size()) : pages_.size();
    for (int i = first; i < last; ++i) {
        if (i > first)
            device->newPage();
        drawPage(p, pages_[i], scale);
    }
    p.end();
}

void Report::print(QPrinter *printer) const
{
    paint(printer);
}

bool Report::writePdf(const QString &path) const
{
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setCreator(QStringLiteral("tabel"));
    paint(&writer);
    return QFile::exists(path);
}

void Report::preview(QWidget *parent) const
{
    PreviewWindow w(*this, parent);
    w.exec();
}

} // namespace report
