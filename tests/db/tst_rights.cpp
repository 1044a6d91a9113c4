// The rights held by the server: a login of each group role does what that role's windows
// do and the server refuses the rest; a login of no group does nothing; no group holds a
// right no statement of the program needs; the functions that run as their owner cannot be
// turned against it through the caller's temporary schema.
#include "TestDb.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

#include <algorithm>

namespace {

// The logins of the test, by the role they stand for; "none" is in no group.
const QStringList kRoles = {"admin", "foreman", "warehouse", "viewer", "none"};

QString groupOf(const QString &role)
{
    return role == QLatin1String("none") ? QString() : QStringLiteral("tabel_") + role;
}

// An entry and a maintenance entry of an open month, a product that entries name.
const char *const kOpenEntry = "(select max(id) from accounts_dep.smena where "
                               "data >= date_trunc('month', current_date))";
const char *const kOpenHours = "(select max(id) from accounts_dep.fatigue where "
                               "d_date >= date_trunc('month', current_date))";

} // namespace

class RightsTest : public QObject {
    Q_OBJECT
    QString db_;
    QString prefix_;

    QString login(const QString &role) const { return prefix_ + role; }

    QSqlDatabase as(const QString &role)
    {
        const QString name = QStringLiteral("as_") + role;
        if (QSqlDatabase::contains(name))
            return QSqlDatabase::database(name);
        QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        d.setHostName(testdb::host());
        d.setPort(testdb::port());
        d.setDatabaseName(db_);
        d.setUserName(login(role));
        d.setConnectOptions(QStringLiteral("options='-c datestyle=ISO,DMY'"));
        if (!d.open())
            qFatal("cannot log in as %s: %s", qPrintable(login(role)),
                   qPrintable(d.lastError().text()));
        return d;
    }

    // Runs a statement as the role's login and undoes it; the SQLSTATE of its refusal, or
    // an empty text when it went through.
    QString tried(const QString &role, const QString &sql)
    {
        QSqlDatabase d = as(role);
        QSqlQuery q(d);
        q.exec(QStringLiteral("begin"));
        const bool ok = q.exec(sql);
        const QString state = ok ? QString() : q.lastError().nativeErrorCode();
        const QString text = ok ? QString() : q.lastError().databaseText();
        QSqlQuery(d).exec(QStringLiteral("rollback"));
        if (!ok && state.isEmpty())
            qWarning("%s: %s", qPrintable(sql), qPrintable(text));
        return state;
    }

private slots:
    void initTestCase()
    {
        db_ = testdb::create();
        prefix_ = QStringLiteral("r%1_").arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
        for (const QString &role : kRoles) {
            testdb::run(db_, QStringLiteral("create role %1 login").arg(login(role)));
            if (!groupOf(role).isEmpty())
                testdb::run(db_, QStringLiteral("grant %1 to %2").arg(groupOf(role), login(role)));
        }
    }
    void cleanupTestCase()
    {
        for (const QString &role : kRoles) {
            const QString name = QStringLiteral("as_") + role;
            if (QSqlDatabase::contains(name)) {
                QSqlDatabase::database(name, false).close();
                QSqlDatabase::removeDatabase(name);
            }
        }
        testdb::drop(db_);
        for (const QString &role : kRoles)
            testdb::run(QStringLiteral("postgres"),
                        QStringLiteral("drop role if exists %1").arg(login(role)));
    }

