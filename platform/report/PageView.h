#pragma once

#include <QAbstractScrollArea>
#include <QCache>
#include <QPixmap>

namespace report {

class Report;

// The prepared pages in one column, drawn as they come into sight: a report of a thousand
// pages opens as fast as one of a single page, and only the pages on screen (and a few
// recently seen, within a fixed amount of memory) are held as pictures.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Fit { None, Width, Page };

    explicit PageView(const Report &report, QWidget *parent = nullptr);

    int pageCount() const;
    // The page last gone to, or under the middle of the view once scrolled; 1-based.
    int currentPage() const;
    // Scrolls so that the page's top is at the top of the view.
    void setCurrentPage(int page);
    void zoomIn(double factor);
    void zoomOut(double factor);
    void fitToWidth();
    void fitInView();
    // Screen pixels per millimetre of paper.
    double scale() const { return scale_; }
    // How many times a page has been drawn since the view was made.
    int pagesDrawn() const { return drawn_; }

signals:
    void currentPageChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QSize pagePixels() const;
    int pageInMiddle() const;
    // Scrolls to the page, into (a fraction of a page) below its top, and makes it current.
    void scrollTo(int page, double into);
    int pageStride() const; // a page and the gap below it
    void setScale(double scale, Fit fit);
    void updateScrollBars();
    // The page drawn at the current zoom, kept for the next paint; nullptr when the page is
    // too large to keep.
    const QPixmap *pagePicture(int index);

    const Report &report_;
    QSizeF paperMm_;
    double scale_ = 1;
    Fit fit_ = Fit::Width;
    int drawn_ = 0;
    int current_ = 1;
    bool steering_ = false; // scrolling to a page asked for
    QCache<int, QPixmap> pictures_;
};

} // namespace report
