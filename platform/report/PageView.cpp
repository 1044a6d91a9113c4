#include "PageView.h"

#include "Report.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace report {

namespace {
constexpr int kGap = 12;          // pixels around and between the pages
constexpr double kMinScale = 0.5; // pixels per millimetre: a page about 100 pixels wide
constexpr double kMaxScale = 40;  // about 1,000 dpi
// Pages held drawn for scrolling back and forth, by size: at the usual zoom a dozen pages.
// A page larger than a quarter of it (zoomed far in) is drawn straight onto the screen,
// the part in sight only, and not kept.
constexpr int kPicturesKb = 64 * 1024;
} // namespace

PageView::PageView(const Report &report, QWidget *parent)
    : QAbstractScrollArea(parent), report_(report),
      paperMm_(report.def().page.width(), report.def().page.height()), pictures_(kPicturesKb)
{
    setFocusPolicy(Qt::StrongFocus);
    // Always there, so that fitting the width does not make it come and go.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
    // Scrolled by the user: the current page is the one under the middle of the view.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (steering_)
            return;
        current_ = pageInMiddle();
        emit currentPageChanged();
    });
    fitToWidth();
}

int PageView::pageCount() const
{
    return report_.pageCount();
}

QSize PageView::pagePixels() const
{
    return QSize(qRound(paperMm_.width() * scale_), qRound(paperMm_.height() * scale_));
}

int PageView::pageStride() const
{
    return pagePixels().height() + kGap;
}

int PageView::pageInMiddle() const
{
    if (pageCount() == 0)
        return 0;
    const int middle = verticalScrollBar()->value() + viewport()->height() / 2 - kGap;
    return std::clamp(middle / pageStride() + 1, 1, pageCount());
}

int PageView::currentPage() const
{
    return pageCount() == 0 ? 0 : current_;
}

void PageView::scrollTo(int page, double into)
{
    // The page asked for stays the current one even where the view cannot bring it to its
    // top (the last pages, or all of them in sight at once).
    current_ = page;
    steering_ = true;
    verticalScrollBar()->setValue((page - 1) * pageStride() + qRound(into * pageStride()));
    steering_ = false;
    viewport()->update();
    emit currentPageChanged();
}

void PageView::setCurrentPage(int page)
{
    if (pageCount() > 0)
        scrollTo(std::clamp(page, 1, pageCount()), 0);
}

void PageView::setScale(double scale, Fit fit)
{
    const int page = currentPage();
    // The part of the current page at the top of the view stays there.
    const double into = pageCount()
                            ? double(verticalScrollBar()->value() - (page - 1) * pageStride()) /
                                  std::max(1, pageStride())
                            : 0;
    scale_ = std::clamp(scale, kMinScale, kMaxScale);
    fit_ = fit;
    pictures_.clear();
    updateScrollBars();
    if (page > 0)
        scrollTo(page, into);
    viewport()->update();
}

void PageView::zoomIn(double factor)
{
    setScale(scale_ * factor, Fit::None);
}

void PageView::zoomOut(double factor)
{
    setScale(scale_ / factor, Fit::None);
}

void PageView::fitToWidth()
{
    const int room = viewport()->width() - 2 * kGap;
    setScale(std::max(1, room) / paperMm_.width(), Fit::Width);
}

void PageView::fitInView()
{
    const double w = (viewport()->width() - 2 * kGap) / paperMm_.width();
    const double h = (viewport()->height() - 2 * kGap) / paperMm_.height();
    setScale(std::min(w, h), Fit::Page);
}

void PageView::updateScrollBars()
{
    const QSize page = pagePixels();
    const int width = page.width() + 2 * kGap;
    const int height = pageCount() * pageStride() + kGap;
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, width - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
    verticalScrollBar()->setPageStep(view.height());
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (fit_ == Fit::Width)
        fitToWidth();
    else if (fit_ == Fit::Page)
        fitInView();
    else
        updateScrollBars();
}

void PageView::scrollContentsBy(int, int)
{
    viewport()->update();
}

const QPixmap *PageView::pagePicture(int index)
{
    if (QPixmap *kept = pictures_.object(index))
        return kept;
    const qreal dpr = devicePixelRatioF();
    const QSize size = pagePixels() * dpr;
    const qint64 kb = qint64(size.width()) * size.height() * 4 / 1024 + 1;
    if (kb > kPicturesKb / 4)
        return nullptr;
    auto *picture = new QPixmap(size);
    picture->setDevicePixelRatio(dpr);
    picture->fill(Qt::white);
    QPainter p(picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    report_.paintPage(p, index, scale_);
    p.end();
    ++drawn_;
    pictures_.insert(index, picture, int(kb));
    return picture;
}

void PageView::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    if (pageCount() == 0)
        return;
    const QSize page = pagePixels();
    const int left =
        std::max(kGap, (viewport()->width() - page.width()) / 2) - horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    const int first = std::max(0, (top - kGap) / pageStride());
    const int last = std::min(pageCount() - 1, (top + viewport()->height()) / pageStride());
    for (int i = first; i <= last; ++i) {
        const QRect r(QPoint(left, kGap + i * pageStride() - top), page);
        p.fillRect(r.translated(3, 3), QColor(0, 0, 0, 60));
        if (const QPixmap *picture = pagePicture(i)) {
            p.drawPixmap(r.topLeft(), *picture);
            continue;
        }
        p.fillRect(r, Qt::white);
        p.save();
        p.setClipRect(r.intersected(viewport()->rect()));
        p.translate(r.topLeft());
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        report_.paintPage(p, i, scale_);
        p.restore();
        ++drawn_;
    }
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Home:
        setCurrentPage(1);
        break;
    case Qt::Key_End:
        setCurrentPage(pageCount());
        break;
    case Qt::Key_PageDown:
        if (event->modifiers() & Qt::ControlModifier)
            setCurrentPage(currentPage() + 1);
        else
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_PageUp:
        if (event->modifiers() & Qt::ControlModifier)
            setCurrentPage(currentPage() - 1);
        else
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_Plus:
        zoomIn(1.25);
        break;
    case Qt::Key_Minus:
        zoomOut(1.25);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void PageView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps > 0)
            zoomIn(std::pow(1.1, steps));
        else if (steps < 0)
            zoomOut(std::pow(1.1, -steps));
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

} // namespace report
