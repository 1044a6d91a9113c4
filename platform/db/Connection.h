#pragma once

#include <QSqlDatabase>
#include <QString>

class QSqlError;

namespace db {

class SqlError;

struct ConnectionParams {
    QString database;
    QString host;
    int port = 5432;
    QString user;
    QString password;
};

// The program's single connection. Every dataset and command runs on it.
QSqlDatabase connection();

// Opens the connection (closing an open one first). Throws SqlError on failure.
void openConnection(const ConnectionParams &params);
// Closes the connection for good: statements fail until it is opened again.
void closeConnection();
bool isConnected();
// A setting of the session (set_config), kept and given again whenever the connection
// is opened or reopened; e.g. the name under which the change history records the user.
void setSessionSetting(const QString &name, const QString &value);

// Connection recovery. A statement that finds the connection gone marks it lost; the
// next statement opens it again with the same options before it runs.
//
// Makes the connection usable: reopens a lost one. Throws ConnectionLost while the
// server cannot be reached, SqlError when no connection was ever opened.
void ensureConnected();
// True when the failure means the connection is gone rather than a refused statement.
// A failure that carries no server state is checked with a probe statement.
bool isConnectionLoss(const QSqlError &error);
void markLost();
// The number of the session the connection is on now; it changes whenever the connection
// is opened again. Work begun on one session is never finished on another.
int session();
bool isLost();

// A failure of the driver as the database layer reports it: the server's own text (the
// driver's when the server gave none) and the server's state.
SqlError errorOf(const QSqlError &error);

} // namespace db
