-- Demonstration data: a small metalwork shop with three months of shift
-- entries ending today.
--
-- Load into a database that already holds app/schema.sql, then make the
-- timesheets from the entries and close the first month:
--   psql -v ON_ERROR_STOP=1 -d <database> -f app/demo_data.sql
--   PGDATABASE=<database> tabel-timesheets
--   psql -v ON_ERROR_STOP=1 -d <database> -f app/demo_closed_month.sql
--
-- Dates are computed from current_date, so the journal always has entries
-- around "today". Every choice (shift, operation, quantity, colour, ...) is
-- taken from a hash of the row's coordinates, so loading the file twice on the
-- same day gives the same data.

SET client_encoding = 'UTF8';
SET client_min_messages = warning;
SET datestyle = 'ISO, DMY';

-- Deterministic pseudo-random number 0 .. n-1 from a key text.
CREATE FUNCTION pg_temp.pick(key text, n integer) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$
    SELECT (('x' || substr(md5(key), 1, 8))::bit(32)::bigint % n)::integer
$$;

------------------------------------------------------------------------------
-- Other systems: departments, positions, roles, persons outside the shop
------------------------------------------------------------------------------

INSERT INTO cmn_department.department (id, id_branch, s_code, s_caption, s_description, id_parent) VALUES
    (10, 1, '01',    'Цех металлоконструкций',  'Производственный цех №1', NULL),
    (11, 1, '01.01', 'Заготовительный участок', 'Резка и гибка металла',   10),
    (12, 1, '01.02', 'Сварочный участок',       'Сварка и зачистка швов',  10),
    (13, 1, '01.03', 'Малярный участок',        'Грунтовка и покраска',    10),
    (14, 1, '01.04', 'Сборочный участок',       'Сборка и упаковка',       10),
    (15, 1, '02',    'Склад готовой продукции', NULL,                      NULL),
    (16, 1, '03',    'Бухгалтерия',             NULL,                      NULL);

INSERT INTO hrms_staffpos.staffpos (id, id_department, s_code, s_caption, d_begin, d_end, s_description) VALUES
    (20, 11, '101', 'Газорезчик 4 разряда',         '01.01.2015', NULL, NULL),
    (21, 11, '102', 'Оператор листогиба',           '01.01.2015', NULL, NULL),
    (22, 12, '201', 'Электрогазосварщик 5 разряда', '01.01.2015', NULL, NULL),
    (23, 12, '202', 'Электрогазосварщик 4 разряда', '01.01.2015', NULL, NULL),
    (24, 12, '203', 'Шлифовщик',                    '01.01.2015', NULL, NULL),
    (25, 13, '301', 'Маляр 3 разряда',              '01.01.2015', NULL, NULL),
    (26, 14, '401', 'Слесарь-сборщик 4 разряда',    '01.01.2015', NULL, NULL),
    (27, 14, '402', 'Упаковщик',                    '01.01.2015', NULL, NULL),
    (28, 10, '001', 'Мастер участка',               '01.01.2015', NULL, NULL),
    (29, 15, '501', 'Кладовщик',                    '01.01.2015', NULL, NULL);

INSERT INTO adm_role.roles (id, s_name, s_caption, d_begin, d_end, b_active) VALUES
    (30, 'admin',    'Администратор',         '01.01.2015', NULL,         true),
    (31, 'master',   'Мастер смены',          '01.01.2015', NULL,         true),
    (32, 'account',  'Бухгалтер по зарплате', '01.01.2015', NULL,         true),
    (33, 'store',    'Кладовщик',             '01.01.2015', NULL,         true),
    (34, 'viewer',   'Просмотр',              '01.01.2015', NULL,         true),
    (35, 'planner',  'Плановый отдел',        '01.01.2015', '31.12.2020', false);

