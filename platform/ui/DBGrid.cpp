#include "DBGrid.h"

#include "db/Dataset.h"

#include "text/Figures.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace ui {

// The sums under the grid's columns, drawn where the columns stand.
class TotalsRow : public QWidget {
public:
    explicit TotalsRow(DBGrid *grid) : QWidget(grid), grid_(grid)
    {
        setObjectName(QStringLiteral("totalsRow"));
        setAccessibleName(QStringLiteral("Итого"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0xEE, 0xEE, 0xEE));
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, 0, width(), 0);
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(palette().color(QPalette::Text));
        const auto &cols = grid_->gridModel()->columns();
        const QHeaderView *header = grid_->horizontalHeader();
        int frozenX = 0;
        // The scrolling columns first, the frozen ones over them.
        for (int pass = 0; pass < 2; ++pass)
            for (int i = 0; i < cols.size(); ++i) {
                if (grid_->isColumnHidden(i) || (i < grid_->frozenColumns()) != (pass == 1))
                    continue;
                const int w = grid_->columnWidth(i);
                int x = header->sectionViewportPosition(i);
                if (pass == 1) {
                    x = frozenX;
                    frozenX += w;
                    p.fillRect(QRect(x, 1, w, height() - 1), QColor(0xEE, 0xEE, 0xEE));
                }
                const QString text = grid_->totalText(i);
                if (text.isEmpty())
                    continue;
                // A sum wider than its column (a day's hours of all workers) is written
                // smaller rather than cut.
                QFont f = bold;
                while (QFontMetrics(f).horizontalAdvance(text) > w - 4) {
                    if (f.pointSizeF() > 6)
                        f.setPointSizeF(f.pointSizeF() - 0.5);
                    else if (f.pointSizeF() <= 0 && f.pixelSize() > 8)
                        f.setPixelSize(f.pixelSize() - 1);
                    else
                        break;
                }
                p.setFont(f);
                p.drawText(QRect(x + 2, 0, w - 4, height()),
                           int(cols[i].align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, text);
            }
    }

private:
    DBGrid *grid_;
};

DBGrid::DBGrid(const QString &name, QWidget *parent)
    : QTableView(parent), model_(new DatasetModel(this))
{
    setObjectName(name);
    setAccessibleName(name);
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setWordWrap(false);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        applyColumns();
        followDataset();
        recountTotals();
    });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] { recountTotals(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { recountTotals(); });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { recountTotals(); });
}

void DBGrid::setFrozenColumns(int n)
{
    frozen_ = n;
    if (n > 0 && !frozenView_) {
        // A second view over the same rows and selection, showing only the frozen columns,
        // lies over the left edge of this one.
        frozenView_ = new QTableView(this);
        frozenView_->setObjectName(objectName() + QStringLiteral("Frozen"));
        frozenView_->setAccessibleName(accessibleName() + QStringLiteral(", закреплённые столбцы"));
        frozenView_->setModel(model_);
        frozenView_->setSelectionModel(selectionModel());
        frozenView_->setFocusPolicy(Qt::NoFocus);
        frozenView_->verticalHeader()->hide();
        frozenView_->verticalHeader()->setDefaultSectionSize(
            verticalHeader()->defaultSectionSize());
        frozenView_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        frozenView_->horizontalHeader()->setHighlightSections(false);
        frozenView_->setSelectionBehavior(QAbstractItemView::SelectRows);
        frozenView_->setSelectionMode(QAbstractItemView::SingleSelection);
        frozenView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        frozenView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        frozenView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        frozenView_->setVerticalScrollMode(verticalScrollMode());
        frozenView_->setWordWrap(false);
        frozenView_->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
        viewport()->stackUnder(frozenView_);
        connect(frozenView_->verticalScrollBar(), &QAbstractSlider::valueChanged,
                verticalScrollBar(), &QAbstractSlider::setValue);
        connect(verticalScrollBar(), &QAbstractSlider::valueChanged,
                frozenView_->verticalScrollBar(), &QAbstractSlider::setValue);
        connect(frozenView_, &QAbstractItemView::doubleClicked, this,
                [this] { emit rowDoubleClicked(); });
        connect(horizontalHeader(), &QHeaderView::sectionResized, this,
                [this](int section, int, int size) {
                    if (section < frozen_ && frozenView_) {
                        frozenView_->setColumnWidth(section, size);
                        placeOverlays();
                    }
                });
    }
    if (frozenView_)
        frozenView_->setVisible(n > 0);
    applyColumns();
}

void DBGrid::setTotalsRow(bool on)
{
    if (on && !totals_) {
        totals_ = new TotalsRow(this);
        connect(horizontalScrollBar(), &QAbstractSlider::valueChanged, totals_,
                qOverload<>(&QWidget::update));
        connect(horizontalHeader(), &QHeaderView::sectionResized, totals_,
                qOverload<>(&QWidget::update));
        totals_->show();
    } else if (!on && totals_) {
        delete totals_;
        totals_ = nullptr;
    }
    // The totals lie over the foot of the rows, which scroll up from under them by pixels (the
    // view keeps its margins to itself, so the room is made in the scrolling range instead).
    setVerticalScrollMode(on ? ScrollPerPixel : ScrollPerItem);
    if (frozenView_)
        frozenView_->setVerticalScrollMode(verticalScrollMode());
    recountTotals();
    updateGeometries();
}

QString DBGrid::totalText(int column) const
{
    return column >= 0 && column < totalTexts_.size() ? totalTexts_[column] : QString();
}

