#include "PayStatement.h"

#include "DataModule.h"
#include "Earnings.h"
#include "db/Dataset.h"

#include <QHash>
#include <QLocale>
#include <cmath>

namespace shop::pay {

namespace {

constexpr int kMaintenance = 7777;
constexpr int kAverage = 7778;

Kopecks kopecks(const QVariant &v)
{
    return v.isNull() ? 0 : Kopecks(std::llround(v.toDouble() * 100.0));
}

QString amountText(Kopecks k)
{
    return moneyText(k) + QStringLiteral(" р.");
}

// What selects the entries: a month (and one worker, or all), or one entry by its id.
struct Filter {
    QDate from, to; // [from, to)
    int worker = 0;
    qlonglong id = 0;

    // The statement's own period and worker as the row m, joined by every statement.
    QString with() const
    {
        return QStringLiteral("with m as (select :d1::date d1, :d2::date d2, :w::int w, "
                              ":id::bigint id) ");
    }
    // The conditions on a table's rows, given its date, worker and id columns.
    QString where(const QString &date, const QString &worker, const QString &idColumn) const
    {
        if (id > 0)
            return QStringLiteral(" %1=m.id ").arg(idColumn);
        QString s = QStringLiteral(" %1>=m.d1 and %1<m.d2 ").arg(date);
        if (this->worker > 0)
            s += QStringLiteral("and %1=m.w ").arg(worker);
        return s;
    }
    void bind(db::Dataset &ds) const
    {
        ds.setParam(QStringLiteral("d1"), from.isValid() ? from : QDate(2000, 1, 1));
        ds.setParam(QStringLiteral("d2"), to.isValid() ? to : QDate(2000, 1, 1));
        ds.setParam(QStringLiteral("w"), worker);
        ds.setParam(QStringLiteral("id"), id);
    }
};

void open(db::Dataset &ds, const QString &sql, const Filter &f)
{
    ds.setSql(sql);
    f.bind(ds);
    ds.open();
}

bool isWeekend(const QDate &d)
{
    return d.dayOfWeek() == Qt::Saturday || d.dayOfWeek() == Qt::Sunday;
}

// The entry's factors as the stored rate shows them: the day-off factor is not stored with a
// shift entry, so it is the one of the two that gives the stored rate from today's norms
// (the date's own first); when neither does, the norms changed since and the date tells.
void priceShiftLine(ShiftLine &l, const QVariant &base)
{
    l.hasNorm = !base.isNull();
    const bool weekend = isWeekend(l.date);
    if (l.hasNorm) {
        for (const bool dayOff : {weekend, !weekend}) {
            const price::PriceParts parts =
                price::shiftPriceParts(base.toDouble(), dayOff, l.shift);
            if (price::round4(parts.price) == price::round4(l.rate)) {
                l.today = parts;
                l.normChanged = false;
                return;
            }
        }
    }
    l.today = price::shiftPriceParts(base.toDouble(), weekend, l.shift);
    l.normChanged = true;
}

QString shiftLinesSql(const Filter &f)
{
    return f.with() +
           QStringLiteral(
               "select s.id, s.w_id, s.data, s.smena, s.kol_vo, s.brak, s.cena, "
               "s.time, s.ok, s.color, izdel.marka, izdel.nom, vid_oper.vid, "
               "oper.naimen, round(" TABEL_ENTRY_PAY(
                   "s.") "::numeric, 2) amount, "
                         "n.base from accounts_dep.smena s cross join m "
                         "left join accounts_dep.izdel on izdel.id=s.i_id "
                         "left join accounts_dep.oper on oper.id=s.o_id "
                         "left join accounts_dep.vid_oper on vid_oper.id=oper.vid "
                         "left join (select o_id, min(price) base from accounts_dep.norm group "
                         "by o_id) n on n.o_id=s.o_id where") +
           f.where(QStringLiteral("s.data"), QStringLiteral("s.w_id"), QStringLiteral("s.id")) +
           QStringLiteral("order by s.w_id, s.data, s.smena, s.id");
}

ShiftLine shiftLine(const db::Dataset &q)
{
    ShiftLine l;
    l.id = q.value(QStringLiteral("id")).toLongLong();
    l.workerId = q.asInteger(QStringLiteral("w_id"));
    l.date = q.asDate(QStringLiteral("data"));
    l.shift = q.asInteger(QStringLiteral("smena"));
    l.quantity = q.asInteger(QStringLiteral("kol_vo"));
    l.rejects = q.asInteger(QStringLiteral("brak"));
    l.rate = q.asFloat(QStringLiteral("cena"));
    l.hours = q.asInteger(QStringLiteral("time"));
    const QString ok = q.asString(QStringLiteral("ok")).trimmed();
    l.accepted = ok == QLatin1String("ok") || ok == QStringLiteral("да");
    l.colour = q.asInteger(QStringLiteral("color"));
    l.product = q.asString(QStringLiteral("marka")).trimmed();
    l.group = q.asString(QStringLiteral("nom")).trimmed();
    l.operation = q.asString(QStringLiteral("vid")).trimmed();
    l.naimen = q.asInteger(QStringLiteral("naimen"));
    l.amount = kopecks(q.value(QStringLiteral("amount")));
    priceShiftLine(l, q.value(QStringLiteral("base")));
    return l;
}

// The month an average-piecework entry's average comes from: the entry's own.
const char *const kEntryMonth = "date_trunc('month', f.d_date)::date";
const char *const kNextMonth = "(date_trunc('month', f.d_date) + interval '1 month')::date";

QString hourLinesSql(const Filter &f)
{
    const QString from = QLatin1String(kEntryMonth);
    const QString to = QLatin1String(kNextMonth);
    return f.with() +
           QStringLiteral("select f.id, f.id_p::int w_id, f.d_date, f.id_o::int kind, vo.vid, "
                          "i.s_caption grp, f.cnt, f.price, f.i_holiday, f.i_night, "
                          "round(f.cnt*f.price, 2) amount, case when f.id_o=%1 then ")
               .arg(kAverage) +
           price::averageSql(QStringLiteral("f.id_p"), QStringLiteral("f.id_nom"), from, to) +
           QStringLiteral(" else k.price end base, ") + from +
           QStringLiteral(" average_month, a.pay, a.hours from accounts_dep.fatigue f cross join "
                          "m left join accounts_dep.vid_oper vo on vo.id=f.id_o left join "
                          "cmn_classifier.item i on i.id=f.id_nom left join (select o.vid, "
                          "min(n.price) price from accounts_dep.norm n join accounts_dep.oper o "
                          "on o.id=n.o_id group by o.vid) k on k.vid=f.id_o left join lateral ") +
           price::averageSourceSql(QStringLiteral("f.id_p"), QStringLiteral("f.id_nom"), from, to) +
           QStringLiteral(" a on f.id_o=%1 where").arg(kAverage) +
           f.where(QStringLiteral("f.d_date"), QStringLiteral("f.id_p"), QStringLiteral("f.id")) +
           QStringLiteral("order by f.id_p, f.id_o, f.d_date, f.id");
}

HourLine hourLine(const db::Dataset &q)
{
    HourLine l;
    l.id = q.value(QStringLiteral("id")).toLongLong();
    l.workerId = q.asInteger(QStringLiteral("w_id"));
    l.date = q.asDate(QStringLiteral("d_date"));
    l.kind = q.asInteger(QStringLiteral("kind"));
    l.kindName = q.asString(QStringLiteral("vid")).trimmed();
    l.group = q.asString(QStringLiteral("grp")).trimmed();
    l.hours = q.value(QStringLiteral("cnt")).toLongLong();
    l.rate = q.asFloat(QStringLiteral("price"));
    l.dayOff = q.asInteger(QStringLiteral("i_holiday")) != 0;
    l.night = q.asInteger(QStringLiteral("i_night")) != 0;
    l.amount = kopecks(q.value(QStringLiteral("amount")));
    const QVariant base = q.value(QStringLiteral("base"));
    l.hasBase = !base.isNull();
    l.today = price::hourPriceParts(base.toDouble(), l.dayOff, l.night);
    l.rateChanged = !l.hasBase || price::round4(l.today.price) != price::round4(l.rate);
    if (l.kind == kAverage) {
        l.averageMonth = q.asDate(QStringLiteral("average_month"));
        l.averagePay = q.asFloat(QStringLiteral("pay"));
        l.averageHours = q.value(QStringLiteral("hours")).toLongLong();
    }
    return l;
}

} // namespace

QString moneyText(Kopecks amount)
{
    const bool negative = amount < 0;
    const qint64 a = negative ? -amount : amount;
    QString whole = QString::number(a / 100);
    for (int at = int(whole.size()) - 3; at > 0; at -= 3)
        whole.insert(at, QChar(0x00A0));
    return (negative ? QStringLiteral("−") : QString()) + whole + QLatin1Char(',') +
           QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
}

QString priceText(double value)
{
    QString s = QString::number(price::round4(value), 'f', 4);
    while (s.endsWith(QLatin1Char('0')) && s.indexOf(QLatin1Char('.')) < s.size() - 3)
        s.chop(1);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

Kopecks Statement::linesTotal() const
{
    Kopecks sum = 0;
    for (const ShiftLine &l : shifts)
        sum += l.amount;
    for (const HourLine &l : maintenance)
        sum += l.amount;
    for (const HourLine &l : average)
        sum += l.amount;
    return sum;
}

int Statement::hoursTotal() const
{
    int sum = 0;
    for (int h : hoursByDay)
        sum += h;
    return sum;
}

int Statement::unaccepted() const
{
    int n = 0;
    for (const ShiftLine &l : shifts)
        n += l.accepted ? 0 : 1;
    return n;
}

QVector<Statement> read(int month, int year, int worker)
{
    Filter f;
    f.from = QDate(year, month, 1);
    f.to = f.from.addMonths(1);
    f.worker = worker;

    // The workers, each named once by his person row (the one known by his id first).
    db::Dataset workers(QStringLiteral("PayWorkers"));
    open(workers,
         f.with() +
             QStringLiteral("select w.w_id, coalesce(p.s_caption, ap.fio) fio, coalesce(p.s_code, "
                            "w.w_id::text) code, ap.s_staffpos_hl from (select s.w_id from "
                            "accounts_dep.smena s cross join m where") +
             f.where(QStringLiteral("s.data"), QStringLiteral("s.w_id"), QStringLiteral("s.id")) +
             QStringLiteral("union select f.id_p::int from accounts_dep.fatigue f cross join m "
                            "where") +
             f.where(QStringLiteral("f.d_date"), QStringLiteral("f.id_p"), QStringLiteral("f.id")) +
             QStringLiteral(") w left join accounts_dep.person ap on ap.id=w.w_id left join "
                            "lateral (select x.s_caption, x.s_code from (") +
             DataModule::workerPersons(QStringLiteral("w.w_id")) +
             QStringLiteral(") x order by x.by_code limit 1) p on true order by fio, w.w_id"),
         f);
    QVector<Statement> out;
    QHash<int, int> at; // worker → index in out
    const int days = f.from.daysInMonth();
    for (workers.first(); !workers.eof(); workers.next()) {
        Statement s;
        s.workerId = workers.asInteger(QStringLiteral("w_id"));
        s.name = workers.asString(QStringLiteral("fio")).trimmed();
        s.number = workers.asString(QStringLiteral("code")).trimmed();
        s.department = workers.asString(QStringLiteral("s_staffpos_hl")).trimmed();
        s.month = month;
        s.year = year;
        s.hoursByDay.fill(0, days);
        at.insert(s.workerId, int(out.size()));
        out << s;
    }
    workers.close();
    if (out.isEmpty())
        return out;

    db::Dataset q(QStringLiteral("PayLines"));
    open(q, shiftLinesSql(f), f);
    for (q.first(); !q.eof(); q.next()) {
        const ShiftLine l = shiftLine(q);
        if (at.contains(l.workerId))
            out[at.value(l.workerId)].shifts << l;
    }
    q.close();

    open(q, hourLinesSql(f), f);
    for (q.first(); !q.eof(); q.next()) {
        const HourLine l = hourLine(q);
        if (!at.contains(l.workerId))
            continue;
        Statement &s = out[at.value(l.workerId)];
        (l.kind == kAverage ? s.average : s.maintenance) << l;
    }
    q.close();

    // The figures of the timesheets: the piecework pay of the month as "Табель сделка" sums
    // it, the maintenance and average-piecework pay per night flag as their timesheets do.
    open(q,
         f.with() +
             QStringLiteral("select s.w_id, 0 kind, 0 night, sum(" TABEL_ENTRY_PAY(
                 "s.") ")::"
                       "numeric(10,2) pay from accounts_dep.smena s cross join m where") +
             f.where(QStringLiteral("s.data"), QStringLiteral("s.w_id"), QStringLiteral("s.id")) +
             QStringLiteral("group by s.w_id union all select f.id_p::int, f.id_o::int, "
                            "f.i_night, sum(f.cnt*f.price)::numeric(10,2) from "
                            "accounts_dep.fatigue f cross join m where") +
             f.where(QStringLiteral("f.d_date"), QStringLiteral("f.id_p"), QStringLiteral("f.id")) +
             QStringLiteral("group by f.id_p, f.id_o, f.i_night union all select g.w_id, -1, 0, "
                            "sum(g.pay) from (select e.w_id, sum(e.pay)::numeric(10,2) pay from "
                            "(select s.w_id, s.i_id, s.o_id, s.color, sum(" TABEL_ENTRY_PAY(
                                "s.") ") pay from accounts_dep.smena s cross join m where") +
             f.where(QStringLiteral("s.data"), QStringLiteral("s.w_id"), QStringLiteral("s.id")) +
             QStringLiteral("group by 1, 2, 3, 4) e join accounts_dep.izdel on izdel.id=e.i_id "
                            "join accounts_dep.oper on oper.id=e.o_id join accounts_dep.vid_oper "
                            "on vid_oper.id=oper.vid group by e.w_id, izdel.nom, vid_oper.vid, "
                            "izdel.id_nom, oper.naimen, e.color) g group by g.w_id union all "
                            "select f.id_p::int, -2, 0, sum(f.cnt*f.price)::numeric(10,2) from "
                            "accounts_dep.fatigue f cross join m where") +
             f.where(QStringLiteral("f.d_date"), QStringLiteral("f.id_p"), QStringLiteral("f.id")) +
             QStringLiteral("group by f.id_p"),
         f);
    for (q.first(); !q.eof(); q.next()) {
        const int w = q.asInteger(QStringLiteral("w_id"));
        if (!at.contains(w))
            continue;
        Statement &s = out[at.value(w)];
        const Kopecks pay = kopecks(q.value(QStringLiteral("pay")));
        const bool night = q.asInteger(QStringLiteral("night")) != 0;
        switch (q.asInteger(QStringLiteral("kind"))) {
        case 0:
            s.piecework += pay;
            s.combined += pay;
            break;
        case -1:
            s.pieceworkByGroups += pay;
            break;
        case -2:
            s.combined += pay;
            break;
        case kMaintenance:
            (night ? s.maintenanceNight : s.maintenanceDay) += pay;
            break;
        case kAverage:
            (night ? s.averageNight : s.averageDay) += pay;
            break;
        default:
            break;
        }
    }
    q.close();

    // Hours per day in both journals.
    open(q,
         f.with() +
             QStringLiteral("select w, extract(day from d)::int d, sum(h) h from (select s.w_id, "
                            "s.data, s.time from accounts_dep.smena s cross join m where") +
             f.where(QStringLiteral("s.data"), QStringLiteral("s.w_id"), QStringLiteral("s.id")) +
             QStringLiteral("union all select f.id_p::int, f.d_date, f.cnt from "
                            "accounts_dep.fatigue f cross join m where") +
             f.where(QStringLiteral("f.d_date"), QStringLiteral("f.id_p"), QStringLiteral("f.id")) +
             QStringLiteral(") e(w, d, h) group by 1, 2"),
         f);
    for (q.first(); !q.eof(); q.next()) {
        const int w = q.asInteger(QStringLiteral("w"));
        const int d = q.asInteger(QStringLiteral("d"));
        if (at.contains(w) && d >= 1 && d <= days)
            out[at.value(w)].hoursByDay[d - 1] = q.asInteger(QStringLiteral("h"));
    }
    q.close();
    return out;
}

ShiftLine readShiftLine(qlonglong id)
{
    Filter f;
    f.id = id;
    db::Dataset q(QStringLiteral("PayLine"));
    open(q, shiftLinesSql(f), f);
    return q.isEmpty() ? ShiftLine() : shiftLine(q);
}

HourLine readHourLine(qlonglong id)
{
    Filter f;
    f.id = id;
    db::Dataset q(QStringLiteral("PayLine"));
    open(q, hourLinesSql(f), f);
    return q.isEmpty() ? HourLine() : hourLine(q);
}

QString explain(const ShiftLine &l)
{
    QString s = QStringLiteral("%1 шт").arg(l.quantity);
    if (l.rejects != 0)
        s += QStringLiteral(" − %1 брак = %2 шт").arg(l.rejects).arg(l.paid());
    const QString paid = amountText(l.amount);
    if (l.normChanged) {
        s += QStringLiteral(" × %1 р. = %2 (расценка записи").arg(priceText(l.rate), paid);
        if (l.hasNorm)
            s += QStringLiteral("; по нормам сегодня %1 р.%2 = %3 р.")
                     .arg(priceText(l.today.base),
                          l.today.factors.isEmpty() ? QString()
                                                    : QLatin1Char(' ') + l.today.factorsText(),
                          priceText(l.today.price));
        else
            s += QStringLiteral("; у операции сегодня нет норм");
        return s + QStringLiteral(")");
    }
    s += QStringLiteral(" × %1 р.").arg(priceText(l.today.base));
    if (!l.today.factors.isEmpty())
        s += QLatin1Char(' ') + l.today.factorsText();
    return s + QStringLiteral(" = ") + paid;
}

QString explain(const HourLine &l)
{
    QString s = QStringLiteral("%1 ч").arg(l.hours);
    const QString paid = amountText(l.amount);
    QString base;
    if (l.kind == kAverage) {
        const QString month =
            QLocale(QLocale::Russian).standaloneMonthName(l.averageMonth.month()).toLower() +
            QLatin1Char(' ') + QString::number(l.averageMonth.year());
        base = QStringLiteral("%1 р./ч (средняя за %2: %3 за %4 ч)")
                   .arg(priceText(l.today.base), month,
                        amountText(Kopecks(std::llround(l.averagePay * 100.0))))
                   .arg(l.averageHours);
    } else {
        base = QStringLiteral("%1 р./ч").arg(priceText(l.today.base));
    }
    const QString factors =
        l.today.factors.isEmpty() ? QString() : QLatin1Char(' ') + l.today.factorsText();
    if (l.rateChanged) {
        s += QStringLiteral(" × %1 р./ч = %2 (цена записи").arg(priceText(l.rate), paid);
        if (l.hasBase)
            s += QStringLiteral("; сегодня %1%2 = %3 р./ч")
                     .arg(base, factors, priceText(l.today.price));
        return s + QStringLiteral(")");
    }
    return s + QStringLiteral(" × ") + base + factors + QStringLiteral(" = ") + paid;
}

} // namespace shop::pay
