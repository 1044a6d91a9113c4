#pragma once

#include <QString>

// What a shift entry pays: its good pieces (those made, less the rejected ones) at the
// entry's price. Every statement that sums pieces or pay takes them from here. The argument
// is the entries' table as the statement names it, with its dot ("s.", "smena."), or "" where
// the columns need no table.
#define TABEL_GOOD_PIECES(t) "(" t "kol_vo-" t "brak)"
#define TABEL_ENTRY_PAY(t) TABEL_GOOD_PIECES(t) "*" t "cena"

// The month's earnings as the piecework timesheets show them. Each statement adds up the
// month's timesheet rows per worker, names each worker once (not each of his rows), and sums
// the month's entries once for all workers, joined by worker: a plant's month holds a hundred
// thousand entries spread over as many pages, and three sums per worker read each of his pages
// three times.
//
// Parameters: :i_month and :i_year, the month; :d_date1, :d_date3, ... the first day of the
// following month and :d_date2, :d_date4, ... the month's first day (timesheet::bindPeriod).
namespace earnings {

// Piecework: the workers' piecework rows (kind 0) with the pay of their shift entries.
QString piecesSql();
// Maintenance (7777) or average piecework (7778): the rows of that kind, day and night apart,
// with the pay of the maintenance entries of that kind.
QString kindSql(int kind);
// Everything: all of a worker's rows, with the pay of his shift and maintenance entries
// (two date pairs).
QString allSql();

// The month's totals: the whole shop (two date pairs; an empty part counts as nothing
// earned, and only when both are empty there is no total), the shift entries, and the
// maintenance entries of one kind. One column, price.
QString shopTotalSql();
QString pieceworkTotalSql();
QString kindTotalSql(int kind);

} // namespace earnings
