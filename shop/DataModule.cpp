#include "DataModule.h"

#include "Earnings.h"
#include "ProductKind.h"
#include "Refusals.h"
#include "ui/Messages.h"

DataModule *dataModule = nullptr;
int DataModule::portOverride_ = 0;

namespace {

// clang-format off

// The person rows of the shift's workers: every person whose id is the worker's number or
// whose code reads as it, each once, as "w_id=person.id or s_code::t_id=w_id" pairs them.
// They are looked up once per worker of the shift rather than once per entry: at a plant a
// busy shift holds two thousand entries of half as many workers.
// %1 the shift, %2 the person rows of one worker (DataModule::workerPersons).
const char *const kJournalPersons = R"(
    with person as materialized (
        select w.w_id, p.s_caption
        from (select distinct w_id
              from accounts_dep.smena
              where smena=%1 and data=:data and ok<>:ok) w
        cross join lateral (%2) p)
)";

// The shift's entries with their worker, product, operation and kind: the journals' rows.
// %1 the shift.
const char *const kJournalFrom = R"(from person, accounts_dep.izdel, accounts_dep.oper,
         accounts_dep.smena, accounts_dep.vid_oper
    where smena.i_id=izdel.id
      and smena.o_id=oper.id
      and person.w_id=smena.w_id
      and oper.vid=vid_oper.id
      and smena.smena=%1)";

// The first shift's journal. %1 the persons (kJournalPersons), %2 the kind of product,
// %3 the entries (kJournalFrom). row_ver: the version of the entry as read, which a change
// of it must still find.
const char *const kFirstShiftJournal = R"(%1
    select smena.id, smena.xmin::text as row_ver, smena.data, smena.smena, smena.i_id,
           smena.o_id, smena.w_id, smena.cena, person.s_caption fio, izdel.marka,
           vid_oper.vid, %2 as nmn, oper.naimen, smena.brak, smena.kol_vo::numeric,
           round()" TABEL_ENTRY_PAY("smena.") R"(::numeric, 2) as summa, smena.prize, color, time,
           smena.ok, vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use,
           smena.id_gds_use, smena.id_cons_use
    %3
      and smena.data=:data
      and ok!=:ok
    order by fio, izdel.marka, vid_oper.vid, oper.naimen, color)";

// The journal of the second and third shifts and of the overtime. %1 the persons
// (kJournalPersons), %2 the worker's name, %3 the kind of product, %4 the entries
// (kJournalFrom).
const char *const kShiftJournal = R"(%1
    select smena.id, smena.xmin::text as row_ver, %2 fio, izdel.marka, vid_oper.vid,
           %3 as nmn, oper.naimen, smena.kol_vo::numeric, smena.brak,
           round()" TABEL_ENTRY_PAY("smena.") R"(::numeric, 2) as summa, smena.cena, smena.data,
           smena.smena, smena.i_id, smena.o_id, smena.w_id, smena.prize, color, time, smena.ok,
           vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use,
           smena.id_cons_use
    %4
      and smena.data=:data
      and ok<>:ok
    order by fio)";

// The person rows of one worker. %1 the worker's number.
const char *const kWorkerPersons = R"(
    select c.s_caption, 0 as by_code, c.s_code
    from cmn_contractor.person c
    where c.id=%1
    union all
    select c.s_caption, 1, c.s_code
    from cmn_contractor.person c
    where c.s_code::t_id=%1
      and c.id<>%1)";

// A shift's timesheet of the month with the pay of the month's entries. %1 the sum of the
// days' hours, %2 the days' cells, %3 the shift.
const char *const kShiftTimesheet = R"(
    select person.s_caption fio, %1 as summ,
           case when %1=0 then 0
                else (sum()" TABEL_ENTRY_PAY("s.") R"()/%1)
           end ::numeric(10,2) as average_price,
           sum()" TABEL_ENTRY_PAY("s.") R"()::numeric(10,2) as cena_all,
           h_tabel.w_id, h_tabel.month, h_tabel.year, h_tabel.smena, h_tabel.id,
           h_tabel.i_type, h_tabel.i_night, %2
    from accounts_dep.h_tabel, cmn_contractor.person, accounts_dep.smena s
    where h_tabel.w_id=person.s_code::integer
      and h_tabel.smena=%3
      and month=:mnth
      and s.w_id = h_tabel.w_id
      and h_tabel.year=:yea
      and s.data >=:date1
      and s.data <:date2
    group by person.s_caption, h_tabel.w_id, h_tabel.month, h_tabel.year, h_tabel.smena,
             h_tabel.id
    order by fio)";

