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
-- First it takes the month's lock shared, as every writer of the month's cells does
-- (transaction-level advisory lock, keys year*100+month and 0): a closing or reopening,
-- which takes it exclusively, waits for the writers already in the month, and a writer
-- coming later waits for the closing and then sees the month closed.
CREATE OR REPLACE FUNCTION accounts_dep.refuse_if_closed(m integer, y integer) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM pg_advisory_xact_lock_shared(y * 100 + m, 0);
    IF EXISTS (SELECT 1 FROM accounts_dep.closed_month c WHERE c.year = y AND c.month = m) THEN
        RAISE EXCEPTION USING ERRCODE = 'TBC01',
            MESSAGE = format('Период %s.%s закрыт. Изменения запрещены.', lpad(m::text, 2, '0'), y);
    END IF;
END
$$;

-- Runs as the owner, so that any role that may write the rows reaches refuse_if_closed,
-- which nobody else may call.
CREATE OR REPLACE FUNCTION accounts_dep.guard_closed_month() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
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

-- Closing and reopening take the month exclusively, as a rebuild of its timesheet does:
-- whoever closes or reopens it, the change waits for the saves in progress in the month.
CREATE OR REPLACE FUNCTION accounts_dep.take_closed_month() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP <> 'INSERT' THEN
        PERFORM pg_advisory_xact_lock(OLD.year * 100 + OLD.month, 0);
    END IF;
    IF TG_OP <> 'DELETE' THEN
        PERFORM pg_advisory_xact_lock(NEW.year * 100 + NEW.month, 0);
        RETURN NEW;
    END IF;
    RETURN OLD;
END
$$;

CREATE OR REPLACE TRIGGER closed_month_takes_month BEFORE INSERT OR UPDATE OR DELETE
    ON accounts_dep.closed_month
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.take_closed_month();

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
-- and the computer's user), otherwise the database user; "login" is the database user of the
-- session whatever the program says (empty in rows written before it was kept). Timesheet rows are
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
ALTER TABLE accounts_dep.change_log ADD COLUMN IF NOT EXISTS login varchar(254);
ALTER TABLE accounts_dep.change_log ALTER COLUMN login SET DEFAULT session_user;
CREATE INDEX IF NOT EXISTS change_log_row_idx ON accounts_dep.change_log (tbl, row_id, id);
CREATE INDEX IF NOT EXISTS change_log_at_idx ON accounts_dep.change_log (at);

-- Only the owner writes history: the triggers run as the owner. The program's groups may
-- read it (app/grants.sql), and nobody else.
REVOKE ALL ON accounts_dep.change_log FROM PUBLIC;
REVOKE ALL ON SEQUENCE accounts_dep.change_log_id_seq FROM PUBLIC;

CREATE OR REPLACE FUNCTION accounts_dep.log_change() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
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
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
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

-- Products live in the goods system's table, which gets no trigger of ours: the functions
-- of app/guards.sql that save them write their history.

------------------------------------------------------------------------------
-- The hour-price operations
------------------------------------------------------------------------------

-- The kinds 7777 (maintenance work) and 7778 (average piecework) each have one operation,
-- on the service product of the same id, with one norm row: the hour price of the kind.
-- The maintenance editor reads the price there, so none of it moves: a second operation of
-- those kinds, a change of such an operation's kind or product, its delete, a second norm
-- row and the delete of the norm row are refused (SQLSTATE TBC01, the sentence as shown).
CREATE OR REPLACE FUNCTION accounts_dep.keep_hour_price_oper() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF TG_OP = 'DELETE' THEN
        IF OLD.vid IN (7777, 7778) THEN
            RAISE EXCEPTION USING ERRCODE = 'TBC01',
                MESSAGE = 'Операция с ценой часа хоз. работ или среднесдельной не удаляется: '
                          'измените её цену в нормах.';
        END IF;
        RETURN OLD;
    END IF;
    IF TG_OP = 'UPDATE' THEN
        IF OLD.vid IN (7777, 7778) AND (NEW.vid <> OLD.vid OR NEW.i_id <> OLD.i_id) THEN
            RAISE EXCEPTION USING ERRCODE = 'TBC01',
                MESSAGE = 'У операции с ценой часа хоз. работ или среднесдельной вид работ и '
                          'изделие не меняются: измените её цену в нормах.';
        END IF;
        IF NEW.vid = OLD.vid THEN
            RETURN NEW;
        END IF;
    END IF;
    IF NEW.vid IN (7777, 7778) THEN
        -- Two clerks adding one at once: the second waits and then finds the first.
        LOCK TABLE accounts_dep.oper IN SHARE ROW EXCLUSIVE MODE;
        IF EXISTS (SELECT 1 FROM accounts_dep.oper o WHERE o.vid = NEW.vid AND o.id <> NEW.id) THEN
            RAISE EXCEPTION USING ERRCODE = 'TBC01',
                MESSAGE = format('Операция вида «%s» уже есть: у этого вида одна операция с '
                                 'ценой часа. Измените её цену в нормах.',
                                 (SELECT trim(v.vid) FROM accounts_dep.vid_oper v
                                   WHERE v.id = NEW.vid));
        END IF;
    END IF;
    RETURN NEW;
