#pragma once

#include <QString>
#include <QVariant>

namespace db {

// A value read from the server as the program shows it: dates as dd.MM.yyyy (with the time
// when there is one), fractions with the locale's decimal point, flags as 1 and 0, null as
// empty text.
QString displayText(const QVariant &value);
// Whether the value is a number of any kind.
bool isNumber(const QVariant &value);

} // namespace db
