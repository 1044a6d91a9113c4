#pragma once

#include <QDate>
#include <QString>

// The figures a user may store, and how a number typed as a Russian user types it is read.
// Each limit has its reason beside it; the README lists them. A verdict says what the user
// is told: nothing, a question ("Вы уверены?") that he may answer yes, or a refusal that
// names the field and the limit.
namespace shop::limits {

// Hours of one shift, maintenance or average-piecework entry: a shift lasts at most a day;
// longer than 12 hours (the longest shift the labour law allows as a rule) is asked about.
constexpr int kMaxEntryHours = 24;
constexpr int kUsualEntryHours = 12;
// A worker's hours of one day across every entry of every journal: a day has 24 hours.
constexpr int kMaxDayHours = 24;
// Pieces of one entry (quantity and rejects): a hundred thousand in one shift is several
// pieces a second for eight hours; above ten thousand is asked about.
constexpr int kMaxQuantity = 100000;
constexpr int kUsualQuantity = 10000;
// Rejects of one entry: never more than the pieces, and at most what their column holds.
constexpr int kMaxRejects = 32767;
// A norm price, per piece or per hour, in roubles, to four places (as prices are stored):
// at most a hundred thousand; above ten thousand is asked about.
constexpr double kMaxPrice = 100000;
constexpr double kUsualPrice = 10000;
constexpr int kPriceDecimals = 4;

struct Verdict {
    enum Kind { Fine, Ask, Refuse } kind = Fine;
    QString sentence; // the question or the refusal
    bool fine() const { return kind == Fine; }
};

// A number typed into a field, or why it is not one the field takes.
struct Typed {
    double value = 0;
    QString refusal; // empty when read
    bool ok() const { return refusal.isEmpty(); }
};

// A whole number as typed into the field named: digits, with spaces between groups of
// thousands. A decimal comma or point, a sign or a letter is refused with the field named;
// nothing is dropped or shifted. Empty text reads as 0.
Typed readWhole(const QString &field, const QString &text);
// A number with decimals: a comma (or a point) before at most `decimals` places, spaces
// between groups of thousands; not negative. Empty text reads as 0.
Typed readDecimal(const QString &field, const QString &text, int decimals);

// The hours of one entry in the field named.
Verdict entryHours(const QString &field, int hours);
// The pieces of one entry in the field named.
Verdict quantity(const QString &field, int pieces);
// The rejects of one entry in the field named (not above the pieces: the editor says so).
Verdict rejects(const QString &field, int pieces);
// A price per piece or per hour in the field named.
Verdict price(const QString &field, double value);

// A worker's hours of a day in every journal (shift entries, maintenance and average
// piecework) but the two entries named (0: none), which a change replaces.
int hoursOfDay(int workerId, const QDate &day, int exceptShiftEntry, qlonglong exceptFatigue);
// The refusal of an entry of `hours` that would take the worker's day, with `others` hours
// already stored, past kMaxDayHours; Fine when it stays within.
Verdict dayHours(const QDate &day, int others, int hours);

// The refusal of a period whose start is after its end; empty when from <= to.
QString reversedPeriod(const QDate &from, const QDate &to);

} // namespace shop::limits
