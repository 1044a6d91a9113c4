#pragma once

#include <QDate>
#include <QString>

#include "StoreResult.h"

// The store of shift entries (rows of accounts_dep.smena). Each call is one transaction on
// the program's connection that also rewrites the timesheet cells the entry leaves and
// enters, under the worker's month lock. A row changed or deleted by another user since it
// was read throws db::RowChanged; other database errors throw db::SqlError. A refusal by
// the shop's own rules comes back as the result's sentence.
namespace shop {

struct ShiftEntry {
    int workerId = 0;
    int productId = 0;
    int operationId = 0;
    double price = 0; // stored rounded to 4 places
    int quantity = 0;
    int rejects = 0;
    int colour = 0;
    int hours = 0;
    QDate date;
    int shift = 1;
};

// The entry as it was read, for a change or delete: the row's id and version. The cell it
// leaves is read from the stored row itself; workerId and date say what the caller saw.
struct StoredEntry {
    int id = 0;
    QString rowVer;
    int workerId = 0;
    QDate date;
};

namespace ShiftEntries {

// The sentence of a second entry of one worker, product, operation, colour, date and shift.
QString duplicateRefusal();

// A new entry; refused when the same entry is already there.
StoreResult add(const ShiftEntry &entry);
// A change of a stored entry, its worker, date or both included (a move); refused when the
// changed entry would repeat another one.
StoreResult change(const StoredEntry &former, const ShiftEntry &entry);
// Deletes the entry if it still has the version read; its cell keeps what remains.
void remove(int id, const QString &rowVer);

// Whether the master's mark of an entry ("ok", or "да" from older programs) says accepted.
bool isAccepted(const QString &ok);
// Marks the entry accepted or not accepted, as asked: a repeat of the same request (say,
// after a lost connection whose commit did reach the server) changes nothing. Throws
// db::RowChanged when the entry is gone.
void setAccepted(int id, bool accepted);

} // namespace ShiftEntries
} // namespace shop
