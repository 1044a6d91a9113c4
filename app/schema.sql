-- Reference schema of the piecework accounting database.
--
-- Loaded once into a fresh, empty database:
--   psql -v ON_ERROR_STOP=1 -d <database> -f app/schema.sql
--
-- The accounting department's own tables live in accounts_dep. The other
-- schemas stand for the tables of the enterprise systems that share the
-- database (persons, classifier, goods and services, staff positions,
-- departments, roles); only the columns this program reads or writes are
-- defined here.
--
-- The program composes its statements as plain text and relies on:
--   * day-first bare date literals ('01.02.2024' is 1 February);
--   * the cast types t_id and t_integer, reachable without a schema prefix;
--   * h_tabel.smena and h_tabel.i_type defaulting to 0;
--   * every row of cmn_gds_and_srv.gds_and_srv showing at once as a row of
--     accounts_dep.izdel with the same id;
--   * every worker in accounts_dep.person having a row in
--     cmn_contractor.person, whose s_caption the journal, the timesheets and
--     the reports show.

SET client_encoding = 'UTF8';
SET client_min_messages = warning;
SET datestyle = 'ISO, DMY';

-- Day-first dates for every later session of this database.
DO $$
BEGIN
    EXECUTE format('ALTER DATABASE %I SET datestyle = %L',
                   current_database(), 'ISO, DMY');
END
$$;

-- Cast targets for person codes held as digit text: s_code::t_id = w_id.
CREATE DOMAIN public.t_id AS integer;
CREATE DOMAIN public.t_integer AS integer;

CREATE SCHEMA accounts_dep;
CREATE SCHEMA cmn_contractor;
CREATE SCHEMA cmn_classifier;
CREATE SCHEMA cmn_gds_and_srv;
CREATE SCHEMA hrms_staffpos;
CREATE SCHEMA cmn_department;
CREATE SCHEMA adm_role;

------------------------------------------------------------------------------
-- Tables of the other systems
------------------------------------------------------------------------------

-- Persons of the enterprise. A worker of the accounting department appears
-- here either with id equal to his worker number or, for people registered
-- by another system, with his worker number in s_code. s_code is always
-- digits (or null): the journal casts every row's code to t_id.
CREATE TABLE cmn_contractor.person (
    id          numeric(15,0) PRIMARY KEY,
    s_caption   varchar(254),
    s_code      varchar(254),
    CONSTRAINT person_s_code_digits CHECK (s_code ~ '^[0-9]{1,9}$')
);
CREATE INDEX person_s_code_idx ON cmn_contractor.person (s_code);
-- The journal finds a worker's person row by "s_code::t_id=w_id", the timesheets and
-- reports by s_code::integer and s_code::t_integer. The domains add no check, so the
-- server reads all three as the one integer cast that this index holds; without it every
-- journal row scans the whole person table of the enterprise.
CREATE INDEX person_s_code_int_idx ON cmn_contractor.person ((s_code::t_id));

-- Nomenclature classifier; items of level 2 are the groups products and
-- maintenance entries are booked against.
CREATE TABLE cmn_classifier.item (
    id               numeric(15,0) PRIMARY KEY,
    id_classifier    numeric(15,0),
    id_level         numeric(15,0),
    s_code           varchar(254),
    s_caption        varchar(254),
    s_description    varchar(4000),
    b_excluded       boolean NOT NULL DEFAULT false,
    d_excluded_date  date,
    id_parent        numeric(15,0) REFERENCES cmn_classifier.item (id)
);
CREATE INDEX item_level_idx ON cmn_classifier.item (id_level, s_caption);

-- Goods and services. Products are written here and read back through
-- accounts_dep.izdel.
CREATE SEQUENCE cmn_gds_and_srv.gds_and_srv_id_seq;
CREATE TABLE cmn_gds_and_srv.gds_and_srv (
    id             numeric(15,0) PRIMARY KEY
                   DEFAULT nextval('cmn_gds_and_srv.gds_and_srv_id_seq'),
    s_caption      varchar(254),
    s_description  varchar(4000),
    id_msm_bs      numeric(15,0),
    massa          numeric(28,6),
    id_class_item  numeric(15,0)
);
ALTER SEQUENCE cmn_gds_and_srv.gds_and_srv_id_seq
    OWNED BY cmn_gds_and_srv.gds_and_srv.id;
