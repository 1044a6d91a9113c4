#!/usr/bin/env bash
# The concurrency soak: N clients, each on a connection of its own, save, move, delete and
# accept shift entries and save and delete maintenance entries through the shop layer's
# stores for S seconds; one of them (the clerk) also rebuilds the month's timesheets. With
# --faults, backends are ended at random while they work and the server is restarted once.
# Then the invariants are checked with plain SQL (soak/invariants.sql) and a table is
# printed: operations per kind, refusals, failures, latency, retries, faults, invariants.
# The exit status is non-zero when an invariant fails or a client broke down.
#
#   scripts/soak.sh [--clients N] [--seconds S] [--seed K] [--faults]
#
# Server: the one TABEL_PGHOST / TABEL_PGPORT name (user sys), in the database
# TABEL_PGDATABASE, or, without it, in a fresh copy of the template tabel_demo that is
# dropped afterwards; without TABEL_PGHOST a throwaway cluster with the demo data.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
. "$ROOT/scripts/pg.sh"

CLIENTS=20
SECONDS_RUN=60
SEED=20261210
FAULTS=0
while [ $# -gt 0 ]; do
    case $1 in
    --clients) CLIENTS=$2; shift 2 ;;
    --seconds) SECONDS_RUN=$2; shift 2 ;;
    --seed) SEED=$2; shift 2 ;;
    --faults) FAULTS=1; shift ;;
    *) echo "usage: $0 [--clients N] [--seconds S] [--seed K] [--faults]" >&2; exit 2 ;;
    esac
done

