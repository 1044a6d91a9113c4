// Runs the registered benchmarks against a database and prints their table.
//
//   tabel_bench [--db NAME] [--runs N] [--only TEXT] [--list]
//
// The server is TABEL_PGHOST / TABEL_PGPORT (as for the tests), the database --db or
// TABEL_BENCH_DB. The program's windows are created as at start-up and stay hidden unless a
// benchmark shows one; run with QT_QPA_PLATFORM=offscreen where there is no display.
#include "Bench.h"

#include "app/ProgramEnd.h"
#include "app/Startup.h"
#include "shop/DataModule.h"
#include "ui/Application.h"
#include "ui/Messages.h"

#include <QLocale>
#include <cstdio>
#include <exception>

namespace bench::settings {
extern QString database;
extern QString host;
extern int port;
extern int repeats;
} // namespace bench::settings

namespace {

QString env(const char *name, const QString &fallback)
{
    const QByteArray v = qgetenv(name);
    return v.isEmpty() ? fallback : QString::fromLocal8Bit(v);
}

QString figure(double ms)
{
    if (ms < 0)
        return QString();
    return QString::number(ms, 'f', ms < 10 ? 2 : (ms < 100 ? 1 : 0));
}

// No message box may wait for a click during a run: errors go to the error stream, questions
// are answered yes.
class Unattended : public ui::MessageService {
public:
    void error(const QString &text, const QString &caption, const QString &details) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        if (!details.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(details));
    }
    bool question(const QString &, const QString &) override { return true; }
    void information(const QString &text, const QString &caption) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
};

QString defaultSize()
{
    const QLocale c(QLocale::English);
    return QStringLiteral("%1 workers, %2 entries")
        .arg(bench::scalar(QStringLiteral("select count(*) from accounts_dep.person")).toInt())
        .arg(c.toString(
            bench::scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toLongLong()));
}

} // namespace

int main(int argc, char **argv)
{
    ui::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QStringList args = app.arguments();
    args.removeFirst();
    QString only;
    bool list = false;
    bench::settings::database = env("TABEL_BENCH_DB", QStringLiteral("tabel_bench"));
    bench::settings::host = env("TABEL_PGHOST", QStringLiteral("127.0.0.1"));
    bench::settings::port = env("TABEL_PGPORT", QStringLiteral("5432")).toInt();
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        const QString next = args.value(i + 1);
        if (a == QLatin1String("--db"))
            bench::settings::database = next, ++i;
        else if (a == QLatin1String("--runs"))
            bench::settings::repeats = qMax(1, next.toInt()), ++i;
        else if (a == QLatin1String("--only"))
            only = next, ++i;
        else if (a == QLatin1String("--list"))
            list = true;
        else {
            std::fprintf(stderr,
                         "usage: tabel_bench [--db NAME] [--runs N] [--only TEXT] [--list]\n");
            return 2;
        }
    }
    if (list) {
        for (const auto &e : bench::registered())
            std::printf("%s\n", qPrintable(e.action));
        return 0;
    }

    Unattended messages;
    ui::installMessages(&messages);
    DataModule::setPortOverride(bench::settings::port);
    setEndProgramHandler([] {});
    if (!createForms({bench::settings::database, bench::settings::host})) {
        std::fprintf(stderr, "no connection to %s on %s:%d\n",
                     qPrintable(bench::settings::database), qPrintable(bench::settings::host),
                     bench::settings::port);
        return 1;
    }
    const QString size = defaultSize();

    std::printf("| Action | Data size | Median, ms | Floor, ms | Ratio |\n");
    std::printf("|---|---|---:|---:|---:|\n");
    std::fflush(stdout);
    int failed = 0;
    for (const auto &e : bench::registered()) {
        if (!only.isEmpty() && !e.action.contains(only, Qt::CaseInsensitive))
            continue;
        bench::Run run;
        run.size_ = size;
        try {
            e.body(run);
        } catch (const std::exception &ex) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(e.action), ex.what());
            ++failed;
            continue;
        }
        const QString ratio =
            run.floorMedian_ > 0
                ? QString::number(run.median_ / run.floorMedian_, 'f', 1) + QLatin1Char('x')
                : QString();
        std::printf("| %s | %s | %s | %s | %s |\n", qPrintable(e.action), qPrintable(run.size_),
                    qPrintable(figure(run.median_)), qPrintable(figure(run.floorMedian_)),
                    qPrintable(ratio));
        std::fflush(stdout);
    }
    return failed ? 1 : 0;
}
