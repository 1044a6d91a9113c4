// The shop generator of bench/generate.sql at a small size: the data it writes holds
// together as the program's own writing would leave it, and the same parameters give the
// same data.
#include "TestDb.h"
#include "reports/ReportStatements.h"
#include "shop/DataModule.h"
#include "shop/Earnings.h"
#include "shop/Price.h"

#include <QCoreApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

const int kWorkers = 14;
const int kExtra = 60;
const char *const kEndDate = "12.03.2024";

// Fills a fresh copy of the schema template through psql and makes its timesheets with
// tabel-timesheets, as scripts/bench.sh does.
QString generate()
{
    const QString name = testdb::create(QStringLiteral("tabel_schema"));
    QProcess psql;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), QStringLiteral("wexapol"));
    psql.setProcessEnvironment(env);
    psql.start(QStringLiteral("psql"),
               {"-X", "-q",
                "-h", testdb::host(),
                "-p", QString::number(testdb::port()),
                "-U", "sys",
                "-d", name,
                "-v", "ON_ERROR_STOP=1",
                "-v", QStringLiteral("workers=%1").arg(kWorkers),
                "-v", "years=1",
                "-v", QStringLiteral("extra=%1").arg(kExtra),
                "-v", QStringLiteral("end_date=%1").arg(kEndDate),
                "-f", QStringLiteral(TABEL_SOURCE_DIR "/bench/generate.sql")});
    if (!psql.waitForFinished(120000) || psql.exitCode() != 0)
        qFatal("generator failed: %s", psql.readAllStandardError().constData());
    QProcess timesheets;
    env.insert(QStringLiteral("PGHOST"), testdb::host());
    env.insert(QStringLiteral("PGPORT"), QString::number(testdb::port()));
    env.insert(QStringLiteral("PGDATABASE"), name);
    env.insert(QStringLiteral("PGUSER"), QStringLiteral("sys"));
    timesheets.setProcessEnvironment(env);
    timesheets.start(QStringLiteral(TABEL_TIMESHEETS), {});
    if (!timesheets.waitForFinished(120000) || timesheets.exitCode() != 0)
        qFatal("timesheets failed: %s", timesheets.readAllStandardError().constData());
    return name;
}

// The hours of every timesheet cell, one row per (row key, day), from the timesheet rows.
const char *const kCells =
    "select h.w_id, h.smena, h.i_type, h.i_night, h.month, h.year, d.day, d.hours "
    "from accounts_dep.h_tabel h cross join lateral unnest(array[d1,d2,d3,d4,d5,d6,d7,d8,d9,"
    "d10,d11,d12,d13,d14,d15,d16,d17,d18,d19,d20,d21,d22,d23,d24,d25,d26,d27,d28,d29,d30,"
    "d31]) with ordinality as d(hours, day) where d.hours is not null";

// The same cells as the month rebuilds write them: per worker, shift (or kind and night
// flag) and day, the sum of the entries' hours.
const char *const kRebuilt =
    "select w_id, smena, 0, 0, extract(month from data)::int, extract(year from data)::int, "
    "extract(day from data)::bigint, sum(time)::int from accounts_dep.smena "
    "group by 1, 2, 5, 6, 7 "
    "union all "
    "select id_p::int, 0, id_o::int, i_night, i_mnth, i_year, extract(day from d_date)::bigint, "
    "sum(cnt)::int from accounts_dep.fatigue group by 1, 3, 4, 5, 6, 7";

