#include "MaintenanceEntries.h"

#include "Limits.h"
#include "Price.h"
#include "Timesheet.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/Transaction.h"

namespace shop::MaintenanceEntries {

namespace {

template <typename Statement> void bind(Statement &cmd, const MaintenanceEntry &e)
{
    cmd.setParam(QStringLiteral("id_nom"), e.nomId);
    cmd.setParam(QStringLiteral("id_o"), e.kind);
    cmd.setParam(QStringLiteral("id_p"), e.workerId);
    cmd.setParam(QStringLiteral("cnt"), e.hours);
    cmd.setParam(QStringLiteral("price"), price::sqlText(e.price));
    cmd.setParam(QStringLiteral("i_holiday"), e.dayOff ? 1 : 0);
    cmd.setParam(QStringLiteral("i_night"), e.night ? 1 : 0);
}

// The refusal of an entry that would take its worker's day past the hours a day holds, the
// maintenance entry excludedId (the one a change replaces) not counted.
QString dayRefusal(const MaintenanceEntry &e, const QDate &day, qlonglong excludedId)
{
    return limits::dayHours(day, limits::hoursOfDay(e.workerId, day, 0, excludedId), int(e.hours))
        .sentence;
}

} // namespace

StoreResult add(const MaintenanceEntry &entry)
{
    StoreResult result;
    db::transaction([&] {
        result = {};
        // The worker's month lock comes before the row: a closing of the month waits for
        // this save, or this save sees the month closed; his day is read under it.
        timesheet::lockWorkerMonth(entry.workerId, entry.day);
        result.refusal = dayRefusal(entry, entry.day, 0);
        if (!result.ok())
            return;
        db::Dataset ins(QStringLiteral("MaintenanceInsert"));
        ins.setSql(QStringLiteral(R"(
            INSERT INTO accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt,
                                             price, i_holiday, i_night)
            VALUES(:id_nom, :id_o, :id_p, :d_date, :i_mnth, :i_year, :i_smena, :cnt, :price,
                   :i_holiday, :i_night)
            returning id)"));
        bind(ins, entry);
        ins.setParam(QStringLiteral("d_date"), entry.day);
        ins.setParam(QStringLiteral("i_mnth"), entry.day.month());
        ins.setParam(QStringLiteral("i_year"), entry.day.year());
        ins.setParam(QStringLiteral("i_smena"), entry.shift);
        ins.open();
        result.id = ins.value(QStringLiteral("id")).toLongLong();
        ins.close();
        timesheet::writeKindDay(entry.workerId, entry.kind, entry.night ? 1 : 0, entry.day, true);
    });
    return result;
}

StoreResult change(const StoredMaintenance &former, const MaintenanceEntry &entry)
{
    const QDate day = former.day;
    const int night = entry.night ? 1 : 0;
    StoreResult result;
    db::transaction([&] {
        result = {};
        timesheet::lockWorkerMonths(former.workerId, day, entry.workerId, day);
        result.refusal = dayRefusal(entry, day, former.id);
        if (!result.ok())
            return;
        // Refused when another user changed or deleted the entry since it was read.
        db::Command cmd(QStringLiteral(R"(
            UPDATE accounts_dep.fatigue
            SET id_nom=:id_nom, id_o=:id_o, id_p=:id_p, cnt=:cnt, price=:price,
                i_holiday=:i_holiday, i_night=:i_night
            where id=:id
              and xmin=:row_ver::xid)"));
        bind(cmd, entry);
        cmd.setParam(QStringLiteral("id"), former.id);
        cmd.setParam(QStringLiteral("row_ver"), former.rowVer);
        cmd.executeOne();
        timesheet::writeKindDay(entry.workerId, entry.kind, night, day, true);
        // An entry moved to another worker, kind or night flag leaves the former cell with
        // what remains.
        if (former.workerId != entry.workerId || former.kind != entry.kind || former.night != night)
            timesheet::writeKindDay(former.workerId, former.kind, former.night, day, false);
        result.id = former.id;
    });
    return result;
}

void remove(qlonglong id, const QString &rowVer)
{
    // The entry and the hours left in its timesheet cell go together or not at all. The
    // cell corrected is that of the entry as stored, read under lock with the version the
    // list showed: an entry another user changed or moved meanwhile is not deleted.
    db::transaction([&] {
        db::Dataset stored(QStringLiteral("MaintenanceDelete"));
        stored.setSql(QStringLiteral(R"(
            select id_p, id_o, i_night, d_date
            from accounts_dep.fatigue
            where id=:id
              and xmin=:row_ver::xid
            for update)"));
        stored.setParam(QStringLiteral("id"), id);
        stored.setParam(QStringLiteral("row_ver"), rowVer);
        stored.open();
        if (stored.isEmpty())
            throw db::RowChanged();
        const int worker = stored.asInteger(QStringLiteral("id_p"));
        const int kind = stored.asInteger(QStringLiteral("id_o"));
        const int night = stored.asInteger(QStringLiteral("i_night"));
        const QDate day = stored.asDate(QStringLiteral("d_date"));
        stored.close();
        timesheet::lockWorkerMonth(worker, day);
        db::Command del(QStringLiteral("delete from accounts_dep.fatigue where id=:id"));
        del.setParam(QStringLiteral("id"), id);
        del.executeOne();
        timesheet::writeKindDay(worker, kind, night, day, false);
    });
}

void recomputeAverages(int month, int year)
{
    db::Command update(QStringLiteral(R"(
        update accounts_dep.fatigue f
        set price=%1
        where f.id_o=7778
          and f.d_date>=:from2
          and f.d_date<:to2)")
                           .arg(price::averageHourPriceSql(
                               QStringLiteral("f.id_p"), QStringLiteral("f.id_nom"),
                               QStringLiteral(":from"), QStringLiteral(":to"),
                               QStringLiteral("f.i_holiday"), QStringLiteral("f.i_night"))));
    const QDate from(year, month, 1);
    update.setParam(QStringLiteral("from"), from);
    update.setParam(QStringLiteral("to"), from.addMonths(1));
    update.setParam(QStringLiteral("from2"), from);
    update.setParam(QStringLiteral("to2"), from.addMonths(1));
    update.execute();
}

} // namespace shop::MaintenanceEntries
