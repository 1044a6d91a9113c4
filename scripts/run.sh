#!/usr/bin/env bash
# Builds the program and starts it against the database vesk_erp on
# 127.0.0.1:5432, the address the program connects to when started without
# arguments.
#
# When nothing listens on 127.0.0.1:5432, a private cluster is created in
# .pgdata/ of the checkout (or, when the postgres user cannot reach the
# checkout, in /var/tmp/tabel-pgdata-<uid>), loaded with the schema and the
# demonstration data the first time, started for the run and stopped when the
# program exits.
#
# When a server already listens there, the script makes sure the role sys and
# the database vesk_erp exist (as the local postgres user, or as sys), loads
# them the first time and leaves the server alone.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
# shellcheck source=scripts/pg.sh
. "$ROOT/scripts/pg.sh"

DB=vesk_erp
PORT=5432

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "no display: run under a desktop session or xvfb-run scripts/run.sh" >&2
    exit 2
fi

"$ROOT/scripts/setup.sh"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2

schema_loaded() {
    [ "$(pg_psql "$PORT" "$DB" -tA -c \
        "select count(*) from pg_namespace where nspname = 'accounts_dep'" 2>/dev/null)" = 1 ]
}

db_exists() {
    [ "$(pg_psql "$PORT" postgres -tA -c \
        "select count(*) from pg_database where datname = '$DB'" 2>/dev/null)" = 1 ]
}

prepare_database() {
    if ! db_exists; then
        echo "Creating the database $DB with the demonstration data."
        pg_load_db "$PORT" "$DB" app/schema.sql app/demo_data.sql
    elif ! schema_loaded; then
        echo "Loading the schema and the demonstration data into $DB."
        pg_psql "$PORT" "$DB" -f app/schema.sql >/dev/null
        pg_psql "$PORT" "$DB" -f app/demo_data.sql >/dev/null
    fi
}

if pg_port_busy "$PORT"; then
    echo "A server already listens on 127.0.0.1:$PORT; using it."
    if ! pg_psql "$PORT" postgres -c 'select 1' >/dev/null 2>&1; then
        # Try the local postgres superuser (peer authentication on the
        # default socket) to create the role sys.
        if [ "$(id -u)" -eq 0 ] && id postgres >/dev/null 2>&1; then
            pg_create_sys "$PORT" plain >/dev/null 2>&1 || true
        fi
    fi
    if ! pg_psql "$PORT" postgres -c 'select 1' >/dev/null 2>&1; then
        cat >&2 <<MSG
Cannot log in to the server on 127.0.0.1:$PORT as sys (password wexapol).
Create the role and the database once as a database superuser, e.g.:
    sudo -u postgres psql -c "CREATE ROLE sys LOGIN CREATEDB PASSWORD 'wexapol'"
    sudo -u postgres psql -c "ALTER ROLE sys SET datestyle = 'ISO, DMY'"
and run this script again (it then creates and loads $DB), or start the
program against another server: build/app/tabel <database> <server>
MSG
        exit 1
    fi
    prepare_database
else
    PGDATA_DIR="$ROOT/.pgdata"
    if ! pg_dir_for_postgres "$PGDATA_DIR"; then
        PGDATA_DIR="/var/tmp/tabel-pgdata-$(id -u)"
        echo "The postgres user cannot reach $ROOT; keeping the cluster in $PGDATA_DIR."
    fi
    pg_init "$PGDATA_DIR"
    pg_start "$PGDATA_DIR" "$PORT"
    trap 'pg_stop "$PGDATA_DIR"' EXIT
    pg_create_sys "$PORT" superuser "$PGDATA_DIR/sock" >/dev/null
    prepare_database
fi

echo "Starting the program (demo access code 0264)."
set +e
"$ROOT/build/app/tabel"
status=$?
set -e
exit "$status"
