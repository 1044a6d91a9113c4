#!/usr/bin/env bash
# The run command with several copies on one private server: a second start
# does not stop the first copy's server, the server stays up until the last
# copy exits, and a server the run command did not start is left running.
# The program is replaced by a stand-in that waits for its stop file.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/pg.sh
. "$ROOT/scripts/pg.sh"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabel-run.XXXXXX")
chmod 755 "$WORK"
PIDS=()
cleanup() {
    touch "$WORK"/stop.a "$WORK"/stop.b "$WORK"/stop.c
    for p in "${PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
    pg_stop "$WORK/data"
    pg_stop "$WORK/foreign"
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cat >"$WORK/program" <<'PROG'
#!/usr/bin/env bash
# Stands in for the program: says it runs, then waits to be told to stop.
touch "$FAKE_DIR/running.$FAKE_NAME"
while [ ! -e "$FAKE_DIR/stop.$FAKE_NAME" ]; do sleep 0.1; done
PROG
chmod +x "$WORK/program"

PORT=$(pg_free_port 27432)

start_copy() { # name data-dir
    FAKE_DIR=$WORK FAKE_NAME=$1 TABEL_PROGRAM=$WORK/program TABEL_RUN_PORT=$PORT \
        TABEL_RUN_PGDATA=$2 "$ROOT/scripts/run.sh" >"$WORK/log.$1" 2>&1 &
    PIDS+=($!)
    LAST=$!
}

wait_for() { # file
    for _ in $(seq 1 600); do
        [ -e "$1" ] && return 0
        sleep 0.1
    done
    cat "$WORK"/log.* >&2
    fail "timed out waiting for $1"
}

server_up() {
    pg_psql "$PORT" vesk_erp -tA -c 'select count(*) from accounts_dep.person' >/dev/null 2>&1
}

stop_copy() { # name pid
    touch "$WORK/stop.$1"
    wait "$2" || fail "copy $1 ended with an error: $(cat "$WORK/log.$1")"
}

# Two copies on the private server.
start_copy a "$WORK/data"
A=$LAST
wait_for "$WORK/running.a"
server_up || fail "the first copy has no server"
start_copy b "$WORK/data"
B=$LAST
wait_for "$WORK/running.b"
kill -0 "$A" 2>/dev/null || fail "the second start ended the first copy"
server_up || fail "the server went away when the second copy started"

stop_copy a "$A"
server_up || fail "the server stopped while the second copy still runs"
stop_copy b "$B"
for _ in $(seq 1 50); do server_up || break; sleep 0.1; done
server_up && fail "the server still runs after the last copy exited"
[ -f "$WORK/data/postmaster.pid" ] && fail "the private cluster was not stopped"

# A server that the run command did not start stays up after the copy exits.
pg_init "$WORK/foreign"
pg_start "$WORK/foreign" "$PORT"
pg_create_sys "$PORT" superuser "$WORK/foreign/sock" >/dev/null
start_copy c "$WORK/data"
C=$LAST
wait_for "$WORK/running.c"
server_up || fail "the copy did not prepare the database on the running server"
stop_copy c "$C"
server_up || fail "the run command stopped a server that it did not start"
echo "run command with several copies: ok"
