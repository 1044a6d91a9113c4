#!/usr/bin/env bash
# Builds the program and runs every test against a throwaway PostgreSQL
# cluster that lives only as long as this script.
#
# The tests find the cluster through
#   TABEL_PGHOST=127.0.0.1  TABEL_PGPORT=<port>   (user sys, password wexapol)
# and copy one of two template databases:
#   tabel_schema   the reference schema only (app/schema.sql)
#   tabel_demo     the schema with the demonstration data (app/demo_data.sql, the
#                  timesheets made by tabel-timesheets, app/demo_closed_month.sql)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
# shellcheck source=scripts/pg.sh
. "$ROOT/scripts/pg.sh"

"$ROOT/scripts/setup.sh"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2

pg_throwaway test 25432 -c fsync=off -c synchronous_commit=off -c full_page_writes=off
PORT=$PG_THROWAWAY_PORT

pg_load_db "$PORT" tabel_schema app/schema.sql app/grants.sql
pg_load_demo "$PORT" tabel_demo app/grants.sql
# The windows' tests run the program as a login of the administrators' group role, not as a
# superuser; the rights tests make logins of every group themselves.
pg_create_login "$PORT" tabel_test wexapol tabel_admin
pg_psql "$PORT" postgres \
    -c "ALTER DATABASE tabel_schema WITH IS_TEMPLATE true" \
    -c "ALTER DATABASE tabel_demo WITH IS_TEMPLATE true"

echo "Test cluster on 127.0.0.1:$PORT"
TABEL_PGHOST=127.0.0.1 TABEL_PGPORT=$PORT QT_QPA_PLATFORM=offscreen \
    ctest --test-dir build --output-on-failure

# The Debian package is built and checked as well: its files, its dependencies and the
# packaged program's answer to --version.
"$ROOT/scripts/package.sh"
