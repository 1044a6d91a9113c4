-- What the server itself guards, whoever connects: the worker mirror, the version record,
-- the closing of months, the products' saves and what a row may hold.
--
-- Part of app/schema.sql; an older database gets it through app/upgrade.sql. Loading it
-- again changes nothing.
--
-- Every function here that runs as its owner (SECURITY DEFINER) pins its search path to
-- pg_catalog and, last, pg_temp, and names every table with its schema: nothing a caller
-- creates, temporary objects included, stands in for what the function means. Nobody may
-- call one of them unless app/grants.sql names the group that needs it.

SET client_encoding = 'UTF8';
SET client_min_messages = warning;

------------------------------------------------------------------------------
-- Worker mirror into cmn_contractor.person
------------------------------------------------------------------------------

-- A new worker gets a person row with the same id and his number as code.
-- When another system already registered him by code only, that row is
-- renamed instead, so the journal does not list him twice. Runs as the owner:
-- the program's roles hold no right on the person table of the enterprise.
CREATE OR REPLACE FUNCTION accounts_dep.person_mirror() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF TG_OP = 'INSERT' THEN
        IF EXISTS (SELECT 1 FROM cmn_contractor.person
                    WHERE s_code = NEW.id::text AND id <> NEW.id) THEN
            UPDATE cmn_contractor.person SET s_caption = NEW.fio
             WHERE s_code = NEW.id::text;
        ELSE
            INSERT INTO cmn_contractor.person (id, s_caption, s_code)
            VALUES (NEW.id, NEW.fio, NEW.id::text)
            ON CONFLICT (id) DO UPDATE
                SET s_caption = EXCLUDED.s_caption, s_code = EXCLUDED.s_code;
        END IF;
        RETURN NEW;
    ELSIF TG_OP = 'UPDATE' THEN
        IF NEW.id <> OLD.id THEN
            UPDATE cmn_contractor.person
               SET id = NEW.id, s_code = NEW.id::text
             WHERE id = OLD.id AND s_code = OLD.id::text;
            UPDATE cmn_contractor.person SET s_code = NEW.id::text
             WHERE s_code = OLD.id::text;
        END IF;
        UPDATE cmn_contractor.person SET s_caption = NEW.fio
         WHERE id = NEW.id OR s_code = NEW.id::text;
        RETURN NEW;
    ELSE
        -- Only the mirror row goes; a person row of another system that
        -- merely carries the number stays with that system.
        DELETE FROM cmn_contractor.person
         WHERE id = OLD.id AND s_code = OLD.id::text;
        RETURN OLD;
    END IF;
END
$$;

CREATE OR REPLACE TRIGGER person_mirror
    AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.person
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.person_mirror();

------------------------------------------------------------------------------
-- Version record
------------------------------------------------------------------------------

-- The decimal separator the program reads at login is a point or a comma, nothing else.
UPDATE accounts_dep.ver SET delim = '.' WHERE delim IS NOT NULL AND delim NOT IN ('.', ',');
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_constraint
                    WHERE conname = 'ver_delim_separator'
                      AND conrelid = 'accounts_dep.ver'::regclass) THEN
        ALTER TABLE accounts_dep.ver ADD CONSTRAINT ver_delim_separator
            CHECK (delim IN ('.', ','));
    END IF;
END
$$;

-- The first program of a newer build records its build (date as YYYYMMDD, time of day in
-- seconds); older builds then refuse to start. The stamp only ever rises, and never past
-- the end of tomorrow by the server's clock (a build is not made in the future; a day
-- covers the difference of time zones). The separator is not touched.
CREATE OR REPLACE FUNCTION accounts_dep.stamp_version(build_date integer, build_time integer)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF build_date IS NULL OR build_time IS NULL OR build_time NOT BETWEEN 0 AND 86399
       OR build_date < 20000101
       OR build_date > to_char(current_date + 1, 'YYYYMMDD')::integer THEN
        RAISE EXCEPTION USING ERRCODE = 'TBV01',
            MESSAGE = format('Недопустимая отметка сборки программы: %s.%s', build_date, build_time);
    END IF;
    LOCK TABLE accounts_dep.ver IN SHARE ROW EXCLUSIVE MODE;
    IF NOT EXISTS (SELECT 1 FROM accounts_dep.ver) THEN
        INSERT INTO accounts_dep.ver (d, t) VALUES (build_date, build_time);
    ELSE
        UPDATE accounts_dep.ver SET d = build_date, t = build_time
         WHERE (coalesce(d, 0), coalesce(t, 0)) < (build_date, build_time);
    END IF;
END
$$;

------------------------------------------------------------------------------
-- Closing and reopening a month
------------------------------------------------------------------------------

