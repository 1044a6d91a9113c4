#include "Connection.h"

#include "SqlError.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace db {

namespace {
const char *const kName = "ADO_DB";
// Opened by openConnection and not closed since: a lost connection may be reopened.
bool wanted = false;
bool lost = false;
// Counts the sessions opened: a transaction belongs to the session it began on.
int sessionCount = 0;
// Settings of the session (set_config), given again whenever the connection opens.
QList<QPair<QString, QString>> sessionSettings;

void applySessionSettings(QSqlDatabase &db)
{
    for (const auto &setting : std::as_const(sessionSettings)) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("select set_config(:name, :value, false)"));
        q.bindValue(QStringLiteral(":name"), setting.first);
        q.bindValue(QStringLiteral(":value"), setting.second);
        if (!q.exec())
            throw errorOf(q.lastError());
    }
}

} // namespace

SqlError errorOf(const QSqlError &e)
{
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.text().trimmed();
    return SqlError(text, e.nativeErrorCode());
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
    wanted = false;
    lost = false;
    db.setDatabaseName(params.database);
    db.setHostName(params.host);
    db.setPort(params.port);
    db.setUserName(params.user);
    db.setPassword(params.password);
    // Dates travel as day-first text; the server must read them that way on this
    // connection whatever the database's own setting is. The program's statements are
    // short and interactive: compiling them (JIT) costs more than it saves. Quoted
    // literals keep a backslash as typed (quote() doubles only the apostrophe), also on a
    // server set otherwise. A plant's year-to-date report groups tens of thousands of rows:
    // with the server's default of 4 MB their sort would spill to disk. Helper processes
    // share the reading of a period's entries between the cores; starting them costs more
    // than it saves on a day's journal or one worker's month, so only statements the
    // server reckons ten times dearer than its default threshold get them. A lock another
    // user holds (a month being rebuilt) is waited for ten seconds at most: then the
    // statement is refused and its transaction undone, instead of the program hanging.
    db.setConnectOptions("connect_timeout=10;options='-c datestyle=ISO,DMY -c jit=off "
                         "-c standard_conforming_strings=on -c work_mem=32MB "
                         "-c parallel_setup_cost=10000 -c lock_timeout=10s'");
    if (!db.open()) {
        const QSqlError e = db.lastError();
        throw errorOf(e);
    }
    wanted = true;
    ++sessionCount;
    applySessionSettings(db);
}

void setSessionSetting(const QString &name, const QString &value)
{
    auto it = std::find_if(sessionSettings.begin(), sessionSettings.end(),
                           [&](const auto &s) { return s.first == name; });
    if (it != sessionSettings.end())
        it->second = value;
    else
        sessionSettings.append({name, value});
    if (isConnected()) {
        QSqlDatabase db = connection();
        applySessionSettings(db);
    }
}

void closeConnection()
{
    wanted = false;
    lost = false;
    if (QSqlDatabase::contains(kName))
        connection().close();
}

bool isConnected()
{
    return QSqlDatabase::contains(kName) && connection().isOpen() && !lost;
}

void markLost()
{
    if (wanted)
        lost = true;
}

bool isLost()
{
    return lost;
}

void ensureConnected()
{
    if (!wanted || !QSqlDatabase::contains(kName))
        throw SqlError(QStringLiteral("Нет подключения к базе данных"));
    QSqlDatabase db = connection();
    if (!lost && db.isOpen())
        return;
    // The same options as before: they stay set on the connection when it closes.
    db.close();
    lost = true;
    if (!db.open()) {
        const QSqlError e = db.lastError();
        db.close();
        throw ConnectionLost(errorOf(e).text(), e.nativeErrorCode());
    }
    lost = false;
    ++sessionCount;
    applySessionSettings(db);
}

int session()
{
    return sessionCount;
}

bool isConnectionLoss(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    // Class 08: connection exception; 57P01..57P03: the server shut down or is starting.
    if (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
        state == QLatin1String("57P02") || state == QLatin1String("57P03"))
        return true;
    const QString text = errorOf(error).text();
    static const char *const signs[] = {
        "server closed the connection", "no connection to the server", "terminating connection",
        "connection to server",         "could not receive data",      "could not send data",
        "connection not open",          "lost synchronization",
    };
    for (const char *sign : signs)
        if (text.contains(QLatin1String(sign), Qt::CaseInsensitive))
            return true;
    // A refusal by the server always carries its state; without one, ask the server
    // whether it is still there.
    if (!state.isEmpty() || !QSqlDatabase::contains(kName))
        return false;
    QSqlDatabase db = connection();
    if (!db.isOpen())
        return true;
    QSqlQuery probe(db);
    if (probe.exec(QStringLiteral("select 1")))
        return false;
    // The probe refused for a reason of its own (an aborted transaction) says nothing
    // about the connection.
    const QString probeState = probe.lastError().nativeErrorCode();
    return probeState.isEmpty() || probeState.startsWith(QLatin1String("08")) ||
           probeState.startsWith(QLatin1String("57P"));
}

} // namespace db
