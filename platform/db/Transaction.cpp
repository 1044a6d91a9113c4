#include "Transaction.h"

#include "Connection.h"
#include "SqlError.h"

#include <QSqlError>

namespace db {

namespace {
int depth = 0;

SqlError failure(const QSqlError &e)
{
    return SqlError(e.databaseText().isEmpty() ? e.text() : e.databaseText(), e.nativeErrorCode());
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
    if (!isConnected())
        throw SqlError(QStringLiteral("Нет подключения к базе данных"));
    QSqlDatabase db = connection();
    if (!db.transaction())
        throw failure(db.lastError());
    ++depth;
    try {
        work();
    } catch (...) {
        --depth;
        db.rollback();
        throw;
    }
    --depth;
    if (!db.commit()) {
        const QSqlError e = db.lastError();
        db.rollback();
        throw failure(e);
    }
}

} // namespace db
