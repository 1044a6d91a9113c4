#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

// Benchmarks of the program's actions against a database of a known size.
//
// A benchmark is one function, registered with TABEL_BENCH (or bench::add for a table of
// similar ones). Its body does the untimed setup and then calls run.measure once with the
// action, and with the floor where one applies: the least work that gives the same result,
// timed in the same run so that the ratio does not depend on the machine's mood.
namespace bench {

class Run {
public:
    // Times action over the repeated runs (after one untimed warm-up call); the table shows
    // the median.
    void measure(const std::function<void()> &action);
    // The same with a floor; action and floor take turns, so both meet the same conditions.
    void measure(const std::function<void()> &action, const std::function<void()> &floor);
    // For an action that times itself (a window that is open only inside its own event
    // loop, another process): it returns its milliseconds.
    void measureMs(const std::function<double()> &action);
    void measureMs(const std::function<double()> &action, const std::function<double()> &floor);
    // Untimed work before every call of the action and of the floor, e.g. undoing what the
    // previous call wrote.
    void beforeEach(std::function<void()> prepare) { prepare_ = std::move(prepare); }

    // The table's data size column; the database's workers and shift entries unless set.
    void setSize(const QString &size) { size_ = size; }

    // The database the program is connected to, and the server's address.
    QString database() const;
    QString host() const;
    int port() const;
    int repeats() const;

    // Filled by measure.
    QString size_;
    double median_ = -1;
    double floorMedian_ = -1;

private:
    double timeOnce(const std::function<void()> &fn);
    std::function<void()> prepare_;
};

using Body = std::function<void(Run &)>;

// Registers a benchmark under the action it times. Returns true (for static registration).
bool add(const QString &action, Body body);

struct Entry {
    QString action;
    Body body;
};
const std::vector<Entry> &registered();

// A statement on the program's connection, for setup and floors; throws on failure.
void exec(const QString &sql);
// First column of the first row of a statement on the program's connection.
QVariant scalar(const QString &sql);
// The day of the shop's last shift entry, and the first day of the month before its month:
// the last whole month, which the benchmarks of a month's work take.
QDate lastEntryDay();
QDate lastWholeMonth();
// Runs a statement and reads every value of every row, as a window's list would; returns
// the number of rows.
int fetchAll(const QString &sql);

// This process's resident memory in kB before the work and at its peak during it: freed
// heap is handed back and the peak restarted at the current size first.
struct Resident {
    long beforeKb = -1, peakKb = -1;
};
Resident resident(const std::function<void()> &work);

} // namespace bench

#define TABEL_BENCH_CAT2(a, b) a##b
#define TABEL_BENCH_CAT(a, b) TABEL_BENCH_CAT2(a, b)
// TABEL_BENCH("action") { ...setup...; run.measure([&] { ... }); }
#define TABEL_BENCH(action)                                                                        \
    static void TABEL_BENCH_CAT(benchBody, __LINE__)(bench::Run & run);                            \
    static const bool TABEL_BENCH_CAT(benchAdded, __LINE__) =                                      \
        bench::add(action, &TABEL_BENCH_CAT(benchBody, __LINE__));                                 \
    static void TABEL_BENCH_CAT(benchBody, __LINE__)(bench::Run & run)