// The reports as they were first written, joining names, kinds and groups to every entry
// and summing the maintenance amounts once per report row. The program's statements must
// give exactly their rows.
const char *const kWrittenByWorkers =
    "select person.s_caption fio, smena.w_id, sum(smena.kol_vo-smena.brak)::numeric(10,2) as "
    "kolvo,vid_oper.vid, sum((kol_vo-brak)*smena.cena)::numeric(10,2) as "
    "summa,izdel.nom, oper.naimen, color, (select "
    "coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7 from accounts_dep.fatigue f "
    "where f.d_date<:data4 and f.d_date>=:data3 and f.id_p=smena.w_id and "
    "f.id_nom=izdel.id_nom and f.id_o=7777), (select "
    "coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8 from accounts_dep.fatigue f "
    "where f.d_date<:data6 and f.d_date>=:data5 and f.id_p=smena.w_id and "
    "f.id_nom=izdel.id_nom and f.id_o=7778) from cmn_contractor.person "
    "person,accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, "
    "accounts_dep.oper where w_id=s_code::integer and izdel.id=smena.i_id and "
    "vid_oper.id=oper.vid and oper.id=smena.o_id and smena.data<:data2 and "
    "smena.data>=:data1 group by fio, izdel.nom, vid_oper.vid, smena.w_id, "
    "izdel.id_nom, oper.naimen, color order by fio, smena.w_id, izdel.nom";
// The report by products names each product (its mark) beside the written columns.
const char *const kWrittenByProducts =
    "select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid, izdel.nom, "
    "izdel.marka, oper.naimen, color, "
    "round((izdel.massa*sum(smena.kol_vo-smena.brak))::numeric,2) "
    "as mass from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, "
    "accounts_dep.oper where izdel.id=smena.i_id and vid_oper.id=oper.vid and "
    "oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 group by "
    "izdel.nom, izdel.marka, color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom";
const char *const kWrittenWorkbook =
    "select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid, izdel.nom, "
    "oper.naimen, color,izdel.massa*sum(smena.kol_vo-smena.brak) as mass from "
    "accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where "
    "izdel.id=smena.i_id and vid_oper.id=oper.vid and oper.id=smena.o_id and "
    "smena.data<:data2 and smena.data>=:data1 group by izdel.nom,color, oper.naimen, "
    "vid_oper.vid, izdel.massa order by izdel.nom";
const char *const kWrittenDetailByWorkers =
    "select s_caption fio, smena.w_id, izdel.marka, vid_oper.vid, oper.naimen, "
    "sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)* "
    "smena.cena) as summa, color, sum(prize*(kol_vo-brak)*cena/100) as s_prize from "
    "cmn_contractor.person "
    "person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_"
    "oper where smena.o_id=oper.id and smena.w_id=s_code::integer and "
    "smena.i_id=izdel.id and smena.o_id=oper.id and w_id=s_code::integer and "
    "oper.vid=vid_oper.id and smena.data<:data2 and smena.data>=:data1 group by fio, "
    "smena.w_id, marka, vid_oper.vid, oper.naimen, color order by fio, smena.w_id, "
    "marka, vid_oper.vid, oper.naimen";
const char *const kWrittenDetailByProducts =
    "select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom, "
    "sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, "
    "sum((kol_vo-brak)*smena.cena) as summa, color, "
    "round((izdel.massa*sum(smena.kol_vo))::numeric,2) as mass from "
    "accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper "
    "where smena.o_id=oper.id and smena.i_id=izdel.id and smena.o_id=oper.id and "
    "oper.vid=vid_oper.id and smena.data<:data2 and smena.data>=:data1 group by "
    "izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa order by "
    "izdel.nom,marka, vid_oper.vid, oper.naimen";

