#pragma once

#include "Connection.h"
#include "SqlError.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace db {

// Where the connection settings come from, highest first: the command line (database and
// server), the user's settings file, the system's settings file, the standard PostgreSQL
// environment variables (PGHOST, PGPORT, PGDATABASE, PGUSER, PGPASSWORD), and last the
// program's built-in values. The files are INI files with a section [database] and the keys
// host, port, name, user and password.
struct SettingsSources {
    QString userFile;   // $XDG_CONFIG_HOME/tabel/tabel.conf, else ~/.config/tabel/tabel.conf
    QString systemFile; // /etc/tabel/tabel.conf
    QProcessEnvironment environment;
};
SettingsSources defaultSources();

// Settings that cannot be used: a file that is there but cannot be read or is not an INI
// file, or a value that is no value of its key (a port that is no port number). The text
// names the file (or the environment variable), the key and the value; the program does not
// connect anywhere else in its place.
class SettingsError : public SqlError {
public:
    using SqlError::SqlError;
};

// The connection the settings describe. Throws SettingsError. A user named anywhere but the
// built-in values, with no password anywhere, gets no password from the program: the client library
// then looks in the server's password file (~/.pgpass or PGPASSFILE).
ConnectionParams resolveConnection(const ConnectionParams &builtIn, const QString &database,
                                   const QString &host, const SettingsSources &sources);

// What the user should know about the settings files: a password in a file that group or
// others may read is ignored (resolveConnection does not use it), as the client library
// ignores such a password file; each warning names the file.
QStringList settingsWarnings(const SettingsSources &sources);

// "сервер 127.0.0.1, порт 5432, база vesk_erp, пользователь sys": the details a failed
// connection is reported with.
QString describe(const ConnectionParams &p);
// Why a connection failed, as a sentence for the user, from the client library's or the
// server's own (English) text; that text goes under the details.
QString connectionProblem(const QString &serverText);

} // namespace db
