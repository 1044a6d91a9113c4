-- What must hold after a soak, checked with plain statements over the tables, independent
-- of the code that writes the cells. Variables: m, y (the month the clients worked in).
-- Expects the temporary tables soak_op and soak_expect filled by scripts/soak.sh.
-- One row per invariant: its name and how many rows break it.

\pset footer off
\ir cells.sql
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
