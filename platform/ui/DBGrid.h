#pragma once

#include "DatasetModel.h"

#include <QTableView>

namespace ui {

// A read-only grid over a dataset, whole rows selected, its current row kept in step
// with the dataset's current record both ways.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(const QString &name, QWidget *parent = nullptr);

    void setDataset(db::Dataset *ds);
    db::Dataset *dataset() const { return model_->dataset(); }
    void setColumns(const QVector<ColumnDef> &cols);
    DatasetModel *gridModel() const { return model_; }
    // Width of all visible columns, for windows fitted to their grid.
    int contentWidth() const;
    // The height of the totals row over the rows' foot; 0 without one.
    int totalsHeight() const;
    // The first n columns stay in place while the others scroll sideways (the name while
    // the days go by).
    void setFrozenColumns(int n);
    int frozenColumns() const { return frozen_; }
    // A line under the rows with the sums of the columns marked summed, "Итого" in the
    // first column; it follows the columns as they scroll and the records as they change.
    void setTotalsRow(bool on);
    bool hasTotalsRow() const { return totals_ != nullptr; }
    // The text the totals row shows under a column (empty where nothing is summed).
    QString totalText(int column) const;

signals:
    void rowDoubleClicked();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void updateGeometries() override;
    bool viewportEvent(QEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

private:
    void followDataset();
    void applyColumns();
    void placeOverlays();
    int frozenWidth() const;
    void recountTotals();

    DatasetModel *model_;
    QMetaObject::Connection conn_;
    bool syncing_ = false;
    int frozen_ = 0;
    QTableView *frozenView_ = nullptr;
    class TotalsRow *totals_ = nullptr;
    QVector<QString> totalTexts_;
};

} // namespace ui
