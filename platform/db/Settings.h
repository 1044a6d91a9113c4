#pragma once

#include "Connection.h"

#include <QProcessEnvironment>
#include <QString>

namespace db {

// Where the connection settings come from, highest first: the command line (database and
// server), the user's settings file, the system's settings file, the standard PostgreSQL
// environment variables (PGHOST, PGPORT, PGDATABASE, PGUSER, PGPASSWORD), and last the
// program's built-in values. The files are INI files with a section [database] and the keys
// host, port, name, user and password.
struct SettingsSources {
    QString userFile;   // ~/.config/tabel/tabel.conf
    QString systemFile; // /etc/tabel/tabel.conf
    QProcessEnvironment environment;
};
SettingsSources defaultSources();

// The connection the settings describe. A user named anywhere but the built-in values, with no
// password anywhere, gets no password from the program: the client library then looks in the
// server's password file (~/.pgpass or PGPASSFILE).
ConnectionParams resolveConnection(const ConnectionParams &builtIn, const QString &database,
                                   const QString &host, const SettingsSources &sources);

// "сервер 127.0.0.1, порт 5432, база vesk_erp, пользователь sys": the details a failed
// connection is reported with.
QString describe(const ConnectionParams &p);

} // namespace db
