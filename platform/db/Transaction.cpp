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

namespace {
// A deadlock or a serialisation failure is the server choosing one of two colliding
// transactions to give way; run again, the work finds the other one committed.
bool worthRetrying(const SqlError &e)
{
    return e.sqlState() == QLatin1String("40P01") || e.sqlState() == QLatin1String("40001");
}
constexpr int kAttempts = 4;

void runOnce(const std::function<void()> &work);
} // namespace

namespace {
int retriesSoFar = 0;
} // namespace

void transaction(const std::function<void()> &work)
{
    if (depth > 0) {
        work();
        return;
    }
    for (int attempt = 1;; ++attempt) {
        try {
            runOnce(work);
            return;
        } catch (const SqlError &e) {
            // When the retries run out the last failure goes to the caller as it is.
            if (!worthRetrying(e) || attempt >= kAttempts)
                throw;
            ++retriesSoFar;
        }
    }
}

namespace {
void runOnce(const std::function<void()> &work)
{
    QSqlDatabase db;
    begin(db);
    const int began = session();
    ++depth;
    try {
        work();
        // The session the transaction began on is gone: what was done went with it.
        if (session() != began || isLost())
            throw ConnectionLost(QStringLiteral("the session of the transaction ended"));
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
} // namespace

int retries()
{
    return retriesSoFar;
}

} // namespace db