CREATE INDEX gds_and_srv_class_item_idx
    ON cmn_gds_and_srv.gds_and_srv (id_class_item);

CREATE TABLE hrms_staffpos.staffpos (
    id             numeric(15,0) PRIMARY KEY,
    id_department  numeric(15,0),
    s_code         varchar(254),
    s_caption      varchar(254),
    d_begin        date,
    d_end          date,
    s_description  varchar(4000)
);

CREATE TABLE cmn_department.department (
    id             numeric(15,0) PRIMARY KEY,
    id_branch      numeric(15,0),
    s_code         varchar(254),
    s_caption      varchar(254),
    s_description  varchar(4000),
    id_parent      numeric(15,0)
);

CREATE TABLE adm_role.roles (
    id         numeric(15,0) PRIMARY KEY,
    s_name     varchar(30),
    s_caption  varchar(254),
    d_begin    date,
    d_end      date,
    b_active   boolean NOT NULL DEFAULT true
);

------------------------------------------------------------------------------
-- Accounting department
------------------------------------------------------------------------------

-- Workers. Every row is mirrored into cmn_contractor.person (the trigger
-- person_mirror of guards.sql).
CREATE TABLE accounts_dep.person (
    id             serial PRIMARY KEY,
    fio            varchar(254),
    s_staffpos_hl  varchar(254)
);
CREATE INDEX person_fio_idx ON accounts_dep.person (fio);

-- Operation kinds. Ids 7777 (maintenance work) and 7778 (average piecework)
-- are fixed; ordinary kinds take ids from the sequence.
CREATE TABLE accounts_dep.vid_oper (
    id   serial PRIMARY KEY,
    vid  char(128)
);

-- Products: the goods-and-services rows with their nomenclature group.
-- Columns are named so that nothing here clashes with the unqualified column
-- names of the journal and report statements.
CREATE VIEW accounts_dep.izdel AS
SELECT g.id                          AS id,
       g.s_caption::varchar(254)     AS marka,
       i.s_caption::varchar(255)     AS nom,
       g.massa::numeric(28,6)        AS massa,
       g.id_class_item               AS id_class_item,
       i.id                          AS id_nom
  FROM cmn_gds_and_srv.gds_and_srv g
  LEFT JOIN cmn_classifier.item i ON i.id = g.id_class_item;

-- Operations: a kind applied to a product. No key to the product: deleting a
-- product removes its goods row whatever the user answered about its
-- operations.
CREATE TABLE accounts_dep.oper (
    id        serial PRIMARY KEY,
    vid       integer NOT NULL REFERENCES accounts_dep.vid_oper (id),
    naimen    smallint NOT NULL DEFAULT 0,
    i_id      integer NOT NULL,
    cena_new  numeric(19,4) DEFAULT 0
);
CREATE INDEX oper_i_id_idx ON accounts_dep.oper (i_id);
CREATE INDEX oper_vid_idx ON accounts_dep.oper (vid);

-- Norms of an operation. Deleting an operation leaves its norm rows in
-- place, so there is no key to accounts_dep.oper.
CREATE TABLE accounts_dep.norm (
    id     serial PRIMARY KEY,
    o_id   integer NOT NULL,
    norma  integer,
    price  double precision,
    prize  integer
);
CREATE INDEX norm_o_id_idx ON accounts_dep.norm (o_id);

