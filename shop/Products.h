#pragma once

#include <QDate>
#include <QString>

// Products are rows of the goods system's table, on which the program's roles hold no right:
// the server's functions add, change and delete them and write their history, in the
// transaction of the caller.
namespace products {

// The nomenclature groups (the classifier's second level) by name: a product's group is one
// of them, and maintenance is booked to them.
inline constexpr const char *kNomenclatureGroupsSql = R"(
    select *
    from cmn_classifier.item
    where id_level=2
    order by s_caption)";

// Adds a product; returns its id. The weight is a number with a point or a comma.
qlonglong add(const QString &mark, const QString &weight, qlonglong classItem);
// Changes a product still as read (rowVer: the row_ver the list showed); throws
// db::RowChanged when another user changed or deleted it since.
void change(qlonglong id, const QString &rowVer, const QString &mark, const QString &weight,
            qlonglong classItem);

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
// user since throws db::RowChanged. The server refuses a product that shift entries still
// name. Empty when done.
QString remove(qlonglong id, const QString &rowVer, const Deletion &what);

} // namespace products
