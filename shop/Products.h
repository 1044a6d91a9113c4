#pragma once

#include <QDate>
#include <QString>

// Products are rows of the goods system's table, which carries no history trigger of ours:
// the product editor and the delete record their changes themselves, in the transaction
// that makes them.
namespace products {

// The goods row of a product as JSON text; empty when there is none.
QString rowOf(qlonglong id);
// The id the last product insert of this session took.
qlonglong lastInserted();
// Records a change: the row as it was ("" for a new product) and as it is now (none after a
// delete).
void noteChange(qlonglong id, const QString &action, const QString &before);

// The first day of the previous month of the year 2000, as the delete counts from it.
QString startDateText(const QDate &today);

// What refers to a product: its shift entries dated from startDateText(today) on, and its
// operations (prices).
struct Usage {
    int entries = 0;
    int operations = 0;
};
Usage usageOf(qlonglong id, const QDate &today);

// What a delete takes away: the product's operations, its shift entries (the timesheet cells
// they leave are written again), the product itself.
struct Deletion {
    bool operations = false;
    bool entries = false;
    bool product = false;
};
// Deletes what was asked in one transaction. Operations go only together with every shift
// entry that uses them (an entry without its operation would vanish from the journal):
// otherwise nothing is deleted and the refusal's sentence comes back. The product row is
// checked against rowVer, the version it was read with: a row changed or deleted by another
// user since throws db::RowChanged. Empty when done.
QString remove(qlonglong id, const QString &rowVer, const Deletion &what);

} // namespace products
