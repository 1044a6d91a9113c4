# shellcheck shell=bash
# Private PostgreSQL clusters for running and testing the program.
# Source this file; it defines functions only.
#
#   pg_init  DATADIR          create a cluster (UTF-8, C.UTF-8 locale, trust on loopback)
#   pg_start DATADIR PORT [extra postgres options...]
#                             start it on 127.0.0.1:PORT, socket in DATADIR/sock,
#                             day-first date style for every database
#   pg_stop  DATADIR          stop it (fast shutdown); quiet when it is not running
#   pg_free_port [FIRST]      print a TCP port on 127.0.0.1 that nobody listens on
#   pg_port_busy PORT         true when something listens on 127.0.0.1:PORT
#   pg_psql PORT DB [psql args...]   psql as sys over TCP, stopping on the first error
#   pg_create_sys PORT [superuser|plain] [SOCKDIR]   (default socket without SOCKDIR)
#                             create the login role sys (password wexapol, date style
#                             ISO, DMY) via the cluster owner over the socket in SOCKDIR
#   pg_create_login PORT NAME PASSWORD GROUP   a login in a group role of the program
#   pg_load_db PORT DB FILE...   create DB (owned by sys) and load the SQL files into it
#   pg_timesheets PORT DB     make every month's timesheet of DB from its entries
#                             (build/tools/tabel-timesheets, or TABEL_TIMESHEETS)
#   pg_fill_demo PORT DB      load the demonstration shop into DB, which holds the schema:
#                             app/demo_data.sql, the timesheets, app/demo_closed_month.sql
#   pg_load_demo PORT DB [FILE...]   create DB with the schema and the demonstration shop,
#                             then load the further SQL files
#   pg_dir_for_postgres DIR   true when the postgres user can create DIR (or use it)
#   pg_throwaway NAME FIRSTPORT [extra postgres options...]
#                             a cluster that lives only as long as the calling script
#                             (stopped and removed on exit), with the superuser sys;
#                             sets PG_THROWAWAY_PORT and PG_THROWAWAY_DATA

PG_BIN=${PG_BIN:-/usr/lib/postgresql/15/bin}
PG_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PG_SYS_USER=sys
PG_SYS_PASSWORD=wexapol

# Run a command as the cluster owner: postgres when we are root, ourselves otherwise.
pg_as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

# True when the postgres user (when root) can reach and write DIR's parent.
pg_dir_for_postgres() {
    local dir=$1 parent
    parent=$(dirname "$dir")
    if [ "$(id -u)" -ne 0 ]; then
        [ -w "$parent" ] || [ -w "$dir" ]
        return
    fi
    if [ -d "$dir" ]; then
        runuser -u postgres -- test -x "$dir" -a -w "$dir"
    else
        runuser -u postgres -- test -x "$parent"
    fi
}

pg_init() {
    local dir=$1
    if [ -f "$dir/PG_VERSION" ]; then
        return 0
    fi
    mkdir -p "$dir"
    chmod 700 "$dir"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres:postgres "$dir"
    fi
    (cd / && pg_as_owner "$PG_BIN/initdb" -D "$dir" -E UTF8 --locale=C.UTF-8 \
        --auth-local=trust --auth-host=trust -U postgres >"$dir.initdb.log" 2>&1) || {
        echo "initdb failed, see $dir.initdb.log" >&2
        return 1
    }
    rm -f "$dir.initdb.log"
}

pg_start() {
    local dir=$1 port=$2
    shift 2
    local sock="$dir/sock"
    if [ ! -d "$sock" ]; then
        mkdir -p "$sock"
        [ "$(id -u)" -eq 0 ] && chown postgres:postgres "$sock"
    fi
    (cd / && pg_as_owner "$PG_BIN/pg_ctl" -D "$dir" -l "$dir/server.log" -w -t 30 \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $sock -c datestyle=ISO,DMY $*" start >/dev/null) || {
        echo "PostgreSQL did not start; its log:" >&2
        tail -n 20 "$dir/server.log" >&2 2>/dev/null
        return 1
    }
}

pg_stop() {
    local dir=$1
    [ -f "$dir/postmaster.pid" ] || return 0
    (cd / && pg_as_owner "$PG_BIN/pg_ctl" -D "$dir" -m fast -w stop >/dev/null 2>&1) || true
}

pg_port_busy() {
    local port=$1
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null
}

pg_free_port() {
    local port=${1:-25432}
    while pg_port_busy "$port"; do
        port=$((port + 1))
    done
    echo "$port"
}

