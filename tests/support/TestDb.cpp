#include "TestDb.h"

#include "db/Connection.h"
#include "shop/DataModule.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>
#include <cstdio>
#include <cstdlib>

namespace testdb {

namespace {

[[noreturn]] void fatal(const QString &text)
{
    std::fprintf(stderr, "test database: %s\n", qPrintable(text));
    std::exit(2);
}

QSqlDatabase open(const QString &connName, const QString &dbName)
{
    QSqlDatabase d = QSqlDatabase::contains(connName)
                         ? QSqlDatabase::database(connName, false)
                         : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connName);
    if (d.isOpen())
        return d;
    d.setHostName(host());
    d.setPort(port());
    d.setDatabaseName(dbName);
    d.setUserName(QStringLiteral("sys"));
    d.setPassword(QStringLiteral("wexapol"));
    d.setConnectOptions(QStringLiteral("options='-c datestyle=ISO,DMY'"));
    if (!d.open())
        fatal(QStringLiteral("cannot open %1: %2").arg(dbName, d.lastError().text()));
    return d;
}

void exec(QSqlDatabase d, const QString &sql)
{
    QSqlQuery q(d);
    if (!q.exec(sql))
        fatal(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));
}

} // namespace

QString host()
{
    const QByteArray h = qgetenv("TABEL_PGHOST");
    return h.isEmpty() ? QStringLiteral("127.0.0.1") : QString::fromLocal8Bit(h);
}

int port()
{
    const QByteArray p = qgetenv("TABEL_PGPORT");
    if (p.isEmpty())
        fatal(QStringLiteral("TABEL_PGPORT is not set: run the tests with scripts/test.sh"));
    return p.toInt();
}

QString create(const QString &templateName)
{
    const QString name = QStringLiteral("t_%1_%2")
                             .arg(QCoreApplication::applicationName().toLower().remove(
                                 QRegularExpression(QStringLiteral("[^a-z0-9_]"))))
                             .arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
    QSqlDatabase admin = open(QStringLiteral("admin"), QStringLiteral("postgres"));
    exec(admin, QStringLiteral("create database %1 template %2").arg(name, templateName));
    return name;
}

void drop(const QString &name)
{
    db::closeConnection();
    const QString side = QStringLiteral("side_") + name;
    if (QSqlDatabase::contains(side)) {
        QSqlDatabase::database(side, false).close();
        QSqlDatabase::removeDatabase(side);
    }
    QSqlDatabase admin = open(QStringLiteral("admin"), QStringLiteral("postgres"));
    exec(admin, QStringLiteral("drop database if exists %1 with (force)").arg(name));
}

void connectProgram(const QString &name)
{
    DataModule::setPortOverride(port());
    db::ConnectionParams p;
    p.database = name;
    p.host = host();
    p.port = port();
    // The program runs as a clerk of its group role: a right the group lacks fails a test.
    p.user = QStringLiteral("tabel_test");
    p.password = QStringLiteral("wexapol");
    db::openConnection(p);
}

void connectProgramAs(const QString &name, const QString &login, const QString &groups)
{
    QSqlDatabase admin = open(QStringLiteral("admin"), QStringLiteral("postgres"));
    exec(admin, QStringLiteral("do $$ begin if not exists (select 1 from pg_roles where "
                               "rolname='%1') then create role %1 login password 'wexapol' in "
                               "role %2; end if; end $$")
                    .arg(login, groups));
    exec(admin, QStringLiteral("alter role %1 set datestyle = 'ISO, DMY'").arg(login));
    db::closeConnection();
    DataModule::setPortOverride(port());
    db::ConnectionParams p;
    p.database = name;
    p.host = host();
    p.port = port();
    p.user = login;
    p.password = QStringLiteral("wexapol");
    db::openConnection(p);
}

QSqlDatabase side(const QString &name)
{
    return open(QStringLiteral("side_") + name, name);
}

QVariant scalar(const QString &dbName, const QString &sql)
{
    QSqlQuery q(side(dbName));
    if (!q.exec(sql))
        fatal(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));
    return q.next() ? q.value(0) : QVariant();
}

