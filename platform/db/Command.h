#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

namespace db {

// A statement without a result, run on the program's connection and committed on its own.
class Command {
public:
    Command() = default;
    explicit Command(const QString &sql) : sql_(sql) {}
    void setSql(const QString &sql) { sql_ = sql; }
    const QString &sql() const { return sql_; }
    void setParam(const QString &name, const QVariant &value);
    // Returns the number of rows the statement touched.
    int execute();
    // For a statement aimed at one row: throws RowChanged when it changed no row.
    void executeOne();

private:
    QString sql_;
    QHash<QString, QVariant> params_;
};

} // namespace db
