// One clerk of the soak: for the given seconds it saves, moves, deletes and accepts shift
// entries and saves and deletes maintenance entries through the shop's stores, on a
// connection of its own, as the program does. A "clerk" client also rebuilds the month's
// timesheets now and then. Every operation is written to the log as one line:
//   client;seq;kind;outcome;ms;table;id;message
// outcome: done, refused (told with a sentence), failed (not carried out), unknown (the
// connection broke at commit; resolved against the database before the client ends).
// At the end the client writes what its own entries must look like now:
//   expect;table;id;tag;ok     (tag: the shift entry's colour or the maintenance price)
//   gone;table;id
// The choices are drawn from the seed and the client's number, so a client does the same
// thing on every run as long as the others let it.
#include "db/Command.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/Transaction.h"
#include "shop/MaintenanceEntries.h"
#include "shop/ShiftEntries.h"
#include "shop/Timesheet.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <map>
#include <random>

namespace {

struct Options {
    int client = 0;
    quint64 seed = 1;
    int seconds = 10;
    bool clerk = false;
    db::ConnectionParams db;
    QList<int> workers;
    QList<QPair<int, int>> operations; // product, operation
    QDate from;
    int days = 5;
    QString log;
};

struct ShiftOwn {
    int id;
    int colour;
    QString ok;
};
struct MaintOwn {
    qlonglong id;
    double price;
};

class Client {
public:
    explicit Client(const Options &o)
        : o_(o), rng_(o.seed * 1000003ULL + quint64(o.client)), out_(&file_)
    {
    }

    int run()
    {
        file_.setFileName(o_.log);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(o_.log));
            return 2;
        }
        connect();
        QElapsedTimer clock;
        clock.start();
        qint64 lastRebuild = 0;
        while (clock.elapsed() < qint64(o_.seconds) * 1000) {
            // Rebuilds run in the first half only: a rebuild writes every cell right, so one
            // near the end would hide what the saves after it lost.
            if (o_.clerk && clock.elapsed() - lastRebuild > 2000 &&
                clock.elapsed() < qint64(o_.seconds) * 500) {
                lastRebuild = clock.elapsed();
                step(QStringLiteral("rebuild"), [&] { rebuild(); });
                continue;
            }
            const int pick = int(rng_() % 100);
            if (pick < 35 || shifts_.empty())
                step(QStringLiteral("save"), [&] { saveShift(); });
            else if (pick < 55)
                step(QStringLiteral("move"), [&] { moveShift(); });
            else if (pick < 68)
                step(QStringLiteral("delete"), [&] { deleteShift(); });
            else if (pick < 78)
                step(QStringLiteral("accept"), [&] { accept(); });
            else if (pick < 92 || maints_.empty())
                step(QStringLiteral("maint_save"), [&] { saveMaintenance(); });
            else
                step(QStringLiteral("maint_delete"), [&] { deleteMaintenance(); });
        }
        resolveUnknowns();
        writeExpected();
        out_ << "retries;" << o_.client << ';' << db::retries() << '\n';
        out_.flush();
        return 0;
    }

