#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// The monthly record of working time per worker and day (the statutory monthly timesheet),
// made from the shift journal, the maintenance and average-piecework entries, the absences and
// the production calendar. Codes come from accounts_dep.time_code: hours of shifts 1 and 2
// (and maintenance and average-piecework hours of the day) are day work, of shift 3 (and
// maintenance at night) night work, of shift 4 overtime, every hour on a calendar day off
// work on a day off; a day off without work is marked as such, an absence day with its
// absence's code. A working day without hours or absence stays blank and is counted as not
// marked.
namespace shop::worktime {

// The digit codes the sheet marks days with (their letters are kept in the schema).
inline constexpr const char *kDay = "01";
inline constexpr const char *kNight = "02";
inline constexpr const char *kDayOffWork = "03";
inline constexpr const char *kOvertime = "04";
inline constexpr const char *kDayOff = "26";

// One day of a worker: its codes (letters) and the hours under each (-1: a code without
// hours, such as a day off or an absence).
struct Day {
    QStringList codes;
    QVector<int> hours;
    bool unmarked = false; // a working day with neither hours nor absence

    // "Я/Н" and "8/2": the codes and the hours as the form prints them.
    QString codeText() const { return codes.join(QLatin1Char('/')); }
    QString hoursText() const;
    int workedHours() const;
};

struct Worker {
    int id = 0;
    QString name;
    QString position;
    QVector<Day> days;              // 31 entries, the month's days first
    int halfDays[2] = {0, 0};       // days with hours worked, days 1–15 and 16 to the end
    int halfHours[2] = {0, 0};      // hours worked
    QMap<QString, int> absenceDays; // code letters: days of the month
    int unmarked = 0;

    int monthDays() const { return halfDays[0] + halfDays[1]; }
    int monthHours() const { return halfHours[0] + halfHours[1]; }
    // "ОТ 5, Б 3"
    QString absencesText() const;
};

struct Month {
    int month = 0;
    int year = 0;
    int days = 0;
    bool calendarKnown = false;
    QVector<Worker> workers; // by name, then code
    int unmarked = 0;        // blank working days of all workers
    int normHours40 = 0;     // the month's norm at 40 hours a week, whole hours cut off
};

// The sheet of a month: the workers with hours or absences in it. A few statements, whatever
// the number of workers. Throws db::SqlError.
Month build(int month, int year);

// Letter of a digit code and what it means, as the schema keeps them.
struct Code {
    QString letters;
    QString digits;
    QString caption;
    bool absence = false;
};
QVector<Code> codes();

} // namespace shop::worktime