-- Whether the session's login may close and reopen months: a member of tabel_admin, the
-- owner of the database, or a superuser.
CREATE OR REPLACE FUNCTION accounts_dep.may_close_months() RETURNS boolean
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
    SELECT EXISTS (SELECT 1 FROM pg_catalog.pg_roles r
                    WHERE r.rolname = 'tabel_admin'
                      AND pg_catalog.pg_has_role(session_user, r.oid, 'MEMBER'))
        OR EXISTS (SELECT 1 FROM pg_catalog.pg_roles s
                    WHERE s.rolname = session_user AND s.rolsuper)
        OR EXISTS (SELECT 1 FROM pg_catalog.pg_database d
                    WHERE d.datname = pg_catalog.current_database()
                      AND pg_catalog.pg_has_role(session_user, d.datdba, 'MEMBER'));
$$;

CREATE OR REPLACE FUNCTION accounts_dep.refuse_unless_may_close() RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF NOT accounts_dep.may_close_months() THEN
        RAISE EXCEPTION USING ERRCODE = '42501',
            MESSAGE = 'Закрывать и открывать месяцы может только администратор.';
    END IF;
END
$$;

-- Closes a month (nothing happens when it is closed already).
CREATE OR REPLACE FUNCTION accounts_dep.close_month(y integer, m integer) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM accounts_dep.refuse_unless_may_close();
    INSERT INTO accounts_dep.closed_month (year, month) VALUES (y, m)
        ON CONFLICT DO NOTHING;
END
$$;

-- Reopens a month (nothing happens when it is open).
CREATE OR REPLACE FUNCTION accounts_dep.reopen_month(y integer, m integer) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    PERFORM accounts_dep.refuse_unless_may_close();
    DELETE FROM accounts_dep.closed_month c WHERE c.year = y AND c.month = m;
END
$$;

------------------------------------------------------------------------------
-- Entries a foreman adds
------------------------------------------------------------------------------

-- A foreman adds entries not yet accepted ('no'); accepting is the warehouse's and the
-- administrator's. Other systems' logins, in none of the groups, are not concerned.
CREATE OR REPLACE FUNCTION accounts_dep.refuse_accepted_by_foreman() RETURNS trigger
LANGUAGE plpgsql SET search_path = pg_catalog, pg_temp AS $$
BEGIN
    IF EXISTS (SELECT 1 FROM pg_catalog.pg_roles f
                WHERE f.rolname = 'tabel_foreman'
                  AND pg_catalog.pg_has_role(session_user, f.oid, 'MEMBER'))
       AND NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles w
                        WHERE w.rolname = 'tabel_warehouse'
                          AND pg_catalog.pg_has_role(session_user, w.oid, 'MEMBER')) THEN
        RAISE EXCEPTION USING ERRCODE = '42501',
            MESSAGE = 'Мастер добавляет записи непринятыми: принимает их склад или администратор.';
    END IF;
    RETURN NEW;
END
$$;

CREATE OR REPLACE TRIGGER smena_added_unaccepted BEFORE INSERT ON accounts_dep.smena
    FOR EACH ROW WHEN (NEW.ok IS DISTINCT FROM 'no')
    EXECUTE FUNCTION accounts_dep.refuse_accepted_by_foreman();

------------------------------------------------------------------------------
-- Products
------------------------------------------------------------------------------

-- Products are rows of the goods system's table. The program's roles hold no right on it:
-- a product is added, changed and deleted through these functions, which also write its
-- history (the row as it was and as it became, read by the function itself).
DROP FUNCTION IF EXISTS accounts_dep.note_product_change(bigint, varchar, jsonb, jsonb);

CREATE OR REPLACE FUNCTION accounts_dep.add_product(caption varchar, weight numeric,
                                                    class_item numeric)
RETURNS numeric
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    g cmn_gds_and_srv.gds_and_srv;
BEGIN
    INSERT INTO cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, massa,
                                             id_class_item)
    VALUES (caption, '', 6, weight, class_item)
    RETURNING * INTO g;
    INSERT INTO accounts_dep.change_log (tbl, row_id, action, new_row)
    VALUES ('izdel', g.id, 'insert', to_jsonb(g));
    RETURN g.id;
END
$$;

-- The refusal of a change of a product's group or mass, or of its delete, while a closed
-- month's entries name it: that month's figures stand on them (SQLSTATE TBC01, the sentence
-- as shown). The closed months are held while the caller's change commits, so a month closed
-- meanwhile waits for it.
CREATE OR REPLACE FUNCTION accounts_dep.keep_closed_product(product numeric)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    closed text;
BEGIN
    LOCK TABLE accounts_dep.closed_month IN SHARE MODE;
    closed := accounts_dep.closed_month_of_product(product::bigint);
    IF closed IS NOT NULL THEN
        RAISE EXCEPTION USING ERRCODE = 'TBC01',
            MESSAGE = format('Изделие использовано в закрытом периоде %s: его группа и масса '
                             'не меняются, и удалить его нельзя. Заведите новое изделие.',
                             closed);
    END IF;
