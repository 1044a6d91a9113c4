-- A consistent shop of any size, for benchmarks and for trying the program on
-- years of data. Load it into a database that holds app/schema.sql and nothing
-- else:
--
--   psql -v ON_ERROR_STOP=1 -v size=large -d <database> -f bench/generate.sql
--   PGDATABASE=<database> tabel-timesheets
--
-- The timesheets come from the entries afterwards, by the program's own month
-- rebuilds (tools/, build/tools/tabel-timesheets).
--
-- Sizes: demo  (40 workers, 1 year, 500 other persons)
--        large (300 workers, 3 years, 10,000 other persons)
--        plant (3,000 workers, 3 years, 50,000 other persons)
-- or any size with -v workers=N -v years=N -v extra=N (each overrides the
-- size's figure). -v end_date=DD.MM.YYYY sets the last day of entries (today
-- when not given).
--
-- What it writes:
--   * departments, positions, roles; nomenclature groups; products, operation
--     kinds, operations with one to three norms (and some operations without
--     norms, which cannot be chosen for an entry);
--   * workers, a few of them known to the personnel system by code only;
--   * shift entries on working days (Monday to Friday and some Saturdays) in
--     shifts 1 to 3 by weekly brigade rotation, overtime (shift 4) now and
--     then; every entry's operation belongs to the entry's product;
--   * maintenance (7777) and average piecework (7778) entries, the latter
--     priced at the worker's average piecework rate of the month, on working
--     days, days off and at night, with their factors;
--   * the timesheet rows that rebuilding every month from the entries gives;
--   * other persons of the enterprise who are not shop workers.
--
-- Every choice is taken from a hash of the row's coordinates, so the same
-- parameters give the same data.

SET client_encoding = 'UTF8';
SET client_min_messages = warning;
SET datestyle = 'ISO, DMY';
-- Compiling these one-off statements costs more than it saves.
SET jit = off;

\if :{?size}
\else
\set size demo
\endif
SELECT :'size' IN ('demo', 'large', 'plant') AS gen_known_size \gset
\if :gen_known_size
\else
\echo unknown size :size (demo, large or plant)
\quit
\endif
SELECT CASE :'size' WHEN 'plant' THEN 3000 WHEN 'large' THEN 300 ELSE 40 END AS gen_workers,
       CASE :'size' WHEN 'demo' THEN 1 ELSE 3 END AS gen_years,
       CASE :'size' WHEN 'plant' THEN 50000 WHEN 'large' THEN 10000 ELSE 500 END AS gen_extra \gset
\if :{?workers}
\else
\set workers :gen_workers
\endif
\if :{?years}
\else
\set years :gen_years
\endif
\if :{?extra}
\else
\set extra :gen_extra
\endif
\if :{?end_date}
\else
SELECT to_char(current_date, 'DD.MM.YYYY') AS end_date \gset
\endif

BEGIN;

-- A generated shop starts without history, as a database moved from another
-- program would: its entries are written with the history triggers off.
ALTER TABLE accounts_dep.smena DISABLE TRIGGER smena_history;
ALTER TABLE accounts_dep.fatigue DISABLE TRIGGER fatigue_history;
ALTER TABLE accounts_dep.oper DISABLE TRIGGER oper_history;
ALTER TABLE accounts_dep.norm DISABLE TRIGGER norm_history;
ALTER TABLE accounts_dep.person DISABLE TRIGGER person_history;
ALTER TABLE accounts_dep.vid_oper DISABLE TRIGGER vid_oper_history;

CREATE TEMP TABLE gen_param AS
SELECT (:'workers')::integer AS workers,
       (:'years')::integer AS years,
       (:'extra')::integer AS extra,
       to_date(:'end_date', 'DD.MM.YYYY') AS end_date;

-- Deterministic pseudo-random number 0 .. n-1 from a key text.
CREATE FUNCTION pg_temp.pick(key text, n integer) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT ((hashtextextended(key, 0) & 2147483647) % n)::integer
$$;

------------------------------------------------------------------------------
-- Other systems: departments, positions, roles, nomenclature groups
------------------------------------------------------------------------------