-- Shift entries. The worker and the operation must exist: the journal joins
-- each entry to both, so an entry without them would vanish from it. The key to
-- the operation is checked at commit, so that a product delete may remove an
-- operation and the entries that use it in one transaction. The product is not
-- keyed: entries may outlive a deleted product.
CREATE TABLE accounts_dep.smena (
    id             serial PRIMARY KEY,
    w_id           integer NOT NULL REFERENCES accounts_dep.person (id),
    i_id           integer,
    o_id           integer REFERENCES accounts_dep.oper (id)
                   DEFERRABLE INITIALLY DEFERRED,
    cena           double precision,
    kol_vo         integer,
    brak           smallint,
    data           date,
    smena          smallint,
    color          integer,
    "time"         integer,
    vvod           timestamp,
    ok             varchar(255),
    prize          double precision DEFAULT 0,
    id_doc         numeric(15,0) DEFAULT 0,
    id_doc_item    numeric(15,0) DEFAULT 0,
    f_gds_qty_use  double precision DEFAULT 0,
    id_gds_use     numeric(15,0) DEFAULT 0,
    id_cons_use    numeric(15,0) DEFAULT 0
);
CREATE INDEX smena_data_smena_idx ON accounts_dep.smena (data, smena);
CREATE INDEX smena_w_id_data_idx ON accounts_dep.smena (w_id, data);
-- The piecework timesheets join entries to cmn_contractor.person.id (numeric) by
-- "s.w_id=p.id", which compares w_id as numeric.
CREATE INDEX smena_w_id_num_data_idx ON accounts_dep.smena ((w_id::numeric), data);
CREATE INDEX smena_i_id_idx ON accounts_dep.smena (i_id);
CREATE INDEX smena_o_id_idx ON accounts_dep.smena (o_id);
-- The group statistics the reports' plans need (also applied alone to older databases).
\ir statistics.sql

-- Maintenance and average-piecework entries.
CREATE TABLE accounts_dep.fatigue (
    id         serial PRIMARY KEY,
    id_nom     numeric(15,0),
    id_o       numeric(15,0) NOT NULL,
    id_p       numeric(15,0) NOT NULL,
    d_date     date,
    i_mnth     integer,
    i_year     integer,
    i_smena    integer,
    cnt        integer,
    price      numeric(15,4),
    i_holiday  integer DEFAULT 0,
    i_night    integer DEFAULT 0
);
CREATE INDEX fatigue_d_date_idx ON accounts_dep.fatigue (d_date);
CREATE INDEX fatigue_id_p_idx ON accounts_dep.fatigue (id_p, d_date);
CREATE INDEX fatigue_month_idx ON accounts_dep.fatigue (i_year, i_mnth);

-- Monthly timesheet rows. Shift rows name no i_type and maintenance rows
-- name no smena: both default to 0.
CREATE TABLE accounts_dep.h_tabel (
    id       serial PRIMARY KEY,
    w_id     integer NOT NULL,
    month    smallint NOT NULL,
    year     smallint NOT NULL,
    smena    smallint NOT NULL DEFAULT 0,
    i_type   integer NOT NULL DEFAULT 0,
    i_night  integer NOT NULL DEFAULT 0,
    d1 smallint,  d2 smallint,  d3 smallint,  d4 smallint,  d5 smallint,
    d6 smallint,  d7 smallint,  d8 smallint,  d9 smallint,  d10 smallint,
    d11 smallint, d12 smallint, d13 smallint, d14 smallint, d15 smallint,
    d16 smallint, d17 smallint, d18 smallint, d19 smallint, d20 smallint,
    d21 smallint, d22 smallint, d23 smallint, d24 smallint, d25 smallint,
    d26 smallint, d27 smallint, d28 smallint, d29 smallint, d30 smallint,
    d31 smallint
);
-- One row per worker, shift, kind, night flag and month: the writers insert with
-- ON CONFLICT on this key, so two clerks saving at once never make a second row.
ALTER TABLE accounts_dep.h_tabel ADD CONSTRAINT h_tabel_row_key
    UNIQUE (w_id, smena, i_type, i_night, month, year);
CREATE INDEX h_tabel_shift_idx
    ON accounts_dep.h_tabel (w_id, smena, month, year);
CREATE INDEX h_tabel_kind_idx
    ON accounts_dep.h_tabel (w_id, i_type, i_night, month, year);
CREATE INDEX h_tabel_month_idx ON accounts_dep.h_tabel (year, month);

-- Version record: one row, written by the first program of each newer build through
-- accounts_dep.stamp_version (guards.sql).
CREATE TABLE accounts_dep.ver (
    d      integer,
    t      integer,
    delim  varchar(255)
);

------------------------------------------------------------------------------
-- Referential checks for fatigue (numeric ids cannot carry a foreign key to
-- the integer keys of person and vid_oper)
------------------------------------------------------------------------------