-- People of the enterprise who are not shop workers; their codes lie far
-- away from worker numbers.
INSERT INTO cmn_contractor.person (id, s_caption, s_code) VALUES
    (900000101, 'Никитина Е.В.',  '900000101'),
    (900000102, 'Фомичёв С.А.',   '900000102'),
    (900000103, 'Лаптева О.Н.',   NULL);

------------------------------------------------------------------------------
-- Nomenclature and products
------------------------------------------------------------------------------

INSERT INTO cmn_classifier.item (id, id_classifier, id_level, s_code, s_caption, s_description, id_parent) VALUES
    (100, 1, 1, '1',   'Металлоконструкции', 'Продукция цеха металлоконструкций', NULL),
    (101, 1, 2, '1.1', 'Двери',              'Двери металлические',               100),
    (102, 1, 2, '1.2', 'Окна',               'Оконные блоки и рамы',              100),
    (103, 1, 2, '1.3', 'Ограждения',         'Секции ограждений',                 100),
    (104, 1, 2, '1.4', 'Ворота',             'Ворота распашные и откатные',       100),
    (105, 1, 2, '1.5', 'Решётки',            'Решётки оконные',                   100),
    (106, 1, 2, '1.6', 'Лестницы',           'Лестницы и площадки',               100),
    (107, 1, 2, '1.7', 'Снятые с производства', NULL,                             100);
UPDATE cmn_classifier.item SET b_excluded = true, d_excluded_date = '31.12.2022' WHERE id = 107;
UPDATE cmn_classifier.item SET id_parent = 100 WHERE id = 7777;

CREATE TEMP TABLE demo_product (n integer, marka text, item integer, massa numeric);
INSERT INTO demo_product VALUES
    ( 1, 'ДМ-21',          101, 1),
    ( 2, 'ДМ-21 утепл.',   101, 1),
    ( 3, 'ДМ-2 двуств.',   101, 2),
    ( 4, 'ДТ-10 тех.',     101, 1),
    ( 5, 'ОК-1200',        102, 0.5),
    ( 6, 'ОК-1500',        102, 0.5),
    ( 7, 'ОК-900 фрамуга', 102, 0.25),
    ( 8, 'СО-2000',        103, 0.2),
    ( 9, 'СО-2500',        103, 0.25),
    (10, 'СО-2500 пика',   103, 0.25),
    (11, 'Столбик 60х60',  103, 0.1),
    (12, 'Ворота В-3',     104, 3),
    (13, 'Ворота В-4',     104, 4),
    (14, 'Калитка К-1',    104, 1),
    (15, 'РО-1',           105, 0.333333),
    (16, 'РО-2 кованая',   105, 0.5),
    (17, 'ЛМ-12',          106, 2),
    (18, 'ЛМ-16',          106, 2.5),
    (19, 'Площадка П-1',   106, 1.5),
    (20, 'Козырёк КЗ-1',   107, 0.75);

INSERT INTO cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, massa, id_class_item)
SELECT marka, '', 6, massa, item FROM demo_product ORDER BY n;

------------------------------------------------------------------------------
-- Operation kinds, operations, norms
------------------------------------------------------------------------------

INSERT INTO accounts_dep.vid_oper (vid) VALUES
    ('Резка'), ('Гибка'), ('Сварка'), ('Зачистка'), ('ПОКРАСКА'),
    ('Сборка'), ('Сверловка'), ('Упаковка');

-- Operations per product: kind, product type (0 finished, 1 blanks), piece
-- price of the lowest norm.
CREATE TEMP TABLE demo_oper (marka text, kind text, naimen integer, price numeric);
INSERT INTO demo_oper
SELECT p.marka, k.kind, k.naimen,
       round((k.base * (1 + p.massa::numeric / 2))::numeric, 2)
  FROM demo_product p
  JOIN (VALUES
        ('Резка',     1, 12.00), ('Гибка',   1, 9.50), ('Сварка',    0, 48.00),
        ('Зачистка',  0, 15.00), ('ПОКРАСКА', 0, 36.00), ('Сборка',   0, 55.00),
        ('Сверловка', 1, 6.40),  ('Упаковка', 0, 8.00)) AS k(kind, naimen, base)
    ON pg_temp.pick(p.marka || k.kind, 10) < 7
    OR k.kind IN ('Сварка', 'ПОКРАСКА');

