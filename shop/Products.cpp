#include "Products.h"

#include "ClosedBooks.h"
#include "Timesheet.h"
#include "db/Command.h"
#include "db/Dataset.h"
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

QString rowOf(qlonglong id)
{
    db::Dataset q(QStringLiteral("productRow"));
    q.setSql(QStringLiteral(R"(
        select to_jsonb(g)::text as j
        from cmn_gds_and_srv.gds_and_srv g
        where g.id=:id)"));
    q.setParam(QStringLiteral("id"), id);
    q.open();
    return q.isEmpty() ? QString() : q.asString(QStringLiteral("j"));
}

qlonglong lastInserted()
{
    db::Dataset q(QStringLiteral("productId"));
    q.setSql(QStringLiteral("select currval('cmn_gds_and_srv.gds_and_srv_id_seq') as id"));
    q.open();
    return q.value(QStringLiteral("id")).toLongLong();
}

void noteChange(qlonglong id, const QString &action, const QString &before)
{
    db::Command note(QStringLiteral(R"(
        select accounts_dep.note_product_change(:id, :act, nullif(:before, '')::jsonb,
            (select to_jsonb(g) from cmn_gds_and_srv.gds_and_srv g where g.id=:row)))"));
    note.setParam(QStringLiteral("id"), id);
    note.setParam(QStringLiteral("act"), action);
    note.setParam(QStringLiteral("before"), before);
    note.setParam(QStringLiteral("row"), id);
    note.execute();
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
            const QString before = rowOf(id);
            db::Command del(QStringLiteral(R"(
                delete from cmn_gds_and_srv.gds_and_srv
                where id=:id
                  and xmin=:row_ver::xid)"));
            del.setParam(QStringLiteral("id"), id);
            del.setParam(QStringLiteral("row_ver"), rowVer);
            del.executeOne();
            noteChange(id, QStringLiteral("delete"), before);
        }
    });
    return QString();
}

} // namespace products