INSERT INTO cmn_department.department (id, id_branch, s_code, s_caption, s_description, id_parent) VALUES
    (10, 1, '01',    'Цех металлоконструкций',  'Производственный цех №1', NULL),
    (11, 1, '01.01', 'Заготовительный участок', 'Резка и гибка металла',   10),
    (12, 1, '01.02', 'Сварочный участок',       'Сварка и зачистка швов',  10),
    (13, 1, '01.03', 'Малярный участок',        'Грунтовка и покраска',    10),
    (14, 1, '01.04', 'Сборочный участок',       'Сборка и упаковка',       10),
    (17, 1, '01.05', 'Механический участок',    'Токарные и фрезерные',    10),
    (15, 1, '02',    'Склад готовой продукции', NULL,                      NULL),
    (16, 1, '03',    'Бухгалтерия',             NULL,                      NULL);

INSERT INTO hrms_staffpos.staffpos (id, id_department, s_code, s_caption, d_begin, d_end, s_description) VALUES
    (20, 11, '101', 'Газорезчик 4 разряда',         '01.01.2015', NULL, NULL),
    (21, 12, '201', 'Электрогазосварщик 5 разряда', '01.01.2015', NULL, NULL),
    (22, 13, '301', 'Маляр 3 разряда',              '01.01.2015', NULL, NULL),
    (23, 14, '401', 'Слесарь-сборщик 4 разряда',    '01.01.2015', NULL, NULL),
    (24, 17, '501', 'Токарь 5 разряда',             '01.01.2015', NULL, NULL),
    (25, 10, '001', 'Мастер участка',               '01.01.2015', NULL, NULL);

INSERT INTO adm_role.roles (id, s_name, s_caption, d_begin, d_end, b_active) VALUES
    (30, 'admin',   'Администратор',         '01.01.2015', NULL, true),
    (31, 'master',  'Мастер смены',          '01.01.2015', NULL, true),
    (32, 'account', 'Бухгалтер по зарплате', '01.01.2015', NULL, true);

INSERT INTO cmn_classifier.item (id, id_classifier, id_level, s_code, s_caption, s_description, id_parent) VALUES
    (100, 1, 1, '1',    'Металлоконструкции', 'Продукция цеха', NULL),
    (101, 1, 2, '1.1',  'Двери',       NULL, 100),
    (102, 1, 2, '1.2',  'Окна',        NULL, 100),
    (103, 1, 2, '1.3',  'Ограждения',  NULL, 100),
    (104, 1, 2, '1.4',  'Ворота',      NULL, 100),
    (105, 1, 2, '1.5',  'Решётки',     NULL, 100),
    (106, 1, 2, '1.6',  'Лестницы',    NULL, 100),
    (107, 1, 2, '1.7',  'Стеллажи',    NULL, 100),
    (108, 1, 2, '1.8',  'Контейнеры',  NULL, 100),
    (109, 1, 2, '1.9',  'Навесы',      NULL, 100),
    (110, 1, 2, '1.10', 'Детали',      NULL, 100);
UPDATE cmn_classifier.item SET id_parent = 100 WHERE id = 7777;

------------------------------------------------------------------------------
-- Products, operation kinds, operations, norms
------------------------------------------------------------------------------

-- Twenty products plus one for every two workers, spread over the groups.
CREATE TEMP TABLE gen_product AS
SELECT n, 101 + n % 10 AS item,
       (ARRAY['ДМ-', 'ОК-', 'СО-', 'В-', 'РО-', 'ЛМ-', 'СТ-', 'КН-', 'НВ-', 'ДТ-'])[1 + n % 10]
           || (100 + n)::text AS marka,
       round((0.1 + pg_temp.pick('massa' || n, 40) / 10.0)::numeric, 2) AS massa
  FROM gen_param, generate_series(1, 20 + workers / 2) AS n;

INSERT INTO cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, massa, id_class_item)
SELECT marka, '', 6, massa, item FROM gen_product ORDER BY n;

