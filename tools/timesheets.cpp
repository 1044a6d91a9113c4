// tabel-timesheets: every month's timesheet made anew from the entries by the rebuilds the
// timesheet windows run, the shift rows from the shift journal and the maintenance rows
// from the maintenance journal. The data scripts run it once their entries are written and
// before they close months: a closed month's timesheet is refused.

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Settings.h"
#include "db/SqlError.h"
#include "shop/Timesheet.h"

#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QProcessEnvironment>
#include <cstdio>
#include <cstring>

namespace {

const char *const kHelp =
    "Использование: tabel-timesheets\n"
    "\n"
    "Табели всех месяцев заново из журналов: по сменам из журнала смен, хоз. работ и\n"
    "среднесдельной из журнала хоз. работ. Закрытый месяц пересобрать нельзя.\n"
    "Подключение: переменные окружения PGHOST, PGPORT, PGDATABASE, PGUSER, PGPASSWORD.";

void say(FILE *to, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

// Rebuilds each month (year y, month m) the statement lists, in order; the number of months.
int rebuildEach(const QString &sql,
                void (*rebuild)(int month, int year, const shop::timesheet::DayLoop &loop))
{
    db::Dataset q;
    q.setSql(sql);
    q.open();
    QList<QPair<int, int>> months;
    for (q.first(); !q.eof(); q.next())
        months.append({q.asInteger(QStringLiteral("y")), q.asInteger(QStringLiteral("m"))});
    q.close();
    for (const auto &[year, month] : months)
        rebuild(month, year, shop::timesheet::eachDay);
    return int(months.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "--help") == 0;
        say(help ? stdout : stderr, QString::fromUtf8(kHelp));
        return help ? 0 : 2;
    }
    // The environment alone: the program's settings files are its users', not a data script's.
    db::ConnectionParams params;
    try {
        params =
            db::resolveConnection(db::ConnectionParams(), QString(), QString(),
                                  {QString(), QString(), QProcessEnvironment::systemEnvironment()});
    } catch (const db::SettingsError &e) {
        say(stderr, QStringLiteral("Табели не пересобраны: %1").arg(e.text()));
        return 2;
    }
    try {
        db::openConnection(params);
        const int shifts = rebuildEach(QStringLiteral(R"(
            select distinct extract(year from data)::int as y,
                   extract(month from data)::int as m
            from accounts_dep.smena
            where smena>0
              and data is not null
            order by 1, 2)"),
                                       shop::timesheet::rebuildShifts);
        const int kinds = rebuildEach(QStringLiteral(R"(
            select distinct extract(year from d_date)::int as y,
                   extract(month from d_date)::int as m
            from accounts_dep.fatigue
            where d_date is not null
            order by 1, 2)"),
                                      shop::timesheet::rebuildKinds);
        say(stdout, QStringLiteral("Табели пересобраны: по сменам %1 мес., хоз. работ %2 мес.")
                        .arg(shifts)
                        .arg(kinds));
        db::closeConnection();
        return 0;
    } catch (const db::SqlError &e) {
        say(stderr,
            QStringLiteral("Табели не пересобраны (%1): %2").arg(db::describe(params), e.text()));
        return 1;
    }
}
