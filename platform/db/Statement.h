#pragma once

#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace db {

// Runs text with :name parameters bound; returns the executed query. Shared by
// datasets and commands so both bind and report errors the same way.
// A lost connection is reopened before the statement runs. A read (a select outside a
// transaction) that finds the connection gone is run once more on a new connection;
// anything else is never repeated, since it may have been carried out already: it
// throws ConnectionLost and the next statement connects again.
enum class Kind { Write, Read };
QSqlQuery exec(const QString &sql, const QHash<QString, QVariant> &params, Kind kind = Kind::Write);

} // namespace db
