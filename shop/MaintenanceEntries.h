#pragma once

#include <QDate>
#include <QString>

#include "StoreResult.h"

// The store of maintenance and average-piecework entries (rows of accounts_dep.fatigue).
// Each call is one transaction on the program's connection that also rewrites the
// timesheet cells the entry leaves and enters, under the workers' month locks. A row
// changed or deleted by another user since it was read throws db::RowChanged; other
// database errors throw db::SqlError.
namespace shop {

struct MaintenanceEntry {
    int nomId = 0; // nomenclature group
    int kind = 0;  // 7777 maintenance, 7778 average piecework
    int workerId = 0;
    QDate day; // a change keeps the stored entry's day
    int shift = 0;
    qlonglong hours = 0;
    double price = 0; // the hour price as price::hourPrice gives it, rounded to 4 places
    bool dayOff = false;
    bool night = false;
};

// The entry as it was read, for a change: its id, version and the cell it leaves.
struct StoredMaintenance {
    qlonglong id = 0;
    QString rowVer;
    int workerId = 0;
    int kind = 0;
    int night = 0;
    QDate day;
};

namespace MaintenanceEntries {

// A new entry and its id, or the refusal of an entry that would take its worker's day past
// 24 hours in all journals together (read under his month's lock, so two clerks saving for
// him at once cannot both pass).
StoreResult add(const MaintenanceEntry &entry);
// A change of a stored entry, to another worker, kind or night flag included (a move); the
// day stays the stored one's. Refused as add is, the entry's former hours not counted.
StoreResult change(const StoredMaintenance &former, const MaintenanceEntry &entry);
// Deletes the entry if it still has the version read.
void remove(qlonglong id, const QString &rowVer);

// Every average-piecework entry of the month gets the price price::averageHourPrice gives
// it: its worker's average on its nomenclature group, with its own day-off and night factors.
void recomputeAverages(int month, int year);

} // namespace MaintenanceEntries
} // namespace shop