END
$$;

CREATE OR REPLACE TRIGGER oper_hour_price BEFORE INSERT OR UPDATE OR DELETE ON accounts_dep.oper
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.keep_hour_price_oper();

CREATE OR REPLACE FUNCTION accounts_dep.keep_hour_price_norm() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF TG_OP <> 'INSERT' AND EXISTS (SELECT 1 FROM accounts_dep.oper o
                                      WHERE o.id = OLD.o_id AND o.vid IN (7777, 7778))
       AND (TG_OP = 'DELETE' OR NEW.o_id <> OLD.o_id) THEN
        RAISE EXCEPTION USING ERRCODE = 'TBC01',
            MESSAGE = 'Строка норм с ценой часа хоз. работ или среднесдельной не удаляется: '
                      'измените в ней цену.';
    END IF;
    IF TG_OP = 'DELETE' THEN
        RETURN OLD;
    END IF;
    IF (TG_OP = 'INSERT' OR NEW.o_id <> OLD.o_id)
       AND EXISTS (SELECT 1 FROM accounts_dep.oper o
                    WHERE o.id = NEW.o_id AND o.vid IN (7777, 7778)) THEN
        LOCK TABLE accounts_dep.norm IN SHARE ROW EXCLUSIVE MODE;
        IF EXISTS (SELECT 1 FROM accounts_dep.norm n WHERE n.o_id = NEW.o_id AND n.id <> NEW.id) THEN
            RAISE EXCEPTION USING ERRCODE = 'TBC01',
                MESSAGE = 'У операции с ценой часа хоз. работ или среднесдельной одна строка '
                          'норм: измените в ней цену.';
        END IF;
    END IF;
    RETURN NEW;
END
$$;

CREATE OR REPLACE TRIGGER norm_hour_price BEFORE INSERT OR UPDATE OR DELETE ON accounts_dep.norm
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.keep_hour_price_norm();

------------------------------------------------------------------------------
-- What a closed month's figures stand on
------------------------------------------------------------------------------

-- The reports, the export, the timesheets and the totals of a closed month join its entries
-- to the operations (kind, product, kind of product) and to the workers by number. So that a
-- closed month keeps giving the figures that were paid, an operation that its entries use
-- keeps its kind, product and kind of product and is not deleted, and a worker who has
-- entries or timesheet rows in it keeps his number and is not deleted. The refusal names
-- the latest such month (SQLSTATE TBC01, the sentence as shown). Names may change: they
-- are not figures. Products live in the goods system's table: the program refuses their
-- changes itself (accounts_dep.closed_month_of_product).

-- The closed months with their bounds and as the refusals name them ("MM.YYYY"): what the
-- three look-ups below share. Read only by them (they run as the owner), granted to nobody.
CREATE OR REPLACE VIEW accounts_dep.closed_period AS
    SELECT c.year, c.month,
           make_date(c.year, c.month, 1) AS first_day,
           make_date(c.year, c.month, 1) + interval '1 month' AS next_day,
           lpad(c.month::text, 2, '0') || '.' || c.year AS period
      FROM accounts_dep.closed_month c;
