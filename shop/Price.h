#pragma once

#include <QDate>
#include <QString>
#include <QVector>

// Prices and amounts of shift entries and of maintenance and average-piecework entries.
namespace price {

// Rounded to 4 decimal places, a tie going to the even neighbour.
double round4(double value);
// The shortest decimal text of a value (at most 15 significant digits, no grouping, no
// trailing zeros) with the decimal separator of the user's regional settings.
QString text(double value);
// The same text with a point, as the server reads numbers.
QString sqlText(double value);

// One factor of a price, by the name a clerk gives it ("выходной", "ночь", "переработка").
struct Factor {
    QString name;
    double value = 1;
};

// A price with what made it: the base price, the factors applied to it in order, and their
// product (not rounded). The price rules below give their prices through these parts, so
// that what explains a price is what computed it.
struct PriceParts {
    double base = 0;
    QVector<Factor> factors;
    double price = 0;
    // "× 2 (выходной) × 1,2 (ночь)"; empty without factors.
    QString factorsText() const;
};

// The price of a shift entry: the operation's price doubled on a day off, then raised by a
// fifth on the third shift (night) and by a half on the fourth (overtime). Not rounded: the
// entry is stored with round4 of it.
PriceParts shiftPriceParts(double base, bool dayOff, int shift);
double shiftPrice(double base, bool dayOff, int shift);

// What a shift entry earns, as the journal and the timesheets count it from the stored row:
// the pieces made less the rejects, at the price as it is stored (round4), to the kopeck
// (half away from zero, as the server rounds). The entry editor's "Сумма" shows this.
double entryAmount(int quantity, int rejects, double price);

// The hour price of a maintenance entry: the list price of its kind doubled on a day off,
// then raised by a fifth at night. Not rounded: the entry is stored with round4 of it.
PriceParts hourPriceParts(double base, bool dayOff, bool night);
double hourPrice(double base, bool dayOff, bool night);
// The same rule as an SQL expression over the given base, day-off and night expressions.
QString hourPriceSql(const QString &base, const QString &dayOff, const QString &night);

// The hour price of an average-piecework entry: the worker's earnings in the month on the
// products of the nomenclature group (good pieces times piece price) divided by the hours
// of those entries, times the entry's day-off and night factors, rounded once to the kopeck
// (a tie away from zero); 0 when those hours add up to 0. The factors are applied to the
// exact average, never to an average already rounded. The editor, its "Сумма" box, the
// recompute of a month and the pay statement all take the price from here.
//
// As an SQL expression: worker, nom, from, to (exclusive), dayOff and night are SQL
// expressions.
QString averageHourPriceSql(const QString &worker, const QString &nom, const QString &from,
                            const QString &to, const QString &dayOff, const QString &night);
// The price for one worker, group, month (of day) and pair of factors, from the server.
double averageHourPrice(int worker, int nom, const QDate &day, bool dayOff, bool night);
// The same rule over an average already read (averageSql): its factors and the price to the
// kopeck.
PriceParts averageHourPriceParts(double average, bool dayOff, bool night);
// The worker's exact average earnings per hour in a month, for one nomenclature group (not
// rounded); 0 when he has no hours. worker, nom, from and to are SQL expressions (to
// exclusive).
QString averageSql(const QString &worker, const QString &nom, const QString &from,
                   const QString &to);
// What that average is taken from, as a subquery of one row: the pay (pay) and hours (hours)
// of the same entries, and the average itself (average).
QString averageSourceSql(const QString &worker, const QString &nom, const QString &from,
                         const QString &to);

} // namespace price
