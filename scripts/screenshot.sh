#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a picture of the main window as X11 shows it, for looking at the layout.
#   scripts/screenshot.sh [BUILD_DIR] [OUT.png] [SETTINGS.ini]
# Runs the program under scripts/test-services.sh (Xvfb, a private sound server and private
# settings folders, so the developer's own settings are never touched) and grabs its window.
# A settings file given as the third argument is what the program starts with.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
out=$(realpath -m "${2:-vortan-window.png}")
settings=$(if [ -n "${3:-}" ]; then realpath "$3"; fi)
exec scripts/test-services.sh bash -c '
    if [ -n "$2" ]; then mkdir -p "$XDG_CONFIG_HOME/vortan" && cp "$2" "$XDG_CONFIG_HOME/vortan/vortan.ini"; fi
    "$0/src/app/vortan" & pid=$!
    for _ in $(seq 300); do
        id=$(xwininfo -root -tree | awk "/\"Vortan ZENTO\"/ {print \$1; exit}")
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "${id:-}" ] || { echo "the window did not appear" >&2; kill "$pid"; exit 1; }
    sleep 1
    import -window "$id" "$1"
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo "saved $1"
' "$build" "$out" "$settings"
