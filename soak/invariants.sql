-- What must hold after a soak, checked with plain statements over the tables, independent
-- of the code that writes the cells. Variables: m, y (the month the clients worked in).
-- Expects the temporary tables soak_op and soak_expect filled by scripts/soak.sh.
-- One row per invariant: its name and how many rows break it.

CREATE TEMP VIEW soak_shift_cells AS
SELECT h.w_id, h.smena, x.day, coalesce(x.hours, 0) AS hours
  FROM accounts_dep.h_tabel h
  CROSS JOIN LATERAL (VALUES (1, h.d1), (2, h.d2), (3, h.d3), (4, h.d4), (5, h.d5), (6, h.d6),
        (7, h.d7), (8, h.d8), (9, h.d9), (10, h.d10), (11, h.d11), (12, h.d12), (13, h.d13),
        (14, h.d14), (15, h.d15), (16, h.d16), (17, h.d17), (18, h.d18), (19, h.d19),
        (20, h.d20), (21, h.d21), (22, h.d22), (23, h.d23), (24, h.d24), (25, h.d25),
        (26, h.d26), (27, h.d27), (28, h.d28), (29, h.d29), (30, h.d30), (31, h.d31))
        AS x(day, hours)
 WHERE h.month = :m AND h.year = :y AND h.smena > 0;

CREATE TEMP VIEW soak_kind_cells AS
SELECT h.w_id, h.i_type, h.i_night, x.day, coalesce(x.hours, 0) AS hours
  FROM accounts_dep.h_tabel h
  CROSS JOIN LATERAL (VALUES (1, h.d1), (2, h.d2), (3, h.d3), (4, h.d4), (5, h.d5), (6, h.d6),
        (7, h.d7), (8, h.d8), (9, h.d9), (10, h.d10), (11, h.d11), (12, h.d12), (13, h.d13),
        (14, h.d14), (15, h.d15), (16, h.d16), (17, h.d17), (18, h.d18), (19, h.d19),
        (20, h.d20), (21, h.d21), (22, h.d22), (23, h.d23), (24, h.d24), (25, h.d25),
        (26, h.d26), (27, h.d27), (28, h.d28), (29, h.d29), (30, h.d30), (31, h.d31))
        AS x(day, hours)
 WHERE h.month = :m AND h.year = :y AND h.smena = 0;

\pset footer off
SELECT 'shift cells equal the day''s entries' AS invariant, count(*) AS broken
  FROM soak_shift_cells c
  FULL JOIN (SELECT w_id, smena, extract(day FROM data)::int AS day, sum("time") AS hours
               FROM accounts_dep.smena
              WHERE extract(month FROM data) = :m AND extract(year FROM data) = :y
              GROUP BY 1, 2, 3) s USING (w_id, smena, day)
 WHERE coalesce(c.hours, 0) <> coalesce(s.hours, 0)
UNION ALL
SELECT 'maintenance cells equal the day''s entries', count(*)
  FROM soak_kind_cells c
  FULL JOIN (SELECT id_p::int AS w_id, id_o::int AS i_type, i_night,
                    extract(day FROM d_date)::int AS day, sum(cnt) AS hours
               FROM accounts_dep.fatigue
              WHERE i_mnth = :m AND i_year = :y
              GROUP BY 1, 2, 3, 4) s USING (w_id, i_type, i_night, day)
 WHERE coalesce(c.hours, 0) <> coalesce(s.hours, 0)
UNION ALL
SELECT 'no timesheet row key twice', count(*)
  FROM (SELECT 1 FROM accounts_dep.h_tabel
         GROUP BY w_id, smena, i_type, i_night, month, year HAVING count(*) > 1) d
UNION ALL
SELECT 'every save told done is stored', count(*)
  FROM soak_expect e
  LEFT JOIN accounts_dep.smena s ON e.tbl = 'smena' AND s.id = e.id
  LEFT JOIN accounts_dep.fatigue f ON e.tbl = 'fatigue' AND f.id = e.id
 WHERE e.kind = 'expect'
   AND NOT CASE e.tbl
           WHEN 'smena' THEN s.id IS NOT NULL AND s.color::text = e.tag
                             AND coalesce(s.ok, '') = coalesce(e.ok, '')
           ELSE f.id IS NOT NULL AND f.price = e.tag::numeric END
UNION ALL
SELECT 'every delete told done is gone', count(*)
  FROM soak_expect e
 WHERE e.kind = 'gone'
   AND CASE e.tbl
       WHEN 'smena' THEN EXISTS (SELECT 1 FROM accounts_dep.smena s WHERE s.id = e.id)
       ELSE EXISTS (SELECT 1 FROM accounts_dep.fatigue f WHERE f.id = e.id) END
UNION ALL
SELECT 'every refusal told with a sentence', count(*)
  FROM soak_op WHERE outcome IN ('refused', 'failed', 'unknown') AND coalesce(message, '') = ''
UNION ALL
SELECT 'no entry without its worker or operation', count(*)
  FROM (SELECT s.id FROM accounts_dep.smena s
          LEFT JOIN accounts_dep.person p ON p.id = s.w_id
          LEFT JOIN accounts_dep.oper o ON o.id = s.o_id
         WHERE p.id IS NULL OR (s.o_id IS NOT NULL AND o.id IS NULL)
        UNION ALL
        SELECT f.id FROM accounts_dep.fatigue f
          LEFT JOIN accounts_dep.person p ON p.id = f.id_p
         WHERE p.id IS NULL) x;
