#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

class QProgressBar;
namespace db {
class Dataset;
}

// What the monthly timesheet windows share: the chosen month and year, the list of
// years, and a progress bar that follows a rebuild day by day.
namespace timesheet {

// A month of a year: from its first day (inclusive) to the first day of the following
// month (exclusive).
struct MonthPeriod {
    int month = 1; // 1 .. 12
    int year = 2000;

    QDate first() const { return QDate(year, month, 1); }
    QDate next() const { return first().addMonths(1); }
    int days() const { return first().daysInMonth(); }
    // Weekday of a day of the month is Saturday or Sunday.
    bool weekend(int day) const;
};

// "Январь" .. "Декабрь"; the index + 1 is the month number.
const QStringList &monthNames();

// Sets the date pairs of a timesheet statement: d_date1, d_date3, ... the first day of
// the following month (the "<" bound); d_date2, d_date4, ... the month's first day
// (the ">=" bound). pairs = how many pairs the statement has.
void bindPeriod(db::Dataset &ds, const MonthPeriod &period, int pairs);

// The years of the timesheet table (field year), and always this year, so a new year can
// be chosen and rebuilt before it has rows.
QString yearListSql();
void bindYearList(db::Dataset &ds);

// Shows bar with the month's days as its range, runs work for each day 1 .. days and moves
// the bar along; the bar is hidden again afterwards, also when work throws.
void byDay(QProgressBar *bar, int days, const std::function<void(int day)> &work);

} // namespace timesheet
