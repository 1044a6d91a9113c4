#include "Bench.h"

#include "db/Connection.h"
#include "db/Dataset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <stdexcept>

namespace bench {

namespace settings {
QString database;
QString host;
int port = 5432;
int repeats = 11;
} // namespace settings

namespace {

std::vector<Entry> &entries()
{
    static std::vector<Entry> list;
    return list;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

bool add(const QString &action, Body body)
{
    entries().push_back({action, std::move(body)});
    return true;
}

const std::vector<Entry> &registered()
{
    return entries();
}

QString Run::database() const
{
    return settings::database;
}

QString Run::host() const
{
    return settings::host;
}

int Run::port() const
{
    return settings::port;
}

int Run::repeats() const
{
    return settings::repeats;
}

double Run::timeOnce(const std::function<void()> &fn)
{
    if (prepare_)
        prepare_();
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    fn();
    return t.nsecsElapsed() / 1e6;
}

void Run::measure(const std::function<void()> &action)
{
    timeOnce(action);
    std::vector<double> times;
    for (int i = 0; i < repeats(); ++i)
        times.push_back(timeOnce(action));
    median_ = median(times);
}

void Run::measure(const std::function<void()> &action, const std::function<void()> &floor)
{
    timeOnce(action);
    timeOnce(floor);
    std::vector<double> a, f;
    for (int i = 0; i < repeats(); ++i) {
        a.push_back(timeOnce(action));
        f.push_back(timeOnce(floor));
    }
    median_ = median(a);
    floorMedian_ = median(f);
}

void Run::measureMs(const std::function<double()> &action)
{
    measureMs(action, nullptr);
}

void Run::measureMs(const std::function<double()> &action, const std::function<double()> &floor)
{
    const auto once = [this](const std::function<double()> &fn) {
        if (prepare_)
            prepare_();
        QCoreApplication::processEvents();
        return fn();
    };
    once(action);
    if (floor)
        once(floor);
    std::vector<double> a, f;
    for (int i = 0; i < repeats(); ++i) {
        a.push_back(once(action));
        if (floor)
            f.push_back(once(floor));
    }
    median_ = median(a);
    if (floor)
        floorMedian_ = median(f);
}

void exec(const QString &sql)
{
    QSqlQuery q(db::connection());
    if (!q.exec(sql))
        throw std::runtime_error(
            QStringLiteral("%1: %2").arg(sql, q.lastError().text()).toStdString());
}

QVariant scalar(const QString &sql)
{
    QSqlQuery q(db::connection());
    if (!q.exec(sql))
        throw std::runtime_error(
            QStringLiteral("%1: %2").arg(sql, q.lastError().text()).toStdString());
    return q.next() ? q.value(0) : QVariant();
}

QDate lastEntryDay()
{
    return scalar(QStringLiteral("select max(data) from accounts_dep.smena")).toDate();
}

QDate lastWholeMonth()
{
    const QDate last = lastEntryDay();
    return QDate(last.year(), last.month(), 1).addMonths(-1);
}

int fetchAll(const QString &sql)
{
    QSqlQuery q(db::connection());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw std::runtime_error(
            QStringLiteral("%1: %2").arg(sql, q.lastError().text()).toStdString());
    int rows = 0;
    const int columns = q.record().count();
    QVariant v;
    while (q.next()) {
        for (int c = 0; c < columns; ++c)
            v = q.value(c);
        ++rows;
    }
    return rows;
}

namespace {
long statusKb(const char *key)
{
    FILE *f = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    const size_t n = std::strlen(key);
    while (f && std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, n) == 0)
            kb = std::atol(line + n);
    if (f)
        std::fclose(f);
    return kb;
}
} // namespace

Resident resident(const std::function<void()> &work)
{
    // Heap freed by earlier work would be reused without growing the resident size.
    malloc_trim(0);
    if (FILE *reset = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", reset);
        std::fclose(reset);
    }
    Resident r;
    r.beforeKb = statusKb("VmRSS:");
    work();
    r.peakKb = statusKb("VmHWM:");
    return r;
}

} // namespace bench
