#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QVector>

// The production calendar: which days are days off, which are shortened, and the month's
// norm of working hours. A year the calendar knows has Saturdays and Sundays off and the
// days its decree (or the administrator) lists; a year it does not know has Saturdays and
// Sundays off and nothing else.
namespace shop::calendar {

// What a day is, as the calendar keeps it ("holiday", "off", "work", "short" in the table).
enum class Kind {
    Working,    // an ordinary working day
    Weekend,    // a Saturday or Sunday
    Holiday,    // a non-working public holiday
    MovedOff,   // a day off moved onto a weekday
    WorkingDay, // a Saturday or Sunday made a working day
    Short,      // a working day one hour shorter, before a holiday
};

QString kindKey(Kind kind); // the table's word; empty for Working and Weekend
Kind kindOfKey(const QString &key);
QString kindCaption(Kind kind); // as the window names it

// One day as kept in the calendar table.
struct Day {
    QDate date;
    Kind kind = Kind::Working;
    bool regional = false;
    QString note;
};

class Year {
public:
    Year() = default;
    // A year from its kept days (known: the calendar has the year).
    Year(int year, bool known, const QVector<Day> &days);
    // The year as the calendar keeps it: one statement. Throws db::SqlError.
    static Year load(int year);

    int year() const { return year_; }
    bool known() const { return known_; }

    Kind kind(const QDate &date) const;
    bool isDayOff(const QDate &date) const;
    bool isShort(const QDate &date) const { return kind(date) == Kind::Short; }
    // The working days of a month, shortened ones included.
    int workingDays(int month) const;
    int shortDays(int month) const;
    // The month's norm of working hours for a week of 40, 36 or 24 hours, in tenths of an
    // hour: a fifth of the week per working day, an hour less per shortened day.
    int normTenths(int month, int weekHours) const;
    double normHours(int month, int weekHours) const { return normTenths(month, weekHours) / 10.0; }
    int yearNormTenths(int weekHours) const;
    const QVector<Day> &days() const { return days_; }

private:
    int year_ = 0;
    bool known_ = false;
    QVector<Day> days_;
    QHash<QDate, Kind> kinds_;
};

// Whether the date is a day off (one statement). Throws db::SqlError.
bool isDayOff(const QDate &date);
// The norm of a month in hours for a week of weekHours.
double monthNorm(int year, int month, int weekHours = 40);

// "Производственный календарь на 2027 год не введён: выходными считаются суббота и
// воскресенье." — what a window shows for a year the calendar does not know.
QString fallbackSentence(int year);

// The administrator's changes, each recorded in the change history by the server, which lets
// the administrator's logins alone make them. Throws db::SqlError.
//
// A year entered before its decree is out: its fixed public holidays (1–8 January,
// 23 February, 8 March, 1 and 9 May, 12 June, 4 November), to be corrected after.
void addYear(int year, const QString &source);
void removeYear(int year);
// Sets what a day of a known year is: Working or Weekend remove its row (the day is then
// what its weekday makes it).
void setDay(const Day &day);

} // namespace shop::calendar
