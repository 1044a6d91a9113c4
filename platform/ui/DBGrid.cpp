#include "DBGrid.h"

#include "db/Dataset.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace ui {

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
    });
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
    }
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