void run(const QString &dbName, const QString &sql)
{
    exec(side(dbName), sql);
}

QVariant shiftCell(const QString &dbName, int worker, int shift, const QDate &day)
{
    return scalar(dbName, QStringLiteral("select d%1 from accounts_dep.h_tabel where w_id=%2 and "
                                         "smena=%3 and i_type=0 and month=%4 and year=%5")
                              .arg(day.day())
                              .arg(worker)
                              .arg(shift)
                              .arg(day.month())
                              .arg(day.year()));
}

namespace {

int inserted(const QString &dbName, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(side(dbName));
    if (!q.prepare(sql + QStringLiteral(" returning id")))
        fatal(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec() || !q.next())
        fatal(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));
    return q.value(0).toInt();
}

QString placeholders(qsizetype n)
{
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

} // namespace

int Shop::worker(const QString &fio)
{
    return inserted(db_, QStringLiteral("insert into accounts_dep.person (fio) values (?)"), {fio});
}

int Shop::worker(const QString &fio, const QString &position)
{
    return inserted(db_,
                    QStringLiteral("insert into accounts_dep.person (fio, s_staffpos_hl) "
                                   "values (?, ?)"),
                    {fio, position.isNull() ? QStringLiteral("") : position});
}

int Shop::operation(int kind, int product, int productKind)
{
    return inserted(db_,
                    QStringLiteral("insert into accounts_dep.oper (vid, naimen, i_id) "
                                   "values (?, ?, ?)"),
                    {kind, productKind, product});
}

EntryRow::EntryRow(const QString &dbName, int worker) : db_(dbName)
{
    set("w_id", worker);
}

EntryRow &EntryRow::set(const char *column, const QVariant &value)
{
    columns_ << QLatin1String(column);
    values_ << value;
    return *this;
}

EntryRow &EntryRow::on(const QDate &day, int shift)
{
    return set("data", day).set("smena", shift);
}

EntryRow &EntryRow::hours(int hours)
{
    return set("time", hours);
}

EntryRow &EntryRow::made(int quantity, int rejects)
{
    return set("kol_vo", quantity).set("brak", rejects);
}

EntryRow &EntryRow::operation(int operation, int product)
{
    return set("o_id", operation).set("i_id", product);
}

EntryRow &EntryRow::price(double price)
{
    return set("cena", price);
}

EntryRow &EntryRow::color(int color)
{
    return set("color", color);
}

EntryRow &EntryRow::mark(const QVariant &ok)
{
    return set("ok", ok.isValid() ? ok : QVariant(QMetaType::fromType<QString>()));
}

EntryRow &EntryRow::enteredNow()
{
    enteredNow_ = true;
    return *this;
}

int EntryRow::insert()
{
    QString sql =
        QStringLiteral("insert into accounts_dep.smena (") + columns_.join(QLatin1Char(','));
    QString values = placeholders(values_.size());
    if (enteredNow_) {
        sql += QStringLiteral(",vvod");
        values += QStringLiteral(",now()");
    }
    return inserted(db_, sql + QStringLiteral(") values (") + values + QLatin1Char(')'), values_);
}

QString dayColumns()
{
    QStringList days;
    for (int d = 1; d <= 31; ++d)
        days << QStringLiteral("d%1").arg(d);
    return days.join(QLatin1Char(','));
}

QString timesheet(const QString &dbName)
{
    return scalar(dbName, "select string_agg(row(w_id,smena,i_type,i_night,month,year," +
                              dayColumns() +
                              ")::text, ' | ' order by w_id,smena,i_type,i_night,year,month) "
                              "from accounts_dep.h_tabel")
        .toString();
}

