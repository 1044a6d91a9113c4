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

signals:
    void rowDoubleClicked();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void followDataset();
    void applyColumns();

    DatasetModel *model_;
    QMetaObject::Connection conn_;
    bool syncing_ = false;
};

} // namespace ui
