#pragma once

#include <QString>

// A product is finished (naimen 0) or a blank (any other value); lists, editors and
// workbooks name the kind with these words.
namespace shop {

QString productKindText(int naimen);
// The same words as an SQL expression over the given column.
QString productKindSql(const QString &column = QStringLiteral("naimen"));

} // namespace shop