// The piecework timesheets as first written: three sums per worker, each over the worker's
// entries of the month. %1: the day columns, %2: the timesheet rows with their worker's name.
QString writtenTimesheet(const char *sql)
{
    QStringList days;
    for (int d = 1; d <= 31; ++d)
        days << QStringLiteral("case when sum(coalesce(h.d%1,0)) =0 then null else "
                               "sum(coalesce(h.d%1,0)) end d%1")
                    .arg(d);
    return QString::fromUtf8(sql).arg(
        days.join(QStringLiteral(", ")),
        QStringLiteral(" from accounts_dep.h_tabel h cross join lateral (select c.s_caption from "
                       "cmn_contractor.person c where c.id=h.w_id or c.s_code::t_id=h.w_id order "
                       "by (c.id=h.w_id) desc limit 1) p"));
}
const char *const kWrittenPieces =
    "select p.s_caption fio, h.w_id as id,h.i_type, (select sum(s.time) from "
    "accounts_dep.smena s where s.data<:d_date1 and s.data>=:d_date2 and s.w_id=h.w_id) "
    "i_time, (select sum((s.kol_vo-s.brak)*s.cena)::numeric(10,2)from "
    "accounts_dep.smena s where s.data<:d_date3 and s.data>=:d_date4 and s.w_id=h.w_id) "
    "f_price, (select case when coalesce(sum(s.time),0)::numeric(10,2)=0 then 0 else "
    "coalesce(sum((s.kol_vo-s.brak)*s.cena)/sum(time),0)::numeric(10,2) end from "
    "accounts_dep.smena s where s.data<:d_date5 and s.data>=:d_date6 and s.w_id=h.w_id) "
    "average_price, %1%2 where h.year=:i_year and h.month=:i_month and i_type=0 "
    "group by h.w_id, p.s_caption, h.i_type order by fio, h.w_id";
const char *const kWrittenKind =
    "select p.s_caption fio, h.w_id as id,h.i_type, case when h.i_night=0 then 'дн.' else "
    "'ноч.' end as s_night, h.i_night, (select sum(f.cnt) from accounts_dep.fatigue f "
    "where f.d_date<:d_date1 and f.d_date>=:d_date2 and f.id_p=h.w_id and f.id_o=7777 and "
    "f.i_night=h.i_night) i_time, (select sum(f.cnt*f.price)::numeric(10,2) from "
    "accounts_dep.fatigue f where f.d_date<:d_date3 and f.d_date>=:d_date4 and "
    "f.id_p=h.w_id and f.id_o=7777 and f.i_night=h.i_night) f_price, (select case when "
    "coalesce(sum(f.cnt),0)::numeric(10,2)=0 then 0 else "
    "coalesce(sum((f.cnt*f.price))/sum(f.cnt),0)::numeric(10,2) end from "
    "accounts_dep.fatigue f where f.d_date<:d_date5 and f.d_date>=:d_date6 and "
    "f.id_p=h.w_id and f.id_o=7777 and f.i_night=h.i_night) average_price, %1%2 "
    "where h.year=:i_year and h.month=:i_month and i_type=7777 "
    "group by h.w_id, p.s_caption, h.i_type, h.i_night order by fio, h.w_id";
const char *const kWrittenAll =
    "select p.s_caption fio, h.w_id as id, coalesce((select sum(s.time) from "
    "accounts_dep.smena s where s.data<:d_date1 and s.data>=:d_date2 and "
    "s.w_id=h.w_id),0)+ coalesce((select sum(f.cnt) from accounts_dep.fatigue f where "
    "f.d_date<:d_date7 and f.d_date>=:d_date8 and f.id_p=h.w_id),0) i_time, "
    "coalesce((select sum((s.kol_vo-s.brak)*s.cena)::numeric(10,2)from "
    "accounts_dep.smena s where s.data<:d_date3 and s.data>=:d_date4 and "
    "s.w_id=h.w_id),0)+ coalesce((select sum(f.cnt*f.price)::numeric(10,2)from "
    "accounts_dep.fatigue f where f.d_date<:d_date5 and f.d_date>=:d_date6 and "
    "f.id_p=h.w_id),0) f_price, %1%2 where h.year=:i_year and h.month=:i_month group by "
    "h.w_id, p.s_caption order by fio, h.w_id";

