#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
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

// A month's timesheet rows rebuilt the way the shop always did it, one statement at a time:
// the month's rows matching `replaced` deleted, then for each day and each group that
// `dayGroups` (":date" stands for the day) returns, a count of the group's row and an update
// of the day's cell or an insert of a new row. The group's columns are named as the
// timesheet's key columns `keys`, its hours `hours`. Returns timesheet() as the rebuild
// leaves it; the rebuild itself is undone.
struct OneByOne {
    QString replaced;
    QString dayGroups;
    QStringList keys;
};
QString rebuiltOneByOne(const QString &dbName, int month, int year, const OneByOne &how);

} // namespace testdb
