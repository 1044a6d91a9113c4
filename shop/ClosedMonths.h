#pragma once

#include <QDate>
#include <QString>

// Closed months: a month whose pay has been computed and paid. The server refuses every
// change of its entries and timesheet rows; the windows ask first, so that the user sees
// the same sentence before typing anything.
namespace closing {

// "11.2026": a month as the closing sentences name it.
QString periodText(int month, int year);

// "Период 11.2026 закрыт. Изменения запрещены." — the server's own sentence.
QString sentence(int month, int year);
inline QString sentence(const QDate &date)
{
    return sentence(date.month(), date.year());
}

bool isClosed(int month, int year);
inline bool isClosed(const QDate &date)
{
    return date.isValid() && isClosed(date.month(), date.year());
}

// The sentence when the month is closed, empty when it is open: what a window refuses a
// change with (ui::refuse shows it).
QString refusal(int month, int year);
inline QString refusal(const QDate &date)
{
    return date.isValid() ? refusal(date.month(), date.year()) : QString();
}

// Closes the month under the name the session records, or opens it again. The change
// history keeps both.
void close(int month, int year);
void reopen(int month, int year);

} // namespace closing
