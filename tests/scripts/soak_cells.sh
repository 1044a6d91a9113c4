#!/usr/bin/env bash
# The soak's timesheet invariant (soak/cells.sql) on small months: a timesheet kept as the
# writers keep it breaks nothing; each wrong row or cell is found.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$ROOT/scripts/pg.sh"
PORT=$TABEL_PGPORT
DB="t_soak_cells_$$"
pg_psql "$PORT" postgres -c "CREATE DATABASE $DB TEMPLATE tabel_schema" >/dev/null
trap 'pg_psql "$PORT" postgres -c "DROP DATABASE IF EXISTS $DB WITH (FORCE)" >/dev/null' EXIT

# May 2031: worker 801 works 5 h in shift 2 and 3 h of maintenance at night on the 14th;
# the night entry was written with the month of another date, but its day is what counts.
pg_psql "$PORT" "$DB" <<'SQL' >/dev/null
INSERT INTO accounts_dep.person (id, fio) VALUES (801, 'Клеткин К.К.');
INSERT INTO accounts_dep.smena (w_id, data, smena, "time") VALUES (801, '2031-05-14', 2, 5);
INSERT INTO accounts_dep.fatigue (id_o, id_p, d_date, i_mnth, i_year, cnt, price, i_night)
VALUES (7777, 801, '2031-05-14', 4, 2031, 3, 300, 1);
INSERT INTO accounts_dep.h_tabel (w_id, month, year, smena, i_type, i_night, d14)
VALUES (801, 5, 2031, 2, 0, 0, 5), (801, 5, 2031, 0, 7777, 1, 3);
SQL

broken() { # the invariants that fail after the statement, rolled back
    pg_psql "$PORT" "$DB" -tA -F '|' -v m=5 -v y=2031 \
        -c 'BEGIN' -c "$1" -f "$ROOT/soak/cells.sql" -c 'ROLLBACK' |
        awk -F'|' 'NF == 2 && $2 != 0 {print $1}' | LC_ALL=C sort | tr '\n' '/'
}

fail=0
check() { # name, statement, the invariants expected to fail
    local got
    got=$(broken "$2")
    if [ "$got" != "$3" ]; then
        echo "$1: expected [$3], got [$got]" >&2
        fail=1
    fi
}
WHOLE="each worker's day: all his rows hold his shift and maintenance hours/"
KEYS="no timesheet row of a shift outside 1 to 4 or copied under another kind or night flag/"
check "as written" "SELECT" ""
check "shift row copied under the night flag" \
    "INSERT INTO accounts_dep.h_tabel (w_id, month, year, smena, i_type, i_night, d14)
     VALUES (801, 5, 2031, 2, 0, 1, 5)" "$WHOLE$KEYS"
check "a shift outside 1 to 4" \
    "INSERT INTO accounts_dep.smena (w_id, data, smena, \"time\") VALUES (801, '2031-05-14', 5, 2);
     INSERT INTO accounts_dep.h_tabel (w_id, month, year, smena, d14) VALUES (801, 5, 2031, 5, 2)" \
    "no entry of a shift outside 1 to 4/$KEYS""shift cells equal the day's entries/"
check "a shift cell short" \
    "UPDATE accounts_dep.h_tabel SET d14 = 4 WHERE smena = 2" \
    "$WHOLE""shift cells equal the day's entries/"
check "maintenance hours under the other night flag" \
    "UPDATE accounts_dep.h_tabel SET i_night = 0 WHERE smena = 0" \
    "maintenance cells equal the day's entries/"
[ "$fail" = 0 ] && echo "soak cells: ok"
exit "$fail"
