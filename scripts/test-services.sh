#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real desktop services the tests use, runs a command under them, and stops them.
#   scripts/test-services.sh [--sound-server pulseaudio|pipewire] [--] CMD ARGS...
# Headless Debian 12, no systemd, no sound card. Starts:
#   a sound server with a null sink "vsink" as the default output (any user): PulseAudio, or
#     with --sound-server pipewire PipeWire with its PulseAudio service (scripts/sound-server.sh);
#   a private cupsd with a PDF queue "PDF" as the default printer (root only: as another user
#     the printing tests skip and say so);
#   Xvfb when DISPLAY is unset; a fake web browser registered for text/html and http(s).
# Everything lives in private folders under $VORTAN_SERVICES_DIR (default: a new temporary one),
# so a developer's own settings, sound server and browser are never touched.
# Exports to CMD: XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME PULSE_SERVER DISPLAY
#   VORTAN_TEST_SERVICES (pulse, and cups when it runs), VORTAN_SOUND_SERVER (pulseaudio or
#   pipewire: the kind of server the sound tests start for themselves), CUPS_SERVER,
#   VORTAN_PDF_DIR, VORTAN_FAKE_BROWSER_LOG.
set -euo pipefail
usage() { echo "usage: $0 [--sound-server pulseaudio|pipewire] [--] CMD ARGS..." >&2; exit 2; }
sound_server=pulseaudio
if [ "${1:-}" = --sound-server ]; then
    sound_server=${2:-}
    case $sound_server in pulseaudio | pipewire) ;; *) usage ;; esac
    shift 2
