#pragma once

#include <QString>

// Prices and amounts of shift entries and of maintenance and average-piecework entries.
namespace price {

// Rounded to 4 decimal places, a tie going to the even neighbour.
double round4(double value);
// The shortest decimal text of a value (at most 15 significant digits, no grouping, no
// trailing zeros) with the decimal separator of the user's regional settings.
QString text(double value);
// The same text with a point, as the server reads numbers.
QString sqlText(double value);

// The price of a shift entry: the operation's price doubled on a day off, then raised by a
// fifth on the third shift and by a half on the fourth. Not rounded: the entry is stored
// with round4 of it.
double shiftPrice(double base, bool dayOff, int shift);

// What a shift entry earns, as the journal and the timesheets count it from the stored row:
// the pieces made less the rejects, at the price as it is stored (round4), to the kopeck
// (half away from zero, as the server rounds). The entry editor's "Сумма" shows this.
double entryAmount(int quantity, int rejects, double price);

// The hour price of a maintenance or average-piecework entry: the base price of its kind (the
// list price for maintenance work, the worker's average for average piecework) doubled on a
// day off, then raised by a fifth at night. The editor, its "Сумма" box and the recompute of
// averages all price an entry by this one rule.
double hourPrice(double base, bool dayOff, bool night);
// The same rule as an SQL expression over the given base, day-off and night expressions.
QString hourPriceSql(const QString &base, const QString &dayOff, const QString &night);
// The worker's average earnings per hour in a month, for one nomenclature group, to the
// kopeck; 0 when he has no hours. worker, nom, from and to are SQL expressions (to exclusive).
QString averageSql(const QString &worker, const QString &nom, const QString &from,
                   const QString &to);

} // namespace price