CREATE FUNCTION accounts_dep.fatigue_check_refs() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM accounts_dep.person WHERE id = NEW.id_p) THEN
        RAISE EXCEPTION foreign_key_violation
            USING MESSAGE = format('Работник с кодом %s не найден', NEW.id_p);
    END IF;
    IF NOT EXISTS (SELECT 1 FROM accounts_dep.vid_oper WHERE id = NEW.id_o) THEN
        RAISE EXCEPTION foreign_key_violation
            USING MESSAGE = format('Вид работ с кодом %s не найден', NEW.id_o);
    END IF;
    RETURN NEW;
END
$$;

CREATE TRIGGER fatigue_check_refs
    BEFORE INSERT OR UPDATE OF id_p, id_o ON accounts_dep.fatigue
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.fatigue_check_refs();

CREATE FUNCTION accounts_dep.fatigue_guard_person() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF EXISTS (SELECT 1 FROM accounts_dep.fatigue WHERE id_p = OLD.id) THEN
        RAISE EXCEPTION foreign_key_violation
            USING MESSAGE = format(
                'У работника "%s" есть записи хоз. работ, удаление невозможно',
                OLD.fio);
    END IF;
    RETURN OLD;
END
$$;

CREATE TRIGGER fatigue_guard_person
    BEFORE DELETE ON accounts_dep.person
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.fatigue_guard_person();

CREATE FUNCTION accounts_dep.fatigue_guard_kind() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF EXISTS (SELECT 1 FROM accounts_dep.fatigue WHERE id_o = OLD.id) THEN
        RAISE EXCEPTION foreign_key_violation
            USING MESSAGE = format(
                'Вид работ "%s" используется в записях хоз. работ, удаление невозможно',
                trim(OLD.vid));
    END IF;
    RETURN OLD;
END
$$;

CREATE TRIGGER fatigue_guard_kind
    BEFORE DELETE ON accounts_dep.vid_oper
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.fatigue_guard_kind();

------------------------------------------------------------------------------
-- Fixed kinds of hourly work
------------------------------------------------------------------------------

-- The maintenance journal lists entries only while an operation row with
-- product and kind at 7777 or above exists, and takes the hour price of a
-- kind from that operation's norm. Each fixed kind therefore has a service
-- product of the same id, one operation and exactly one norm row; the hour
-- prices can be changed in the norms editor of the operations list.
INSERT INTO cmn_classifier.item
    (id, id_classifier, id_level, s_code, s_caption, s_description, id_parent)
VALUES
    (7777, 1, 2, '7777', 'Вспомогательные работы',
     'Хозяйственные работы и оплата по среднесдельной', NULL);

INSERT INTO cmn_gds_and_srv.gds_and_srv
    (id, s_caption, s_description, id_msm_bs, massa, id_class_item)
VALUES
    (7777, 'Хоз. работы', '', 6, 0, 7777),
    (7778, 'Ср. сдельная', '', 6, 0, 7777);
-- Products added later take ids after the service products.
SELECT setval('cmn_gds_and_srv.gds_and_srv_id_seq', 7778);

INSERT INTO accounts_dep.vid_oper (id, vid) VALUES
    (7777, 'Хоз. работы'),
    (7778, 'Ср. сдельная');

INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena_new) VALUES
    (7777, 0, 7777, 0),
    (7778, 0, 7778, 0);

INSERT INTO accounts_dep.norm (o_id, norma, price, prize)
SELECT o.id, 0, CASE o.vid WHEN 7777 THEN 250 ELSE 300 END, 0
  FROM accounts_dep.oper o
 WHERE o.vid IN (7777, 7778);

------------------------------------------------------------------------------
-- Closed months and the change history (also the upgrade of an older database)
------------------------------------------------------------------------------

\ir closing.sql

------------------------------------------------------------------------------
-- The organisation's details, the production calendar, the codes of working time and
-- the absences (also the upgrade of an older database)
------------------------------------------------------------------------------

\ir calendar.sql

------------------------------------------------------------------------------
-- The worker mirror, the version stamp, closing months, saving products and
-- what a row may hold (also the upgrade of an older database)
------------------------------------------------------------------------------

\ir guards.sql
