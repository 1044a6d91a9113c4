#pragma once

#include <QSqlDatabase>
#include <QString>

namespace db {

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
void closeConnection();
bool isConnected();

} // namespace db
