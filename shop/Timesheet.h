#pragma once

#include <QDate>
#include <functional>

// The one writer of the timesheet (accounts_dep.h_tabel): a day's cell after a save, move
// or delete, and a month's rows rebuilt from the entries. Every function runs on the
// program's connection; the cell writers inside the caller's transaction.
namespace shop::timesheet {

// One timesheet row of accounts_dep.h_tabel: a shift-journal row (smena 1..4, i_type 0)
// or a maintenance row (smena 0, i_type 7777 or 7778, with its night flag).
struct Row {
    int w_id = 0;
    int smena = 0;
    int i_type = 0;
    int i_night = 0;
    int month = 0;
    int year = 0;
};

// Writes hours into the day's cell of the row; the other days are not touched. With
// create, a missing row is inserted with that one day set; the insert turns into an update
// when the row exists (also when another user created it a moment ago), so a worker never
// gets two rows of one kind in a month. Without create, only an existing row is updated.
void writeDay(const Row &row, int day, int hours, bool create);
// The day's cell of a worker's shift row of the month gets the hours of the worker's
// entries of that shift and date (0 when none remain), as writeDay writes it. Takes the
// worker's month lock first.
void writeShiftDay(int w_id, int smena, const QDate &date, bool create);
// The day's cell of a worker's maintenance row of the kind and night flag gets the hours
// of his maintenance entries of that kind, flag and date (0 when none remain). Takes the
// worker's month lock first.
void writeKindDay(int w_id, int kind, int night, const QDate &date, bool create);
// The hours of a worker's maintenance entries of a kind and night flag on a date.
int kindHours(int w_id, int kind, int night, const QDate &date);

// Cells that cannot lose hours. A cell is written with the sum of the day's entries, so
// two clerks saving for one worker at once must not both sum without the other's entry.
// Every writer of a worker's cells takes the worker's month lock inside its transaction
// before it sums; the lock is held to commit, so the sum read after it includes every
// entry committed before, and the later writer writes the full day. The worker and month
// is the narrowest key that covers every cell a save recomputes (a save touches one day,
// a move two cells of one or two workers); a month rebuild takes the month itself
// exclusively, which every cell writer also holds shared. Transaction-level advisory
// locks: nothing to clean up, released by commit or rollback. Two moves locking two
// workers in opposite orders may deadlock; the server then fails one and the
// transaction helper runs it again.
void lockWorkerMonth(int w_id, const QDate &date);
// The month locks of the two cells a move touches, taken in one order for every caller.
void lockWorkerMonths(int w1, const QDate &d1, int w2, const QDate &d2);
void lockMonth(int month, int year);

// Runs work for each day 1..days of a month being rebuilt; a window shows its progress.
using DayLoop = std::function<void(int days, const std::function<void(int day)> &work)>;
// Every day in turn, nothing shown.
void eachDay(int days, const std::function<void(int day)> &work);

// The month's shift rows (smena 1..4) made anew from the shift entries, one row per
// worker and shift, each day's cell the sum of that day's hours. One transaction.
void rebuildShifts(int month, int year, const DayLoop &loop = eachDay);
// The month's maintenance rows (smena 0) made anew from the maintenance entries, one row
// per worker, kind and night flag. One transaction.
void rebuildKinds(int month, int year, const DayLoop &loop = eachDay);

} // namespace shop::timesheet
