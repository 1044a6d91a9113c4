#pragma once

#include <QDate>

namespace shop {

// What an entry editor works in, handed to it by the journal that opens it: the date of a
// new entry, the shift and whether the day is a day off (both price an operation).
struct EntryContext {
    QDate date;
    int shift = 1;
    bool dayOff = false;
};

} // namespace shop
