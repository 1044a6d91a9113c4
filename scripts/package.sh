#!/usr/bin/env bash
# Builds the Debian package build/tabel_<version>_amd64.deb and checks it: the files it
# installs, its dependencies, and that the packaged program answers --version.
#   scripts/package.sh            build and check
# Install it with: apt install ./build/tabel_*.deb
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

# dpkg-shlibdeps (dpkg-dev) computes the dependencies from the binary; it needs file.
"$ROOT/scripts/setup.sh" dpkg-dev file

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build -j2 --target tabel tabel-timesheets
rm -f build/tabel_*_amd64.deb
(cd build && cpack -G DEB >/dev/null)

VERSION=$(sed -n 's/^project(tabel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DEB="build/tabel_${VERSION}_amd64.deb"
[ -f "$DEB" ] || { echo "no package $DEB" >&2; exit 1; }

fail() {
    echo "package check: $*" >&2
    exit 1
}
contents=$(dpkg-deb -c "$DEB")
for f in ./usr/bin/tabel ./usr/bin/tabel-timesheets ./usr/share/applications/tabel.desktop \
    ./usr/share/icons/hicolor/scalable/apps/tabel.svg \
    ./usr/share/tabel/schema.sql ./usr/share/tabel/closing.sql ./usr/share/tabel/calendar.sql \
    ./usr/share/tabel/statistics.sql ./usr/share/tabel/guards.sql ./usr/share/tabel/grants.sql \
    ./usr/share/tabel/upgrade.sql \
    ./usr/share/tabel/demo_data.sql ./usr/share/tabel/demo_closed_month.sql; do
    grep -q " $f\$" <<<"$contents" || fail "$f is missing"
done
depends=$(dpkg-deb -f "$DEB" Depends)
for d in libqt6sql6-psql fonts-liberation2 qt6-translations-l10n libqt6widgets6 libxlsxwriter libc6; do
    grep -q "$d" <<<"$depends" || fail "dependency $d is missing: $depends"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$DEB" "$unpacked"
answer=$("$unpacked/usr/bin/tabel" --version)
grep -q "$VERSION" <<<"$answer" || fail "the packaged program answered: $answer"

echo "$DEB: $(wc -c <"$DEB") bytes; Depends: $depends"
