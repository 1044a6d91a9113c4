#pragma once

#include <QDate>
#include <QList>
#include <QString>

// Workers' absences: a date range under a code of the timesheet's list (accounts_dep.time_code
// rows that an absence may carry). The server refuses an absence that overlaps another of the
// worker or a day with hours in the journals, naming the worker and the day, and lets the
// administrator's logins alone keep them; every change is in the history.
namespace shop::absences {

struct Absence {
    int id = 0;
    int worker = 0;
    QString code;
    QDate first;
    QDate last;
    QString note;
};

// The same absence for each of the workers (downtime of a whole team), in one transaction:
// either every worker gets it or, when one is refused, nobody. Returns the new ids.
QList<int> add(const QList<int> &workers, const QString &code, const QDate &first,
               const QDate &last, const QString &note);
void remove(int id);

} // namespace shop::absences
