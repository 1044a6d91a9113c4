-- The timesheet cells of the month (variables m, y) against the day's entries, shift rows
-- and maintenance rows: one row each with the number of cells that differ. Every committed
-- state must show none, so the soak runs it while the clients work, too.
SELECT 'shift cells equal the day''s entries' AS invariant, count(*) AS broken
  FROM (SELECT h.w_id, h.smena, x.day, coalesce(x.hours, 0) AS hours
          FROM accounts_dep.h_tabel h
         CROSS JOIN LATERAL (VALUES (1, h.d1), (2, h.d2), (3, h.d3), (4, h.d4), (5, h.d5), (6, h.d6), (7, h.d7), (8, h.d8), (9, h.d9), (10, h.d10), (11, h.d11), (12, h.d12), (13, h.d13), (14, h.d14), (15, h.d15), (16, h.d16), (17, h.d17), (18, h.d18), (19, h.d19), (20, h.d20), (21, h.d21), (22, h.d22), (23, h.d23), (24, h.d24), (25, h.d25), (26, h.d26), (27, h.d27), (28, h.d28), (29, h.d29), (30, h.d30), (31, h.d31)) AS x(day, hours)
         WHERE h.month = :m AND h.year = :y AND h.smena > 0) c
  FULL JOIN (SELECT w_id, smena, extract(day FROM data)::int AS day, sum("time") AS hours
               FROM accounts_dep.smena
              WHERE extract(month FROM data) = :m AND extract(year FROM data) = :y
              GROUP BY 1, 2, 3) s USING (w_id, smena, day)
 WHERE coalesce(c.hours, 0) <> coalesce(s.hours, 0)
UNION ALL
SELECT 'maintenance cells equal the day''s entries', count(*)
  FROM (SELECT h.w_id, h.i_type, h.i_night, x.day, coalesce(x.hours, 0) AS hours
          FROM accounts_dep.h_tabel h
         CROSS JOIN LATERAL (VALUES (1, h.d1), (2, h.d2), (3, h.d3), (4, h.d4), (5, h.d5), (6, h.d6), (7, h.d7), (8, h.d8), (9, h.d9), (10, h.d10), (11, h.d11), (12, h.d12), (13, h.d13), (14, h.d14), (15, h.d15), (16, h.d16), (17, h.d17), (18, h.d18), (19, h.d19), (20, h.d20), (21, h.d21), (22, h.d22), (23, h.d23), (24, h.d24), (25, h.d25), (26, h.d26), (27, h.d27), (28, h.d28), (29, h.d29), (30, h.d30), (31, h.d31)) AS x(day, hours)
         WHERE h.month = :m AND h.year = :y AND h.smena = 0) c
  FULL JOIN (SELECT id_p::int AS w_id, id_o::int AS i_type, i_night,
                    extract(day FROM d_date)::int AS day, sum(cnt) AS hours
               FROM accounts_dep.fatigue
              WHERE i_mnth = :m AND i_year = :y
              GROUP BY 1, 2, 3, 4) s USING (w_id, i_type, i_night, day)
 WHERE coalesce(c.hours, 0) <> coalesce(s.hours, 0);
