#include "Transaction.h"

#include "Connection.h"
#include "SqlError.h"

#include <QSqlError>

namespace db {

namespace {
int depth = 0;

// Opens the transaction. Nothing has been done yet, so a connection found gone is
// opened again and the start tried once more.
void begin(QSqlDatabase &db)
{
    for (int attempt = 0;; ++attempt) {
        ensureConnected();
        db = connection();
        if (db.transaction())
            return;
        const QSqlError e = db.lastError();
        if (!isConnectionLoss(e))
            throw errorOf(e);
        markLost();
        if (attempt > 0)
            throw ConnectionLost(errorOf(e).text(), e.nativeErrorCode());
    }
}
} // namespace

bool inTransaction()
{
    return depth > 0;
}

void transaction(const std::function<void()> &work)
{
    if (depth > 0) {
        work();
        return;
    }
    QSqlDatabase db;
    begin(db);
    ++depth;
    try {
        work();
    } catch (...) {
        --depth;
        // On a lost connection the server has already dropped the transaction.
        if (!isLost())
            db.rollback();
        throw;
    }
    --depth;
    if (!db.commit()) {
        const QSqlError e = db.lastError();
        if (isConnectionLoss(e)) {
            markLost();
            throw ConnectionLostAtCommit(errorOf(e).text(), e.nativeErrorCode());
        }
        db.rollback();
        throw errorOf(e);
    }
}

} // namespace db