    // Each statement as each login: the roles named may, the others are refused with the
    // state given (42501: no right; the server's own refusal where a function refuses).
    void statementsByRole_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("allowed");
        QTest::addColumn<QString>("refusal");
        const QString entry = QLatin1String(kOpenEntry), hours = QLatin1String(kOpenHours);
        const QStringList all = {"admin", "foreman", "warehouse", "viewer"};
        const QStringList nobody;
        QTest::newRow("read the journal")
            << "select count(*) from accounts_dep.smena" << all << "42501";
        QTest::newRow("read the history")
            << "select count(*) from accounts_dep.change_log" << all << "42501";
        QTest::newRow("add an entry")
            << "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, "
               "smena, time, ok) select w_id, i_id, o_id, cena, 1, 0, current_date, 1, 1, 'no' "
               "from accounts_dep.smena where id=" +
                   entry
            << QStringList{"admin", "foreman"} << "42501";
        QTest::newRow("add an entry accepted already")
            << "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, "
               "smena, time, ok) select w_id, i_id, o_id, cena, 1, 0, current_date, 1, 1, 'ok' "
               "from accounts_dep.smena where id=" +
                   entry
            << QStringList{"admin"} << "42501";
        QTest::newRow("fill the entry's timesheet cell")
            << "insert into accounts_dep.h_tabel (smena, i_type, i_night, w_id, month, year, d1) "
               "select 1, 0, 0, w_id, extract(month from current_date), extract(year from "
               "current_date), 8 from accounts_dep.smena where id=" +
                   entry +
                   " on conflict (w_id, smena, i_type, i_night, month, year) do update "
                   "set d1=excluded.d1"
            << QStringList{"admin", "foreman"} << "42501";
        QTest::newRow("change an entry") << "update accounts_dep.smena set time=1 where id=" + entry
                                         << QStringList{"admin"} << "42501";
        QTest::newRow("accept an entry")
            << "update accounts_dep.smena set ok='ok' where id=" + entry
            << QStringList{"admin", "warehouse"} << "42501";
        QTest::newRow("delete an entry") << "delete from accounts_dep.smena where id=" + entry
                                         << QStringList{"admin"} << "42501";
        QTest::newRow("add maintenance hours")
            << "insert into accounts_dep.fatigue (id_nom, id_o, id_p, d_date, i_mnth, i_year, "
               "i_smena, cnt, price, i_holiday, i_night) select id_nom, id_o, id_p, d_date, "
               "i_mnth, i_year, i_smena, 1, price, 0, 0 from accounts_dep.fatigue where id=" +
                   hours
            << QStringList{"admin", "foreman"} << "42501";
        QTest::newRow("change maintenance hours")
            << "update accounts_dep.fatigue set cnt=1 where id=" + hours << QStringList{"admin"}
            << "42501";
        QTest::newRow("delete maintenance hours")
            << "delete from accounts_dep.fatigue where id=" + hours << QStringList{"admin"}
            << "42501";
        QTest::newRow("rebuild a month's timesheet")
            << "delete from accounts_dep.h_tabel where month=extract(month from current_date) "
               "and year=extract(year from current_date)"
            << QStringList{"admin"} << "42501";
        QTest::newRow("change a price")
            << "update accounts_dep.norm set price=price+1" << QStringList{"admin"} << "42501";
        QTest::newRow("add a worker (and his person row)")
            << "insert into accounts_dep.person (fio) values ('Новиков Н.Н.')"
            << QStringList{"admin"} << "42501";
        QTest::newRow("add a product")
            << "select accounts_dep.add_product('НП-1', 1.5, (select min(id) from "
               "cmn_classifier.item where id_level=2))"
            << QStringList{"admin"} << "42501";
        QTest::newRow("close a month")
            << "select accounts_dep.close_month(2031, 1)" << QStringList{"admin"} << "42501";
        QTest::newRow("reopen a month")
            << "select accounts_dep.reopen_month(extract(year from c.m)::int, extract(month "
               "from c.m)::int) from (select date_trunc('month', current_date) - interval "
               "'2 months' as m) c"
            << QStringList{"admin"} << "42501";
        QTest::newRow("record this build")
            << "select accounts_dep.stamp_version(to_char(current_date, 'YYYYMMDD')::int, 0)" << all
            << "42501";