// clang-format on

QString journalPersons(int shift)
{
    return QString::fromUtf8(kJournalPersons)
        .arg(QString::number(shift), DataModule::workerPersons(QStringLiteral("w.w_id")));
}

} // namespace

QString DataModule::workerPersons(const QString &worker)
{
    return QString::fromUtf8(kWorkerPersons).arg(worker);
}

QString DataModule::journalQuery(int shift)
{
    const QString from = QString::fromUtf8(kJournalFrom).arg(shift);
    if (shift == 1)
        return QString::fromUtf8(kFirstShiftJournal)
            .arg(journalPersons(1), shop::productKindSql(), from);
    const QString fio =
        shift == 4 ? QStringLiteral("person.s_caption") : QStringLiteral("s_caption");
    return QString::fromUtf8(kShiftJournal)
        .arg(journalPersons(shift), fio, shop::productKindSql(), from);
}

QString DataModule::timesheetQuery(int shift)
{
    QStringList terms, days;
    for (int d = 1; d <= 31; ++d) {
        terms << QStringLiteral("coalesce(d%1,0)").arg(d);
        days << QStringLiteral("case when (coalesce(h_tabel.d%1,0)) =0 then null else "
                               "(coalesce(h_tabel.d%1,0)) end d%1")
                    .arg(d);
    }
    const QString hours = QLatin1Char('(') + terms.join(QLatin1Char('+')) + QLatin1Char(')');
    return QString::fromUtf8(kShiftTimesheet)
        .arg(hours, days.join(QStringLiteral(", ")), QString::number(shift));
}

