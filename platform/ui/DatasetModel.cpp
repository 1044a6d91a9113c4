#include "DatasetModel.h"

#include "db/Dataset.h"

#include "text/Figures.h"

#include <QLocale>

namespace ui {

DatasetModel::DatasetModel(QObject *parent) : QAbstractTableModel(parent) {}

void DatasetModel::setDataset(db::Dataset *ds)
{
    beginResetModel();
    if (conn_)
        disconnect(conn_);
    ds_ = ds;
    if (ds)
        conn_ = connect(ds, &db::Dataset::changed, this, [this] {
            beginResetModel();
            endResetModel();
        });
    endResetModel();
}

void DatasetModel::setColumns(const QVector<ColumnDef> &cols)
{
    beginResetModel();
    cols_ = cols;
    endResetModel();
}

void DatasetModel::setTitleStyle(bool bold, Qt::Alignment align)
{
    titleBold_ = bold;
    titleAlign_ = align;
    emit headerDataChanged(Qt::Horizontal, 0, cols_.size() - 1);
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return (parent.isValid() || !ds_) ? 0 : ds_->recordCount();
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cols_.size();
}

QString DatasetModel::cellText(int row, int column) const
{
    if (!ds_ || column < 0 || column >= cols_.size() || !ds_->hasField(cols_[column].field))
        return QString();
    const QVariant v = ds_->valueAt(row, cols_[column].field);
    switch (cols_[column].figure) {
    case Figure::Money:
        return figures::money(v);
    case Figure::Quantity:
        return figures::quantity(v);
    case Figure::Accepted: {
        const QString mark = v.toString().trimmed();
        if (mark.isEmpty())
            return QString();
        return mark == QLatin1String("ok") || mark == QStringLiteral("да") ? QStringLiteral("да")
                                                                           : QStringLiteral("нет");
    }
    case Figure::AsComes:
        break;
    }
    if (cols_[column].decimals >= 0 && !v.isNull())
        return QLocale().toString(v.toDouble(), 'f', cols_[column].decimals);
    if (cols_[column].dateOnly && v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date().toString(QStringLiteral("dd.MM.yyyy"));
    QString text = db::Dataset::displayText(v);
    // Blank-padded text columns: the padding is not part of what is shown.
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !ds_)
        return QVariant();
    const ColumnDef &col = cols_[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(col.align);
    case Qt::ForegroundRole:
    case Qt::BackgroundRole:
    case Qt::FontRole: {
        if (!styler_)
            return QVariant();
        CellStyle style;
        styler_(*ds_, index.row(), col, style);
        if (role == Qt::ForegroundRole && style.foreground)
            return *style.foreground;
        if (role == Qt::BackgroundRole && style.background)
            return *style.background;
        if (role == Qt::FontRole && style.font)
            return *style.font;
        return QVariant();
    }
    default:
        return QVariant();
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || section < 0 || section >= cols_.size())
        return QAbstractTableModel::headerData(section, o, role);
    switch (role) {
    case Qt::DisplayRole:
        return cols_[section].title;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(titleAlign_);
    case Qt::FontRole:
        if (titleBold_) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return QVariant();
    case Qt::ForegroundRole:
        if (cols_[section].titleColor.isValid())
            return QBrush(cols_[section].titleColor);
        return QVariant();
    default:
        return QVariant();
    }
}

} // namespace ui
