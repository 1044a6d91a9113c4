-- Statistics the server keeps on the shop's tables for its plans. Loaded by schema.sql;
-- loads alone into an older database (nothing happens where they exist already).

-- The reports sum a period's entries per worker, product, operation and colour. Without
-- this the server guesses the number of such groups from the columns one by one (for a
-- plant's year: half a million against 36,000 found), and then will not share the summing
-- between its processes. Computed by ANALYZE, so it costs a save nothing.
CREATE STATISTICS IF NOT EXISTS accounts_dep.smena_groups (ndistinct) ON w_id, i_id, o_id, color
    FROM accounts_dep.smena;
