-- Brings a database made by an earlier version of the program up to this one: closed months
-- and the change history, the entries' group statistics, the server's guards (the worker
-- mirror, the version stamp, closing months, saving products, what a row may hold) and the
-- rights of the program's group roles. Loading it again changes nothing.
--
-- Load as the owner of the database (creating the group roles the first time needs the
-- CREATEROLE right), after checking the rows as the README's "Rights" section tells:
--   psql -v ON_ERROR_STOP=1 -d <database> -f app/upgrade.sql

\ir closing.sql
\ir calendar.sql
\ir statistics.sql
\ir guards.sql
\ir grants.sql
