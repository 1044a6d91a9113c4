-- The timesheet rows that rebuilding every month from the entries leaves: one row per
-- worker, shift and month from the shift entries, one per worker, kind, night flag and
-- month from the maintenance entries, each day's cell the sum of that day's hours.
-- Included (psql \ir) by the data scripts after they have written their entries into an
-- otherwise empty timesheet table.

DO $$
DECLARE
    days text;
BEGIN
    SELECT string_agg(format('d%s', n), ', ' ORDER BY n) INTO days
      FROM generate_series(1, 31) n;

    -- Shift rows: hours per worker, shift and day of the month.
    EXECUTE format(
        'INSERT INTO accounts_dep.h_tabel (w_id, smena, month, year, %s) '
        'SELECT w_id, smena, extract(month FROM data), extract(year FROM data), %s '
        '  FROM accounts_dep.smena '
        ' GROUP BY w_id, smena, extract(month FROM data), extract(year FROM data) '
        ' ORDER BY 3, 4, 1, 2',
        days,
        (SELECT string_agg(format('sum("time") FILTER (WHERE extract(day FROM data) = %s)', n), ', ' ORDER BY n)
           FROM generate_series(1, 31) n));

    -- Maintenance rows: hours per worker, kind, night flag and day.
    EXECUTE format(
        'INSERT INTO accounts_dep.h_tabel (w_id, i_type, i_night, month, year, %s) '
        'SELECT id_p, id_o, i_night, i_mnth, i_year, %s '
        '  FROM accounts_dep.fatigue '
        ' GROUP BY id_p, id_o, i_night, i_mnth, i_year '
        ' ORDER BY 4, 5, 1, 2, 3',
        days,
        (SELECT string_agg(format('sum(cnt) FILTER (WHERE extract(day FROM d_date) = %s)', n), ', ' ORDER BY n)
           FROM generate_series(1, 31) n));
END
$$;