private:
    // What a step reports back: the table and id it worked on.
    struct Target {
        QString table;
        qlonglong id = 0;
    };
    // An operation cut off at commit, resolved before the client ends.
    struct Unknown {
        QString kind;
        Target target;
        int seq;
    };

    void connect()
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            try {
                db::openConnection(o_.db);
                return;
            } catch (const db::SqlError &) {
                QThread::msleep(100);
            }
        }
        db::openConnection(o_.db);
    }

    template <typename Work> void step(const QString &kind, Work work)
    {
        ++seq_;
        target_ = {};
        pending_ = {};
        QElapsedTimer t;
        t.start();
        QString outcome = QStringLiteral("done"), message;
        try {
            work();
            if (!refusal_.isEmpty()) {
                outcome = QStringLiteral("refused");
                message = refusal_;
                refusal_.clear();
            } else if (pending_) {
                pending_(); // the client's own record follows what was stored
            }
        } catch (const db::ConnectionLostAtCommit &e) {
            outcome = QStringLiteral("unknown");
            message = e.text();
            unknown_.push_back({kind, target_, seq_});
        } catch (const db::ConnectionLost &e) {
            outcome = QStringLiteral("failed");
            message = e.text();
        } catch (const db::RowChanged &e) {
            outcome = QStringLiteral("refused");
            message = e.text();
        } catch (const db::SqlError &e) {
            // A deadlock that outlived its retries, a server restarting: told, not stored.
            outcome = QStringLiteral("failed");
            message = e.text();
        }
        const double ms = t.nsecsElapsed() / 1e6;
        out_ << o_.client << ';' << seq_ << ';' << kind << ';' << outcome << ';'
             << QString::number(ms, 'f', 3) << ';' << target_.table << ';' << target_.id << ';'
             << QString(message)
                    .replace(QLatin1Char('\n'), QLatin1Char(' '))
                    .replace(QLatin1Char(';'), QLatin1Char(','))
             << '\n';
        if (outcome != QLatin1String("done") && outcome != QLatin1String("refused"))
            QThread::msleep(50); // the connection is gone: give the server a moment
    }

    template <typename T> const T &any(const QList<T> &list)
    {
        return list[int(rng_() % quint64(list.size()))];
    }
    QDate anyDay() { return o_.from.addDays(qint64(rng_() % quint64(o_.days))); }
    int tag() const { return o_.client * 100000 + seq_; }

    shop::ShiftEntry newShift()
    {
        const auto &[product, operation] = any(o_.operations);
        shop::ShiftEntry e;
        e.workerId = any(o_.workers);
        e.productId = product;
        e.operationId = operation;
        e.price = 10.5;
        e.quantity = 1 + int(rng_() % 50);
        e.rejects = 0;
        e.colour = tag();
        e.hours = 1 + int(rng_() % 8);
        e.date = anyDay();
        e.shift = 1 + int(rng_() % 4);
        return e;
    }

    void saveShift()
    {
        const shop::ShiftEntry e = newShift();
        target_.table = QStringLiteral("smena");
        const int colour = e.colour;
        const shop::StoreResult r = shop::ShiftEntries::add(e);
        if (!r.ok()) {
            refusal_ = r.refusal;
            return;
        }
        target_.id = r.id;
        pending_ = [this, id = int(r.id), colour] {
            shifts_[id] = {id, colour, QStringLiteral("no")};
        };
    }
    // An unknown save is looked up by its colour, which no other operation uses.
    void lookUpSave(int colour)
    {
        db::Dataset q(QStringLiteral("soakFind"));
        q.setSql(QStringLiteral("select id, ok from accounts_dep.smena where color=:c"));
        q.setParam(QStringLiteral("c"), colour);
        q.open();
        if (!q.isEmpty())
            shifts_[q.asInteger(QStringLiteral("id"))] = {q.asInteger(QStringLiteral("id")), colour,
                                                          q.asString(QStringLiteral("ok"))};
    }

    QString rowVer(const QString &table, qlonglong id)
    {
        db::Dataset q(QStringLiteral("soakVersion"));
        q.setSql(QStringLiteral("select xmin::text as v from accounts_dep.") + table +
                 QStringLiteral(" where id=:id"));
        q.setParam(QStringLiteral("id"), id);
        q.open();
        return q.isEmpty() ? QString() : q.asString(QStringLiteral("v"));
    }

    ShiftOwn &anyShift()
    {
        auto it = shifts_.begin();
        std::advance(it, qint64(rng_() % quint64(shifts_.size())));
        return it->second;
    }

    void moveShift()
    {
        ShiftOwn &own = anyShift();
        target_ = {QStringLiteral("smena"), own.id};
        shop::ShiftEntry e = newShift(); // another worker, day, shift, operation and hours
        const shop::StoredEntry former{own.id, rowVer(QStringLiteral("smena"), own.id), 0, {}};
        const shop::StoreResult r = shop::ShiftEntries::change(former, e);
        if (!r.ok()) {
            refusal_ = r.refusal;
            return;
        }
        pending_ = [this, id = own.id, colour = e.colour] { shifts_[id].colour = colour; };
    }

    void deleteShift()
    {
        const int id = anyShift().id;
        target_ = {QStringLiteral("smena"), id};
        shop::ShiftEntries::remove(id, rowVer(QStringLiteral("smena"), id));
        pending_ = [this, id] {
            shifts_.erase(id);
            goneShifts_.append(id);
        };
    }

    // Acceptance as the journal asks for it: the mark wanted, on one row, no cell touched.
    void accept()
    {
        ShiftOwn &own = anyShift();
        target_ = {QStringLiteral("smena"), own.id};
        const bool accepted = !shop::ShiftEntries::isAccepted(own.ok);
        shop::ShiftEntries::setAccepted(own.id, accepted);
        const QString next = accepted ? QStringLiteral("ok") : QStringLiteral("no");
        pending_ = [this, id = own.id, next] { shifts_[id].ok = next; };
    }

    void saveMaintenance()
    {
        shop::MaintenanceEntry e;
        e.kind = rng_() % 3 == 0 ? 7778 : 7777;
        e.nomId = 7777;
        e.workerId = any(o_.workers);
        e.day = anyDay();
        e.shift = 1;
        e.hours = 1 + qlonglong(rng_() % 4);
        e.night = rng_() % 4 == 0;
        // The price carries the operation's tag, so that an unknown save can be found.
        e.price = 100.0 * (o_.client + 1) + seq_ / 10000.0;
        target_.table = QStringLiteral("fatigue");
        const shop::StoreResult r = shop::MaintenanceEntries::add(e);
        if (!r.ok()) {
            refusal_ = r.refusal;
            return;
        }
        const qlonglong id = r.id;
        target_.id = id;
        pending_ = [this, id, price = e.price] { maints_[id] = {id, price}; };
    }
    void lookUpMaintenance(double price)
    {
        db::Dataset q(QStringLiteral("soakFindMaint"));
        q.setSql(QStringLiteral("select id from accounts_dep.fatigue where price=:p::numeric"));
        q.setParam(QStringLiteral("p"), QString::number(price, 'f', 4));
        q.open();
        if (!q.isEmpty()) {
            const qlonglong id = q.value(QStringLiteral("id")).toLongLong();
            maints_[id] = {id, price};
        }
    }

    void deleteMaintenance()
    {
        auto it = maints_.begin();
        std::advance(it, qint64(rng_() % quint64(maints_.size())));
        const qlonglong id = it->first;
        target_ = {QStringLiteral("fatigue"), id};
        shop::MaintenanceEntries::remove(id, rowVer(QStringLiteral("fatigue"), id));
        pending_ = [this, id] {
            maints_.erase(id);
            goneMaints_.append(id);
        };
    }

    void rebuild()
    {
        shop::timesheet::rebuildShifts(o_.from.month(), o_.from.year());
        shop::timesheet::rebuildKinds(o_.from.month(), o_.from.year());
    }

    // The operations cut off at commit: what the database holds decides.
    void resolveUnknowns()
    {
        for (const Unknown &u : unknown_) {
            for (int attempt = 0;; ++attempt) {
                try {
                    resolve(u);
                    break;
                } catch (const db::SqlError &) {
                    if (attempt > 100)
                        throw;
                    QThread::msleep(100);
                }
            }
        }
    }
    void resolve(const Unknown &u)
    {
        const QString table = u.target.table;
        if (u.kind == QLatin1String("save")) {
            lookUpSave(o_.client * 100000 + u.seq);
        } else if (u.kind == QLatin1String("maint_save")) {
            lookUpMaintenance(100.0 * (o_.client + 1) + u.seq / 10000.0);
        } else {
            // A move, delete or acceptance of an own entry: the row as it is now.
            db::Dataset q(QStringLiteral("soakRow"));
            if (table == QLatin1String("smena")) {
                q.setSql(QStringLiteral("select color, ok from accounts_dep.smena where id=:id"));
                q.setParam(QStringLiteral("id"), u.target.id);
                q.open();
                if (q.isEmpty()) {
                    shifts_.erase(int(u.target.id));
                    goneShifts_.append(int(u.target.id));
                } else {
                    shifts_[int(u.target.id)] = {int(u.target.id),
                                                 q.asInteger(QStringLiteral("color")),
                                                 q.asString(QStringLiteral("ok"))};
                }
            } else {
                q.setSql(QStringLiteral("select id from accounts_dep.fatigue where id=:id"));
                q.setParam(QStringLiteral("id"), u.target.id);
                q.open();
                if (q.isEmpty()) {
                    maints_.erase(u.target.id);
                    goneMaints_.append(u.target.id);
                }
            }
        }
        out_ << "resolved;" << o_.client << ';' << u.seq << '\n';
    }

    void writeExpected()
    {
        for (const auto &[id, own] : shifts_)
            out_ << "expect;smena;" << id << ';' << own.colour << ';' << own.ok << '\n';
        for (int id : goneShifts_)
            if (!shifts_.count(id))
                out_ << "gone;smena;" << id << '\n';
        for (const auto &[id, own] : maints_)
            out_ << "expect;fatigue;" << id << ';' << QString::number(own.price, 'f', 4) << ";\n";
        for (qlonglong id : goneMaints_)
            if (!maints_.count(id))
                out_ << "gone;fatigue;" << id << '\n';
    }

    Options o_;
    std::mt19937_64 rng_;
    QFile file_;
    QTextStream out_;
    int seq_ = 0;
    Target target_;
    std::function<void()> pending_;
    QString refusal_;
    std::map<int, ShiftOwn> shifts_;
    std::map<qlonglong, MaintOwn> maints_;
    QList<int> goneShifts_;
    QList<qlonglong> goneMaints_;
    QList<Unknown> unknown_;
};

