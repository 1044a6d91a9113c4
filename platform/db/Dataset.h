#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "Filter.h"
#include "Statement.h"
#include "Values.h"

namespace db {

// A query whose result is read whole and can be walked both ways: statement text with
// :name parameters, a current record, fields by name, a record filter on the loaded rows,
// and (when an update table is named) insert, change and delete of rows of that table.
class Dataset : public QObject {
    Q_OBJECT
public:
    explicit Dataset(const QString &name = QString(), QObject *parent = nullptr);

    void setSql(const QString &sql);
    const QString &sql() const { return sql_; }
    // Parameters are matched to the statement's :name placeholders ignoring case.
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;

    void open();
    // Opens the query with its parameters as they are now and reads its rows the first time
    // anything asks for them (or at settle()): a list that may never be looked at costs
    // nothing. An error of the statement comes from that first use.
    void openLater();
    // Reads the rows of a query opened for later; nothing when they are read already.
    void settle();
    bool isSettled() const { return !pending_; }
    void close();
    void reopen();
    bool isActive() const { return active_; }

    // Navigation over the visible (filtered) rows; record numbers start at 1.
    int recordCount() const
    {
        settled();
        return visible_.size();
    }
    bool isEmpty() const
    {
        settled();
        return visible_.isEmpty();
    }
    int recNo() const
    {
        settled();
        return cur_ + 1;
    }
    void setRecNo(int recNo);
    void first();
    void last();
    void next();
    void prior();
    bool eof() const
    {
        settled();
        return eof_;
    }
    bool bof() const
    {
        settled();
        return bof_;
    }
    bool locate(const QString &field, const QVariant &value);

    // Fields of the current row. A missing field name is an error; on an empty
    // result every field reads as null.
    bool hasField(const QString &name) const;
    QVariant value(const QString &field) const;
    bool isNull(const QString &field) const { return value(field).isNull(); }
    QString asString(const QString &field) const;
    int asInteger(const QString &field) const;
    double asFloat(const QString &field) const;
    QDate asDate(const QString &field) const;
    // Field of the visible row at index (0-based), for grids.
    QVariant valueAt(int row, const QString &field) const;
    static QString displayText(const QVariant &value) { return db::displayText(value); }

    // Record filter (see Filter.h). It stays set across close and open until changed.
    void setFilter(const QString &expression);
    const QString &filter() const { return filterText_; }
    void setFiltered(bool on);
    bool isFiltered() const { return filtered_; }

    // Editing a one-table result.
    void setUpdateTable(const QString &table, const QString &keyField);
    void append();
    void edit();
    void setValue(const QString &field, const QVariant &value);
    void post();
    void cancel();
    void deleteCurrent();

signals:
    void changed();        // rows or their visibility changed
    void currentChanged(); // the current record moved

private:
    enum class EditMode { None, Insert, Edit };

    void load(const QHash<QString, QVariant> &params);
    void settled() const
    {
        if (pending_)
            const_cast<Dataset *>(this)->settle();
    }
    int fieldIndex(const QString &name) const;
    void applyFilter(bool keepPosition);
    void parseFilter();
    void setCurrent(int index);
    void loadRow(const QSqlQuery &q, QVector<QVariant> &row) const;

    QString sql_;
    QHash<QString, QVariant> params_;
    bool active_ = false;
    bool pending_ = false; // opened for later, rows not read yet
    QHash<QString, QVariant> pendingParams_;
    QStringList names_;
    QHash<QString, int> index_;
    QVector<QVector<QVariant>> rows_;
    QVector<int> visible_;
    int cur_ = -1;
    bool eof_ = true;
    bool bof_ = true;

    QString filterText_;
    bool filtered_ = false;
    QVector<FilterCondition> conditions_;
    bool conditionsParsed_ = false;

    QString updateTable_;
    QString keyField_;
    EditMode editMode_ = EditMode::None;
    QVector<QVariant> buffer_;
    QVector<bool> touched_;
};

} // namespace db
