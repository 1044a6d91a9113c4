#include "Earnings.h"

#include "DataModule.h"

#include <QStringList>

namespace earnings {

namespace {

// A day shows the sum of that day's hours over the worker's rows, or nothing for 0 (a sum
// skips empty days as it would zeros).
QString dayTerms()
{
    QStringList terms;
    for (int d = 1; d <= 31; ++d)
        terms << QStringLiteral("nullif(sum(h.d%1),0) d%1").arg(d);
    return terms.join(QStringLiteral(", "));
}

// The day columns of the rows listed by dayTerms(), taken on by the outer statement.
QString dayColumns()
{
    QStringList columns;
    for (int d = 1; d <= 31; ++d)
        columns << QStringLiteral("t.d%1").arg(d);
    return columns.join(QStringLiteral(", "));
}

// The month's timesheet rows summed per worker (and per the further columns in keys, each
// written ", h.column"), then each worker named once as p.fio by his one person row: the one
// known by his id wins over one that knows him by code, so a worker is never listed twice.
// kind holds the further conditions on the rows, each written " and ...".
QString workerRows(const QString &keys, const QString &kind)
{
    return QStringLiteral(R"(
    from (select h.w_id id%1, %2
          from accounts_dep.h_tabel h
          where h.year=:i_year
            and h.month=:i_month%3
          group by h.w_id%1) t
    cross join lateral (select x.s_caption fio
                        from (%4) x
                        order by x.by_code
                        limit 1) p)")
        .arg(keys, dayTerms(), kind, DataModule::workerPersons(QStringLiteral("t.id")));
}

// A worker's month from his entries (e): hours and earnings, and what an hour earned.
const QString kEarnings = QStringLiteral(R"(
    e.i_time,
    e.pay::numeric(10,2) f_price,
    case when coalesce(e.i_time,0)::numeric(10,2)=0 then 0
         else coalesce(e.pay/e.i_time,0)::numeric(10,2)
    end average_price,)");

// The month's shift entries summed per worker, read once for all of them.
const QString kEntrySums = QStringLiteral(R"(
    (select s.w_id, sum(s.time) i_time, sum()" TABEL_ENTRY_PAY("s.") R"() pay
     from accounts_dep.smena s
     where s.data<:d_date1
       and s.data>=:d_date2
     group by s.w_id) e on e.w_id=t.id)");

} // namespace

QString piecesSql()
{
    return QStringLiteral("select p.fio, t.id, t.i_type,") + kEarnings + dayColumns() +
           workerRows(QStringLiteral(", h.i_type"), QStringLiteral(" and h.i_type=0")) +
           QStringLiteral("\nleft join") + kEntrySums + QStringLiteral("\norder by p.fio, t.id");
}

QString kindSql(int kind)
{
    const QString k = QString::number(kind);
    return QStringLiteral(R"(
    select p.fio, t.id, t.i_type,
           case when t.i_night=0 then 'дн.' else 'ноч.' end as s_night,
           t.i_night,)") +
           kEarnings + dayColumns() +
           workerRows(QStringLiteral(", h.i_type, h.i_night"),
                      QStringLiteral(" and h.i_type=") + k) +
           QStringLiteral(R"(
    left join (select f.id_p, f.i_night, sum(f.cnt) i_time, sum(f.cnt*f.price) pay
               from accounts_dep.fatigue f
               where f.d_date<:d_date1
                 and f.d_date>=:d_date2
                 and f.id_o=%1
               group by f.id_p, f.i_night) e on e.id_p=t.id and e.i_night=t.i_night
    order by p.fio, t.id)")
               .arg(k);
}

QString allSql()
{
    return QStringLiteral(R"(
    select p.fio, t.id,
           coalesce(e.i_time,0)+coalesce(f.i_time,0) i_time,
           coalesce(e.pay::numeric(10,2),0)+coalesce(f.pay::numeric(10,2),0) f_price,
    )") + dayColumns() +
           workerRows(QString(), QString()) + QStringLiteral("\nleft join") + kEntrySums +
           QStringLiteral(R"(
    left join (select f.id_p, sum(f.cnt) i_time, sum(f.cnt*f.price) pay
               from accounts_dep.fatigue f
               where f.d_date<:d_date7
                 and f.d_date>=:d_date8
               group by f.id_p) f on f.id_p=t.id
    order by p.fio, t.id)");
}

QString shopTotalSql()
{
    return QStringLiteral(R"(
    select (select sum(part)
            from (values ((select sum()" TABEL_ENTRY_PAY("s.") R"()
                           from accounts_dep.smena s
                           where s.data<:d_date1
                             and s.data>=:d_date2
                             and s.cena>0
                             and s.kol_vo>0)),
                         ((select sum(f.cnt*f.price)
                           from accounts_dep.fatigue f
                           where f.d_date<:d_date3
                             and f.d_date>=:d_date4
                             and f.cnt>0
                             and f.price>0))) parts(part))::numeric(20,2) price)");
}

QString pieceworkTotalSql()
{
    return QStringLiteral(R"(
    select sum()" TABEL_ENTRY_PAY("s.") R"()::numeric(100,2) as price
    from accounts_dep.smena s
    where s.data<:d_date1
      and s.data>=:d_date2
      and s.cena>0
      and s.kol_vo>0)");
}

QString kindTotalSql(int kind)
{
    return QStringLiteral(R"(
    select sum(f.cnt*f.price)::numeric(100,2) as price
    from accounts_dep.fatigue f
    where f.d_date<:d_date1
      and f.d_date>=:d_date2
      and f.cnt>0
      and f.price>0
      and f.id_o=%1)")
        .arg(kind);
}

} // namespace earnings
