#pragma once

#include <functional>

namespace db {

// Runs work as one transaction on the program's connection. It is committed when work
// returns and rolled back when work throws; the exception then goes on to the caller, so
// the one error display shows it once and nothing of the work stays behind.
// A call inside another call joins the outer transaction.
void transaction(const std::function<void()> &work);

// True while a transaction() is running.
bool inTransaction();

} // namespace db
