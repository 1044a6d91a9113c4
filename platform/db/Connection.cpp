#include "Connection.h"

#include "SqlError.h"

#include <QSqlError>

namespace db {

namespace {
const char *const kName = "ADO_DB";
}

QSqlDatabase connection()
{
    if (!QSqlDatabase::contains(kName))
        return QSqlDatabase::addDatabase("QPSQL", kName);
    return QSqlDatabase::database(kName, false);
}

void openConnection(const ConnectionParams &params)
{
    QSqlDatabase db = connection();
    if (db.isOpen())
        db.close();
    db.setDatabaseName(params.database);
    db.setHostName(params.host);
    db.setPort(params.port);
    db.setUserName(params.user);
    db.setPassword(params.password);
    // Dates travel as day-first text; the server must read them that way on this
    // connection whatever the database's own setting is. The program's statements are
    // short and interactive: compiling them (JIT) costs more than it saves.
    db.setConnectOptions("connect_timeout=10;options='-c datestyle=ISO,DMY -c jit=off'");
    if (!db.open()) {
        const QSqlError e = db.lastError();
        throw SqlError(e.databaseText().isEmpty() ? e.text() : e.databaseText(),
                       e.nativeErrorCode());
    }
}

void closeConnection()
{
    if (QSqlDatabase::contains(kName))
        connection().close();
}

bool isConnected()
{
    return QSqlDatabase::contains(kName) && connection().isOpen();
}

} // namespace db