QList<int> numbers(const QString &text)
{
    QList<int> out;
    for (const QString &p : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        out << p.toInt();
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Options o;
    o.db.host = QStringLiteral("127.0.0.1");
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i + 1 < args.size(); i += 2) {
        const QString &k = args[i], &v = args[i + 1];
        if (k == QLatin1String("--client"))
            o.client = v.toInt();
        else if (k == QLatin1String("--seed"))
            o.seed = v.toULongLong();
        else if (k == QLatin1String("--seconds"))
            o.seconds = v.toInt();
        else if (k == QLatin1String("--clerk"))
            o.clerk = v == QLatin1String("1");
        else if (k == QLatin1String("--host"))
            o.db.host = v;
        else if (k == QLatin1String("--port"))
            o.db.port = v.toInt();
        else if (k == QLatin1String("--db"))
            o.db.database = v;
        else if (k == QLatin1String("--user"))
            o.db.user = v;
        else if (k == QLatin1String("--password"))
            o.db.password = v;
        else if (k == QLatin1String("--workers"))
            o.workers = numbers(v);
        else if (k == QLatin1String("--operations")) {
            const QList<int> n = numbers(v);
            for (int j = 0; j + 1 < n.size(); j += 2)
                o.operations.append({n[j], n[j + 1]});
        } else if (k == QLatin1String("--from"))
            o.from = QDate::fromString(v, Qt::ISODate);
        else if (k == QLatin1String("--days"))
            o.days = v.toInt();
        else if (k == QLatin1String("--log"))
            o.log = v;
    }
    if (o.workers.isEmpty() || o.operations.isEmpty() || !o.from.isValid() || o.log.isEmpty()) {
        std::fprintf(stderr, "usage: tabel_soak_client --client N --seed K --seconds S --db D "
                             "--port P --user U --password W --workers 1,2 --operations "
                             "product,operation,... --from YYYY-MM-DD --days N --log FILE "
                             "[--clerk 1] [--host H]\n");
        return 2;
    }
    try {
        return Client(o).run();
    } catch (const db::SqlError &e) {
        std::fprintf(stderr, "client %d: %s\n", o.client, qPrintable(e.text()));
        return 1;
    }
}