// The journal queries as first written: each entry joined to every person whose id is the
// worker's number or whose code reads as it. %1: the shift.
QString writtenJournal(int shift)
{
    const QString from =
        QStringLiteral(" from cmn_contractor.person person, accounts_dep.izdel,accounts_dep.oper,"
                       "accounts_dep.smena,accounts_dep.vid_oper where smena.i_id=izdel.id and "
                       "smena.o_id=oper.id and (w_id=person.id or s_code::t_id=w_id) and "
                       "oper.vid=vid_oper.id and smena.smena=%1 and smena.data=:data and ok<>:ok ");
    const QString kind = QStringLiteral("(SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' "
                                        "ELSE 'Заготовки' END)) as nmn");
    if (shift == 1)
        return QStringLiteral(
                   "select smena.id, smena.xmin::text as row_ver, smena.data, smena.smena, "
                   "smena.i_id, smena.o_id, smena.w_id, smena.cena,person.s_caption fio, "
                   "izdel.marka, vid_oper.vid, ") +
               kind +
               QStringLiteral(", oper.naimen, smena.brak, smena.kol_vo::numeric, "
                              "round((kol_vo-brak)*smena.cena::numeric, 2) as summa, "
                              "smena.prize, color,time, smena.ok, vvod, smena.id_doc, "
                              "smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, "
                              "smena.id_cons_use") +
               from.arg(1) +
               QStringLiteral("order by fio, izdel.marka, vid_oper.vid, oper.naimen, color");
    return QStringLiteral("select smena.id, smena.xmin::text as row_ver, %1 fio, izdel.marka, "
                          "vid_oper.vid, ")
               .arg(shift == 4 ? QStringLiteral("person.s_caption") : QStringLiteral("s_caption")) +
           kind +
           QStringLiteral(", oper.naimen, smena.kol_vo::numeric, smena.brak, "
                          "round((kol_vo-brak)*smena.cena::numeric, 2) as summa, smena.cena, "
                          "smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, "
                          "smena.prize, color, time, smena.ok, vvod, smena.id_doc, "
                          "smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, "
                          "smena.id_cons_use") +
           from.arg(shift) + QStringLiteral("order by fio");
}

// A statement's rows over [from, to) as text, one line a row, with the column names and
// types; numeric values exactly, floating sums to 12 digits (their last bits depend on the
// order the server adds them in, whatever the statement).
QStringList rowsOf(const QString &db, const QString &sql, const QDate &from, const QDate &to,
                   const QHash<QString, QVariant> &named = {})
{
    QSqlQuery q(testdb::side(db));
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.prepare(sql))
        qFatal("%s", qPrintable(q.lastError().text()));
    // Each period's start (end) parameter, where the statement names it.
    for (int i = 1; i <= 6; ++i) {
        const QString name = QStringLiteral(":data%1").arg(i);
        if (sql.contains(name))
            q.bindValue(name, i % 2 ? from : to);
    }
    // A timesheet's month: its end (odd) and start (even) dates.
    for (int i = 1; i <= 8; ++i) {
        const QString name = QStringLiteral(":d_date%1").arg(i);
        if (sql.contains(name))
            q.bindValue(name, i % 2 ? to : from);
    }
    for (auto it = named.cbegin(); it != named.cend(); ++it)
        q.bindValue(QLatin1Char(':') + it.key(), it.value());
    if (sql.contains(QLatin1String(":i_month"))) {
        q.bindValue(QStringLiteral(":i_month"), from.month());
        q.bindValue(QStringLiteral(":i_year"), from.year());
    }
    if (!q.exec())
        qFatal("%s", qPrintable(q.lastError().text()));
    QStringList rows;
    QStringList head;
    for (int c = 0; c < q.record().count(); ++c)
        head << q.record().fieldName(c) + QLatin1Char(':') +
                    QString::fromLatin1(q.record().field(c).metaType().name());
    rows << head.join(QLatin1Char('|'));
    while (q.next()) {
        QStringList cells;
        for (int c = 0; c < q.record().count(); ++c) {
            const QVariant v = q.value(c);
            cells << (v.isNull()                        ? QStringLiteral("<null>")
                      : v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 12)
                                                        : v.toString());
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// Two statements' rows (as rowsOf gives them) agree: the same names and types, the same rows,
// and in the written order by the given columns (ties in any order).
void sameRowsInOrder(const QStringList &before, const QStringList &after, const QList<int> &order)
{
    auto keys = [&order](const QStringList &rows) {
        QStringList k;
        for (const QString &row : rows.mid(1)) {
            const QStringList cells = row.split(QLatin1Char('|'));
            QStringList key;
            for (int c : order)
                key << cells.value(c);
            k << key.join(QLatin1Char('|'));
        }
        return k;
    };
    QCOMPARE(after.first(), before.first());
    QCOMPARE(keys(after), keys(before));
    QStringList sortedBefore = before.mid(1), sortedAfter = after.mid(1);
    sortedBefore.sort();
    sortedAfter.sort();
    QCOMPARE(sortedAfter, sortedBefore);
}

} // namespace

