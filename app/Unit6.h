#pragma once

#include "db/Command.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Settings.h"

#include <QDate>
#include <QObject>
#include <QStringList>

// The data module: the program's one connection and the queries and commands that the
// windows share.
class TDataModule6 : public QObject {
    Q_OBJECT
public:
    explicit TDataModule6(QObject *parent = nullptr);

    // The decimal separator the server expects in numbers written into SQL text.
    QString ServerDelim;

    db::Dataset *Workers;
    db::Dataset *Control;
    db::Dataset *Izdel;
    db::Dataset *Oper;
    db::Dataset *Vid_oper;
    db::Dataset *Smena1;
    db::Dataset *Smena2;
    db::Dataset *Smena3;
    db::Dataset *Smena4;
    db::Dataset *H_Tabel_1;
    db::Dataset *H_Tabel_2;
    db::Dataset *H_Tabel_3;
    db::Command DelSmena;
    db::Command H_Tabel_ins;
    db::Command SQL_exec;
    db::Command Oper_ins;
    db::Command Oper_ed;
    db::Command Oper_del;
    db::Command CellLock; // the advisory locks of the timesheet writers

    // The journal query of a shift: Smena2..Smena4 for 2..4, Smena1 for anything else.
    db::Dataset *smena(int shift) const;
    QList<db::Dataset *> journals() const { return {Smena1, Smena2, Smena3, Smena4}; }

    // Connection string from the command line arguments (program name excluded):
    // the first is the database, the second the server; without a server the built-in one.
    static QString connectionString(const QStringList &args);
    static QString builtInConnectionString();
    // What a connection string says, in the terms of the program's database client.
    static db::ConnectionParams connectionParams(const QString &connectionString);
    // Opens ADO_DB with the connection string. Throws db::SqlError.
    void connectTo(const QString &connectionString);
    // The connection the program opens for its command line: the database and server named
    // there (both, or neither), then the settings files, the PG* environment, and the
    // built-in connection string last.
    static db::ConnectionParams settingsFor(const QStringList &args,
                                            const db::SettingsSources &sources);
    // Opens the connection settingsFor() describes. Throws db::SqlError.
    void connectWith(const db::ConnectionParams &params);
    // Tests run their server on another port than the plant's.
    static void setPortOverride(int port) { portOverride_ = port; }

    // Runs a count statement (a column cnt) through Control; shows message when the count
    // is above 0 and returns 1 then, otherwise 0.
    int CountCheck(const QString &sql, const QString &message);
    // Replaces the first "," (or when there is none the first ".") by ServerDelim
    // (a point while no separator is on record).
    QString FixDecimal(const QString &text) const;

    static QString timesheetQuery(int shift);

    // One timesheet row of accounts_dep.h_tabel: a shift-journal row (smena 1..4, i_type 0)
    // or a maintenance row (smena 0, i_type 7777 or 7778, with its night flag).
    struct TabelRow {
        int w_id = 0;
        int smena = 0;
        int i_type = 0;
        int i_night = 0;
        int month = 0;
        int year = 0;
    };
    // Writes hours into the day's cell of the row through H_Tabel_ins; the other days are
    // not touched. With create, a missing row is inserted with that one day set; the
    // insert turns into an update when the row exists (also when another user created it a
    // moment ago), so a worker never gets two rows of one kind in a month. Without create,
    // only an existing row is updated.
    void WriteTabelDay(const TabelRow &row, int day, int hours, bool create);
    // The day's cell of a worker's shift row of the month gets the hours of the worker's
    // entries of that shift and date (0 when none remain), as WriteTabelDay writes it.
    void WriteShiftDay(int w_id, int smena, const QDate &date, bool create);

    // Cells that cannot lose hours. A cell is written with the sum of the day's entries, so
    // two clerks saving for one worker at once must not both sum without the other's entry.
    // Every writer of a worker's cells takes the worker's month lock inside its transaction
    // before it sums; the lock is held to commit, so the sum read after it includes every
    // entry committed before, and the later writer writes the full day. The worker and month
    // is the narrowest key that covers every cell a save recomputes (a save touches one day,
    // a move two cells of one or two workers); a month rebuild takes the month itself
    // exclusively, which every cell writer also holds shared. Transaction-level advisory
    // locks: nothing to clean up, released by commit or rollback. Two moves locking two
    // workers in opposite orders may deadlock; the server then fails one and the
    // transaction helper runs it again.
    void LockWorkerMonth(int w_id, const QDate &date);
    void LockMonth(int month, int year);

private:
    db::Dataset *query(const char *name, const QString &sql);
    static int portOverride_;
};

extern TDataModule6 *DataModule6;