END
$$;
REVOKE ALL ON FUNCTION accounts_dep.keep_closed_product(numeric) FROM PUBLIC;

-- Changes a product still as the caller read it (row_ver: its xmin then); returns 0 when
-- another user changed or deleted it since.
CREATE OR REPLACE FUNCTION accounts_dep.change_product(product numeric, row_ver text,
                                                       caption varchar, weight numeric,
                                                       class_item numeric)
RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    o cmn_gds_and_srv.gds_and_srv;
    n cmn_gds_and_srv.gds_and_srv;
BEGIN
    SELECT * INTO o FROM cmn_gds_and_srv.gds_and_srv g
     WHERE g.id = product AND g.xmin::text = row_ver FOR UPDATE;
    IF NOT FOUND THEN
        RETURN 0;
    END IF;
    IF o.id_class_item IS DISTINCT FROM class_item OR o.massa IS DISTINCT FROM weight THEN
        PERFORM accounts_dep.keep_closed_product(product);
    END IF;
    UPDATE cmn_gds_and_srv.gds_and_srv g
       SET s_caption = caption, s_description = '', id_msm_bs = 6, massa = weight,
           id_class_item = class_item
     WHERE g.id = product
    RETURNING * INTO n;
    IF to_jsonb(o) <> to_jsonb(n) THEN
        INSERT INTO accounts_dep.change_log (tbl, row_id, action, old_row, new_row)
        VALUES ('izdel', product, 'update', to_jsonb(o), to_jsonb(n));
    END IF;
    RETURN 1;
END
$$;

-- Deletes a product still as the caller read it; returns 0 when another user changed or
-- deleted it since. A product that shift entries or operations still name is not deleted.
CREATE OR REPLACE FUNCTION accounts_dep.delete_product(product numeric, row_ver text)
RETURNS integer
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
DECLARE
    o cmn_gds_and_srv.gds_and_srv;
BEGIN
    SELECT * INTO o FROM cmn_gds_and_srv.gds_and_srv g
     WHERE g.id = product AND g.xmin::text = row_ver FOR UPDATE;
    IF NOT FOUND THEN
        RETURN 0;
    END IF;
    PERFORM accounts_dep.keep_closed_product(product);
    IF EXISTS (SELECT 1 FROM accounts_dep.smena s WHERE s.i_id = product) THEN
        RAISE EXCEPTION USING ERRCODE = 'foreign_key_violation',
            MESSAGE = 'Изделие нельзя удалить: по нему есть записи в журнале смен.';
    END IF;
    DELETE FROM cmn_gds_and_srv.gds_and_srv g WHERE g.id = product;
    INSERT INTO accounts_dep.change_log (tbl, row_id, action, old_row)
    VALUES ('izdel', product, 'delete', to_jsonb(o));
    RETURN 1;
END
$$;

------------------------------------------------------------------------------
-- What a row may hold
------------------------------------------------------------------------------

-- Hours of an entry lie within one day; quantities, rejects and hours are never negative;
-- the night and day-off marks of a maintenance entry are 0 or 1. An older database whose
-- rows break them stops loading here: the README tells how to find those rows.
ALTER TABLE accounts_dep.fatigue ALTER COLUMN i_night SET NOT NULL;
ALTER TABLE accounts_dep.fatigue ALTER COLUMN i_holiday SET NOT NULL;
DO $$
DECLARE
    c record;
BEGIN
    FOR c IN SELECT * FROM (VALUES
        ('accounts_dep.smena', 'smena_time_range', '"time" BETWEEN 0 AND 24'),
        ('accounts_dep.smena', 'smena_kol_vo_not_negative', 'kol_vo >= 0'),
        ('accounts_dep.smena', 'smena_brak_not_negative', 'brak >= 0'),
        ('accounts_dep.fatigue', 'fatigue_cnt_range', 'cnt BETWEEN 0 AND 24'),
        ('accounts_dep.fatigue', 'fatigue_i_night_flag', 'i_night IN (0, 1)'),
        ('accounts_dep.fatigue', 'fatigue_i_holiday_flag', 'i_holiday IN (0, 1)')
    ) AS v(tbl, name, expr) LOOP
        IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_constraint
                        WHERE conname = c.name AND conrelid = c.tbl::regclass) THEN
            EXECUTE format('ALTER TABLE %s ADD CONSTRAINT %I CHECK (%s)', c.tbl, c.name, c.expr);
        END IF;
    END LOOP;
END
$$;

------------------------------------------------------------------------------
-- Absences in a closed month
------------------------------------------------------------------------------

-- Runs as the owner, as the guard of the other tables does: refuse_if_closed is callable by
-- nobody else.
ALTER FUNCTION accounts_dep.absence_closed_month()
    SECURITY DEFINER SET search_path = pg_catalog, pg_temp;
