-- Demonstration data, the last step: loaded after app/demo_data.sql and after
-- tabel-timesheets has made the timesheets from its entries (a closed month's
-- timesheet cannot be rebuilt).
--   psql -v ON_ERROR_STOP=1 -d <database> -f app/demo_closed_month.sql

------------------------------------------------------------------------------
-- The month before the previous one is paid and closed; its history starts
-- with the closing. The previous month stays open.
------------------------------------------------------------------------------

TRUNCATE accounts_dep.change_log;
INSERT INTO accounts_dep.closed_month (year, month, closed_by, closed_at)
SELECT extract(year FROM m), extract(month FROM m), 'Администратор (бухгалтерия)',
       least(m + interval '2 months' + interval '3 days 10 hours', now())
  FROM (SELECT (date_trunc('month', current_date) - interval '2 months')::date AS m) x;
