-- The rights the program needs, held by one group role without the login right.
--
-- Load into the program's database after app/schema.sql, as its owner (creating the group
-- role the first time needs the CREATEROLE right):
--   psql -v ON_ERROR_STOP=1 -d <database> -f app/grants.sql
-- then create each clerk's login in the group, e.g.
--   CREATE ROLE ivanova LOGIN PASSWORD '...' IN ROLE tabel_clerk;
--   ALTER ROLE ivanova SET datestyle = 'ISO, DMY';
--
-- Loading it again changes nothing. The group holds no right to change the history, to
-- change the schema, or to create roles or databases.

SET client_min_messages = warning;

DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'tabel_clerk') THEN
        CREATE ROLE tabel_clerk NOLOGIN;
    END IF;
END
$$;

GRANT USAGE ON SCHEMA accounts_dep, cmn_contractor, cmn_classifier, cmn_gds_and_srv,
    hrms_staffpos, cmn_department, adm_role TO tabel_clerk;

-- The department's own tables: the journals, the reference books, the timesheets, the
-- closed months (the program lets its administrators close and reopen them).
GRANT SELECT, INSERT, UPDATE, DELETE ON
    accounts_dep.person, accounts_dep.vid_oper, accounts_dep.oper, accounts_dep.norm,
    accounts_dep.smena, accounts_dep.fatigue, accounts_dep.h_tabel, accounts_dep.closed_month
    TO tabel_clerk;
GRANT USAGE ON SEQUENCE
    accounts_dep.person_id_seq, accounts_dep.vid_oper_id_seq, accounts_dep.oper_id_seq,
    accounts_dep.norm_id_seq, accounts_dep.smena_id_seq, accounts_dep.fatigue_id_seq,
    accounts_dep.h_tabel_id_seq
    TO tabel_clerk;
-- The version record: the first program of a new build writes it.
GRANT SELECT, INSERT, UPDATE ON accounts_dep.ver TO tabel_clerk;
-- Read only: the products as the program sees them, and the history.
GRANT SELECT ON accounts_dep.izdel, accounts_dep.change_log TO tabel_clerk;

-- The other systems' tables. Products are kept in the goods table; a worker's person row is
-- written by the mirror trigger that a worker's change fires.
GRANT SELECT, INSERT, UPDATE, DELETE ON cmn_gds_and_srv.gds_and_srv, cmn_contractor.person
    TO tabel_clerk;
GRANT USAGE ON SEQUENCE cmn_gds_and_srv.gds_and_srv_id_seq TO tabel_clerk;
GRANT SELECT ON cmn_classifier.item, hrms_staffpos.staffpos, cmn_department.department,
    adm_role.roles TO tabel_clerk;

-- The administrator's group: the organisation's details and the production calendar are
-- changed by its logins only (every program role reads them). A site creates the
-- administrators' logins in both groups:
--   CREATE ROLE petrova LOGIN PASSWORD '...' IN ROLE tabel_clerk, tabel_admin;
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'tabel_admin') THEN
        CREATE ROLE tabel_admin NOLOGIN;
    END IF;
END
$$;
GRANT USAGE ON SCHEMA accounts_dep TO tabel_admin;
GRANT SELECT ON accounts_dep.organisation, accounts_dep.calendar_year,
    accounts_dep.calendar_day, accounts_dep.time_code, accounts_dep.absence
    TO tabel_clerk, tabel_admin;
GRANT SELECT, UPDATE ON accounts_dep.organisation TO tabel_admin;
GRANT SELECT, INSERT, UPDATE, DELETE ON accounts_dep.calendar_year, accounts_dep.calendar_day,
    accounts_dep.absence TO tabel_admin;
GRANT USAGE ON SEQUENCE accounts_dep.calendar_year_id_seq, accounts_dep.calendar_day_id_seq,
    accounts_dep.absence_id_seq TO tabel_admin;
