#!/usr/bin/env bash
# The build stamp stays as it is while the program's sources stay the same (so an
# unchanged tree is not relinked) and is written anew when they change; tests and
# build trees do not count. Given a build tree, the program is also built twice there:
# the second build must leave the stamp file and the program as the first left them.
#   build_stamp.sh [<build dir>]
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabel-stamp.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

SRC=$WORK/src
mkdir -p "$SRC/app" "$SRC/tests" "$SRC/build"
echo 'int a;' >"$SRC/app/a.cpp"
echo 'project(x)' >"$SRC/CMakeLists.txt"
stamp() { cmake -DSRC="$SRC" -DBIN="$SRC/build" -DOUT="$SRC/build/stamp.cpp" \
    -P "$ROOT/app/build_stamp.cmake"; }
state() { stat -c %Y-%s "$SRC/build/stamp.cpp"; sha256sum "$SRC/build/stamp.cpp"; }

stamp
grep -q 'kBuildDateStamp = [0-9]\{8\};' "$SRC/build/stamp.cpp" || fail "no date in the stamp"
first=$(state)
sleep 1
stamp
[ "$(state)" = "$first" ] || fail "an unchanged tree got a new stamp"
echo 'int t;' >"$SRC/tests/t.cpp"
echo 'int b;' >"$SRC/build/b.cpp"
stamp
[ "$(state)" = "$first" ] || fail "a test or build file changed the stamp"
echo 'int a2;' >>"$SRC/app/a.cpp"
stamp
[ "$(state)" != "$first" ] || fail "a changed source kept the old stamp"

if [ $# -ge 1 ]; then
    BUILD=$1
    build() { cmake --build "$BUILD" --target tabel >"$WORK/build.log" 2>&1 ||
        { cat "$WORK/build.log" >&2; fail "the build failed"; }; }
    built() { stat -c '%n %Y %s' "$BUILD/build_stamp.cpp" "$BUILD/app/tabel"; sha256sum "$BUILD/build_stamp.cpp"; }
    build
    first=$(built)
    sleep 1
    build
    [ "$(built)" = "$first" ] || fail "a second build of unchanged sources wrote a new stamp or relinked:
$first
$(built)"
fi
echo "build stamp: ok"
