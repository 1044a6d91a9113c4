#pragma once

#include <functional>

namespace db {

// Runs work as one transaction on the program's connection. It is committed when work
// returns and rolled back when work throws; the exception then goes on to the caller, so
// the one error display shows it once and nothing of the work stays behind.
// A call inside another call joins the outer transaction.
// A deadlock or serialisation failure rolls the work back and runs it again, a few times at
// most; when that still fails, the failure reaches the caller like any other.
void transaction(const std::function<void()> &work);

// How many times transaction() ran its work again since the program started.
int retries();

// True while a transaction() is running.
bool inTransaction();

} // namespace db
