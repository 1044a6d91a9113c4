#!/usr/bin/env bash
# The program's answers without a display: --version, --help and --check-connection, the last
# with a server that is there and one that is not; a wrong command line and settings that
# cannot be used.
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
# Why, in Russian; the server's own words under it.
grep -q "На сервере нет такой базы данных." <<<"$err"
grep -q "Сообщение сервера: .*no_such_db" <<<"$err"

# A wrong command line: the usage on stderr and exit status 2, with no display either.
refused() {
    local status=0
    err=$("$TABEL" "$@" 2>&1 >/dev/null) || status=$?
    [ "$status" = 2 ] || { echo "tabel $*: exit $status, expected 2: $err" >&2; exit 1; }
    grep -q 'Использование: tabel' <<<"$err" || { echo "tabel $*: no usage: $err" >&2; exit 1; }
}
refused --no-such-option
refused -x
refused vesk_erp
refused vesk_erp 127.0.0.1 extra
refused --check-connection vesk_erp

# A password in a settings file that others may read is not used, and the check says so.
printf '[database]\nname=tabel_demo\npassword=secret\n' >"$HOME/.config/tabel/tabel.conf"
chmod 644 "$HOME/.config/tabel/tabel.conf"
out=$(PGHOST=$TABEL_PGHOST PGPORT=$TABEL_PGPORT "$TABEL" --check-connection 2>&1)
grep -q "Пароль из файла $HOME/.config/tabel/tabel.conf не используется" <<<"$out"
grep -q "Подключение в порядке" <<<"$out"
chmod 600 "$HOME/.config/tabel/tabel.conf"
out=$(PGHOST=$TABEL_PGHOST PGPORT=$TABEL_PGPORT "$TABEL" --check-connection 2>&1)
if grep -q "не используется" <<<"$out"; then
    echo "a password in a file of the owner alone was reported as ignored" >&2
    exit 1
fi

# The user's settings under XDG_CONFIG_HOME, with a port that is no port: said with the file,
# the key and the value, and no connection is made elsewhere (the environment names a server
# that is there).
export XDG_CONFIG_HOME=$HOME/xdg
mkdir -p "$XDG_CONFIG_HOME/tabel"
printf '[database]\nport=abc\n' >"$XDG_CONFIG_HOME/tabel/tabel.conf"
if err=$(PGHOST=$TABEL_PGHOST PGPORT=$TABEL_PGPORT PGDATABASE=tabel_demo "$TABEL" --check-connection 2>&1); then
    echo "a bad port was not said: $err" >&2
    exit 1
fi
grep -q "$XDG_CONFIG_HOME/tabel/tabel.conf" <<<"$err"
grep -q "ключ port имеет значение «abc»" <<<"$err"
if grep -q "Подключение в порядке" <<<"$err"; then
    echo "connected elsewhere: $err" >&2
    exit 1
fi
echo "cli answers: ok"
