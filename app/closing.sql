-- Closed months and the change history of the accounting department's tables.
--
-- Part of app/schema.sql. A database made by an earlier version of the program
-- gets both by loading this file alone; loading it again changes nothing:
--   psql -v ON_ERROR_STOP=1 -d <database> -f app/closing.sql

SET client_encoding = 'UTF8';
SET client_min_messages = warning;

------------------------------------------------------------------------------
-- Closed months
------------------------------------------------------------------------------

-- A month whose pay has been computed and paid. While it has a row here the
-- server itself refuses every change of its shift entries, maintenance and
-- average-piecework entries and timesheet rows, from any client; an entry is
-- neither moved into such a month nor out of it. Reference books stay open:
-- a new price applies to new entries.
CREATE TABLE IF NOT EXISTS accounts_dep.closed_month (
    year       smallint NOT NULL,
    month      smallint NOT NULL CHECK (month BETWEEN 1 AND 12),
    closed_by  varchar(254) NOT NULL
               DEFAULT coalesce(nullif(current_setting('tabel.user', true), ''), session_user),
    closed_at  timestamptz NOT NULL DEFAULT now(),
    PRIMARY KEY (year, month)
);

-- Refuses with SQLSTATE TBC01 and the sentence the program shows as it is.
-- Runs as the owner: a role that may change entries need not read the closed months.
CREATE OR REPLACE FUNCTION accounts_dep.refuse_if_closed(m integer, y integer) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
    IF EXISTS (SELECT 1 FROM accounts_dep.closed_month c WHERE c.year = y AND c.month = m) THEN
        RAISE EXCEPTION USING ERRCODE = 'TBC01',
            MESSAGE = format('Период %s.%s закрыт. Изменения запрещены.', lpad(m::text, 2, '0'), y);
    END IF;
END
$$;

CREATE OR REPLACE FUNCTION accounts_dep.guard_closed_month() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    -- The month a row is in: of the row as it was, and of the row as it becomes.
    IF TG_OP <> 'INSERT' THEN
        IF TG_TABLE_NAME = 'smena' THEN
            PERFORM accounts_dep.refuse_if_closed(extract(month FROM OLD.data)::int, extract(year FROM OLD.data)::int);
        ELSIF TG_TABLE_NAME = 'fatigue' THEN
            PERFORM accounts_dep.refuse_if_closed(extract(month FROM OLD.d_date)::int, extract(year FROM OLD.d_date)::int);
        ELSE
            PERFORM accounts_dep.refuse_if_closed(OLD.month, OLD.year);
        END IF;
    END IF;
    IF TG_OP <> 'DELETE' THEN
        IF TG_TABLE_NAME = 'smena' THEN
            PERFORM accounts_dep.refuse_if_closed(extract(month FROM NEW.data)::int, extract(year FROM NEW.data)::int);
        ELSIF TG_TABLE_NAME = 'fatigue' THEN
            PERFORM accounts_dep.refuse_if_closed(extract(month FROM NEW.d_date)::int, extract(year FROM NEW.d_date)::int);
        ELSE
            PERFORM accounts_dep.refuse_if_closed(NEW.month, NEW.year);
        END IF;
        RETURN NEW;
    END IF;
    RETURN OLD;
END
$$;

CREATE OR REPLACE TRIGGER smena_closed_month BEFORE INSERT OR UPDATE OR DELETE ON accounts_dep.smena
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.guard_closed_month();
CREATE OR REPLACE TRIGGER fatigue_closed_month BEFORE INSERT OR UPDATE OR DELETE ON accounts_dep.fatigue
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.guard_closed_month();
CREATE OR REPLACE TRIGGER h_tabel_closed_month BEFORE INSERT OR UPDATE OR DELETE ON accounts_dep.h_tabel
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.guard_closed_month();

------------------------------------------------------------------------------
-- Change history
------------------------------------------------------------------------------