CLIENT_BIN=${TABEL_SOAK_CLIENT:-}
if [ -z "$CLIENT_BIN" ]; then
    "$ROOT/scripts/setup.sh"
    [ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j2 --target tabel_soak_client tabel-timesheets >/dev/null
    CLIENT_BIN="$ROOT/build/soak/tabel_soak_client"
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabel-soak.XXXXXX")
OWN_DB=
cleanup() {
    [ -n "$OWN_DB" ] && pg_psql "$PORT" postgres -c "DROP DATABASE IF EXISTS \"$OWN_DB\" WITH (FORCE)" >/dev/null 2>&1
    [ -n "${TABEL_SOAK_KEEP:-}" ] && echo "kept $WORK" || rm -rf "$WORK"
    if [ -n "${PG_THROWAWAY_WORK:-}" ]; then pg_throwaway_remove; fi
}
trap cleanup EXIT

OURS=0
if [ -n "${TABEL_PGHOST:-}" ]; then
    PORT=${TABEL_PGPORT:-5432}
    [ "$TABEL_PGHOST" = 127.0.0.1 ] || [ "$TABEL_PGHOST" = localhost ] || {
        echo "the soak works on a server on this machine only" >&2; exit 2; }
    if [ -n "${TABEL_PGDATABASE:-}" ]; then
        DB=$TABEL_PGDATABASE
    else
        DB="tabel_soak_$$"
        OWN_DB=$DB
        pg_psql "$PORT" postgres -c "CREATE DATABASE \"$DB\" TEMPLATE tabel_demo" >/dev/null
    fi
else
    START_OPTS=(-c fsync=off -c synchronous_commit=off -c max_connections=120)
    pg_throwaway soak 36432 "${START_OPTS[@]}"
    trap cleanup EXIT
    PORT=$PG_THROWAWAY_PORT
    DB=tabel_soak
    pg_load_demo "$PORT" "$DB"
    OURS=1
fi

sql() { pg_psql "$PORT" "$DB" -tA "$@"; }

# The pools the clients share: two workers and two days (so that they meet on cells),
# products with
# their operations, the first days of the current month, which must be open.
FROM=$(date +%Y-%m-01)
MONTH=$((10#$(date +%m)))
YEAR=$(date +%Y)
if [ "$(sql -c "select count(*) from accounts_dep.closed_month where year=$YEAR and month=$MONTH")" != 0 ]; then
    echo "the month $MONTH.$YEAR is closed; the soak needs an open month" >&2
    exit 2
fi
WORKERS=$(sql -c "select string_agg(id::text, ',') from (select id from accounts_dep.person order by id limit 2) w")
OPERATIONS=$(sql -c "select string_agg(i_id || ',' || id, ',') from (select o.i_id, o.id from accounts_dep.oper o where o.vid < 7777 and exists (select 1 from accounts_dep.norm n where n.o_id = o.id) order by o.id limit 6) x")
[ -n "$WORKERS" ] && [ -n "$OPERATIONS" ] || { echo "the database has no workers or operations" >&2; exit 2; }

echo "Soak: $CLIENTS clients, $SECONDS_RUN s, seed $SEED, faults $([ $FAULTS = 1 ] && echo on || echo off); database $DB on 127.0.0.1:$PORT"

PIDS=()
for ((c = 0; c < CLIENTS; c++)); do
    clerk=0
    [ "$c" = 0 ] && [ "$CLIENTS" -gt 1 ] && clerk=1
    "$CLIENT_BIN" --client "$c" --seed "$SEED" --seconds "$SECONDS_RUN" --clerk "$clerk" \
        --host 127.0.0.1 --port "$PORT" --db "$DB" --user "$PG_SYS_USER" \
        --password "$PG_SYS_PASSWORD" --workers "$WORKERS" --operations "$OPERATIONS" \
        --from "$FROM" --days 2 --log "$WORK/client$c.log" 2>"$WORK/client$c.err" &
    PIDS+=($!)
done

# While the clients work, the cells are compared with the entries again and again: every
# committed state must agree, also between two saves that would heal a lost sum.
(
    checks=0 broken=0
    end=$(($(date +%s) + SECONDS_RUN))
    while [ "$(date +%s)" -lt "$end" ]; do
        n=$(pg_psql "$PORT" "$DB" -tA -F ' ' -v m="$MONTH" -v y="$YEAR" -f soak/cells.sql 2>/dev/null |
            awk '{s += $NF} END {print s + 0}') || n=
        if [ -n "$n" ]; then
            checks=$((checks + 1))
            [ "$n" = 0 ] || broken=$((broken + 1))
        fi
        echo "$checks $broken" >"$WORK/moments"
        sleep 0.3
    done
) &
WATCH=$!

TERMINATED=0
RESTARTS=0
if [ "$FAULTS" = 1 ]; then
    start=$(date +%s)
    restarted=0
    while [ $(($(date +%s) - start)) -lt "$SECONDS_RUN" ]; do
        sleep 1.5
        n=$(sql -c "select count(pg_terminate_backend(pid)) from (select pid from pg_stat_activity where datname = '$DB' and pid <> pg_backend_pid() and backend_type = 'client backend' order by random() limit 2) x" 2>/dev/null || echo 0)
        TERMINATED=$((TERMINATED + ${n:-0}))
        if [ "$restarted" = 0 ] && [ $(($(date +%s) - start)) -ge $((SECONDS_RUN / 2)) ]; then
            restarted=1
            if [ "$OURS" = 1 ]; then
                pg_stop "$PG_THROWAWAY_DATA"
                pg_start "$PG_THROWAWAY_DATA" "$PORT" "${START_OPTS[@]}"
                RESTARTS=1
            else
                echo "(the server is not the soak's own: not restarted)"
            fi
        fi
    done
fi

BROKE=0
wait "$WATCH" || true
read -r CHECKS BROKEN_MOMENTS <"$WORK/moments" || { CHECKS=0; BROKEN_MOMENTS=0; }
for i in "${!PIDS[@]}"; do
    if ! wait "${PIDS[$i]}"; then
        echo "client $i broke down: $(cat "$WORK/client$i.err")" >&2
        BROKE=$((BROKE + 1))
    fi
done

cat "$WORK"/client*.log >"$WORK/all.log"
grep -E '^[0-9]' "$WORK/all.log" >"$WORK/ops.txt" || true
grep -E '^(expect|gone);' "$WORK/all.log" | awk -F';' 'BEGIN{OFS=";"} {print $1,$2,$3,$4,$5}' >"$WORK/expect.txt" || true
RETRIES=$(grep -E '^retries;' "$WORK/all.log" | awk -F';' '{s += $3} END {print s + 0}')
RESOLVED=$(grep -cE '^resolved;' "$WORK/all.log" || true)

cat >"$WORK/check.sql" <<SQL
CREATE TEMP TABLE soak_op (client int, seq int, kind text, outcome text, ms double precision,
                           tbl text, id bigint, message text);
CREATE TEMP TABLE soak_expect (kind text, tbl text, id bigint, tag text, ok text);
\\copy soak_op FROM '$WORK/ops.txt' WITH (FORMAT text, DELIMITER ';', NULL '')
\\copy soak_expect FROM '$WORK/expect.txt' WITH (FORMAT text, DELIMITER ';', NULL '')
\\pset footer off
SELECT coalesce(kind, 'all') AS "operation", count(*) AS "done+refused+failed+unknown",
       count(*) FILTER (WHERE outcome = 'done') AS "done",
       count(*) FILTER (WHERE outcome = 'refused') AS "refused (conflicts)",
       count(*) FILTER (WHERE outcome = 'failed') AS "failed",
       count(*) FILTER (WHERE outcome = 'unknown') AS "unknown",
       round(count(*) FILTER (WHERE outcome = 'done') / $SECONDS_RUN.0, 1) AS "done per s",
       round(percentile_cont(0.5) WITHIN GROUP (ORDER BY ms)::numeric, 1) AS "p50 ms",
       round(percentile_cont(0.99) WITHIN GROUP (ORDER BY ms)::numeric, 1) AS "p99 ms"
  FROM soak_op GROUP BY ROLLUP (kind) ORDER BY kind IS NULL, kind;
\\pset format unaligned
\\pset fieldsep '\t'
\\pset tuples_only on
\\o $WORK/invariants.txt
\\i $ROOT/soak/invariants.sql
SQL
pg_psql "$PORT" "$DB" -v m="$MONTH" -v y="$YEAR" -f "$WORK/check.sql" | sed '/^$/d'

echo "Retries of deadlocks and serialisation failures: $RETRIES"
echo "Faults injected: $TERMINATED backends ended, $RESTARTS server restart(s); operations cut off at commit and resolved afterwards: $RESOLVED"
echo "Invariants:"
FAILED=0
while IFS=$'\t' read -r name broken; do
    [ -z "$name" ] && continue
    if [ "$broken" = 0 ]; then
        printf '  PASS  %s\n' "$name"
    else
        printf '  FAIL  %s (%s rows)\n' "$name" "$broken"
        FAILED=$((FAILED + 1))
    fi
done <"$WORK/invariants.txt"
if [ "$BROKEN_MOMENTS" = 0 ]; then
    printf '  PASS  cells equal the entries at every moment checked (%s checks)\n' "$CHECKS"
else
    printf '  FAIL  cells differed from the entries at %s of %s moments checked\n' "$BROKEN_MOMENTS" "$CHECKS"
    FAILED=$((FAILED + 1))
fi
if [ "$BROKE" -gt 0 ]; then
    echo "  FAIL  $BROKE client(s) broke down"
    FAILED=$((FAILED + 1))
fi
[ "$FAILED" = 0 ] || exit 1