-- Welding of blanks as well as of finished products for doors and gates.
INSERT INTO demo_oper
SELECT p.marka, 'Сварка', 1, 22.00 FROM demo_product p WHERE p.item IN (101, 104);

INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena_new)
SELECT v.id, o.naimen, g.id, 0
  FROM demo_oper o
  JOIN accounts_dep.vid_oper v ON trim(v.vid) = o.kind
  JOIN cmn_gds_and_srv.gds_and_srv g ON g.s_caption = o.marka
 ORDER BY g.id, v.id, o.naimen;

-- One to three norm rows per operation: the base threshold with the lowest
-- price, then higher thresholds paying more with a bonus.
INSERT INTO accounts_dep.norm (o_id, norma, price, prize)
SELECT op.id, t.norma, round(o.price * t.factor, 2), t.prize
  FROM accounts_dep.oper op
  JOIN accounts_dep.vid_oper v ON v.id = op.vid
  JOIN cmn_gds_and_srv.gds_and_srv g ON g.id = op.i_id
  JOIN demo_oper o ON o.marka = g.s_caption AND o.kind = trim(v.vid) AND o.naimen = op.naimen
  JOIN (VALUES (1, 0, 1.00, 0), (2, 30, 1.10, 5), (3, 60, 1.20, 10)) AS t(step, norma, factor, prize)
    ON t.step <= 1 + pg_temp.pick('norm' || op.id, 3)
 WHERE op.vid < 7777
 ORDER BY op.id, t.norma;

-- An operation set up but not priced yet: it cannot be chosen for an entry.
INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena_new)
SELECT v.id, 0, g.id, 0
  FROM accounts_dep.vid_oper v, cmn_gds_and_srv.gds_and_srv g
 WHERE trim(v.vid) = 'Упаковка' AND g.s_caption = 'Площадка П-1'
   AND NOT EXISTS (SELECT 1 FROM accounts_dep.oper o WHERE o.vid = v.id AND o.i_id = g.id AND o.naimen = 0);
DELETE FROM accounts_dep.norm n
 USING accounts_dep.oper o, accounts_dep.vid_oper v, cmn_gds_and_srv.gds_and_srv g
 WHERE n.o_id = o.id AND o.vid = v.id AND o.i_id = g.id
   AND trim(v.vid) = 'Упаковка' AND g.s_caption = 'Площадка П-1';

------------------------------------------------------------------------------
-- Workers
------------------------------------------------------------------------------

CREATE TEMP TABLE demo_worker (id integer, fio text, dept integer);
INSERT INTO demo_worker VALUES
    ( 1, 'Абрамов С.Н.',     11), ( 2, 'Белоусов А.В.',    11),
    ( 3, 'Васильев Д.Г.',    11), ( 4, 'Гусев П.А.',       11),
    ( 5, 'Дмитриев Е.О.',    12), ( 6, 'Ершов В.И.',       12),
    ( 7, 'Жуков М.С.',       12), ( 8, 'Зайцев Р.Ф.',      12),
    ( 9, 'Иванов И.И.',      12), (10, 'Казаков Н.П.',     12),
    (11, 'Кузнецов А.А.',    12), (12, 'Лебедев О.Ю.',     12),
    (13, 'Морозов К.В.',     13), (14, 'Никитин Г.Л.',     13),
    (15, 'Орлова Т.М.',      13), (16, 'Павлова Н.С.',     13),
    (17, 'Романов В.В.',     14), (18, 'Семёнов Ю.Д.',     14),
    (19, 'Тарасов Л.Е.',     14), (20, 'Уваров А.К.',      14),
    (21, 'Фёдоров Б.Р.',     14), (22, 'Харитонов И.А.',   14),
    (23, 'Цветков Д.С.',     14), (24, 'Чернов Э.П.',      11),
    (25, 'Шестаков Ф.Н.',    12), (26, 'Щукин Я.М.',       12),
    (27, 'Яковлев С.С.',     13), (28, 'Соколов А.Б.',     14),
    (29, 'Попов Г.Г.',       11), (30, 'Волков Р.А.',      12),
    (31, 'Новиков Е.Е.',     14), (32, 'Михайлова Л.В.',   13),
    (33, 'Григорьев В.П.',   12), (34, 'Степанов О.И.',    14);

