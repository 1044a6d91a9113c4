#!/usr/bin/env bash
# The program's answers without a display: --version, --help and --check-connection, the last
# with a server that is there and one that is not.
set -euo pipefail
TABEL=$1
unset DISPLAY WAYLAND_DISPLAY
HOME=$(mktemp -d)
trap 'rm -rf "$HOME"' EXIT
export HOME

"$TABEL" --version | grep -Eq '^tabel [0-9]+\.[0-9]+\.[0-9]+$'
"$TABEL" --help | grep -q -- '--check-connection'

out=$(PGHOST=$TABEL_PGHOST PGPORT=$TABEL_PGPORT PGDATABASE=tabel_demo "$TABEL" --check-connection)
grep -q "Подключение в порядке: сервер $TABEL_PGHOST, порт $TABEL_PGPORT, база tabel_demo" <<<"$out"

# A settings file of the user's names a database that is not there.
mkdir -p "$HOME/.config/tabel"
printf '[database]\nname=no_such_db\n' >"$HOME/.config/tabel/tabel.conf"
if err=$(PGHOST=$TABEL_PGHOST PGPORT=$TABEL_PGPORT "$TABEL" --check-connection 2>&1); then
    echo "a missing database was reported as reachable" >&2
    exit 1
fi
grep -q "Не удалось подключиться: сервер $TABEL_PGHOST, порт $TABEL_PGPORT, база no_such_db, пользователь sys" <<<"$err"
grep -q "$HOME/.config/tabel/tabel.conf" <<<"$err"
echo "cli answers: ok"
