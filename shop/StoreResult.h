#pragma once

#include <QString>

namespace shop {

// What a store did with an entry: stored it (its id), or refused it with a sentence for the
// user (nothing stored).
struct StoreResult {
    QString refusal;  // empty when stored
    qlonglong id = 0; // the stored entry's id
    bool ok() const { return refusal.isEmpty(); }
};

} // namespace shop
