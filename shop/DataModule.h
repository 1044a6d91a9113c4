#pragma once

#include "db/Command.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Settings.h"

#include <QObject>
#include <QStringList>

// The data module: the program's one connection and the queries and commands that the
// windows share.
class DataModule : public QObject {
    Q_OBJECT
public:
    explicit DataModule(QObject *parent = nullptr);

    // The decimal separator on record in accounts_dep.ver, read at login. The program binds
    // its numbers and writes none into SQL text; the value is kept for what reads it there.
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
    db::Command SQL_exec;
    db::Command Oper_ed;
    db::Command Oper_del;

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
    int CountCheck(const QString &sql, const QString &message,
                   const QHash<QString, QVariant> &params = {});

    static QString timesheetQuery(int shift);
    // The statement of the journal query of a shift (1 to 4).
    static QString journalQuery(int shift);
    // The person rows (s_caption, by_code, s_code) that know the worker whose number the SQL
    // expression gives: the one whose id is his number (by_code 0: workers added here), and
    // any other whose code reads as it (by_code 1: people registered by another system).
    // Each way is its own index look-up; asked at once with "or" they cost a bitmap per
    // worker.
    static QString workerPersons(const QString &worker);

private:
    db::Dataset *query(const char *name, const QString &sql);
    static int portOverride_;
};

extern DataModule *dataModule;