CREATE TEMP TABLE gen_kind (kind text, dept integer, naimen integer, base numeric);
INSERT INTO gen_kind VALUES
    ('Резка', 11, 1, 12.00), ('Гибка', 11, 1, 9.50), ('Сверловка', 11, 1, 6.40),
    ('Сварка', 12, 0, 48.00), ('Зачистка', 12, 0, 15.00),
    ('ПОКРАСКА', 13, 0, 36.00), ('ПОРОШКОВАЯ ПОКРАСКА', 13, 0, 41.00),
    ('Сборка', 14, 0, 55.00), ('Упаковка', 14, 0, 8.00),
    ('Токарная обработка', 17, 1, 18.00), ('Фрезерная обработка', 17, 1, 21.00);

INSERT INTO accounts_dep.vid_oper (vid) SELECT kind FROM gen_kind ORDER BY kind;

-- Operations of a product: most kinds, welding and painting always; welding
-- of blanks too for doors and gates.
CREATE TEMP TABLE gen_oper AS
SELECT g.id AS i_id, v.id AS vid, k.naimen, k.dept, k.kind,
       round(k.base * (1 + p.massa / 2), 2) AS price
  FROM gen_product p
  JOIN cmn_gds_and_srv.gds_and_srv g ON g.s_caption = p.marka
  JOIN gen_kind k ON pg_temp.pick(p.marka || k.kind, 10) < 7 OR k.kind IN ('Сварка', 'ПОКРАСКА')
  JOIN accounts_dep.vid_oper v ON trim(v.vid) = k.kind
UNION ALL
SELECT g.id, v.id, 1, 12, 'Сварка', 22.00
  FROM gen_product p
  JOIN cmn_gds_and_srv.gds_and_srv g ON g.s_caption = p.marka
  JOIN accounts_dep.vid_oper v ON trim(v.vid) = 'Сварка'
 WHERE p.item IN (101, 104);

INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena_new)
SELECT vid, naimen, i_id, 0 FROM gen_oper ORDER BY i_id, vid, naimen;

-- One to three norm rows: the base threshold with the lowest price, then
-- higher thresholds paying more with a bonus.
INSERT INTO accounts_dep.norm (o_id, norma, price, prize)
SELECT op.id, t.norma, round(o.price * t.factor, 2), t.prize
  FROM accounts_dep.oper op
  JOIN gen_oper o ON o.i_id = op.i_id AND o.vid = op.vid AND o.naimen = op.naimen
  JOIN (VALUES (1, 0, 1.00, 0), (2, 30, 1.10, 5), (3, 60, 1.20, 10)) AS t(step, norma, factor, prize)
    ON t.step <= 1 + pg_temp.pick('norm' || op.id, 3)
 ORDER BY op.id, t.norma;

-- Operations set up but not priced yet: not offered for entries.
INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena_new)
SELECT v.id, 1, g.id, 0
  FROM gen_product p
  JOIN cmn_gds_and_srv.gds_and_srv g ON g.s_caption = p.marka
  JOIN accounts_dep.vid_oper v ON trim(v.vid) = 'Упаковка'
 WHERE p.n % 25 = 3;

------------------------------------------------------------------------------
-- Workers
------------------------------------------------------------------------------

CREATE TEMP TABLE gen_worker AS
SELECT w AS id,
       (ARRAY['Абрамов', 'Белоусов', 'Васильев', 'Гусев', 'Дмитриев', 'Ершов', 'Жуков',
              'Зайцев', 'Иванов', 'Казаков', 'Кузнецов', 'Лебедев', 'Морозов', 'Никитин',
              'Орлов', 'Павлов', 'Романов', 'Семёнов', 'Тарасов', 'Уваров', 'Фёдоров',
              'Харитонов', 'Цветков', 'Чернов', 'Шестаков', 'Щукин', 'Яковлев', 'Соколов',
              'Попов', 'Волков', 'Новиков', 'Михайлов', 'Григорьев', 'Степанов', 'Егоров',
              'Макаров', 'Андреев', 'Захаров', 'Борисов', 'Королёв'])
           [1 + pg_temp.pick('sur' || w, 40)]
           || ' ' || substr('АБВГДЕЖЗИКЛМНОПРСТФЮЯ', 1 + pg_temp.pick('i' || w, 21), 1)
           || '.' || substr('АБВГДЕИКЛМНОПРСФЮЯ', 1 + pg_temp.pick('o' || w, 18), 1) || '.' AS fio,
       (ARRAY[11, 12, 12, 13, 14, 14, 17])[1 + w % 7] AS dept
  FROM gen_param, generate_series(1, workers) AS w;