class GeneratorTest : public QObject {
    Q_OBJECT
    QString db_;

    qlonglong count(const QString &sql) { return testdb::scalar(db_, sql).toLongLong(); }

private slots:
    void initTestCase() { db_ = generate(); }
    void cleanupTestCase() { testdb::drop(db_); }

    // Each statement counts the rows that break one rule.
    void invariants_data()
    {
        QTest::addColumn<QString>("violations");
        QTest::newRow("entry's operation belongs to its product")
            << "select count(*) from accounts_dep.smena s left join accounts_dep.oper o "
               "on o.id = s.o_id where o.i_id is distinct from s.i_id";
        QTest::newRow("entry's operation has a norm and the price follows it")
            << "select count(*) from accounts_dep.smena s left join (select o_id, min(price) p "
               "from accounts_dep.norm group by o_id) n on n.o_id = s.o_id "
               "where n.p is null or abs(s.cena - n.p * case when extract(isodow from s.data) "
               ">= 6 then 2 else 1 end * case s.smena when 3 then 1.2 when 4 then 1.5 else 1 "
               "end) > 0.0001";
        QTest::newRow("colour only for painting")
            << "select count(*) from accounts_dep.smena s join accounts_dep.oper o on o.id = "
               "s.o_id join accounts_dep.vid_oper v on v.id = o.vid where s.color <> 0 and "
               "v.vid not like '%КРАСКА%'";
        QTest::newRow("quantities, rejects, hours, shifts, marks")
            << "select count(*) from accounts_dep.smena where kol_vo <= 0 or brak < 0 or "
               "brak >= kol_vo or time <= 0 or smena not between 1 and 4 or "
               "extract(isodow from data) = 7 or ok not in ('ok', 'да', 'no', 'ta')";
        QTest::newRow("timesheet cells not from the entries")
            << QStringLiteral("select count(*) from ((%1) except all (%2)) x")
                   .arg(kCells, kRebuilt);
        QTest::newRow("entries missing from the timesheet")
            << QStringLiteral("select count(*) from ((%2) except all (%1)) x")
                   .arg(kCells, kRebuilt);
        QTest::newRow("timesheet row kinds")
            << "select count(*) from accounts_dep.h_tabel where not ((smena between 1 and 4 "
               "and i_type = 0 and i_night = 0) or (smena = 0 and i_type in (7777, 7778)))";
        QTest::newRow("worker listed once by the journal's join")
            << "select count(*) from (select s.id from accounts_dep.smena s left join "
               "cmn_contractor.person p on (s.w_id = p.id or p.s_code::t_id = s.w_id) "
               "group by s.id having count(p.id) <> 1) x";
        QTest::newRow("maintenance entry dates and kinds")
            << "select count(*) from accounts_dep.fatigue where i_mnth <> extract(month from "
               "d_date) or i_year <> extract(year from d_date) or id_o not in (7777, 7778) or "
               "cnt <= 0 or i_holiday <> (extract(isodow from d_date) >= 6)::int";
        // The hour price of average piecework is the worker's pay per hour of the month on
        // the entry's group with the entry's factors, as the maintenance journal computes it.
        QTest::newRow("average piecework price")
            << "select count(*) from accounts_dep.fatigue f where id_o = 7778 and price <> " +
                   price::averageHourPriceSql(
                       "f.id_p", "f.id_nom", "make_date(f.i_year, f.i_mnth, 1)",
                       "make_date(f.i_year, f.i_mnth, 1) + interval '1 month'", "f.i_holiday",
                       "f.i_night");
    }
    void invariants()
    {
        QFETCH(QString, violations);
        QCOMPARE(count(violations), 0);
    }

