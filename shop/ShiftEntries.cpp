#include "ShiftEntries.h"

#include "Limits.h"
#include "Price.h"
#include "Timesheet.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/Transaction.h"

#include <QDateTime>

namespace shop::ShiftEntries {

namespace {

// Whether another entry (not excludedId) has the same worker, product, operation, colour,
// date and shift.
bool repeated(const ShiftEntry &e, int excludedId)
{
    db::Dataset q(QStringLiteral("ShiftDuplicate"));
    q.setSql(QStringLiteral(R"(
        select count(id) as cnt
        from accounts_dep.smena
        where w_id=:w_id
          and o_id=:o_id
          and i_id=:i_id
          and data=:data
          and smena=:smena
          and color=:color
          and id<>:id)"));
    q.setParam(QStringLiteral("w_id"), e.workerId);
    q.setParam(QStringLiteral("o_id"), e.operationId);
    q.setParam(QStringLiteral("i_id"), e.productId);
    q.setParam(QStringLiteral("data"), e.date);
    q.setParam(QStringLiteral("smena"), e.shift);
    q.setParam(QStringLiteral("color"), e.colour);
    q.setParam(QStringLiteral("id"), excludedId);
    q.open();
    const bool found = q.asInteger(QStringLiteral("cnt")) > 0;
    q.close();
    return found;
}

// The cell a stored entry counts in: its worker, shift and date.
struct Cell {
    int worker = 0;
    int shift = 0;
    QDate date;
};

// The stored entry's cell, its row locked until the transaction ends; refused when the entry
// is gone or, with a version given, changed since it was read.
Cell lockStored(int id, const QString &rowVer = QString())
{
    db::Dataset stored(QStringLiteral("ShiftStored"));
    const QString sameVersion =
        rowVer.isNull() ? QString() : QStringLiteral("and xmin=:row_ver::xid");
    stored.setSql(QStringLiteral(R"(
        select w_id, smena, data
        from accounts_dep.smena
        where id=:id
          %1
        for update)")
                      .arg(sameVersion));
    stored.setParam(QStringLiteral("id"), id);
    if (!rowVer.isNull())
        stored.setParam(QStringLiteral("row_ver"), rowVer);
    stored.open();
    if (stored.isEmpty())
        throw db::RowChanged();
    return {stored.asInteger(QStringLiteral("w_id")), stored.asInteger(QStringLiteral("smena")),
            stored.asDate(QStringLiteral("data"))};
}

template <typename Statement> void bind(Statement &cmd, const ShiftEntry &e)
{
    cmd.setParam(QStringLiteral("w_id"), e.workerId);
    cmd.setParam(QStringLiteral("i_id"), e.productId);
    cmd.setParam(QStringLiteral("o_id"), e.operationId);
    cmd.setParam(QStringLiteral("cena"), price::sqlText(price::round4(e.price)));
    cmd.setParam(QStringLiteral("kol_vo"), e.quantity);
    cmd.setParam(QStringLiteral("brak"), e.rejects);
    cmd.setParam(QStringLiteral("data"), e.date);
    cmd.setParam(QStringLiteral("smena"), e.shift);
    cmd.setParam(QStringLiteral("color"), e.colour);
    cmd.setParam(QStringLiteral("time"), e.hours);
}

// The refusal of an entry that would take its worker's day past the hours a day holds, the
// entry excludedId (the one a change replaces) not counted.
QString dayRefusal(const ShiftEntry &e, int excludedId)
{
    return limits::dayHours(e.date, limits::hoursOfDay(e.workerId, e.date, excludedId, 0), e.hours)
        .sentence;
}

} // namespace

QString duplicateRefusal()
{
    return QStringLiteral("Позиция с такими параметрами уже заведена!");
}

StoreResult add(const ShiftEntry &entry)
{
    StoreResult result;
    db::transaction([&] {
        result = {};
        // The repeat is looked for, and the worker's day (at most 24 hours) read, under his
        // month's lock: a clerk saving for him at this moment has committed before they run.
        timesheet::lockWorkerMonth(entry.workerId, entry.date);
        if (repeated(entry, 0)) {
            result.refusal = duplicateRefusal();
            return;
        }
        result.refusal = dayRefusal(entry, 0);
        if (!result.ok())
            return;
        db::Dataset ins(QStringLiteral("ShiftInsert"));
        ins.setSql(QStringLiteral(R"(
            insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color,
                                           time, vvod, ok, prize, id_doc, id_doc_item,
                                           f_gds_qty_use, id_gds_use, id_cons_use)
            values(:w_id, :i_id, :o_id, :cena, :kol_vo, :brak, :data, :smena, :color, :time, :vvod,
                   'no', 0, 0, 0, 0, 0, 0)
            returning id)"));
        bind(ins, entry);
        ins.setParam(QStringLiteral("vvod"), QDateTime(QDate::currentDate(), QTime(0, 0)));
        ins.open();
        result.id = ins.asInteger(QStringLiteral("id"));
        ins.close();
        timesheet::writeShiftDay(entry.workerId, entry.shift, entry.date, true);
    });
    return result;
}

StoreResult change(const StoredEntry &former, const ShiftEntry &entry)
{
    StoreResult result;
    db::transaction([&] {
        result = {};
        // The cell the entry leaves is that of the entry as stored, read under lock with the
        // version the caller read: refused when another user changed or deleted it since.
        const Cell left = lockStored(former.id, former.rowVer);
        timesheet::lockWorkerMonths(left.worker, left.date, entry.workerId, entry.date);
        if (repeated(entry, former.id)) {
            result.refusal = duplicateRefusal();
            return;
        }
        result.refusal = dayRefusal(entry, former.id);
        if (!result.ok())
            return;
        // What the editor does not show stays as stored: when the entry was made, who
        // accepted it, its premium and the warehouse's links.
        db::Command cmd(QStringLiteral(R"(
            update accounts_dep.SMENA
            set w_id=:w_id, i_id=:i_id, o_id=:o_id, cena=:cena, kol_vo=:kol_vo, brak=:brak,
                data=:data, smena=:smena, color=:color, time=:time
            where id=:id)"));
        bind(cmd, entry);
        cmd.setParam(QStringLiteral("id"), former.id);
        cmd.executeOne();
        timesheet::writeShiftDay(entry.workerId, entry.shift, entry.date, true);
        // An entry moved to another worker, date or shift leaves the former cell with what
        // remains.
        if (left.worker != entry.workerId || left.date != entry.date || left.shift != entry.shift)
            timesheet::writeShiftDay(left.worker, left.shift, left.date, false);
        result.id = former.id;
    });
    return result;
}

void remove(int id, const QString &rowVer)
{
    // The cell corrected is that of the entry as stored: its own worker, shift and date,
    // read under lock with the version the list showed: an entry another user changed or
    // moved meanwhile is not deleted.
    db::transaction([&] {
        const Cell left = lockStored(id, rowVer);
        timesheet::lockWorkerMonth(left.worker, left.date);
        db::Command del(QStringLiteral("delete from accounts_dep.smena where id=:id"));
        del.setParam(QStringLiteral("id"), id);
        del.executeOne();
        timesheet::writeShiftDay(left.worker, left.shift, left.date, false);
    });
}

bool isAccepted(const QString &ok)
{
    return ok == QLatin1String("ok") || ok == QStringLiteral("да");
}

void setAccepted(int id, bool accepted)
{
    const QString mark = accepted ? QStringLiteral("ok") : QStringLiteral("no");
    db::transaction([&] {
        // A row that already carries the mark keeps its version: nobody's open editor
        // loses it to a repeat.
        db::Command set(QStringLiteral(R"(
            update accounts_dep.smena
            set ok=:ok
            where id=:id
              and ok is distinct from :same)"));
        set.setParam(QStringLiteral("ok"), mark);
        set.setParam(QStringLiteral("same"), mark);
        set.setParam(QStringLiteral("id"), id);
        if (set.execute() > 0)
            return;
        db::Dataset still(QStringLiteral("ShiftMarked"));
        still.setSql(QStringLiteral("select 1 from accounts_dep.smena where id=:id"));
        still.setParam(QStringLiteral("id"), id);
        still.open();
        if (still.isEmpty())
            throw db::RowChanged();
    });
}

} // namespace shop::ShiftEntries