DataModule::DataModule(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("dataModule"));
    nameSchemaRefusals();
    // The lists that editors change carry each row's version (row_ver): a change or delete
    // names it, so that a row another user changed after it was read is not overwritten.
    Workers = query("Workers", QStringLiteral(R"(
        select *, xmin::text as row_ver
        from accounts_dep.person
        order by fio)"));
    Control = query("Control", QString());
    Izdel = query("Izdel", QStringLiteral(R"(
        select *, (select g.xmin::text
                   from cmn_gds_and_srv.gds_and_srv g
                   where g.id=izdel.id) as row_ver
        from accounts_dep.IZDEL
        order by marka)"));
    // The operations with their number of norms and lowest price, and the text the list's
    // search looks in (mark, operation kind and kind of product).
    Oper = query("Oper", QStringLiteral(R"(
        select izdel.MARKA, vid_oper.VID, oper.NAIMEN, %1 as nmn, count(o_id) norma,
               min(price)::numeric cena, oper.id, oper.i_id, oper.VID as oper_vid,
               trim(izdel.MARKA) || ' ' || trim(vid_oper.VID) || ' ' || %1 as search,
               min(oper.xmin::text) as row_ver
        from accounts_dep.norm, accounts_dep.OPER, accounts_dep.IZDEL, accounts_dep.VID_OPER
        where OPER.i_id=IZDEL.id
          and norm.o_id=oper.id
          and oper.vid=vid_oper.id
        group by izdel.MARKA, vid_oper.VID, oper.NAIMEN, oper.id, oper.i_id, oper.VID
        order by izdel.marka, vid_oper.vid, oper.naimen)")
                             .arg(shop::productKindSql()));
    Vid_oper = query("Vid_oper", QStringLiteral(R"(
        select *, xmin::text as row_ver
        from accounts_dep.VID_OPER
        order by vid)"));
    Vid_oper->setUpdateTable(QStringLiteral("accounts_dep.vid_oper"), QStringLiteral("id"));
    Smena1 = query("Smena1", journalQuery(1));
    Smena2 = query("Smena2", journalQuery(2));
    Smena3 = query("Smena3", journalQuery(3));
    Smena4 = query("Smena4", journalQuery(4));
    H_Tabel_1 = query("H_Tabel_1", timesheetQuery(1));
    H_Tabel_2 = query("H_Tabel_2", timesheetQuery(2));
    H_Tabel_3 = query("H_Tabel_3", timesheetQuery(3));
    Oper_ed.setSql(QStringLiteral(R"(
        update accounts_dep.oper
        set vid=:vid, naimen=:naimen, i_id=:i_id
        where id=:id)"));
    Oper_del.setSql(QStringLiteral(R"(
        delete from accounts_dep.oper
        where id=:id)"));
}

db::Dataset *DataModule::query(const char *name, const QString &sql)
{
    auto *ds = new db::Dataset(QLatin1String(name), this);
    ds->setSql(sql);
    return ds;
}

db::Dataset *DataModule::smena(int shift) const
{
    switch (shift) {
    case 2:
        return Smena2;
    case 3:
        return Smena3;
    case 4:
        return Smena4;
    default:
        return Smena1;
    }
}

QString DataModule::connectionString(const QStringList &args)
{
    const QString database = args.value(0);
    const QString server = args.value(1);
    if (server.isEmpty())
        return builtInConnectionString();
    return QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=") + database +
           QStringLiteral(";SERVER=") + server +
           QStringLiteral(";PORT=5432;UID=sys;SSLmode=allow;"
                          "ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;"
                          "ShowSystemTables=0;Fetch=100;UnknownSizes=0;MaxVarcharSize=255;"
                          "MaxLongVarcharSize=8190;"
                          "Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;"
                          "UnknownsAsLongVarchar=0;BoolsAsChar=1;Parse=0;ExtraSysTablePrefixes=;"
                          "LFConversion=1;UpdatableCursors=1;"
                          "TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;"
                          "LowerCaseIdentifier=0;D6=-101;OptionalErrors=0;XaOpt=1");
}

QString DataModule::builtInConnectionString()
{
    return connectionString({QStringLiteral("vesk_erp"), QStringLiteral("localhost")});
}

db::ConnectionParams DataModule::connectionParams(const QString &connectionString)
{
    db::ConnectionParams p;
    const QStringList parts = connectionString.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toUpper();
        const QString value = part.mid(eq + 1);
        if (key == QLatin1String("DATABASE"))
            p.database = value;
        else if (key == QLatin1String("SERVER"))
            p.host = value;
        else if (key == QLatin1String("PORT"))
            p.port = value.toInt();
        else if (key == QLatin1String("UID"))
            p.user = value;
        else if (key == QLatin1String("PWD"))
            p.password = value;
    }
    if (portOverride_ > 0)
        p.port = portOverride_;
    return p;
}

db::ConnectionParams DataModule::settingsFor(const QStringList &args,
                                             const db::SettingsSources &sources)
{
    // Without a server the command line names nothing, as the built-in string has it.
    const bool named = !args.value(1).isEmpty();
    db::ConnectionParams p = db::resolveConnection(connectionParams(builtInConnectionString()),
                                                   named ? args.value(0) : QString(),
                                                   named ? args.value(1) : QString(), sources);
    if (portOverride_ > 0)
        p.port = portOverride_;
    return p;
}

void DataModule::connectWith(const db::ConnectionParams &params)
{
    db::closeConnection();
    db::openConnection(params);
}

void DataModule::connectTo(const QString &connectionString)
{
    db::closeConnection();
    db::openConnection(connectionParams(connectionString));
}

int DataModule::CountCheck(const QString &sql, const QString &message,
                           const QHash<QString, QVariant> &params)
{
    Control->setSql(sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        Control->setParam(it.key(), it.value());
    Control->open();
    const int count = Control->asInteger(QStringLiteral("cnt"));
    if (count > 0)
        ui::showError(message, QStringLiteral("Ошибка"));
    Control->close();
    return count > 0 ? 1 : 0;
}