-- Two workers came from the personnel system: their person rows carry the
-- worker number only as code. The mirror trigger finds them by code.
INSERT INTO cmn_contractor.person (id, s_caption, s_code) VALUES
    (900000033, 'Григорьев В.П.', '33'),
    (900000034, 'Степанов О.И.',  '34');

INSERT INTO accounts_dep.person (id, fio, s_staffpos_hl)
SELECT w.id, w.fio, d.s_caption
  FROM demo_worker w JOIN cmn_department.department d ON d.id = w.dept
 ORDER BY w.id;
SELECT setval('accounts_dep.person_id_seq', (SELECT max(id) FROM accounts_dep.person));

------------------------------------------------------------------------------
-- Shift entries: from the first day of the month before the previous one up to today
------------------------------------------------------------------------------

-- Working days: Monday to Friday, some Saturdays, and always today.
CREATE TEMP TABLE demo_day AS
SELECT d::date AS d,
       extract(isodow FROM d)::integer >= 6 AS day_off
  FROM generate_series(date_trunc('month', current_date) - interval '2 months',
                       current_date, interval '1 day') AS g(d)
 WHERE extract(isodow FROM d) <= 5
    OR (extract(isodow FROM d) = 6 AND pg_temp.pick('sat' || d::date, 3) = 0)
    OR d::date = current_date;

-- Who works which shift: the brigade of a worker rotates weekly through
-- shifts 1 to 3; some workers also do overtime (shift 4). A worker now and
-- then misses a day. Workers 3, 16 and 24 always work shifts 1, 2 and 3
-- today, and worker 9 always works overtime today, so every shift of today's
-- journal has entries.
CREATE TEMP TABLE demo_shift AS
SELECT w.id AS w_id, dd.d, dd.day_off,
       CASE WHEN dd.d = current_date AND w.id = 3  THEN 1
            WHEN dd.d = current_date AND w.id = 16 THEN 2
            WHEN dd.d = current_date AND w.id = 24 THEN 3
            ELSE 1 + (w.id % 3 + extract(week FROM dd.d)::integer) % 3 END AS smena,
       8 AS hours
  FROM demo_worker w, demo_day dd
 WHERE pg_temp.pick('absent' || w.id || dd.d, 12) <> 0
    OR (dd.d = current_date AND w.id IN (3, 16, 24));
INSERT INTO demo_shift
SELECT w.id, dd.d, dd.day_off, 4, 2 + pg_temp.pick('ot-h' || w.id || dd.d, 3)
  FROM demo_worker w, demo_day dd
 WHERE pg_temp.pick('ot' || w.id || dd.d, 9) = 0
    OR (dd.d = current_date AND w.id = 9);

-- Operations a worker may do: by department.
CREATE TEMP TABLE demo_skill AS
SELECT w.id AS w_id, o.id AS o_id, o.i_id, n.price AS base
  FROM demo_worker w
  JOIN accounts_dep.oper o ON o.vid < 7777
  JOIN accounts_dep.vid_oper v ON v.id = o.vid
  JOIN (SELECT o_id, min(price) AS price FROM accounts_dep.norm GROUP BY o_id) n ON n.o_id = o.id
 WHERE (w.dept = 11 AND trim(v.vid) IN ('Резка', 'Гибка', 'Сверловка'))
    OR (w.dept = 12 AND trim(v.vid) IN ('Сварка', 'Зачистка'))
    OR (w.dept = 13 AND trim(v.vid) IN ('ПОКРАСКА'))
    OR (w.dept = 14 AND trim(v.vid) IN ('Сборка', 'Упаковка', 'Сверловка'));