pg_psql() {
    local port=$1 db=$2
    shift 2
    PGPASSWORD=$PG_SYS_PASSWORD psql -X -q -h 127.0.0.1 -p "$port" -U "$PG_SYS_USER" \
        -d "$db" -v ON_ERROR_STOP=1 "$@"
}

# Create or refresh the role sys through the cluster owner's socket connection.
pg_create_sys() {
    local port=$1 kind=${2:-superuser} sock=${3:-}
    local attrs="LOGIN CREATEDB"
    [ "$kind" = superuser ] && attrs="LOGIN SUPERUSER CREATEDB"
    # Without SOCKDIR: the server's default socket, where the local postgres
    # user is let in by peer authentication on a stock installation.
    local host_args=()
    [ -n "$sock" ] && host_args=(-h "$sock")
    (cd / && pg_as_owner psql -X -q -v ON_ERROR_STOP=1 "${host_args[@]}" -p "$port" \
        -U postgres -d postgres) <<SQL
DO \$\$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '$PG_SYS_USER') THEN
        CREATE ROLE $PG_SYS_USER $attrs PASSWORD '$PG_SYS_PASSWORD';
    ELSE
        ALTER ROLE $PG_SYS_USER $attrs PASSWORD '$PG_SYS_PASSWORD';
    END IF;
END
\$\$;
-- Day-first dates on every connection of sys, also in databases copied from
-- a template (per-database settings are not copied).
ALTER ROLE $PG_SYS_USER SET datestyle = 'ISO, DMY';
SQL
}

# A login in one of the program's group roles (app/grants.sql loaded before): tabel_admin,
# tabel_foreman, tabel_warehouse or tabel_viewer.
pg_create_login() {
    local port=$1 name=$2 password=$3 group=$4
    pg_psql "$port" postgres <<SQL
DO \$\$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '$name') THEN
        CREATE ROLE $name LOGIN PASSWORD '$password';
    END IF;
END
\$\$;
GRANT $group TO $name;
ALTER ROLE $name SET datestyle = 'ISO, DMY';
SQL
}

pg_load_files() {
    local port=$1 db=$2
    shift 2
    local f
    for f in "$@"; do
        pg_psql "$port" "$db" -f "$f" >/dev/null || {
            echo "loading $f into $db failed" >&2
            return 1
        }
    done
}

pg_load_db() {
    local port=$1 db=$2
    shift 2
    pg_psql "$port" postgres -c "CREATE DATABASE \"$db\" ENCODING 'UTF8' TEMPLATE template0" || return 1
    pg_load_files "$port" "$db" "$@"
}

pg_timesheets() {
    local port=$1 db=$2
    PGHOST=127.0.0.1 PGPORT=$port PGDATABASE=$db PGUSER=$PG_SYS_USER PGPASSWORD=$PG_SYS_PASSWORD \
        "${TABEL_TIMESHEETS:-$PG_ROOT/build/tools/tabel-timesheets}" >/dev/null || {
        echo "making the timesheets of $db failed" >&2
        return 1
    }
}

# The timesheets are made from the entries by the program's own rebuilds, before the first
# month is closed: a closed month's timesheet cannot be rebuilt.
pg_fill_demo() {
    local port=$1 db=$2
    pg_load_files "$port" "$db" "$PG_ROOT/app/demo_data.sql" || return 1
    pg_timesheets "$port" "$db" || return 1
    pg_load_files "$port" "$db" "$PG_ROOT/app/demo_closed_month.sql"
}

pg_load_demo() {
    local port=$1 db=$2
    shift 2
    pg_load_db "$port" "$db" "$PG_ROOT/app/schema.sql" || return 1
    pg_fill_demo "$port" "$db" || return 1
    pg_load_files "$port" "$db" "$@"
}

pg_throwaway() {
    local name=$1 first=$2
    shift 2
    # A folder the postgres user can reach (the checkout may sit under /root).
    PG_THROWAWAY_WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabel-$name.XXXXXX")
    chmod 755 "$PG_THROWAWAY_WORK"
    PG_THROWAWAY_DATA="$PG_THROWAWAY_WORK/data"
    trap pg_throwaway_remove EXIT
    pg_init "$PG_THROWAWAY_DATA"
    PG_THROWAWAY_PORT=$(pg_free_port "$first")
    pg_start "$PG_THROWAWAY_DATA" "$PG_THROWAWAY_PORT" "$@"
    pg_create_sys "$PG_THROWAWAY_PORT" superuser "$PG_THROWAWAY_DATA/sock" >/dev/null
}

pg_throwaway_remove() {
    pg_stop "$PG_THROWAWAY_DATA"
    rm -rf "$PG_THROWAWAY_WORK"
}
