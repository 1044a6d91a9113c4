-- The timesheet of the month (variables m, y) against the entries, keyed as the writers key
-- the cells: one row per invariant with the number of cells or rows that break it. Every
-- committed state must show none, so the soak runs it while the clients work, too.
--   * a shift cell (smena 1..4, no kind, no night flag) holds the hours of the worker's
--     entries of that shift and date;
--   * a maintenance cell (smena 0, kind 7777 or 7778, night flag 0 or 1) holds the hours of
--     his maintenance entries of that kind and flag dated (d_date) that day;
--   * all of a worker's rows of the month, whatever their key, add up on each day to his
--     shift hours plus his maintenance hours: a row of another key (a shift row copied under
--     a night flag, a shift outside 1 to 4) cannot hide;
--   * no row has any other key, and no entry a shift outside 1 to 4.
WITH cells AS (
    SELECT h.w_id, h.smena, h.i_type, h.i_night, x.day, coalesce(x.hours, 0) AS hours
      FROM accounts_dep.h_tabel h
     CROSS JOIN LATERAL (VALUES (1, h.d1), (2, h.d2), (3, h.d3), (4, h.d4), (5, h.d5), (6, h.d6), (7, h.d7), (8, h.d8), (9, h.d9), (10, h.d10), (11, h.d11), (12, h.d12), (13, h.d13), (14, h.d14), (15, h.d15), (16, h.d16), (17, h.d17), (18, h.d18), (19, h.d19), (20, h.d20), (21, h.d21), (22, h.d22), (23, h.d23), (24, h.d24), (25, h.d25), (26, h.d26), (27, h.d27), (28, h.d28), (29, h.d29), (30, h.d30), (31, h.d31)) AS x(day, hours)
     WHERE h.month = :m AND h.year = :y),
shifts AS (
    SELECT w_id, smena, extract(day FROM data)::int AS day, sum("time") AS hours
      FROM accounts_dep.smena
     WHERE data >= make_date(:y, :m, 1) AND data < make_date(:y, :m, 1) + interval '1 month'
     GROUP BY 1, 2, 3),
kinds AS (
    SELECT id_p::int AS w_id, id_o::int AS i_type, i_night,
           extract(day FROM d_date)::int AS day, sum(cnt) AS hours
      FROM accounts_dep.fatigue
     WHERE d_date >= make_date(:y, :m, 1) AND d_date < make_date(:y, :m, 1) + interval '1 month'
     GROUP BY 1, 2, 3, 4)
SELECT 'shift cells equal the day''s entries' AS invariant, count(*) AS broken
  FROM (SELECT w_id, smena, day, hours FROM cells
         WHERE smena BETWEEN 1 AND 4 AND i_type = 0 AND i_night = 0) c
  FULL JOIN shifts s USING (w_id, smena, day)
 WHERE coalesce(c.hours, 0) <> coalesce(s.hours, 0)
UNION ALL
SELECT 'maintenance cells equal the day''s entries', count(*)
  FROM (SELECT w_id, i_type, i_night, day, hours FROM cells WHERE smena = 0) c
  FULL JOIN kinds k USING (w_id, i_type, i_night, day)
 WHERE coalesce(c.hours, 0) <> coalesce(k.hours, 0)
UNION ALL
SELECT 'each worker''s day: all his rows hold his shift and maintenance hours', count(*)
  FROM (SELECT w_id, day, sum(hours) AS hours FROM cells GROUP BY 1, 2) c
  FULL JOIN (SELECT w_id, day, sum(hours) AS hours
               FROM (SELECT w_id, day, hours FROM shifts
                     UNION ALL
                     SELECT w_id, day, hours FROM kinds) e
              GROUP BY 1, 2) e USING (w_id, day)
 WHERE coalesce(c.hours, 0) <> coalesce(e.hours, 0)
UNION ALL
SELECT 'no timesheet row of a shift outside 1 to 4 or copied under another kind or night flag',
       count(*)
  FROM accounts_dep.h_tabel h
 WHERE h.month = :m AND h.year = :y
   AND NOT ((h.smena BETWEEN 1 AND 4 AND h.i_type = 0 AND h.i_night = 0)
            OR (h.smena = 0 AND h.i_type IN (7777, 7778) AND h.i_night IN (0, 1)))
UNION ALL
SELECT 'no entry of a shift outside 1 to 4', count(*)
  FROM accounts_dep.smena
 WHERE data >= make_date(:y, :m, 1) AND data < make_date(:y, :m, 1) + interval '1 month'
   AND (smena IS NULL OR smena NOT BETWEEN 1 AND 4);