        // Refused to every group.
        QTest::newRow("a product that entries name deleted")
            << "select accounts_dep.delete_product(g.id, g.xmin::text) from "
               "cmn_gds_and_srv.gds_and_srv g where g.id=(select i_id from accounts_dep.smena "
               "where id=" +
                   entry + ")"
            << nobody << "42501|23503|TBC01"; // TBC01: the entry is of a closed month
        QTest::newRow("a stamp beyond tomorrow")
            << "select accounts_dep.stamp_version(99991231, 0)" << nobody << "42501|TBV01";
        QTest::newRow("the version record written")
            << "update accounts_dep.ver set d=99999999" << nobody << "42501";
        QTest::newRow("the separator written")
            << "update accounts_dep.ver set delim=''')--'" << nobody << "42501";
        QTest::newRow("a closing removed")
            << "delete from accounts_dep.closed_month" << nobody << "42501";
        QTest::newRow("a closing put back")
            << "insert into accounts_dep.closed_month (year, month, closed_by, closed_at) "
               "values (2031, 2, 'Администратор', now())"
            << nobody << "42501";
        QTest::newRow("history written") << "insert into accounts_dep.change_log (tbl, action) "
                                            "values ('smena', 'delete')"
                                         << nobody << "42501";
        QTest::newRow("history changed")
            << "update accounts_dep.change_log set who='кто-то'" << nobody << "42501";
        QTest::newRow("other system's persons deleted")
            << "delete from cmn_contractor.person" << nobody << "42501";
        QTest::newRow("other system's persons renamed")
            << "update cmn_contractor.person set s_caption='Кто-то'" << nobody << "42501";
        QTest::newRow("other system's goods deleted")
            << "delete from cmn_gds_and_srv.gds_and_srv" << nobody << "42501";
        QTest::newRow("other system's goods changed")
            << "update cmn_gds_and_srv.gds_and_srv set massa=0" << nobody << "42501";
        QTest::newRow("staff positions read by a non-administrator")
            << "select count(*) from hrms_staffpos.staffpos" << QStringList{"admin"} << "42501";
        QTest::newRow("the schema changed")
            << "alter table accounts_dep.smena add column x integer" << nobody << "42501";
        QTest::newRow("a superuser made")
            << "alter role current_user superuser" << nobody << "42501";
    }
    void statementsByRole()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, allowed);
        QFETCH(QString, refusal);
        const QStringList states = refusal.split(QLatin1Char('|'));
        for (const QString &role : kRoles) {
            const QString state = tried(role, sql);
            if (allowed.contains(role))
                QVERIFY2(state.isEmpty(), qPrintable(role + ": refused with " + state));
            else
                QVERIFY2(states.contains(state),
                         qPrintable(role + ": " + (state.isEmpty() ? "went through" : state)));
        }
    }

    // Every right each group holds on the program's schemas, tables, columns, sequences and
    // functions, its own and those of the groups it includes, against the list of what the
    // role's windows do. A right no statement needs fails here as much as a missing one.
    void groupsHoldExactlyWhatTheirWindowsNeed()
    {
        const QStringList viewer = {
            "schema accounts_dep USAGE",          "schema cmn_classifier USAGE",
            "schema cmn_contractor USAGE",        "schema cmn_gds_and_srv USAGE",
            "accounts_dep.change_log SELECT",     "accounts_dep.closed_month SELECT",
            "accounts_dep.fatigue SELECT",        "accounts_dep.h_tabel SELECT",
            "accounts_dep.izdel SELECT",          "accounts_dep.norm SELECT",
            "accounts_dep.oper SELECT",           "accounts_dep.person SELECT",
            "accounts_dep.smena SELECT",          "accounts_dep.ver SELECT",
            "accounts_dep.vid_oper SELECT",       "cmn_classifier.item SELECT",
            "cmn_contractor.person SELECT",       "cmn_gds_and_srv.gds_and_srv SELECT",
            "accounts_dep.stamp_version EXECUTE", "accounts_dep.organisation SELECT",
            "accounts_dep.calendar_year SELECT",  "accounts_dep.calendar_day SELECT",
            "accounts_dep.time_code SELECT",      "accounts_dep.absence SELECT",
        };
        const QStringList foreman =
            viewer + QStringList{
                         "accounts_dep.smena INSERT",         "accounts_dep.fatigue INSERT",
                         "accounts_dep.h_tabel INSERT",       "accounts_dep.h_tabel UPDATE",
                         "accounts_dep.smena_id_seq USAGE",   "accounts_dep.fatigue_id_seq USAGE",
                         "accounts_dep.h_tabel_id_seq USAGE",
                     };
        const QStringList warehouse = viewer + QStringList{"accounts_dep.smena.ok UPDATE"};
        QStringList admin = foreman + QStringList{
                                          "schema adm_role USAGE",
                                          "schema cmn_department USAGE",
                                          "schema hrms_staffpos USAGE",
                                          "adm_role.roles SELECT",
                                          "cmn_department.department SELECT",
                                          "hrms_staffpos.staffpos SELECT",
                                          "accounts_dep.add_product EXECUTE",
                                          "accounts_dep.change_product EXECUTE",
                                          "accounts_dep.close_month EXECUTE",
                                          "accounts_dep.delete_product EXECUTE",
                                          "accounts_dep.closed_month_of_product EXECUTE",
                                          "accounts_dep.reopen_month EXECUTE",
                                          "accounts_dep.norm_id_seq USAGE",
                                          "accounts_dep.oper_id_seq USAGE",
                                          "accounts_dep.person_id_seq USAGE",
                                          "accounts_dep.vid_oper_id_seq USAGE",
                                      };
        for (const char *table : {"person", "vid_oper", "oper", "norm", "smena", "fatigue"})
            for (const char *right : {"INSERT", "UPDATE", "DELETE"})
                admin << QStringLiteral("accounts_dep.%1 %2").arg(table, right);
        admin << "accounts_dep.h_tabel DELETE"
              << "accounts_dep.organisation UPDATE"
              << "accounts_dep.calendar_year_id_seq USAGE"
              << "accounts_dep.calendar_day_id_seq USAGE"
              << "accounts_dep.absence_id_seq USAGE";
        for (const char *table : {"calendar_year", "calendar_day", "absence"})
            for (const char *right : {"INSERT", "UPDATE", "DELETE"})
                admin << QStringLiteral("accounts_dep.%1 %2").arg(table, right);
        const std::pair<const char *, QStringList> expected[] = {{"tabel_viewer", viewer},
                                                                 {"tabel_foreman", foreman},
                                                                 {"tabel_warehouse", warehouse},
                                                                 {"tabel_admin", admin},
                                                                 {"public", QStringList{}}};
        for (const auto &[group, list] : expected) {
            QStringList want = list;
            want.sort();
            want.removeDuplicates();
            const QStringList held = testdb::scalar(db_, heldBy(group))
                                         .toString()
                                         .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QStringList extra, missing;
            for (const QString &r : held)
                if (!want.contains(r))
                    extra << r;
            for (const QString &r : want)
                if (!held.contains(r))
                    missing << r;
            QVERIFY2(extra.isEmpty() && missing.isEmpty(),
                     qPrintable(QStringLiteral("%1 holds beyond its windows: %2; lacks: %3")
                                    .arg(group, extra.join(", "), missing.join(", "))));
        }
    }

    // A function that runs as its owner resolves nothing through the caller's temporary
    // schema: a temporary domain named as the type the history trigger uses, whose check
    // would make the caller a superuser, is not reached by a foreman's ordinary save.
    void definerFunctionsIgnoreTheCallersTemporarySchema()
    {
        QSqlDatabase d = as(QStringLiteral("foreman"));
        QSqlQuery q(d);
        for (const QString &sql :
             {QStringLiteral("create function pg_temp.escalate(v pg_catalog.jsonb) returns "
                             "boolean language plpgsql as $$ begin execute "
                             "'alter role ' || quote_ident(session_user) || ' superuser'; "
                             "return true; end $$"),
              QStringLiteral("create domain pg_temp.jsonb as pg_catalog.jsonb check "
                             "(pg_temp.escalate(value))"),
              QStringLiteral("create temporary table change_log (like "
                             "accounts_dep.change_log)"),
              QStringLiteral("insert into accounts_dep.smena (w_id, i_id, o_id, cena, "
                             "kol_vo, brak, data, smena, time, ok) select w_id, i_id, o_id, "
                             "cena, 1, 0, current_date, 1, 1, 'no' from accounts_dep.smena "
                             "where id=") +
                  QLatin1String(kOpenEntry) + QStringLiteral(" returning id")})
            QVERIFY2(q.exec(sql), qPrintable(sql + ": " + q.lastError().databaseText()));
        QVERIFY(q.next());
        const int id = q.value(0).toInt();
        QCOMPARE(testdb::scalar(db_, QStringLiteral("select rolsuper from pg_roles where "
                                                    "rolname='%1'")
                                         .arg(login("foreman")))
                     .toBool(),
                 false);
        // The history row went where it belongs, naming the login.
        QCOMPARE(testdb::scalar(db_, QStringLiteral("select login from accounts_dep.change_log "
                                                    "where tbl='smena' and row_id=%1")
                                         .arg(id))
                     .toString(),
                 login("foreman"));
        d.close();

        // And so for every such function: its path is pinned, the temporary schema last.
        QCOMPARE(testdb::scalar(db_, "select string_agg(p.proname, ', ' order by p.proname) "
                                     "from pg_proc p where p.prosecdef and p.pronamespace="
                                     "'accounts_dep'::regnamespace and not (coalesce("
                                     "p.proconfig, '{}') @> "
                                     "array['search_path=pg_catalog, pg_temp'])")
                     .toString(),
                 QString());
    }

    // The history names the login of the session beside the name the program gives, and
    // the program's name cannot hide it.
    void historyNamesTheLogin()
    {
        QSqlDatabase d = as(QStringLiteral("warehouse"));
        QSqlQuery q(d);
        QVERIFY(q.exec("select set_config('tabel.user', 'Администратор (кто-то)', false)"));
        QVERIFY2(q.exec(QStringLiteral("update accounts_dep.smena set ok='ok' where id=") +
                        QLatin1String(kOpenEntry)),
                 qPrintable(q.lastError().databaseText()));
        QCOMPARE(testdb::scalar(db_, "select who || ' / ' || login from accounts_dep.change_log "
                                     "where tbl='smena' order by id desc limit 1")
                     .toString(),
                 QStringLiteral("Администратор (кто-то) / ") + login("warehouse"));
    }

