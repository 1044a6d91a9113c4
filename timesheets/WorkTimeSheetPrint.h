#pragma once

#include "report/Report.h"
#include "shop/Organisation.h"
#include "shop/WorkTime.h"

#include <QDate>

// The monthly timesheet in the statutory form, A4 landscape: the organisation's header, per
// worker four lines (the codes and hours of days 1–15, then of days 16 to the end), the
// days and hours of each half and of the month, the days of the one kind of pay, the
// absences; the signatures at the end. A worker's four lines stay on one page.
namespace worktimesheet {

struct Heading {
    shop::Organisation organisation;
    QString number;  // the document's number
    QDate drawnUp;   // the date it was drawn up
    QString payKind; // the kind of pay the pay columns count
};

// The report laid out for the month (pages prepared).
void prepare(report::Report &report, const shop::worktime::Month &month, const Heading &heading);
// The report's definition alone (no records), for the page-layout checks of the bands.
report::ReportDef definition();
// The same sheet as a workbook: the header, a line per worker and half of the month. Returns
// false when the workbook could not be started (the user was told).
bool exportSheet(const shop::worktime::Month &month, const Heading &heading);
// "ноябрь 2026 г."
QString periodText(int month, int year);

} // namespace worktimesheet