-- Who changed what and when, written by the triggers below for every insert,
-- update and delete of the department's own tables. "who" is the name the
-- program sets for its session (tabel.user, the role behind the access code
-- and the computer's user), otherwise the database user. Timesheet rows are
-- not kept cell by cell: a statement that removes a month's rows (a rebuild)
-- leaves one row naming the month and how many rows it removed.
CREATE TABLE IF NOT EXISTS accounts_dep.change_log (
    id       bigserial PRIMARY KEY,
    at       timestamptz NOT NULL DEFAULT clock_timestamp(),
    who      varchar(254) NOT NULL
             DEFAULT coalesce(nullif(current_setting('tabel.user', true), ''), session_user),
    tbl      varchar(63) NOT NULL,
    row_id   bigint,
    action   varchar(10) NOT NULL CHECK (action IN ('insert', 'update', 'delete')),
    old_row  jsonb,
    new_row  jsonb
);
CREATE INDEX IF NOT EXISTS change_log_row_idx ON accounts_dep.change_log (tbl, row_id, id);
CREATE INDEX IF NOT EXISTS change_log_at_idx ON accounts_dep.change_log (at);

-- Only the owner writes history: the triggers run as the owner, every other
-- role may read it and nothing more.
REVOKE ALL ON accounts_dep.change_log FROM PUBLIC;
GRANT SELECT ON accounts_dep.change_log TO PUBLIC;
REVOKE ALL ON SEQUENCE accounts_dep.change_log_id_seq FROM PUBLIC;

CREATE OR REPLACE FUNCTION accounts_dep.log_change() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
    o jsonb;
    n jsonb;
    key bigint;
BEGIN
    IF TG_OP <> 'INSERT' THEN o := to_jsonb(OLD); END IF;
    IF TG_OP <> 'DELETE' THEN n := to_jsonb(NEW); END IF;
    IF TG_OP = 'UPDATE' AND o = n THEN
        RETURN NULL;
    END IF;
    IF TG_TABLE_NAME = 'closed_month' THEN
        key := (coalesce(n, o) ->> 'year')::bigint * 100 + (coalesce(n, o) ->> 'month')::bigint;
    ELSE
        key := (coalesce(n, o) ->> 'id')::bigint;
    END IF;
    INSERT INTO accounts_dep.change_log (tbl, row_id, action, old_row, new_row)
    VALUES (TG_TABLE_NAME, key, lower(TG_OP), o, n);
    RETURN NULL;
END
$$;

CREATE OR REPLACE TRIGGER smena_history AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.smena
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();
CREATE OR REPLACE TRIGGER fatigue_history AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.fatigue
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();
CREATE OR REPLACE TRIGGER oper_history AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.oper
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();
CREATE OR REPLACE TRIGGER norm_history AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.norm
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();
CREATE OR REPLACE TRIGGER person_history AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.person
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();
CREATE OR REPLACE TRIGGER vid_oper_history AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.vid_oper
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();
CREATE OR REPLACE TRIGGER closed_month_history AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.closed_month
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.log_change();

-- A statement that removes timesheet rows: one history row per month it touched.
CREATE OR REPLACE FUNCTION accounts_dep.log_timesheet_removal() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
    INSERT INTO accounts_dep.change_log (tbl, row_id, action, old_row)
    SELECT 'h_tabel', g.year::bigint * 100 + g.month, 'delete',
           jsonb_build_object('month', g.month, 'year', g.year, 'rows', g.n)
      FROM (SELECT month, year, count(*) AS n FROM gone GROUP BY month, year) g;
    RETURN NULL;
END
$$;

CREATE OR REPLACE TRIGGER h_tabel_history AFTER DELETE ON accounts_dep.h_tabel
    REFERENCING OLD TABLE AS gone
    FOR EACH STATEMENT EXECUTE FUNCTION accounts_dep.log_timesheet_removal();

-- Products live in the goods system's table, which gets no trigger of ours: the
-- program records its own product changes through this function.
CREATE OR REPLACE FUNCTION accounts_dep.note_product_change(id bigint, act varchar, o jsonb, n jsonb)
RETURNS void
LANGUAGE sql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
    INSERT INTO accounts_dep.change_log (tbl, row_id, action, old_row, new_row)
    VALUES ('izdel', id, act, o, n);
$$;
