#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

// A throwaway database per test program, copied from a template that the test command
// prepares (tabel_schema: the schema alone; tabel_demo: with the demo shop).
namespace testdb {

QString host();
int port();
// Creates a fresh copy of the template and returns its name.
QString create(const QString &templateName = QStringLiteral("tabel_demo"));
void drop(const QString &name);
// Opens the program's connection on the database.
void connectProgram(const QString &name);
// A side connection for checks, not the program's.
QSqlDatabase side(const QString &name);
// First column of the first row of a statement on the side connection.
QVariant scalar(const QString &dbName, const QString &sql);
void run(const QString &dbName, const QString &sql);

// "d1,d2,...,d31": the day cells of a timesheet row.
QString dayColumns();
// The whole timesheet table, row by row, without its ids.
QString timesheet(const QString &dbName);

} // namespace testdb
