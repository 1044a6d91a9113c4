#include "Source.h"

#include "db/Dataset.h"

namespace report {

namespace {
int find(const QStringList &names, const QString &name)
{
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
} // namespace

QString DatasetSource::name() const
{
    return ds_->objectName();
}

int DatasetSource::rowCount() const
{
    return ds_->isActive() ? ds_->recordCount() : 0;
}

int DatasetSource::fieldIndex(const QString &field) const
{
    if (!ds_->hasField(field))
        return -1;
    const int at = find(fields_, field);
    if (at >= 0)
        return at;
    fields_ << field;
    return fields_.size() - 1;
}

QVariant DatasetSource::value(int row, int field) const
{
    return ds_->valueAt(row, fields_.at(field));
}

int TableSource::fieldIndex(const QString &field) const
{
    return find(fields_, field);
}

} // namespace report