fi
[ "${1:-}" = -- ] && shift
[ $# -gt 0 ] || usage
sound_server_sh="$(cd "$(dirname "$0")" && pwd)/sound-server.sh"

D=${VORTAN_SERVICES_DIR:-$(mktemp -d /tmp/vortan-services.XXXXXX)}
mkdir -p "$D"
log() { printf '[services %(%T)T] %s\n' -1 "$*" >&2; }
wait_for() { # wait_for SECONDS CMD...  (polls every 50 ms)
    local n=$(($1 * 20)); shift
    until "$@" >/dev/null 2>&1; do n=$((n - 1)); [ "$n" -gt 0 ] || return 1; sleep 0.05; done
}

export XDG_RUNTIME_DIR="$D/runtime" XDG_CONFIG_HOME="$D/config" XDG_DATA_HOME="$D/data"
export XDG_CACHE_HOME="$D/cache"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications" "$XDG_CACHE_HOME" "$D/bin"
export VORTAN_PDF_DIR="$D/pdf" VORTAN_FAKE_BROWSER_LOG="$D/browser.log"
services="" SOUND_STARTED=0 CUPSD_PID="" XVFB_PID=""

stop_all() {
    set +e
    [ -n "$XVFB_PID" ] && { kill "$XVFB_PID"; wait "$XVFB_PID" 2>/dev/null; }
    [ "$SOUND_STARTED" = 1 ] && "$sound_server_sh" stop "$XDG_RUNTIME_DIR"
    [ -n "$CUPSD_PID" ] && { kill "$CUPSD_PID"; wait "$CUPSD_PID" 2>/dev/null; }
    log "services stopped"
}
trap 'rc=$?; stop_all; exit $rc' EXIT
trap 'exit 130' INT TERM

# The sound server: a daemon of our own in the runtime folder, one null sink as the default output.
SOUND_STARTED=1
"$sound_server_sh" start "$sound_server" "$XDG_RUNTIME_DIR" vsink ||
    { log "$sound_server did not start"; exit 1; }
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native" VORTAN_SOUND_SERVER="$sound_server"
services="pulse"
log "$sound_server ready (default sink $(pactl get-default-sink))"

# CUPS: a cupsd of our own in the foreground, with its configuration, spool, logs, socket and
# backend in $D, so the machine's CUPS is neither used nor changed. Its one queue "PDF" (the
# cups-pdf driver's PPD) ends in a backend of ours that turns each job into a PDF named after
# the job in $VORTAN_PDF_DIR, with the job's title. Root only: cupsd runs its backends as root.
start_cups() {
    local c="$D/cups" f
    # cupsd makes its spool, cache and state folders itself, with the owners and modes it needs.
    mkdir -p "$c/etc" "$c/log" "$c/lib/backend" "$VORTAN_PDF_DIR"
    # Filters run as the lp user: they must reach the links below.
    chmod 711 "$D" "$c"
    chmod 755 "$c/lib" "$c/lib/backend"
    for f in cgi-bin daemon driver filter monitor notifier; do
        ln -sfn "/usr/lib/cups/$f" "$c/lib/$f"
    done
    cat >"$c/lib/backend/vortan-pdf" <<EOS
#!/bin/sh
# job-id user title copies options [file]; no arguments: say what we are.
[ \$# -eq 0 ] && { echo 'file vortan-pdf "Vortan test PDF" "PDF files for the tests"'; exit 0; }
title=\$(printf '%s' "\$3" | sed 's/[\\\\()]/\\\\&/g')
out="$VORTAN_PDF_DIR/job-\$1.pdf"
gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=pdfwrite -sOutputFile="\$out.part" \\
    -c "[ /Title (\$title) /DOCINFO pdfmark" -f "\${6:--}" && mv "\$out.part" "\$out"
EOS
    chmod 700 "$c/lib/backend/vortan-pdf"
    cat >"$c/cups-files.conf" <<EOS
SystemGroup root
ServerRoot $c/etc
ServerBin $c/lib
RequestRoot $c/spool
CacheDir $c/cache
StateDir $c/state
AccessLog $c/log/access_log
ErrorLog $c/log/error_log
PageLog $c/log/page_log
EOS
    cat >"$c/cupsd.conf" <<EOS
LogLevel warn
Listen $c/cups.sock
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOS
    export CUPS_SERVER="$c/cups.sock"
    cupsd -f -c "$c/cupsd.conf" -s "$c/cups-files.conf" >"$D/cupsd.log" 2>&1 &
    CUPSD_PID=$!
    wait_for 20 sh -c "lpstat -r | grep -q 'is running'" || {
        log "cupsd did not start"; cat "$D/cupsd.log" "$c/log/error_log" >&2 2>/dev/null; exit 1; }
    lpadmin -p PDF -E -v vortan-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
        -o pdftops-renderer-default=pdftocairo 2>/dev/null
    lpadmin -d PDF
}
if [ "$(id -u)" -eq 0 ]; then
    start_cups
    services="$services cups"
    log "cups ready (default printer $(lpstat -d | sed 's/.*: //'), PDFs in $VORTAN_PDF_DIR)"
else
    log "not root: no CUPS, so the printing tests skip"
fi

# Xvfb, when there is no display.
if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$D/xvfb.display" 2>"$D/xvfb.log" &
    XVFB_PID=$!
    wait_for 10 test -s "$D/xvfb.display" || { log "Xvfb did not start"; exit 1; }
    export DISPLAY=":$(cat "$D/xvfb.display")"
    log "Xvfb ready on $DISPLAY"
fi
services="$services x11"

# A fake web browser that records every address it is asked to open.
cat >"$D/bin/fake-browser" <<EOS
#!/bin/sh
printf '%s\n' "\$*" >>"\${VORTAN_FAKE_BROWSER_LOG:-$VORTAN_FAKE_BROWSER_LOG}"
EOS
chmod +x "$D/bin/fake-browser"
cat >"$XDG_DATA_HOME/applications/vortan-fake-browser.desktop" <<EOS
[Desktop Entry]
Type=Application
Name=Vortan Fake Browser
Exec=$D/bin/fake-browser %u
MimeType=text/html;x-scheme-handler/http;x-scheme-handler/https;
NoDisplay=true
EOS
xdg-mime default vortan-fake-browser.desktop text/html x-scheme-handler/http x-scheme-handler/https
export BROWSER="$D/bin/fake-browser"
: >"$VORTAN_FAKE_BROWSER_LOG"
services="$services browser"

export VORTAN_TEST_SERVICES="$services"
log "running: $*"
set +e
"$@"
rc=$?
set -e
exit "$rc"
