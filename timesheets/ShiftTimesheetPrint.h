#pragma once

#include "reports/ReportForm.h"

// The printed timesheet of a month: every timesheet row of the month added up per worker
// name, whatever its shift or kind, one line per name with the hours of each day of the
// month and their total, the totals of the days under them, the signature lines after;
// A4 landscape, headed by the organisation, department, title and month. Its query serves
// the export as well.
class ShiftTimesheetPrint : public ReportForm {
    Q_OBJECT
public:
    explicit ShiftTimesheetPrint(QObject *parent = nullptr);

    db::Dataset *H_Tabel;
    db::Dataset *dataset() const override { return H_Tabel; }

    static QString tabelSql();
    // Sets the month and year of H_Tabel and opens it.
    void openMonth(int month, int year);
    // The month and year over the worker names ("Данные за:" until it is set).
    void setMonthLabel(const QString &text);

private:
    void layOut(int days);
    int days_ = 0;
};

extern ShiftTimesheetPrint *shiftTimesheetPrint;
