#pragma once

#include <QString>

namespace shop {

// A typed text as the store keeps it: trimmed, and empty rather than null (the columns of the
// organisation's details, the calendar and the absences take no null).
inline QString storedText(const QString &typed)
{
    const QString t = typed.trimmed();
    return t.isNull() ? QStringLiteral("") : t;
}

} // namespace shop
