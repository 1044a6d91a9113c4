#include "ShiftEntries.h"

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
    q.setSql(QStringLiteral("select count(id) as cnt from accounts_dep.smena where w_id=:w_id "
                            "and o_id=:o_id and i_id=:i_id and data=:data and smena=:smena and "
                            "color=:color and id<>:id"));
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
    cmd.setParam(QStringLiteral("vvod"), QDateTime(QDate::currentDate(), QTime(0, 0)));
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
        if (repeated(entry, 0)) {
            result.refusal = duplicateRefusal();
            return;
        }
        db::Dataset ins(QStringLiteral("ShiftInsert"));
        ins.setSql(QStringLiteral(
            "insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, "
            "color, time, vvod, ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, "
            "id_cons_use) values(:w_id, :i_id, :o_id, :cena, :kol_vo, :brak, :data, :smena, "
            ":color, :time, :vvod, 'no', 0, 0, 0, 0, 0, 0) returning id"));
        bind(ins, entry);
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
        if (repeated(entry, former.id)) {
            result.refusal = duplicateRefusal();
            return;
        }
        // The cell the entry leaves is that of the entry as stored, read under lock with the
        // version the caller read: refused when another user changed or deleted it since.
        db::Dataset stored(QStringLiteral("ShiftStored"));
        stored.setSql(QStringLiteral("select w_id, smena, data from accounts_dep.smena where "
                                     "id=:id and xmin=:row_ver::xid for update"));
        stored.setParam(QStringLiteral("id"), former.id);
        stored.setParam(QStringLiteral("row_ver"), former.rowVer);
        stored.open();
        if (stored.isEmpty())
            throw db::RowChanged();
        const int formerWorker = stored.asInteger(QStringLiteral("w_id"));
        const int formerShift = stored.asInteger(QStringLiteral("smena"));
        const QDate formerDate = stored.asDate(QStringLiteral("data"));
        stored.close();
        timesheet::lockWorkerMonths(formerWorker, formerDate, entry.workerId, entry.date);
        db::Command cmd(QStringLiteral(
            "update accounts_dep.SMENA set w_id=:w_id, i_id=:i_id, o_id=:o_id, cena=:cena, "
            "kol_vo=:kol_vo, brak=:brak, data=:data, smena=:smena, color=:color, time=:time, "
            "vvod=:vvod, prize=0, id_doc=0, id_doc_item=0, f_gds_qty_use=0, id_gds_use=0, "
            "id_cons_use=0 where id=:id"));
        bind(cmd, entry);
        cmd.setParam(QStringLiteral("id"), former.id);
        cmd.executeOne();
        timesheet::writeShiftDay(entry.workerId, entry.shift, entry.date, true);
        // An entry moved to another worker, date or shift leaves the former cell with what
        // remains.
        if (formerWorker != entry.workerId || formerDate != entry.date ||
            formerShift != entry.shift)
            timesheet::writeShiftDay(formerWorker, formerShift, formerDate, false);
        result.id = former.id;
    });
    return result;
}

void remove(int id)
{
    // The cell corrected is that of the entry as stored: its own worker, shift and date.
    db::transaction([&] {
        db::Dataset stored(QStringLiteral("ShiftDelete"));
        stored.setSql(QStringLiteral("select w_id, smena, data from accounts_dep.smena where "
                                     "id=:id for update"));
        stored.setParam(QStringLiteral("id"), id);
        stored.open();
        if (stored.isEmpty())
            throw db::RowChanged();
        const int w = stored.asInteger(QStringLiteral("w_id"));
        const int shift = stored.asInteger(QStringLiteral("smena"));
        const QDate date = stored.asDate(QStringLiteral("data"));
        stored.close();
        db::Command del(QStringLiteral("delete from accounts_dep.smena where id=:id"));
        del.setParam(QStringLiteral("id"), id);
        del.executeOne();
        timesheet::writeShiftDay(w, shift, date, false);
    });
}

} // namespace shop::ShiftEntries