void DBGrid::recountTotals()
{
    const auto &cols = model_->columns();
    totalTexts_ = QVector<QString>(cols.size());
    db::Dataset *ds = dataset();
    if (!totals_)
        return;
    if (!cols.isEmpty())
        totalTexts_[0] = QStringLiteral("Итого");
    if (ds && ds->isActive()) {
        for (int c = 1; c < cols.size(); ++c) {
            if (!cols[c].summed || !ds->hasField(cols[c].field))
                continue;
            double sum = 0;
            bool any = false; // a column of empty cells (a day nobody worked) adds up to nothing
            for (int r = 0; r < ds->recordCount(); ++r) {
                const std::optional<double> v = figures::toNumber(ds->valueAt(r, cols[c].field));
                any = any || v.has_value();
                sum += v.value_or(0);
            }
            if (!any)
                continue;
            totalTexts_[c] = cols[c].figure == Figure::Money ? figures::money(sum)
                             : cols[c].decimals >= 0 ? figures::number(sum, cols[c].decimals)
                                                     : figures::quantity(sum);
        }
    }
    totals_->update();
}

int DBGrid::frozenWidth() const
{
    int w = 0;
    for (int i = 0; i < frozen_; ++i)
        if (!isColumnHidden(i))
            w += columnWidth(i);
    return w;
}

void DBGrid::placeOverlays()
{
    const QRect vp = viewport()->geometry();
    const int foot = totalsHeight();
    if (frozenView_ && frozen_ > 0)
        frozenView_->setGeometry(vp.left(), frameWidth(), frozenWidth(),
                                 vp.bottom() - frameWidth() + 1 - foot);
    if (totals_)
        totals_->setGeometry(vp.left(), vp.bottom() + 1 - foot, vp.width(), foot);
}

void DBGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    placeOverlays();
}

int DBGrid::totalsHeight() const
{
    return totals_ ? verticalHeader()->defaultSectionSize() + 2 : 0;
}

void DBGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (totals_) {
        // The last row can scroll above the totals.
        const int room = qMax(0, viewport()->height() - totalsHeight());
        QScrollBar *rows = verticalScrollBar();
        rows->setPageStep(room);
        rows->setRange(0, qMax(0, verticalHeader()->length() - room));
    }
    placeOverlays();
}

// The viewport moves and shrinks without the grid being resized (a scroll bar that comes
// with the rows): the frozen columns and the totals follow it.
bool DBGrid::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
        placeOverlays();
    return QTableView::viewportEvent(event);
}

// Moving sideways with the keys keeps the cell in sight beside the frozen columns.
QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    if (frozen_ > 0 && action == MoveLeft && current.column() >= frozen_) {
        const int x = visualRect(current).topLeft().x();
        if (x < frozenWidth())
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() + x - frozenWidth());
    }
    return current;
}

void DBGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // A frozen column is always in sight: only the rows scroll to it.
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (index.column() < frozen_)
        horizontalScrollBar()->setValue(sideways);
    // A row is not in sight under the totals.
    const int hidden = visualRect(index).bottom() + 1 - (viewport()->height() - totalsHeight());
    if (totals_ && index.isValid() && hidden > 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + hidden);
}

void DBGrid::setDataset(db::Dataset *ds)
{
    // Rows opened for later are read now, not while the grid is being drawn.
    if (ds)
        ds->settle();
    if (conn_)
        disconnect(conn_);
    model_->setDataset(ds);
    if (ds)
        conn_ = connect(ds, &db::Dataset::currentChanged, this, &DBGrid::followDataset);
    followDataset();
}

void DBGrid::setColumns(const QVector<ColumnDef> &cols)
{
    model_->setColumns(cols);
    applyColumns();
}

void DBGrid::applyColumns()
{
    const auto &cols = model_->columns();
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics titles(bold);
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000"));
    for (int i = 0; i < cols.size(); ++i) {
        // The given width, or what the title (and a date) needs in this screen's font.
        int width = qMax(cols[i].width, titles.horizontalAdvance(cols[i].title) + 12);
        if (cols[i].dateOnly)
            width = qMax(width, dateWidth + 12);
        setColumnWidth(i, width);
        setColumnHidden(i, !cols[i].visible);
        if (frozenView_) {
            frozenView_->setColumnWidth(i, width);
            frozenView_->setColumnHidden(i, i >= frozen_ || !cols[i].visible);
        }
    }
    if (frozenView_) {
        frozenView_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
        frozenView_->setFont(font());
    }
    placeOverlays();
    recountTotals();
}

int DBGrid::contentWidth() const
{
    int w = 0;
    const auto &cols = model_->columns();
    for (int i = 0; i < cols.size(); ++i)
        if (!isColumnHidden(i))
            w += columnWidth(i);
    return w;
}

void DBGrid::followDataset()
{
    db::Dataset *ds = dataset();
    if (syncing_ || !ds)
        return;
    syncing_ = true;
    if (ds->isEmpty()) {
        clearSelection();
    } else {
        const int row = ds->recNo() - 1;
        const QModelIndex idx = model_->index(row, qMax(0, currentIndex().column()));
        setCurrentIndex(idx);
        selectRow(row);
        scrollTo(idx);
    }
    syncing_ = false;
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    db::Dataset *ds = dataset();
    if (syncing_ || !ds || !current.isValid())
        return;
    if (current.row() + 1 != ds->recNo()) {
        syncing_ = true;
        ds->setRecNo(current.row() + 1);
        syncing_ = false;
    }
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        emit rowDoubleClicked();
}

} // namespace ui