ANALYZE gen_worker;

-- Every 25th worker came from the personnel system: his person row carries the
-- worker number only as code, and the mirror trigger renames that row.
INSERT INTO cmn_contractor.person (id, s_caption, s_code)
SELECT 900000000 + id, fio, id::text FROM gen_worker WHERE id % 25 = 7;

INSERT INTO accounts_dep.person (id, fio, s_staffpos_hl)
SELECT w.id, w.fio, d.s_caption
  FROM gen_worker w JOIN cmn_department.department d ON d.id = w.dept
 ORDER BY w.id;
SELECT setval('accounts_dep.person_id_seq', (SELECT max(id) FROM accounts_dep.person)) \gset gen_

-- Other persons of the enterprise; their codes lie far from worker numbers, and
-- some have none.
INSERT INTO cmn_contractor.person (id, s_caption, s_code)
SELECT 800000000 + n,
       (ARRAY['Никитина', 'Фомичёв', 'Лаптева', 'Рябов', 'Савина', 'Титов', 'Ушакова',
              'Филиппов', 'Храмова', 'Чистяков'])[1 + n % 10]
           || ' ' || substr('АБВГДЕЖЗИКЛМНОПРСТ', 1 + n % 18, 1) || '.'
           || substr('АБВГДЕИКЛМНОПРС', 1 + n % 15, 1) || '.',
       CASE WHEN n % 20 = 0 THEN NULL ELSE (800000000 + n)::text END
  FROM gen_param, generate_series(1, extra) AS n;

-- Operations a worker does: up to six, of his department's kinds.
CREATE TEMP TABLE gen_skill AS
SELECT w_id, o_id, i_id, base, paint, (row_number() OVER (PARTITION BY w_id ORDER BY h)) - 1 AS idx
  FROM (SELECT w.id AS w_id, op.id AS o_id, op.i_id, n.price AS base,
               o.kind LIKE '%КРАСКА%' AS paint,
               row_number() OVER (PARTITION BY w.id ORDER BY md5(w.id || '/' || op.id)) AS rk,
               md5(w.id || '/' || op.id) AS h
          FROM gen_worker w
          JOIN gen_oper o ON o.dept = w.dept
          JOIN accounts_dep.oper op ON op.i_id = o.i_id AND op.vid = o.vid AND op.naimen = o.naimen
          JOIN (SELECT o_id, min(price) AS price FROM accounts_dep.norm GROUP BY o_id) n
            ON n.o_id = op.id) s
 WHERE rk <= 6;
CREATE TEMP TABLE gen_skill_count AS
SELECT w_id, count(*)::integer AS cnt FROM gen_skill GROUP BY w_id;
ANALYZE gen_skill;
ANALYZE gen_skill_count;

------------------------------------------------------------------------------
-- Shift entries
------------------------------------------------------------------------------

CREATE TEMP TABLE gen_day AS
SELECT d::date AS d, extract(isodow FROM d)::integer >= 6 AS day_off
  FROM gen_param,
       generate_series((end_date - make_interval(years => years))::date + 1, end_date,
                       interval '1 day') AS g(d)
 WHERE extract(isodow FROM d) <= 5
    OR (extract(isodow FROM d) = 6 AND pg_temp.pick('sat' || d::date, 3) = 0);
ANALYZE gen_day;

-- The brigade of a worker rotates weekly through shifts 1 to 3; a worker now
-- and then misses a day or stays for overtime (shift 4).
CREATE TEMP TABLE gen_shift AS
SELECT w.id AS w_id, dd.d, dd.day_off,
       1 + (w.id % 3 + extract(week FROM dd.d)::integer) % 3 AS smena, 8 AS hours
  FROM gen_worker w, gen_day dd
 WHERE pg_temp.pick('absent' || w.id || dd.d, 12) <> 0
UNION ALL
SELECT w.id, dd.d, dd.day_off, 4, 2 + pg_temp.pick('ot-h' || w.id || dd.d, 3)
  FROM gen_worker w, gen_day dd
 WHERE pg_temp.pick('ot' || w.id || dd.d, 9) = 0;