REVOKE ALL ON accounts_dep.closed_period FROM PUBLIC;

-- "MM.YYYY" of the latest closed month with an entry of the operation, or null.
CREATE OR REPLACE FUNCTION accounts_dep.closed_month_of_operation(op integer) RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
    SELECT c.period
      FROM accounts_dep.closed_period c
     WHERE EXISTS (SELECT 1 FROM accounts_dep.smena s
                    WHERE s.o_id = op AND s.data >= c.first_day AND s.data < c.next_day)
     ORDER BY c.year DESC, c.month DESC
     LIMIT 1;
$$;

-- The same for a product: entries of it.
CREATE OR REPLACE FUNCTION accounts_dep.closed_month_of_product(product bigint) RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
    SELECT c.period
      FROM accounts_dep.closed_period c
     WHERE EXISTS (SELECT 1 FROM accounts_dep.smena s
                    WHERE s.i_id = product AND s.data >= c.first_day AND s.data < c.next_day)
     ORDER BY c.year DESC, c.month DESC
     LIMIT 1;
$$;

-- The same for a worker: his entries, maintenance entries and timesheet rows.
CREATE OR REPLACE FUNCTION accounts_dep.closed_month_of_worker(w integer) RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
    SELECT c.period
      FROM accounts_dep.closed_period c
     WHERE EXISTS (SELECT 1 FROM accounts_dep.smena s
                    WHERE s.w_id = w AND s.data >= c.first_day AND s.data < c.next_day)
        OR EXISTS (SELECT 1 FROM accounts_dep.fatigue f
                    WHERE f.id_p = w AND f.d_date >= c.first_day AND f.d_date < c.next_day)
        OR EXISTS (SELECT 1 FROM accounts_dep.h_tabel h
                    WHERE h.w_id = w AND h.year = c.year AND h.month = c.month)
     ORDER BY c.year DESC, c.month DESC
     LIMIT 1;
$$;

CREATE OR REPLACE FUNCTION accounts_dep.keep_closed_operation() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    period text;
BEGIN
    IF TG_OP = 'UPDATE' AND NEW.vid = OLD.vid AND NEW.i_id = OLD.i_id
       AND NEW.naimen = OLD.naimen THEN
        RETURN NEW;
    END IF;
    period := accounts_dep.closed_month_of_operation(OLD.id);
    IF period IS NOT NULL THEN
        RAISE EXCEPTION USING ERRCODE = 'TBC01',
            MESSAGE = format('Операция использована в закрытом периоде %s: её вид работ, '
                             'изделие и тип продукции не меняются, и удалить её нельзя. '
                             'Заведите новую операцию.', period);
    END IF;
    IF TG_OP = 'DELETE' THEN
        RETURN OLD;
    END IF;
    RETURN NEW;
END
$$;

CREATE OR REPLACE TRIGGER oper_closed_month BEFORE UPDATE OR DELETE ON accounts_dep.oper
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.keep_closed_operation();

CREATE OR REPLACE FUNCTION accounts_dep.keep_closed_worker() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    period text;
BEGIN
    IF TG_OP = 'UPDATE' AND NEW.id = OLD.id THEN
        RETURN NEW;
    END IF;
    -- A worker with shift entries is not deleted anyway: the entries' key says so.
    IF TG_OP = 'DELETE' AND EXISTS (SELECT 1 FROM accounts_dep.smena s WHERE s.w_id = OLD.id) THEN
        RETURN OLD;
    END IF;
    period := accounts_dep.closed_month_of_worker(OLD.id);
    IF period IS NOT NULL THEN
        RAISE EXCEPTION USING ERRCODE = 'TBC01',
            MESSAGE = format('Работник есть в закрытом периоде %s: его номер не меняется, и '
                             'удалить его нельзя. Имя и должность изменить можно.', period);
    END IF;
    IF TG_OP = 'DELETE' THEN
        RETURN OLD;
    END IF;
    RETURN NEW;
END
$$;

CREATE OR REPLACE TRIGGER person_closed_month BEFORE UPDATE OR DELETE ON accounts_dep.person
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.keep_closed_worker();
