#!/usr/bin/env bash
# Builds the program and starts it against the database vesk_erp on
# 127.0.0.1:5432, the address the program connects to when started without
# arguments.
#
# When nothing listens on 127.0.0.1:5432, a private cluster is created in
# .pgdata/ of the checkout (or, when the postgres user cannot reach the
# checkout, in /var/tmp/tabel-pgdata-<uid>), loaded with the schema and the
# demonstration data the first time and started. Several copies of the program
# may run on it at once: each copy is recorded by its PID in the cluster's
# folder, and the last copy to exit stops the cluster.
#
# When a server already listens there, the script makes sure the role sys and
# the database vesk_erp exist (as the local postgres user, or as sys), loads
# them the first time and leaves the server alone: it never stops a server that
# it did not start.
#
# Only the program is built. For trying the script itself, TABEL_PROGRAM names
# another program to start instead (nothing is built then), TABEL_RUN_PORT
# another port and TABEL_RUN_PGDATA another folder for the private cluster.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
# shellcheck source=scripts/pg.sh
. "$ROOT/scripts/pg.sh"

DB=vesk_erp
PORT=${TABEL_RUN_PORT:-5432}
PROGRAM=${TABEL_PROGRAM:-}

if [ -z "$PROGRAM" ]; then
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "no display: run under a desktop session or xvfb-run scripts/run.sh" >&2
        exit 2
    fi
    "$ROOT/scripts/setup.sh"
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j2 --target tabel tabel-timesheets
    PROGRAM="$ROOT/build/app/tabel"
fi

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
        pg_load_demo "$PORT" "$DB"
    elif ! schema_loaded; then
        echo "Loading the schema and the demonstration data into $DB."
        pg_psql "$PORT" "$DB" -f app/schema.sql >/dev/null
        pg_fill_demo "$PORT" "$DB"
    elif [ "$(pg_psql "$PORT" "$DB" -tA -c \
        "select to_regprocedure('accounts_dep.stamp_version(integer,integer)') is not null")" != t ]; then
        echo "Upgrading $DB: closed months, the change history, the server's guards and rights."
        pg_psql "$PORT" "$DB" -f app/upgrade.sql >/dev/null
    fi
    if [ "$(pg_psql "$PORT" "$DB" -tA -c \
        "select to_regclass('accounts_dep.calendar_day') is not null")" != t ]; then
        echo "Adding the organisation's details, the production calendar and the absences to $DB."
        pg_psql "$PORT" "$DB" -f app/calendar.sql >/dev/null
    fi
    if [ "$(pg_psql "$PORT" "$DB" -tA -c \
        "select count(*) from pg_statistic_ext where stxname = 'smena_groups'")" = 0 ]; then
        echo "Adding the entries' group statistics to $DB."
        pg_psql "$PORT" "$DB" -f app/statistics.sql -c "ANALYZE accounts_dep.smena" >/dev/null
    fi
    # The program's rights, given to its group role (again on every start: it costs
    # nothing and follows the schema).
    pg_psql "$PORT" "$DB" -f app/grants.sql >/dev/null
}

# ---- the private cluster, shared by the copies that run on it ----------------
# $USERS holds one file per copy, named by the PID of its run command; the
# file "started" marks a cluster that a run command started. Changes to both
# are made under an exclusive lock on $PGDATA_DIR.lock.

private_dir() {
    if [ -n "${TABEL_RUN_PGDATA:-}" ]; then
        echo "$TABEL_RUN_PGDATA"
        return
    fi
    local dir="$ROOT/.pgdata"
    if ! pg_dir_for_postgres "$dir"; then
        dir="/var/tmp/tabel-pgdata-$(id -u)"
        echo "The postgres user cannot reach $ROOT; keeping the cluster in $dir." >&2
    fi
    echo "$dir"
}

private_running() {
    [ -f "$PGDATA_DIR/postmaster.pid" ] &&
        (cd / && pg_as_owner "$PG_BIN/pg_ctl" -D "$PGDATA_DIR" status >/dev/null 2>&1)
}

# Forgets copies whose run command is gone (killed without its exit step).
prune_users() {
    local f pid
    for f in "$USERS"/*.pid; do
        [ -e "$f" ] || continue
        pid=$(basename "$f" .pid)
        kill -0 "$pid" 2>/dev/null || rm -f "$f"
    done
}

leave_private() {
    (
        flock 9
        rm -f "$USERS/$$.pid"
        prune_users
        if ! ls "$USERS"/*.pid >/dev/null 2>&1 && [ -f "$USERS/started" ]; then
            echo "The last copy has exited; stopping the private server."
            pg_stop "$PGDATA_DIR"
            rm -f "$USERS/started"
        fi
    ) 9>"$PGDATA_DIR.lock"
}

PGDATA_DIR=$(private_dir)
USERS="$PGDATA_DIR/run-users"
mkdir -p "$(dirname "$PGDATA_DIR")"
exec 9>"$PGDATA_DIR.lock"
flock 9
[ -d "$USERS" ] && prune_users
if [ -f "$USERS/started" ] && private_running; then
    echo "The private server in $PGDATA_DIR is running; this copy uses it too."
    SHARED=private
elif pg_port_busy "$PORT"; then
    SHARED=foreign
else
    pg_init "$PGDATA_DIR"
    pg_start "$PGDATA_DIR" "$PORT"
    mkdir -p "$USERS"
    touch "$USERS/started"
    SHARED=private
fi
if [ "$SHARED" = private ]; then
    touch "$USERS/$$.pid"
    trap leave_private EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
fi
flock -u 9
exec 9>&-

if [ "$SHARED" = foreign ]; then
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
Cannot log in to the server on 127.0.0.1:$PORT as sys (password $PG_SYS_PASSWORD).
Create the role and the database once as a database superuser, e.g.:
    sudo -u postgres psql -c "CREATE ROLE sys LOGIN CREATEDB PASSWORD 'wexapol'"
    sudo -u postgres psql -c "ALTER ROLE sys SET datestyle = 'ISO, DMY'"
and run this script again (it then creates and loads $DB), or start the
program against another server: build/app/tabel <database> <server>
MSG
        exit 1
    fi
else
    pg_create_sys "$PORT" superuser "$PGDATA_DIR/sock" >/dev/null
fi
(
    # Two copies starting at once load the database once.
    flock 9
    prepare_database
) 9>"$PGDATA_DIR.lock"

# The program holds no password: it gets the demo login's from the environment. On the
# private cluster it logs in as buh of the administrators' group role, as at a site; on a
# server of its own as sys.
if [ "$SHARED" != foreign ]; then
    pg_create_login "$PORT" buh wexapol tabel_admin >/dev/null
    export PGUSER=buh PGPASSWORD=wexapol
else
    export PGUSER=$PG_SYS_USER PGPASSWORD=$PG_SYS_PASSWORD
fi
# The server's port reaches the program the standard way (a settings file still wins).
export PGPORT=$PORT

echo "Starting the program (demo access code 0264)."
set +e
"$PROGRAM"
status=$?
set -e
exit "$status"