ANALYZE gen_shift;

-- One to three different operations per worker, date and shift, the shift's
-- hours split between them.
CREATE TEMP TABLE gen_entry AS
SELECT s.w_id, s.d, s.smena, s.day_off, s.hours, s.n, k.rn, sk.o_id, sk.i_id, sk.base, sk.paint
  FROM (SELECT s.*, least(1 + pg_temp.pick('n' || s.w_id || s.d || s.smena, 3), c.cnt, s.hours) AS n,
               pg_temp.pick('start' || s.w_id || s.d || s.smena, c.cnt) AS start, c.cnt
          FROM gen_shift s JOIN gen_skill_count c ON c.w_id = s.w_id) s
  CROSS JOIN LATERAL generate_series(1, s.n) AS k(rn)
  JOIN gen_skill sk ON sk.w_id = s.w_id AND sk.idx = (s.start + k.rn - 1) % s.cnt;
ANALYZE gen_entry;

-- The entries go in without the table's secondary indexes, key checks and closed-month
-- guard: an index built once from the whole table costs a fraction of millions of single
-- insertions into it, and every entry refers to a worker and an operation made above in an
-- open month. The indexes come back as the schema defines them.
CREATE TEMP TABLE gen_smena_index AS
SELECT indexname, indexdef FROM pg_indexes
 WHERE schemaname = 'accounts_dep' AND tablename = 'smena' AND indexname <> 'smena_pkey';
SELECT format('DROP INDEX accounts_dep.%I', indexname) FROM gen_smena_index \gexec
ALTER TABLE accounts_dep.smena DISABLE TRIGGER ALL;

