#pragma once

#include <QString>
#include <functional>

namespace db {
class Dataset;
}

namespace timesheet {

// Writes the rows of a piecework timesheet (fio, s_night, d1 .. d31, i_time, f_price,
// average_price) to a new workbook named "<title> <month>": the month in bold in the first
// row, bold headings in the second, a worker a row from the third, every column as wide as
// its longest text. night adds the day-or-night column, average the price of an hour.
// progress hears (rows written, rows in all) before the first row and after each one.
// False when the workbook cannot be started (nothing written then).
bool writeWorkbook(db::Dataset &rows, const QString &title, const QString &month, bool night,
                   bool average, const std::function<void(int written, int all)> &progress);

} // namespace timesheet
