#pragma once

#include "Price.h"

#include <QDate>
#include <QString>
#include <QVector>

// A worker's pay statement for a month: every entry that made his pay, each with the price
// rule that priced it, and the figures the timesheets and reports show for him. Amounts are
// kopecks, read from the server's exact arithmetic.
namespace shop::pay {

using Kopecks = qint64;

// Kopecks as accountants write money: "1 234,56".
QString moneyText(Kopecks amount);
// A price as the journals write it: at least two decimals, up to four ("1,25", "2,4375").
QString priceText(double price);

// One shift entry.
struct ShiftLine {
    qlonglong id = 0;
    int workerId = 0;
    QDate date;
    int shift = 1;
    QString product;   // the product's mark
    QString group;     // its nomenclature group
    QString operation; // the operation's kind
    int naimen = 0;    // 0 finished product, otherwise blanks
    int colour = 0;
    int quantity = 0;
    int rejects = 0;
    int hours = 0;
    double rate = 0;          // the price as stored, which is paid
    bool hasNorm = false;     // the operation has norms today
    price::PriceParts today;  // the operation's lowest norm price today with the entry's factors
    bool normChanged = false; // the stored rate is not what the norms give today
    bool accepted = false;
    Kopecks amount = 0; // paid quantity × stored rate, to the kopeck
    int paid() const { return quantity - rejects; }
};

// One maintenance (7777) or average-piecework (7778) entry.
struct HourLine {
    qlonglong id = 0;
    int workerId = 0;
    QDate date;
    int kind = 0;
    QString kindName;
    QString group; // nomenclature group
    qlonglong hours = 0;
    double rate = 0; // the hour price as stored, which is paid
    bool dayOff = false;
    bool night = false;
    bool hasBase = false;     // a base price is known today
    price::PriceParts today;  // the base today (list price, or the average) with the factors
    bool rateChanged = false; // the stored hour price is not what the base gives today
    // Average piecework: the month the average comes from, the worker's piecework pay on the
    // entry's group in it and its hours.
    QDate averageMonth;
    double averagePay = 0;
    qlonglong averageHours = 0;
    Kopecks amount = 0; // hours × stored hour price, to the kopeck
};

struct Statement {
    int workerId = 0;
    QString name;
    QString number;   // personnel number: the worker's code
    QString position; // as the workers list and the monthly timesheet show it ("Должность")
    int month = 0;
    int year = 0;
    // The month as the production calendar has it (Saturdays and Sundays off in a year it
    // does not know): the days off (index 0 .. days-1) and the norm of hours of a 40-hour week.
    QVector<bool> daysOff;
    double normHours = 0;
    bool calendarKnown = false;
    QVector<ShiftLine> shifts;     // in date order
    QVector<HourLine> maintenance; // by kind, date
    QVector<HourLine> average;     // by date
    // The sections' figures as the timesheets compute them: each one's exact sum rounded once
    // (maintenance and average piecework per day and night work, as their timesheets list them).
    Kopecks piecework = 0;
    Kopecks maintenanceDay = 0, maintenanceNight = 0;
    Kopecks averageDay = 0, averageNight = 0;
    // The same pay as two other places round it: the report by workers (each group of
    // product group, operation, kind and colour rounded on its own, then added up) and the
    // combined timesheet (the piecework and all hour pay, each rounded once).
    Kopecks pieceworkByGroups = 0;
    Kopecks combined = 0;
    QVector<int> hoursByDay; // index 0 .. days-1: the day's hours in both journals
    Kopecks maintenanceTotal() const { return maintenanceDay + maintenanceNight; }
    Kopecks averageTotal() const { return averageDay + averageNight; }
    Kopecks total() const { return piecework + maintenanceTotal() + averageTotal(); }
    // The lines' amounts, each rounded on its own, added up; differs from total() by the
    // rounding of the lines.
    Kopecks linesTotal() const;
    int hoursTotal() const;
    int unaccepted() const;
    // The month's working days (1-based) on which the worker has no hours.
    QVector<int> missingDays() const;
    QDate firstDay() const { return QDate(year, month, 1); }
};

// The statements of a month: one worker's (worker > 0), or those of every worker with
// entries in it, by name. Throws db::SqlError.
QVector<Statement> read(int month, int year, int worker = 0);
// The one shift entry or maintenance entry with this id (id 0 when it is gone).
ShiftLine readShiftLine(qlonglong id);
HourLine readHourLine(qlonglong id);

// Why an entry's amount is what it is, as one sentence:
// "120 шт − 2 брак = 118 шт × 1,25 р. × 2 (выходной) = 295,00 р."
QString explain(const ShiftLine &line);
QString explain(const HourLine &line);

} // namespace shop::pay
