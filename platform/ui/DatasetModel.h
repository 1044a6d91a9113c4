#pragma once

#include "db/Dataset.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QVector>
#include <functional>
#include <optional>

namespace db {
class Dataset;
}

namespace ui {

// How a column shows its numbers (figures::money, figures::quantity).
enum class Figure {
    AsComes,  // as the value comes, or with the column's fixed decimals
    Money,    // two decimals, thousands apart
    Quantity, // pieces and hours: no decimals when whole, thousands apart
    Accepted, // an acceptance mark: "ok" or "да" shown "да", any other mark "нет"
};

// One column of a grid over a dataset.
struct ColumnDef {
    QString field;
    QString title;
    int width = 64; // the standard column width
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool visible = true;
    int decimals = -1;      // fixed decimals for numbers; -1: as the value comes
    bool dateOnly = false;  // a date-time shown by its date
    QColor titleColor = {}; // colour of the title text; invalid: the standard one
    Figure figure = Figure::AsComes;
    bool summed = false; // added up in the grid's totals row
};

// How one cell is drawn, when it is not drawn the standard way.
struct CellStyle {
    std::optional<QBrush> foreground;
    std::optional<QBrush> background;
    std::optional<QFont> font;
};

using CellStyler =
    std::function<void(const db::Dataset &ds, int row, const ColumnDef &col, CellStyle &style)>;

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(QObject *parent = nullptr);

    void setDataset(db::Dataset *ds);
    db::Dataset *dataset() const { return ds_; }
    void setColumns(const QVector<ColumnDef> &cols);
    const QVector<ColumnDef> &columns() const { return cols_; }
    void setStyler(CellStyler styler) { styler_ = std::move(styler); }
    void setTitleStyle(bool bold, Qt::Alignment align);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The text a cell shows.
    QString cellText(int row, int column) const;

private:
    QPointer<db::Dataset> ds_;
    QVector<ColumnDef> cols_;
    CellStyler styler_;
    bool titleBold_ = false;
    Qt::Alignment titleAlign_ = Qt::AlignLeft | Qt::AlignVCenter;
    QMetaObject::Connection conn_;
};

} // namespace ui