-- One to three different operations per worker, date and shift, the shift's
-- hours split between them.
CREATE TEMP TABLE demo_entry AS
SELECT s.w_id, s.d, s.smena, s.day_off, s.hours, k.o_id, k.i_id, k.base, k.rn,
       1 + pg_temp.pick('n' || s.w_id || s.d || s.smena, 3) AS n
  FROM demo_shift s
  JOIN LATERAL (
        SELECT sk.*, row_number() OVER (ORDER BY md5(s.w_id || '/' || s.d || '/' || s.smena || '/' || sk.o_id)) AS rn
          FROM demo_skill sk WHERE sk.w_id = s.w_id) k ON true;
DELETE FROM demo_entry WHERE rn > n;

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
       CASE WHEN trim(v.vid) LIKE '%КРАСКА%' THEN
            (ARRAY[0, 1, 1, 9003, 9003, 3005, 6005, 7035, 8017, 5015])
                [1 + pg_temp.pick('c' || e.w_id || e.d || e.o_id, 10)]
            ELSE 0 END,
       CASE e.n WHEN 1 THEN e.hours
                WHEN 2 THEN CASE e.rn WHEN 1 THEN e.hours - e.hours / 2 ELSE e.hours / 2 END
                ELSE CASE e.rn WHEN 1 THEN e.hours - 2 * (e.hours / 3) ELSE e.hours / 3 END END,
       CASE WHEN e.d = current_date THEN e.d + time '15:40'
            ELSE e.d + 1 + time '09:15' + pg_temp.pick('v' || e.w_id || e.d, 240) * interval '1 minute' END,
       CASE WHEN e.d > current_date - 3 THEN 'no'
            WHEN pg_temp.pick('ta' || e.w_id || e.d || e.o_id, 150) = 0 THEN 'ta'
            WHEN pg_temp.pick('ok' || e.w_id || e.d || e.o_id, 40) < 8 THEN 'no'
            WHEN pg_temp.pick('ok' || e.w_id || e.d || e.o_id, 40) < 20 THEN 'да'
            ELSE 'ok' END,
       0, 0, 0, 0, 0, 0
  FROM demo_entry e
  JOIN accounts_dep.oper o ON o.id = e.o_id
  JOIN accounts_dep.vid_oper v ON v.id = o.vid
 ORDER BY e.d, e.smena, e.w_id, e.rn;

-- Today: one entry hidden from the journal ("ta") and one without an
-- acceptance mark at all; neither is listed.
UPDATE accounts_dep.smena SET ok = 'ta'
 WHERE id = (SELECT min(id) FROM accounts_dep.smena WHERE data = current_date AND smena = 1 AND w_id <> 3);
UPDATE accounts_dep.smena SET ok = NULL
 WHERE id = (SELECT max(id) FROM accounts_dep.smena WHERE data = current_date AND smena = 1 AND w_id <> 3);
-- Accepted entries of the last days.
UPDATE accounts_dep.smena SET ok = 'ok'
 WHERE data > current_date - 3 AND data < current_date AND smena IN (1, 2);

------------------------------------------------------------------------------
-- Maintenance work (7777) and average piecework (7778)
------------------------------------------------------------------------------

-- Maintenance on some days, booked to the service group or to the product
-- group being repaired; a few night entries.
INSERT INTO accounts_dep.fatigue
    (id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)