    void sizeAndSpread()
    {
        QCOMPARE(count("select count(*) from accounts_dep.person"), kWorkers);
        QCOMPARE(count("select count(*) from cmn_contractor.person p where not exists (select 1 "
                       "from accounts_dep.person w where w.id = p.id or p.s_code = w.id::text)"),
                 kExtra);
        // Some workers are known to the other systems by code only.
        QVERIFY(count("select count(*) from cmn_contractor.person p join accounts_dep.person w "
                      "on p.s_code = w.id::text and p.id <> w.id") > 0);
        QCOMPARE(testdb::scalar(db_, "select to_char(max(data), 'DD.MM.YYYY') from "
                                     "accounts_dep.smena where data <= '12.03.2024'")
                     .toString(),
                 QString::fromLatin1(kEndDate));
        QVERIFY(count("select count(*) from accounts_dep.smena where data < '13.03.2023'") == 0);
        QCOMPARE(count("select count(distinct smena) from accounts_dep.smena"), 4);
        // Maintenance and average piecework, each by day and at night, and average
        // piecework on days off too.
        QCOMPARE(count("select count(distinct id_o::text || i_night) from accounts_dep.fatigue"),
                 4);
        QVERIFY(count("select count(*) from accounts_dep.fatigue where id_o = 7778 and "
                      "i_holiday = 1") > 0);
        QCOMPARE(count("select count(distinct coalesce(ok, '-')) from accounts_dep.smena"), 5);
        // The entries were written without their indexes and checks: all are back.
        const char *const indexes = "select string_agg(indexdef, ';' order by indexname) from "
                                    "pg_indexes where tablename = 'smena'";
        const QString bare = testdb::create(QStringLiteral("tabel_schema"));
        QCOMPARE(testdb::scalar(db_, indexes).toString(), testdb::scalar(bare, indexes).toString());
        testdb::drop(bare);
        QCOMPARE(count("select count(*) from pg_trigger where tgrelid = "
                       "'accounts_dep.smena'::regclass and tgenabled = 'D'"),
                 0);
        // Operations without norms exist but are never used.
        QVERIFY(count("select count(*) from accounts_dep.oper o where not exists (select 1 from "
                      "accounts_dep.norm n where n.o_id = o.id)") > 0);
    }

    void sameParametersSameData()
    {
        const QString again = generate();
        const char *const digests[] = {
            "select md5(string_agg(s::text, '|' order by id)) from accounts_dep.smena s",
            "select md5(string_agg(f::text, '|' order by id)) from accounts_dep.fatigue f",
            "select md5(string_agg(h::text, '|' order by id)) from accounts_dep.h_tabel h",
            "select md5(string_agg(o::text, '|' order by id)) from accounts_dep.oper o",
            "select md5(string_agg(p::text, '|' order by id)) from cmn_contractor.person p",
        };
        for (const char *sql : digests)
            QCOMPARE(testdb::scalar(again, sql).toString(), testdb::scalar(db_, sql).toString());
        testdb::drop(again);
    }

