#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace db {
class Dataset;
}

namespace report {

// The records a report walks, read by row and field index.
class Source {
public:
    virtual ~Source() = default;
    // The name that qualifies field names in expressions ("t_Report.fio").
    virtual QString name() const = 0;
    virtual int rowCount() const = 0;
    // -1 when there is no such field; names compare ignoring case.
    virtual int fieldIndex(const QString &field) const = 0;
    virtual QVariant value(int row, int field) const = 0;
};

// The visible (filtered) rows of an open dataset.
class DatasetSource : public Source {
public:
    explicit DatasetSource(const db::Dataset *dataset) : ds_(dataset) {}
    QString name() const override;
    int rowCount() const override;
    int fieldIndex(const QString &field) const override;
    QVariant value(int row, int field) const override;

private:
    const db::Dataset *ds_;
    mutable QStringList fields_;
};

// Rows held in memory.
class TableSource : public Source {
public:
    TableSource(const QString &name, const QStringList &fields) : name_(name), fields_(fields) {}
    void addRow(const QVector<QVariant> &row) { rows_ << row; }
    QString name() const override { return name_; }
    int rowCount() const override { return rows_.size(); }
    int fieldIndex(const QString &field) const override;
    QVariant value(int row, int field) const override { return rows_.at(row).value(field); }

private:
    QString name_;
    QStringList fields_;
    QVector<QVector<QVariant>> rows_;
};

} // namespace report
