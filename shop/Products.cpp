#include "Products.h"

#include "ClosedBooks.h"
#include "Timesheet.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/Transaction.h"

#include <QVector>

namespace products {

namespace {

// The shift entries that use the product's operations; those of other products, which stay
// when the product's own entries go.
const QString kEntriesOnOperations = QStringLiteral(R"(
    select count(*) as cnt
    from accounts_dep.smena s, accounts_dep.oper o
    where s.o_id=o.id
      and o.i_id=:id)");
const QString kOtherEntriesOnOperations = kEntriesOnOperations + QStringLiteral(R"(
      and s.i_id<>:product)");

// A statement's column cnt, with its parameters bound by name.
int count(const QString &sql, std::initializer_list<std::pair<const char *, QVariant>> params)
{
    db::Dataset q(QStringLiteral("productUsage"));
    q.setSql(sql);
    for (const auto &[name, value] : params)
        q.setParam(QLatin1String(name), value);
    q.open();
    return q.asInteger(QStringLiteral("cnt"));
}

} // namespace

namespace {

// The weight as the server reads a number: the comma typed or pasted becomes a point.
QString numberOf(const QString &weight)
{
    return QString(weight).replace(QLatin1Char(','), QLatin1Char('.'));
}

// The first row's column r of a call of the server's product functions.
QVariant callFor(const QString &sql,
                 std::initializer_list<std::pair<const char *, QVariant>> params)
{
    db::Dataset q(QStringLiteral("productStore"));
    q.setSql(sql);
    for (const auto &[name, value] : params)
        q.setParam(QLatin1String(name), value);
    q.open();
    return q.value(QStringLiteral("r"));
}

} // namespace

qlonglong add(const QString &mark, const QString &weight, qlonglong classItem)
{
    return callFor(QStringLiteral(R"(
        select accounts_dep.add_product(:mark, :weight::numeric, :item) as r)"),
                   {{"mark", mark}, {"weight", numberOf(weight)}, {"item", classItem}})
        .toLongLong();
}

void change(qlonglong id, const QString &rowVer, const QString &mark, const QString &weight,
            qlonglong classItem)
{
    const int changed = callFor(QStringLiteral(R"(
        select accounts_dep.change_product(:id, :row_ver, :mark, :weight::numeric, :item) as r)"),
                                {{"id", id},
                                 {"row_ver", rowVer},
                                 {"mark", mark},
                                 {"weight", numberOf(weight)},
                                 {"item", classItem}})
                            .toInt();
    if (changed != 1)
        throw db::RowChanged();
}

QString startDateText(const QDate &today)
{
    const int m = today.month() == 1 ? 13 : today.month();
    return QStringLiteral("01.") + QString::number(m - 1) + QStringLiteral(".2000");
}

Usage usageOf(qlonglong id, const QDate &today)
{
    Usage u;
    u.entries = count(QStringLiteral(R"(
        select count(*) as cnt
        from accounts_dep.smena s
        where s.i_id=:id
          and s."data">=:dt)"),
                      {{"id", id}, {"dt", startDateText(today)}});
    u.operations = count(QStringLiteral(R"(
        select count(*) as cnt
        from accounts_dep.oper o
        where o.i_id=:id)"),
                         {{"id", id}});
    return u;
}

QString remove(qlonglong id, const QString &rowVer, const Deletion &what)
{
    const QString closed = shop::closedBooks::productDeleteRefusal(id);
    if (!closed.isEmpty())
        return closed;
    if (what.operations) {
        const int kept = what.entries
                             ? count(kOtherEntriesOnOperations, {{"id", id}, {"product", id}})
                             : count(kEntriesOnOperations, {{"id", id}});
        if (kept > 0)
            return QStringLiteral("Ничего не удалено: расценки изделия используются в "
                                  "записях журнала смен, которые остаются.");
    }
    db::transaction([&] {
        if (what.operations) {
            db::Command del(QStringLiteral(R"(
                delete from accounts_dep.oper o
                where o.i_id=:id)"));
            del.setParam(QStringLiteral("id"), id);
            del.execute();
        }
        if (what.entries) {
            // The days whose timesheet cells lose hours.
            struct Day {
                int worker, shift;
                QDate date;
            };
            QVector<Day> days;
            db::Dataset q(QStringLiteral("productDays"));
            q.setSql(QStringLiteral(R"(
                select distinct w_id, smena, data
                from accounts_dep.smena
                where i_id=:id
                  and smena is not null
                  and data is not null)"));
            q.setParam(QStringLiteral("id"), id);
            q.open();
            for (q.first(); !q.eof(); q.next())
                days.append({q.asInteger(QStringLiteral("w_id")),
                             q.asInteger(QStringLiteral("smena")),
                             q.asDate(QStringLiteral("data"))});
            q.close();
            db::Command del(QStringLiteral(R"(
                delete from accounts_dep.smena s
                where s.i_id=:id)"));
            del.setParam(QStringLiteral("id"), id);
            del.execute();
            for (const Day &d : days)
                shop::timesheet::writeShiftDay(d.worker, d.shift, d.date, false);
        }
        if (what.product) {
            const int removed = callFor(QStringLiteral(R"(
                select accounts_dep.delete_product(:id, :row_ver) as r)"),
                                        {{"id", id}, {"row_ver", rowVer}})
                                    .toInt();
            if (removed != 1)
                throw db::RowChanged();
        }
    });
    return QString();
}

} // namespace products
