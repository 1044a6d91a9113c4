#pragma once

#include "shop/Calendar.h"
#include "ui/Form.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

// "Производственный календарь": a year's days off, moved days, working Saturdays and
// shortened days, with each month's working days and norms of hours at 40, 36 and 24 hours a
// week. The administrator enters a year (its public holidays first, the decree's transfers
// after), changes a day and adds regional days; every other role reads it.
class CalendarWindow : public ui::Form {
    Q_OBJECT
public:
    explicit CalendarWindow(QWidget *parent = nullptr);

    QSpinBox *yearBox;
    QLabel *stateLabel;        // a year the calendar does not know, or where the year comes from
    QTableWidget *monthsTable; // month, working days, norms
    QTableWidget *daysTable;   // the year's kept days
    QDateEdit *dayEdit;
    QComboBox *kindBox;
    QCheckBox *regionalBox;
    QLineEdit *noteEdit;
    QPushButton *addYearButton, *saveDayButton, *removeDayButton, *closeButton;

    void openFrom(ui::Form *from, int year, bool administrator);
    void showYear(int year);
    void addYear();
    void saveDay();
    void removeDay();
    const shop::calendar::Year &year() const { return year_; }

private:
    void fillMonths();
    void fillDays();
    void dayChosen();
    void enableEditing();
    shop::calendar::Year year_;
    bool administrator_ = false;
};

extern CalendarWindow *calendarWindow;