INSERT INTO accounts_dep.smena
    (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, "time", vvod, ok,
     prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
SELECT e.w_id, e.i_id, e.o_id,
       round((e.base * CASE WHEN e.day_off THEN 2 ELSE 1 END
                      * CASE e.smena WHEN 3 THEN 1.2 WHEN 4 THEN 1.5 ELSE 1 END)::numeric, 4),
       5 + pg_temp.pick('q' || e.w_id || e.d || e.o_id, 56),
       CASE WHEN pg_temp.pick('b' || e.w_id || e.d || e.o_id, 8) = 0
            THEN 1 + pg_temp.pick('bb' || e.w_id || e.d || e.o_id, 3) ELSE 0 END,
       e.d, e.smena,
       CASE WHEN e.paint THEN
            (ARRAY[0, 1, 1, 9003, 9003, 3005, 6005, 7035, 8017, 5015])
                [1 + pg_temp.pick('c' || e.w_id || e.d || e.o_id, 10)]
            ELSE 0 END,
       CASE e.n WHEN 1 THEN e.hours
                WHEN 2 THEN CASE e.rn WHEN 1 THEN e.hours - e.hours / 2 ELSE e.hours / 2 END
                ELSE CASE e.rn WHEN 1 THEN e.hours - 2 * (e.hours / 3) ELSE e.hours / 3 END END,
       e.d + 1 + time '09:15' + pg_temp.pick('v' || e.w_id || e.d, 240) * interval '1 minute',
       CASE WHEN e.d > p.end_date - 3 THEN 'no'
            WHEN pg_temp.pick('ta' || e.w_id || e.d || e.o_id, 150) = 0 THEN 'ta'
            WHEN pg_temp.pick('ta' || e.w_id || e.d || e.o_id, 150) = 1 THEN NULL
            WHEN pg_temp.pick('ok' || e.w_id || e.d || e.o_id, 40) < 8 THEN 'no'
            WHEN pg_temp.pick('ok' || e.w_id || e.d || e.o_id, 40) < 20 THEN 'да'
            ELSE 'ok' END,
       0, 0, 0, 0, 0, 0
  FROM gen_entry e, gen_param p
 ORDER BY e.d, e.smena, e.w_id, e.rn;

ALTER TABLE accounts_dep.smena ENABLE TRIGGER ALL;
ALTER TABLE accounts_dep.smena DISABLE TRIGGER smena_history;
SET LOCAL maintenance_work_mem = '256MB';
SELECT indexdef FROM gen_smena_index \gexec
ANALYZE accounts_dep.smena;

------------------------------------------------------------------------------
-- Maintenance work (7777) and average piecework (7778)
------------------------------------------------------------------------------

-- Maintenance on some days, booked to the service group or to a product
-- group; some at night.
INSERT INTO accounts_dep.fatigue
    (id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)
SELECT CASE WHEN pg_temp.pick('fn' || w.id || dd.d, 3) = 0
            THEN 101 + pg_temp.pick('fi' || w.id || dd.d, 10) ELSE 7777 END,
       7777, w.id, dd.d, extract(month FROM dd.d), extract(year FROM dd.d), 1,
       2 + pg_temp.pick('fc' || w.id || dd.d, 5),
       250 * CASE WHEN dd.day_off THEN 2 ELSE 1 END
           * CASE WHEN pg_temp.pick('fnight' || w.id || dd.d, 5) = 0 THEN 1.2 ELSE 1 END,
       CASE WHEN dd.day_off THEN 1 ELSE 0 END,
       CASE WHEN pg_temp.pick('fnight' || w.id || dd.d, 5) = 0 THEN 1 ELSE 0 END
  FROM gen_worker w, gen_day dd
 WHERE pg_temp.pick('f' || w.id || dd.d, 25) = 0
 ORDER BY dd.d, w.id;

-- A day of idle time paid at the average rate, booked to the group of the
-- worker's first product; some on days off, some at night.
INSERT INTO accounts_dep.fatigue
    (id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)
SELECT g.id_class_item, 7778, w.id, dd.d, extract(month FROM dd.d), extract(year FROM dd.d), 1,
       8, 0, CASE WHEN dd.day_off THEN 1 ELSE 0 END,
       CASE WHEN pg_temp.pick('sn' || w.id || dd.d, 4) = 0 THEN 1 ELSE 0 END
  FROM gen_worker w
  JOIN gen_skill sk ON sk.w_id = w.id AND sk.idx = 0
  JOIN cmn_gds_and_srv.gds_and_srv g ON g.id = sk.i_id
  JOIN gen_day dd ON pg_temp.pick('sd' || w.id || dd.d, CASE WHEN dd.day_off THEN 15 ELSE 40 END) = 0
 ORDER BY dd.d, w.id;

-- Their hour price: the worker's piecework pay per hour in that group and month
-- times the entry's day-off and night factors, rounded once.
UPDATE accounts_dep.fatigue f SET price = round(a.price
           * CASE WHEN f.i_holiday <> 0 THEN 2 ELSE 1 END
           * CASE WHEN f.i_night <> 0 THEN 1.2 ELSE 1 END, 2)
  FROM (SELECT s.w_id, i.id AS item, extract(month FROM s.data) AS mnth,
               extract(year FROM s.data) AS yr,
               CASE WHEN coalesce(sum(s.time), 0) = 0 THEN 0
                    ELSE sum((s.kol_vo - s.brak) * s.cena)::numeric / sum(s.time) END AS price
          FROM accounts_dep.smena s
          JOIN cmn_gds_and_srv.gds_and_srv g ON g.id = s.i_id
          JOIN cmn_classifier.item i ON i.id = g.id_class_item AND i.id_level = 2
         GROUP BY s.w_id, i.id, extract(month FROM s.data), extract(year FROM s.data)) a
 WHERE f.id_o = 7778 AND a.w_id = f.id_p AND a.item = f.id_nom
   AND a.mnth = f.i_mnth AND a.yr = f.i_year;

INSERT INTO accounts_dep.ver (d, t, delim) VALUES (0, 0, '.');

COMMIT;

-- After the commit: the deferred key checks of the entries are done by then.
ALTER TABLE accounts_dep.smena ENABLE TRIGGER smena_history;
ALTER TABLE accounts_dep.fatigue ENABLE TRIGGER fatigue_history;
ALTER TABLE accounts_dep.oper ENABLE TRIGGER oper_history;
ALTER TABLE accounts_dep.norm ENABLE TRIGGER norm_history;
ALTER TABLE accounts_dep.person ENABLE TRIGGER person_history;
ALTER TABLE accounts_dep.vid_oper ENABLE TRIGGER vid_oper_history;

ANALYZE;
