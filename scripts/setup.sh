#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test the program.
# Quick when everything is present; installs only what is missing.
set -euo pipefail

PACKAGES=(
    qt6-base-dev libqt6sql6-psql libxlsxwriter-dev
    # Qt's own dialogs and buttons in Russian.
    qt6-translations-l10n
    postgresql
    cmake make g++ pkg-config
    xvfb xauth imagemagick poppler-utils xdg-utils clang-format
    python3-openpyxl
    # Printed reports are laid out in Arial; this font has its metrics.
    fonts-liberation2
)
# Further packages a caller needs (the package script: dpkg-dev, file).
PACKAGES+=("$@")

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO=(sudo)
    else
        echo "Missing packages (${missing[*]}) and no root rights to install them." >&2
        exit 1
    fi
fi

export DEBIAN_FRONTEND=noninteractive
apt_install() {
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
        --no-install-recommends "${missing[@]}"
}

if ! apt_install; then
    echo "Refreshing the package lists and trying again." >&2
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    apt_install
fi
