#include "ClosedMonths.h"

#include "db/Command.h"
#include "db/Dataset.h"

namespace closing {

QString periodText(int month, int year)
{
    return QStringLiteral("%1.%2").arg(month, 2, 10, QLatin1Char('0')).arg(year);
}

QString sentence(int month, int year)
{
    return QStringLiteral("Период %1 закрыт. Изменения запрещены.").arg(periodText(month, year));
}

bool isClosed(int month, int year)
{
    db::Dataset q(QStringLiteral("closedMonth"));
    q.setSql(QStringLiteral("select 1 from accounts_dep.closed_month where year=:y and month=:m"));
    q.setParam(QStringLiteral("y"), year);
    q.setParam(QStringLiteral("m"), month);
    q.open();
    return !q.isEmpty();
}

QString refusal(int month, int year)
{
    return isClosed(month, year) ? sentence(month, year) : QString();
}

// Closing and reopening go through the server's functions, which let only an administrator
// (or the database's owner) do them.
void close(int month, int year)
{
    db::Command c(QStringLiteral("select accounts_dep.close_month(:y, :m)"));
    c.setParam(QStringLiteral("y"), year);
    c.setParam(QStringLiteral("m"), month);
    c.execute();
}

void reopen(int month, int year)
{
    db::Command c(QStringLiteral("select accounts_dep.reopen_month(:y, :m)"));
    c.setParam(QStringLiteral("y"), year);
    c.setParam(QStringLiteral("m"), month);
    c.execute();
}

} // namespace closing
