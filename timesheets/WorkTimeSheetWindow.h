#pragma once

#include "shop/WorkTime.h"
#include "ui/Form.h"

#include <QDate>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
namespace report {
class Report;
}

// "Табель учета рабочего времени (Т-13)": the month's statutory timesheet of every worker
// with hours or absences, previewed (printed, saved as PDF) or exported to a workbook. Before
// either the window says how many working days are left blank.
class WorkTimeSheetWindow : public ui::Form {
    Q_OBJECT
public:
    explicit WorkTimeSheetWindow(QWidget *parent = nullptr);
    ~WorkTimeSheetWindow() override;

    QComboBox *monthBox;
    QSpinBox *yearBox;
    QLineEdit *numberEdit;
    QDateEdit *drawnUpEdit;
    QLabel *unmarkedLabel; // the blank working days, or that everything is marked
    QLabel *calendarLabel; // a year the calendar does not know
    QPushButton *previewButton, *exportButton, *closeButton;

    void openFrom(ui::Form *from, const QDate &date);
    // Reads the month again and shows what is blank.
    void readMonth();
    void previewSheet();
    void exportSheet();
    const shop::worktime::Month &month() const { return month_; }
    // The report the last preview laid out (kept until the next one).
    report::Report *report() const { return report_; }

private:
    void monthChosen();
    shop::worktime::Month month_;
    report::Report *report_;
};

extern WorkTimeSheetWindow *workTimeSheetWindow;
