#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and testing Vortan needs on Debian 12. Safe to run again: it only asks
# apt for packages that are missing. Works as root or, for a user, through sudo.
#   scripts/setup-debian.sh [--runtime]    (--runtime: only what building and running needs)
set -euo pipefail

BUILD_PKGS="cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools qt6-tools-dev qt6-l10n-tools qt6-charts-dev
    qt6-svg-dev
    qt6-translations-l10n
    qt6-qpa-plugins libqt6sql6-sqlite libgl-dev libpulse-dev pulseaudio pulseaudio-utils libcups2-dev
    fonts-liberation fonts-dejavu-core xdg-utils desktop-file-utils"
TEST_PKGS="ccache clang libclang-rt-14-dev clang-format libgtest-dev libgmock-dev libbenchmark-dev
    libsqlite3-dev
    sox pipewire wireplumber pipewire-pulse cups printer-driver-cups-pdf poppler-utils
    xvfb xauth x11-apps x11-utils imagemagick librsvg2-bin dbus at-spi2-core python3-gi gir1.2-atspi-2.0
    debhelper dpkg-dev fakeroot lintian appstream man-db groff"

pkgs=$BUILD_PKGS
[ "${1:-}" = --runtime ] || pkgs="$pkgs $TEST_PKGS"

# shellcheck disable=SC2086
missing=$(dpkg-query -W -f='${Status} ${Package}\n' $pkgs 2>&1 |
    awk '/^dpkg-query: no packages found matching/ {print $NF; next}
         $1" "$2" "$3 != "install ok installed" {print $NF}' || true)
if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
else
    echo "setup: these packages are missing and neither root nor sudo is available:" >&2
    echo "$missing" >&2
    exit 1
fi

echo "setup: installing $(echo "$missing" | tr '\n' ' ')" >&2
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq -o DPkg::Lock::Timeout=600
# shellcheck disable=SC2086
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    -o DPkg::Lock::Timeout=600 $missing >/dev/null
