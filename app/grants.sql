-- The rights of the program's roles, one group role (without the login right) for each role
-- an access code chooses:
--
--   tabel_viewer     "Просмотр": reads the journals, timesheets, reports and history; writes
--                    nothing (but the version stamp, through its function)
--   tabel_foreman    "Мастер": a viewer who also adds shift and maintenance entries (and the
--                    timesheet cells they fill); no change, delete or acceptance
--   tabel_warehouse  "Склад": a viewer who also accepts entries (their mark "ok" only)
--   tabel_admin      the administrator: all of the above, the reference books, products,
--                    changing and deleting entries, rebuilding timesheets, closing months
--
-- Load into the program's database after app/schema.sql (or app/upgrade.sql), as its owner
-- (creating the group roles the first time needs the CREATEROLE right):
--   psql -v ON_ERROR_STOP=1 -d <database> -f app/grants.sql
-- then create each user's login in the group of his role, e.g.
--   CREATE ROLE ivanova LOGIN PASSWORD '...' IN ROLE tabel_foreman;
--   ALTER ROLE ivanova SET datestyle = 'ISO, DMY';
--
-- Loading it again changes nothing: every right of the groups on the program's objects is
-- taken back first and then given as listed here. No group may change the history, call a
-- function it does not need, change the schema, or create roles or databases. The group
-- tabel_clerk of earlier versions keeps no right: move its logins into the groups above.

SET client_min_messages = warning;

DO $$
DECLARE
    g text;
BEGIN
    FOREACH g IN ARRAY ARRAY['tabel_viewer', 'tabel_foreman', 'tabel_warehouse', 'tabel_admin'] LOOP
        IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = g) THEN
            EXECUTE format('CREATE ROLE %I NOLOGIN', g);
        END IF;
    END LOOP;
    -- Everything given before, to the groups and to the group of earlier versions.
    FOREACH g IN ARRAY ARRAY['tabel_viewer', 'tabel_foreman', 'tabel_warehouse', 'tabel_admin',
                             'tabel_clerk'] LOOP
        IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = g) THEN
            EXECUTE format('REVOKE ALL ON ALL TABLES IN SCHEMA accounts_dep, cmn_contractor, '
                           'cmn_classifier, cmn_gds_and_srv, hrms_staffpos, cmn_department, '
                           'adm_role FROM %I', g);
            EXECUTE format('REVOKE ALL ON ALL SEQUENCES IN SCHEMA accounts_dep, cmn_contractor, '
                           'cmn_classifier, cmn_gds_and_srv, hrms_staffpos, cmn_department, '
                           'adm_role FROM %I', g);
            EXECUTE format('REVOKE ALL ON ALL FUNCTIONS IN SCHEMA accounts_dep FROM %I', g);
            EXECUTE format('REVOKE ALL ON SCHEMA accounts_dep, cmn_contractor, cmn_classifier, '
                           'cmn_gds_and_srv, hrms_staffpos, cmn_department, adm_role FROM %I', g);
        END IF;
    END LOOP;
END
$$;

-- The functions of the program are called by the groups named below, nobody else (the
-- trigger functions need no right to fire).
REVOKE ALL ON ALL FUNCTIONS IN SCHEMA accounts_dep FROM PUBLIC;

-- Each role of the program includes the viewer's rights; the administrator includes all.
GRANT tabel_viewer TO tabel_foreman, tabel_warehouse;
GRANT tabel_foreman, tabel_warehouse TO tabel_admin;

-- Viewer: reading what the journals, the timesheets, the reports and the history show.
GRANT USAGE ON SCHEMA accounts_dep, cmn_contractor, cmn_classifier, cmn_gds_and_srv
    TO tabel_viewer;
GRANT SELECT ON
    accounts_dep.person, accounts_dep.vid_oper, accounts_dep.oper, accounts_dep.norm,
    accounts_dep.smena, accounts_dep.fatigue, accounts_dep.h_tabel, accounts_dep.closed_month,
    accounts_dep.izdel, accounts_dep.ver, accounts_dep.change_log,
    cmn_contractor.person, cmn_classifier.item, cmn_gds_and_srv.gds_and_srv
    TO tabel_viewer;
-- Every program records its build when it is the first of a newer one.
GRANT EXECUTE ON FUNCTION accounts_dep.stamp_version(integer, integer) TO tabel_viewer;

-- Foreman: adding shift and maintenance entries; each fills its timesheet cell (a new row
-- or the day of an existing one).
GRANT INSERT ON accounts_dep.smena, accounts_dep.fatigue TO tabel_foreman;
GRANT INSERT, UPDATE ON accounts_dep.h_tabel TO tabel_foreman;
GRANT USAGE ON SEQUENCE accounts_dep.smena_id_seq, accounts_dep.fatigue_id_seq,
    accounts_dep.h_tabel_id_seq TO tabel_foreman;

-- Warehouse: accepting an entry, which sets its mark and nothing else.
GRANT UPDATE (ok) ON accounts_dep.smena TO tabel_warehouse;

-- Administrator: the reference books (the worker's staff lists read by his editor), the
-- entries and the timesheets whole, products and the closing of months through their
-- functions.
GRANT USAGE ON SCHEMA hrms_staffpos, cmn_department, adm_role TO tabel_admin;
GRANT SELECT ON hrms_staffpos.staffpos, cmn_department.department, adm_role.roles
    TO tabel_admin;
GRANT INSERT, UPDATE, DELETE ON
    accounts_dep.person, accounts_dep.vid_oper, accounts_dep.oper, accounts_dep.norm,
    accounts_dep.smena, accounts_dep.fatigue, accounts_dep.h_tabel
    TO tabel_admin;
GRANT USAGE ON SEQUENCE accounts_dep.person_id_seq, accounts_dep.vid_oper_id_seq,
    accounts_dep.oper_id_seq, accounts_dep.norm_id_seq
    TO tabel_admin;
GRANT EXECUTE ON FUNCTION
    accounts_dep.close_month(integer, integer), accounts_dep.reopen_month(integer, integer),
    accounts_dep.add_product(varchar, numeric, numeric),
    accounts_dep.change_product(numeric, text, varchar, numeric, numeric),
    accounts_dep.delete_product(numeric, text),
    accounts_dep.closed_month_of_product(bigint)
    TO tabel_admin;

-- The organisation's details, the production calendar, the codes of working time and the
-- absences: every role reads them, the administrator alone changes them.
GRANT SELECT ON accounts_dep.organisation, accounts_dep.calendar_year,
    accounts_dep.calendar_day, accounts_dep.time_code, accounts_dep.absence
    TO tabel_viewer;
GRANT UPDATE ON accounts_dep.organisation TO tabel_admin;
GRANT INSERT, UPDATE, DELETE ON accounts_dep.calendar_year, accounts_dep.calendar_day,
    accounts_dep.absence TO tabel_admin;
GRANT USAGE ON SEQUENCE accounts_dep.calendar_year_id_seq, accounts_dep.calendar_day_id_seq,
    accounts_dep.absence_id_seq TO tabel_admin;