    // Each report statement gives the rows of the statement first written for it, for a
    // month, for the year to date and for the whole year; the rows come in the written
    // order (ties broken further).
    void reportStatements_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("program");
        // The columns the written statement orders by.
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("by workers")
            << kWrittenByWorkers << reports::sql::kByWorkers << QList<int>{0, 1, 5};
        QTest::newRow("by products")
            << kWrittenByProducts << reports::sql::kByProducts << QList<int>{2};
        QTest::newRow("workbook") << kWrittenWorkbook << reports::sql::kWorkbook << QList<int>{2};
        QTest::newRow("detail by workers")
            << kWrittenDetailByWorkers << reports::sql::kDetailByWorkers
            << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("detail by products")
            << kWrittenDetailByProducts << reports::sql::kDetailByProducts
            << QList<int>{3, 0, 1, 2};
    }
    void reportStatements()
    {
        QFETCH(QString, written);
        QFETCH(QString, program);
        QFETCH(QList<int>, order);
        const QDate end = QDate::fromString(QString::fromLatin1(kEndDate), "dd.MM.yyyy");
        const std::pair<QDate, QDate> periods[] = {
            {QDate(2024, 2, 1), QDate(2024, 3, 1)},
            {QDate(2024, 1, 1), end.addDays(1)},
            {end.addYears(-1), end.addDays(1)},
        };
        for (const auto &[from, to] : periods) {
            const QStringList before = rowsOf(db_, written, from, to);
            const QStringList after = rowsOf(db_, program, from, to);
            QVERIFY(before.size() > 100);
            sameRowsInOrder(before, after, order);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // Each journal query gives the rows of the statement first written for it, in its order,
    // on busy days: a worker with two person rows (his own and one that knows him by code)
    // is listed twice, a worker without any is not listed, hidden rows stay hidden.
    void journalStatements()
    {
        const QDate day = testdb::scalar(db_, "select max(data) from accounts_dep.smena").toDate();
        const int twice = count("select min(w_id) from accounts_dep.smena where data = (select "
                                "max(data) from accounts_dep.smena)");
        testdb::run(db_, QStringLiteral("insert into cmn_contractor.person (id, s_caption, "
                                        "s_code) values (990000001, 'Дважды Д.Д.', '%1')")
                             .arg(twice));
        const int none = count("insert into accounts_dep.person (fio) values ('Никто Н.Н.') "
                               "returning id");
        testdb::run(db_, QStringLiteral("delete from cmn_contractor.person where id = %1 or "
                                        "s_code = '%1'")
                             .arg(none));
        // Taken away however the test ends, so that a failure does not spoil the next ones.
        const auto restore = qScopeGuard([&] {
            testdb::run(db_,
                        QStringLiteral("delete from accounts_dep.smena where w_id = %1").arg(none));
            testdb::run(db_, "delete from cmn_contractor.person where id = 990000001");
        });
        for (int shift = 1; shift <= 4; ++shift)
            testdb::run(db_, QStringLiteral("insert into accounts_dep.smena (w_id, i_id, o_id, "
                                            "cena, kol_vo, brak, data, smena, color, time, ok, "
                                            "vvod) select %1, i_id, o_id, cena, kol_vo, brak, "
                                            "data, %2, color, time, 'no', vvod from "
                                            "accounts_dep.smena where data = '%3' order by id "
                                            "limit 1")
                                 .arg(none)
                                 .arg(shift)
                                 .arg(day.toString(Qt::ISODate)));
        int listed = 0, doubled = 0;
        for (const QDate &d : {day, day.addDays(-1), day.addDays(-7)}) {
            for (int shift = 1; shift <= 4; ++shift) {
                const QHash<QString, QVariant> named{{QStringLiteral("data"), d},
                                                     {QStringLiteral("ok"), QStringLiteral("ta")}};
                const QStringList before = rowsOf(db_, writtenJournal(shift), d, d, named);
                const QStringList after = rowsOf(db_, DataModule::journalQuery(shift), d, d, named);
                // In the written order: by name (shift 1 further by mark, kind, product
                // kind and colour), ties in any order.
                sameRowsInOrder(before, after,
                                shift == 1 ? QList<int>{8, 9, 10, 12, 17} : QList<int>{2});
                if (QTest::currentTestFailed())
                    return;
                listed += before.size() - 1;
                doubled += before.filter(QStringLiteral("Дважды Д.Д.")).size();
                QVERIFY(before.filter(QStringLiteral("Никто")).isEmpty());
            }
        }
        QVERIFY(listed > 50);
        QVERIFY(doubled > 0);
    }

    // The piecework timesheets of a month give the rows of the statements first written
    // for them, in their order: workers with entries and without, maintenance by day and
    // by night.
    void timesheetStatements_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("program");
        QTest::newRow("piecework") << writtenTimesheet(kWrittenPieces) << earnings::piecesSql();
        QTest::newRow("maintenance") << writtenTimesheet(kWrittenKind) << earnings::kindSql(7777);
        QTest::newRow("average piecework")
            << writtenTimesheet(kWrittenKind).replace(QLatin1String("7777"), QLatin1String("7778"))
            << earnings::kindSql(7778);
        QTest::newRow("all") << writtenTimesheet(kWrittenAll) << earnings::allSql();
    }
    void timesheetStatements()
    {
        QFETCH(QString, written);
        QFETCH(QString, program);
        // A worker with timesheet rows but no entries of the month keeps empty sums; his
        // days written as 0 in both his rows show nothing.
        const qlonglong lone = testdb::scalar(db_, "insert into accounts_dep.person (fio) "
                                                   "values ('Яшин Б.З.') returning id")
                                   .toLongLong();
        testdb::run(db_, QStringLiteral("insert into accounts_dep.h_tabel (w_id, smena, i_type, "
                                        "i_night, month, year, d3, d4) values (%1, 1, 0, 0, 2, "
                                        "2024, 8, 0), (%1, 2, 0, 0, 2, 2024, null, 0)")
                             .arg(lone));
        // A worker known by his own person row (by id alone) and by another's code: his own
        // row names him.
        const int known = count("select min(w_id) from accounts_dep.h_tabel where month = 2 and "
                                "year = 2024 and w_id in (select id from cmn_contractor.person)");
        testdb::run(db_, QStringLiteral("update cmn_contractor.person set s_code = null where id "
                                        "= %1; insert into cmn_contractor.person (id, s_caption, "
                                        "s_code) values (990000002, 'Чужой Ч.Ч.', '%1')")
                             .arg(known));
        // Taken away however the test ends, so that a failure does not spoil the next rows.
        const auto restore = qScopeGuard([&] {
            testdb::run(
                db_, QStringLiteral("delete from accounts_dep.h_tabel where w_id = %1").arg(lone));
            testdb::run(db_,
                        QStringLiteral("delete from accounts_dep.person where id = %1").arg(lone));
            testdb::run(db_, QStringLiteral("delete from cmn_contractor.person where id = "
                                            "990000002; update cmn_contractor.person set s_code "
                                            "= '%1' where id = %1")
                                 .arg(known));
        });
        int compared = 0;
        for (const QDate &month : {QDate(2024, 2, 1), QDate(2023, 12, 1), QDate(2024, 3, 1)}) {
            const QStringList before = rowsOf(db_, written, month, month.addMonths(1));
            const QStringList after = rowsOf(db_, program, month, month.addMonths(1));
            // Ordered by name and number as written; a worker's day and night rows of a kind
            // tie.
            sameRowsInOrder(before, after, {0, 1});
            if (QTest::currentTestFailed())
                return;
            compared += before.size() - 1;
        }
        QVERIFY(compared > 5);
    }
};

QTEST_GUILESS_MAIN(GeneratorTest)
#include "tst_generator.moc"