private:
    // The rights a role holds, one "object right" a line, sorted.
    static QString heldBy(const char *role)
    {
        return QStringLiteral(
                   "with r(role) as (values ('%1')), "
                   "ns as (select oid, nspname from pg_namespace where nspname in "
                   "('accounts_dep', 'cmn_contractor', 'cmn_classifier', 'cmn_gds_and_srv', "
                   "'hrms_staffpos', 'cmn_department', 'adm_role', 'public')), "
                   "rel as (select c.oid, ns.nspname || '.' || c.relname as name, c.relkind "
                   "from pg_class c join ns on ns.oid = c.relnamespace where c.relkind in "
                   "('r', 'v', 'p', 'm', 'S')), "
                   "held as ("
                   " select 'schema ' || ns.nspname || ' ' || p as item from r, ns, "
                   "  unnest(array['USAGE', 'CREATE']) p "
                   "  where has_schema_privilege(r.role, ns.oid, p) and ns.nspname <> 'public'"
                   " union all select rel.name || ' ' || p from r, rel, unnest(array['SELECT', "
                   "  'INSERT', 'UPDATE', 'DELETE', 'TRUNCATE', 'REFERENCES', 'TRIGGER']) p "
                   "  where rel.relkind <> 'S' and has_table_privilege(r.role, rel.oid, p)"
                   " union all select rel.name || ' ' || p from r, rel, unnest(array['USAGE', "
                   "  'SELECT', 'UPDATE']) p "
                   "  where rel.relkind = 'S' and has_sequence_privilege(r.role, rel.oid, p)"
                   " union all select rel.name || '.' || a.attname || ' ' || p from r, rel "
                   "  join pg_attribute a on a.attrelid = rel.oid and a.attnum > 0 and not "
                   "  a.attisdropped, unnest(array['SELECT', 'INSERT', 'UPDATE', "
                   "  'REFERENCES']) p "
                   "  where rel.relkind <> 'S' and has_column_privilege(r.role, rel.oid, "
                   "  a.attnum, p) and not has_table_privilege(r.role, rel.oid, p)"
                   " union all select ns.nspname || '.' || f.proname || ' EXECUTE' from r, "
                   "  pg_proc f join ns on ns.oid = f.pronamespace "
                   "  where has_function_privilege(r.role, f.oid, 'EXECUTE'))"
                   "select coalesce(string_agg(item, E'\\n' order by item), '') from held")
            .arg(QLatin1String(role));
    }
};

QTEST_GUILESS_MAIN(RightsTest)
#include "tst_rights.moc"
