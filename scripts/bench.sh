#!/usr/bin/env bash
# Reproduces the Performance table of README.md: builds the benchmark program, starts a
# throwaway PostgreSQL cluster, fills a database with the generated shop (bench/generate.sql,
# size "large" unless BENCH_SIZE says otherwise; built once per run and kept as a template)
# and runs build/bench/tabel_bench on a copy of it. Arguments go to tabel_bench
# (--runs N, --only TEXT, --list).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
# shellcheck source=scripts/pg.sh
. "$ROOT/scripts/pg.sh"

SIZE=${BENCH_SIZE:-large} # demo, large or plant

"$ROOT/scripts/setup.sh"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target tabel_bench tabel-timesheets >&2

pg_throwaway bench 27432
PORT=$PG_THROWAWAY_PORT

TEMPLATE="tabel_$SIZE"
echo "Generating the $SIZE shop (once per run)..." >&2
start=$(date +%s)
pg_load_db "$PORT" "$TEMPLATE" app/schema.sql
pg_psql "$PORT" "$TEMPLATE" -v size="$SIZE" -f bench/generate.sql >/dev/null
pg_timesheets "$PORT" "$TEMPLATE"
pg_psql "$PORT" postgres -c "ALTER DATABASE $TEMPLATE WITH IS_TEMPLATE true"
echo "Generated in $(($(date +%s) - start)) s." >&2

pg_psql "$PORT" postgres -c "CREATE DATABASE tabel_bench TEMPLATE $TEMPLATE"
pg_psql "$PORT" tabel_bench -c "VACUUM ANALYZE" >/dev/null

echo "$(date '+%Y-%m-%d'), $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo), PostgreSQL $(pg_psql "$PORT" postgres -tA -c 'show server_version')" >&2
TABEL_PGHOST=127.0.0.1 TABEL_PGPORT=$PORT TABEL_BENCH_DB=tabel_bench QT_QPA_PLATFORM=offscreen \
    "$ROOT/build/bench/tabel_bench" "$@"