SELECT CASE WHEN pg_temp.pick('fn' || w.id || dd.d, 3) = 0 THEN 101 + pg_temp.pick('fi' || w.id || dd.d, 6) ELSE 7777 END,
       7777, w.id, dd.d,
       extract(month FROM dd.d), extract(year FROM dd.d), 1,
       2 + pg_temp.pick('fc' || w.id || dd.d, 5),
       250 * CASE WHEN dd.day_off THEN 2 ELSE 1 END
           * CASE WHEN pg_temp.pick('fnight' || w.id || dd.d, 5) = 0 THEN 1.2 ELSE 1 END,
       CASE WHEN dd.day_off THEN 1 ELSE 0 END,
       CASE WHEN pg_temp.pick('fnight' || w.id || dd.d, 5) = 0 THEN 1 ELSE 0 END
  FROM demo_worker w, demo_day dd
 WHERE pg_temp.pick('f' || w.id || dd.d, 25) = 0
    OR (dd.d = current_date AND w.id IN (4, 17));

-- Average piecework for workers who had a day of idle time: paid at their
-- average rate on their main product group of that month.
INSERT INTO accounts_dep.fatigue
    (id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)
SELECT x.item, 7778, x.w_id, x.d, extract(month FROM x.d), extract(year FROM x.d), 1,
       8, 300, 0, 0
  FROM (SELECT DISTINCT ON (s.w_id, dd.d) s.w_id, dd.d, g.id_class_item AS item
          FROM demo_day dd
          JOIN accounts_dep.smena s
            ON date_trunc('month', s.data) = date_trunc('month', dd.d)
          JOIN cmn_gds_and_srv.gds_and_srv g ON g.id = s.i_id
         WHERE NOT dd.day_off
           AND pg_temp.pick('sd' || s.w_id || dd.d, 40) = 0
         ORDER BY s.w_id, dd.d, g.id_class_item) x;

-- Average prices of every month, as the maintenance journal computes them.
DO $$
DECLARE
    m date;
BEGIN
    FOR m IN SELECT generate_series(date_trunc('month', current_date) - interval '2 months',
                                    date_trunc('month', current_date), interval '1 month')::date
    LOOP
        -- The exact average times the entry's day-off and night factors, rounded once.
        UPDATE accounts_dep.fatigue f SET price = round(coalesce((
            SELECT CASE WHEN coalesce(sum(s.time), 0) = 0 THEN 0
                        ELSE sum((s.kol_vo - s.brak) * s.cena)::numeric / sum(s.time) END
              FROM cmn_classifier.item i, accounts_dep.smena s, accounts_dep.izdel gas, accounts_dep.person p
             WHERE i.id_level = 2 AND s.i_id = gas.id AND gas.id_class_item = i.id
               AND s.data < (m + interval '1 month')::date AND s.data >= m
               AND p.id = s.w_id AND p.id = f.id_p AND i.id = f.id_nom
             GROUP BY i.s_caption, i.id, p.id), 0)
            * CASE WHEN f.i_holiday <> 0 THEN 2 ELSE 1 END
            * CASE WHEN f.i_night <> 0 THEN 1.2 ELSE 1 END, 2)
         WHERE i_mnth = extract(month FROM m) AND i_year = extract(year FROM m) AND id_o = 7778;
    END LOOP;
END
$$;

------------------------------------------------------------------------------
-- Version record
------------------------------------------------------------------------------

INSERT INTO accounts_dep.ver (d, t, delim) VALUES (0, 0, '.');

------------------------------------------------------------------------------
-- The organisation's details for the printed forms
------------------------------------------------------------------------------

UPDATE accounts_dep.organisation
   SET name = 'ООО "Весна-Металл"', department = 'Цех металлоконструкций', okpo = '12345678',
       responsible_position = 'Табельщик', responsible_name = 'Иванова Т.С.',
       head_position = 'Начальник цеха', head_name = 'Петров А.В.',
       hr_position = 'Специалист по кадрам', hr_name = 'Сидорова Е.Н.'
 WHERE id = 1;
