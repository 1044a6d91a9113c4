#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

namespace db {

// A record filter on rows already read: "field=value", "field<>value" (or "!="), "<", ">",
// "<=", ">=", and "field like 'pattern'" (optionally followed by "escape 'c'"), joined by
// "and". A value is a number or a quoted text with its quotes doubled inside.
struct FilterCondition {
    int field = -1; // the column
    QString op;
    QVariant value;
    QChar escape; // of a like pattern
};

// The conditions of a filter's text, each field turned into its column by fieldIndex (which
// may throw for an unknown one). Throws SqlError for a text that is no filter; empty text
// gives no condition.
QVector<FilterCondition> parseFilter(const QString &text,
                                     const std::function<int(const QString &)> &fieldIndex);
// Whether a row meets every condition. A null value meets none; text compares ignoring
// letter case, numbers as numbers.
bool matches(const QVector<QVariant> &row, const QVector<FilterCondition> &conditions);

} // namespace db