QString rebuiltOneByOne(const QString &dbName, int month, int year, const OneByOne &how)
{
    QSqlDatabase db = side(dbName);
    db.transaction();
    const QString m = QString::number(month), y = QString::number(year);
    const QString ofMonth = QStringLiteral(" and month=") + m + QStringLiteral(" and year=") + y;
    exec(db, "delete from accounts_dep.h_tabel where " + how.replaced + ofMonth);
    for (int day = 1; day <= QDate(year, month, 1).daysInMonth(); ++day) {
        QSqlQuery groups(db);
        const QString date = QDate(year, month, day).toString(QStringLiteral("dd.MM.yyyy"));
        if (!groups.exec(QString(how.dayGroups).replace(":date", "'" + date + "'")))
            fatal(groups.lastError().text());
        const QString cell = QStringLiteral("d") + QString::number(day);
        while (groups.next()) {
            QStringList where, values;
            for (const QString &key : how.keys) {
                values << groups.value(key).toString();
                where << key + QLatin1Char('=') + values.last();
            }
            const QString hours = groups.value(QStringLiteral("hours")).toString();
            const QString row = " where " + where.join(QStringLiteral(" and ")) + ofMonth;
            if (scalar(dbName, "select count(w_id) from accounts_dep.h_tabel" + row).toInt() != 0)
                exec(db, "update accounts_dep.h_tabel set " + cell + '=' + hours + row);
            else
                exec(db, "insert into accounts_dep.h_tabel(" + how.keys.join(',') +
                             ", month, year, " + cell + ") values(" + values.join(',') + ',' + m +
                             ',' + y + ',' + hours + ')');
        }
    }
    const QString outcome = timesheet(dbName);
    db.rollback();
    return outcome;
}

OtherClerk::OtherClerk(const QString &dbName, const QStringList &statements)
{
    // The program's backend, asked on its own connection.
    QSqlQuery pidQuery(db::connection());
    const int programPid =
        pidQuery.exec(QStringLiteral("select pg_backend_pid()")) && pidQuery.next()
            ? pidQuery.value(0).toInt()
            : 0;
    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("other_clerk_%1").arg(++serial);
    thread_ = std::thread([this, dbName, statements, programPid, name] {
        {
            QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            d.setHostName(host());
            d.setPort(port());
            d.setDatabaseName(dbName);
            d.setUserName(QStringLiteral("sys"));
            d.setPassword(QStringLiteral("wexapol"));
            d.setConnectOptions(QStringLiteral("options='-c datestyle=ISO,DMY'"));
            QSqlQuery q(d);
            bool ok = d.open() && d.transaction();
            for (const QString &sql : statements) {
                if (ok && !q.exec(sql))
                    ok = false;
            }
            if (!ok)
                error_ = q.lastError().text() + d.lastError().text();
            ready_ = true;
            while (ok && !release_) {
                if (q.exec(QStringLiteral("select count(*) from pg_locks where pid=%1 and not "
                                          "granted")
                               .arg(programPid)) &&
                    q.next() && q.value(0).toInt() > 0) {
                    committedOnWait_ = true;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            if (ok) {
                committing_ = true;
                if (!d.commit())
                    error_ = d.lastError().text();
            }
            d.close();
        }
        QSqlDatabase::removeDatabase(name);
    });
    while (!ready_)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

OtherClerk::~OtherClerk()
{
    finish();
}

QString OtherClerk::finish()
{
    release_ = true;
    if (thread_.joinable())
        thread_.join();
    return error_;
}

namespace november2023 {

const char *const kBooks = R"(
insert into cmn_classifier.item (id, id_level, s_caption) values
  (9001, 2, 'Группа А'), (9002, 2, 'Группа Б');
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, massa, id_class_item) values
  (9101, 'Изд-А', 2, 9001), (9102, 'Изд-Б', 1.5, 9002);
insert into accounts_dep.vid_oper (id, vid) values (41, 'Сварка'), (42, 'Покраска');
)";

const char *const kTimesheet = R"(
insert into accounts_dep.h_tabel (w_id, smena, i_type, i_night, month, year)
select distinct w_id, smena, 0, 0, 11, 2023 from accounts_dep.smena
 where data between '01.11.2023' and '30.11.2023';
insert into accounts_dep.h_tabel (w_id, smena, i_type, i_night, month, year)
select distinct id_p, 0, id_o, i_night, 11, 2023 from accounts_dep.fatigue
 where d_date between '01.11.2023' and '30.11.2023';
)";

} // namespace november2023

} // namespace testdb
