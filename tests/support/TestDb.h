#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <thread>

// A throwaway database per test program, copied from a template that the test command
// prepares (tabel_schema: the schema alone; tabel_demo: with the demo shop).
namespace testdb {

QString host();
int port();
// Creates a fresh copy of the template and returns its name.
QString create(const QString &templateName = QStringLiteral("tabel_demo"));
void drop(const QString &name);
// Opens the program's connection on the database.
void connectProgram(const QString &name);
// Opens the program's connection on the database as a login in the group roles (a comma
// list), created on the cluster when missing.
void connectProgramAs(const QString &name, const QString &login, const QString &groups);
// A side connection for checks, not the program's.
QSqlDatabase side(const QString &name);
// First column of the first row of a statement on the side connection.
QVariant scalar(const QString &dbName, const QString &sql);
void run(const QString &dbName, const QString &sql);

// The day's cell of a worker's shift row in the timesheet: invalid without such a row, null
// when the row leaves the day empty.
QVariant shiftCell(const QString &dbName, int worker, int shift, const QDate &day);

// "d1,d2,...,d31": the day cells of a timesheet row.
QString dayColumns();
// The whole timesheet table, row by row, without its ids.
QString timesheet(const QString &dbName);

// A month's timesheet rows rebuilt the way the shop always did it, one statement at a time:
// the month's rows matching `replaced` deleted, then for each day and each group that
// `dayGroups` (":date" stands for the day) returns, a count of the group's row and an update
// of the day's cell or an insert of a new row. The group's columns are named as the
// timesheet's key columns `keys`, its hours `hours`. Returns timesheet() as the rebuild
// leaves it; the rebuild itself is undone.
struct OneByOne {
    QString replaced;
    QString dayGroups;
    QStringList keys;
};
QString rebuiltOneByOne(const QString &dbName, int month, int year, const OneByOne &how);

// One shift entry being laid out: the columns named are written, the others keep their
// defaults (null where there is none). insert() writes it and returns its id.
class [[nodiscard]] EntryRow {
public:
    EntryRow &on(const QDate &day, int shift);
    EntryRow &hours(int hours);
    EntryRow &made(int quantity, int rejects);
    EntryRow &operation(int operation, int product);
    EntryRow &price(double price);
    EntryRow &color(int color);
    // The master's mark ("ta" accepted, "no" not yet); a null value leaves it null.
    EntryRow &mark(const QVariant &ok);
    // The moment of entry: now.
    EntryRow &enteredNow();
    int insert();

private:
    friend class Shop;
    EntryRow(const QString &dbName, int worker);
    EntryRow &set(const char *column, const QVariant &value);
    QString db_;
    QStringList columns_;
    QVariantList values_;
    bool enteredNow_ = false;
};

// The rows a test lays out in the shop: workers, operations and shift entries. Values are
// bound, never pasted into the statement, so a name with an apostrophe is stored as typed.
// Each returns the new row's id.
class Shop {
public:
    Shop() = default;
    explicit Shop(const QString &dbName) : db_(dbName) {}

    // A worker without a position (null), or with one as typed (a null text stored empty).
    int worker(const QString &fio);
    int worker(const QString &fio, const QString &position);
    // productKind: 0 finished goods, 1 blanks.
    int operation(int kind, int product, int productKind = 0);
    EntryRow entry(int worker) const { return EntryRow(db_, worker); }

private:
    QString db_;
};

// Another clerk's transaction on a connection of its own, in a thread of its own: it runs
// the statements and keeps them uncommitted until the program's connection waits for a lock
// (so the program is seen to wait for it), or until finish(); then it commits. The race is
// decided by the server's lock table, not by a pause.
class OtherClerk {
public:
    // Starts the transaction and returns once the statements have run.
    OtherClerk(const QString &dbName, const QStringList &statements);
    ~OtherClerk();
    // Commits now if it has not yet and waits for the thread; returns the first error, or
    // an empty text.
    QString finish();
    // Whether the transaction was committed because the program waited for it.
    bool committedWhileProgramWaited() const { return committedOnWait_; }
    // Whether it has begun to commit: the server lets the program go at the commit, which may
    // be before this thread hears back, so only the start of the commit orders the two.
    bool committing() const { return committing_; }

private:
    std::thread thread_;
    std::atomic<bool> ready_{false};
    std::atomic<bool> release_{false};
    std::atomic<bool> committing_{false};
    std::atomic<bool> committedOnWait_{false};
    QString error_;
};

// The month the reconciling tests generate, November 2023: its reference books (groups
// 9001 "Группа А" and 9002 "Группа Б", products 9101 "Изд-А" and 9102 "Изд-Б" in them, kinds
// 41 "Сварка" and 42 "Покраска"), and its timesheet rows made from both journals as the
// rebuild would, written independently of the program.
namespace november2023 {
extern const char *const kBooks;
extern const char *const kTimesheet;
} // namespace november2023

} // namespace testdb
