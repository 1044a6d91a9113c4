#pragma once

#include <QString>

namespace db {

// The one way a text typed by a user enters SQL text: as a quoted literal with
// embedded quotes doubled. "O'Brien" -> 'O''Brien'.
QString quote(const QString &text);

// The LIKE comparison of the record filters: '%' matches any run of characters,
// '_' exactly one; everything else stands for itself. Letter case is ignored,
// as the filters of the list windows have always done. With an escape character, the
// character after it stands for itself ("50\%" matches "50%" only).
bool likeMatch(const QString &value, const QString &pattern, QChar escape = QChar());

// A text as a LIKE pattern in which every character stands for itself, escaped with '\'.
QString likeLiteral(const QString &text);

} // namespace db
