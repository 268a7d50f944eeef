#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts or stops a headless sound server of our own, as the tests need one:
#   scripts/sound-server.sh start pulseaudio|pipewire DIR [SINK]
#   scripts/sound-server.sh stop DIR
# DIR is the server's private runtime folder (made when missing, mode 0700): its PulseAudio
# socket is DIR/pulse/native, and its state, logs and process ids stay in DIR. `start` returns
# once the server answers and a null sink SINK (default vsink) is its default output, at full
# volume. No systemd, no sound card, any user (root included):
#   pulseaudio  a user-mode daemon;
#   pipewire    pipewire, wireplumber and pipewire-pulse, as Debian 12 desktops run them, with a
#               private session bus (dbus-daemon --session) of their own.
# Nothing outside DIR is touched: a developer's own sound server and settings stay as they are.
set -euo pipefail

usage() {
    echo "usage: $0 start pulseaudio|pipewire DIR [SINK] | stop DIR" >&2
    exit 2
}
[ $# -ge 2 ] || usage
action=$1
if [ "$action" = start ]; then
    [ $# -ge 3 ] || usage
    kind=$2 dir=$3 sink=${4:-vsink}
    case $kind in pulseaudio | pipewire) ;; *) usage ;; esac
elif [ "$action" = stop ]; then
    dir=$2
else
    usage
fi

mkdir -p -m 700 "$dir"
dir=$(cd "$dir" && pwd)
server_env=(env XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state"
    DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/bus" PULSE_SERVER="unix:$dir/pulse/native")

wait_for() { # wait_for SECONDS CMD...  (polls every 20 ms)
    local n=$(($1 * 50))
    shift
    until "$@" >/dev/null 2>&1; do
        n=$((n - 1))
        [ "$n" -gt 0 ] || return 1
        sleep 0.02
    done
}
running() { # running PID: alive and not a zombie
    [ -r "/proc/$1/stat" ] && ! awk '{ exit $3 == "Z" ? 0 : 1 }' "/proc/$1/stat" 2>/dev/null
}
fail() {
    echo "sound-server: $*" >&2
    tail -n 20 "$dir"/*.log >&2 2>/dev/null || true
    "$0" stop "$dir" || true
    exit 1
}
# A process of the server, in a session of its own so that it outlives this script.
spawn() { # spawn NAME CMD...
    local name=$1
    shift
    setsid "${server_env[@]}" "$@" </dev/null >"$dir/$name.log" 2>&1 &
    echo $! >"$dir/$name.pid"
}

if [ "$action" = stop ]; then
    case $(cat "$dir/kind" 2>/dev/null || true) in
    pulseaudio)
        "${server_env[@]}" pulseaudio -k 2>/dev/null || true
        wait_for 10 sh -c "! env XDG_RUNTIME_DIR='$dir' pulseaudio --check"
        ;;
    pipewire)
        for name in pipewire-pulse wireplumber pipewire dbus; do
            pid=$(cat "$dir/$name.pid" 2>/dev/null || true)
            [ -n "$pid" ] || continue
            kill "$pid" 2>/dev/null || true
            for _ in $(seq 500); do running "$pid" || break; sleep 0.02; done
            ! running "$pid" || kill -9 "$pid" 2>/dev/null || true
            rm -f "$dir/$name.pid"
        done
        ;;
    esac
    rm -f "$dir/kind"
    exit 0
fi

mkdir -p -m 700 "$dir/config" "$dir/state"
echo "$kind" >"$dir/kind"
pactl=("${server_env[@]}" pactl)
if [ "$kind" = pulseaudio ]; then
    "${server_env[@]}" pulseaudio -D -n --exit-idle-time=-1 --disallow-exit=no \
        --load="module-null-sink sink_name=$sink sink_properties=device.description=Vortan-Null-Sink" \
        --load=module-native-protocol-unix --log-target="file:$dir/pulseaudio.log" ||
        fail "pulseaudio did not start"
    wait_for 10 "${pactl[@]}" info || fail "pulseaudio does not answer"
else
    spawn dbus dbus-daemon --session --nofork --address="unix:path=$dir/bus"
    wait_for 10 test -S "$dir/bus" || fail "dbus-daemon did not start"
    spawn pipewire pipewire
    # The session manager and the PulseAudio service give up when pipewire is not there yet.
    wait_for 10 test -S "$dir/pipewire-0" || fail "pipewire did not start"
    spawn wireplumber wireplumber
    spawn pipewire-pulse pipewire-pulse
    wait_for 10 "${pactl[@]}" info || fail "pipewire-pulse does not answer"
    "${pactl[@]}" load-module module-null-sink sink_name="$sink" \
        sink_properties=device.description=Vortan-Null-Sink >/dev/null
fi
# On PipeWire the default output is the session manager's to set; it takes it once it runs.
wait_for 10 sh -c "$(printf '%q ' "${pactl[@]}") set-default-sink '$sink' &&
    [ \"\$($(printf '%q ' "${pactl[@]}") get-default-sink)\" = '$sink' ]" ||
    fail "$sink did not become the default output"
"${pactl[@]}" set-sink-volume "$sink" 100%
"${pactl[@]}" set-sink-mute "$sink" 0
