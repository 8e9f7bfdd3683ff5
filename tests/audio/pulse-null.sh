#!/bin/sh

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# A private PulseAudio daemon with one null sink, for the tests that play
# real sound on a machine without a sound card (CI, containers, ssh).
#
#   eval "$(tests/audio/pulse-null.sh start)"   # starts it, exports PULSE_SERVER
#   ...                                          # run the tests
#   tests/audio/pulse-null.sh stop               # stops it (uses TARMALO_PULSE_DIR)
#   tests/audio/pulse-null.sh kill | revive      # ends the daemon / starts it again
#                                                # on the same socket (a server restart)
#
# The daemon lives in a runtime folder of its own under /tmp, never touches
# the caller's HOME or session daemon, and works as root as well as a user.
# It installs nothing: it says what is missing (packages pulseaudio and
# pulseaudio-utils).
set -eu

me=$(basename "$0")

start() {
    for tool in pulseaudio pactl; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "$me: '$tool' not found; install the packages pulseaudio and pulseaudio-utils" >&2
            exit 1
        fi
    done
    dir=$(mktemp -d /tmp/tarmalo-pulse-XXXXXX)
    launch "$dir" || { rm -rf "$dir"; exit 1; }
    echo "export PULSE_SERVER=unix:$dir/native"
    echo "export TARMALO_PULSE_DIR=$dir"
}

launch() {
    dir=$1
    # Everything the daemon reads or writes stays in $dir. Shared memory is
    # off: containers often cannot map it, and a test stream does not need it.
    env -u PULSE_SERVER XDG_RUNTIME_DIR="$dir" HOME="$dir" XDG_CONFIG_HOME="$dir/config" \
        PULSE_RUNTIME_PATH="$dir/pulse" PULSE_STATE_PATH="$dir/state" \
        pulseaudio --daemonize=yes --system=false -n \
            --exit-idle-time=-1 --use-pid-file=yes --disable-shm=yes \
            --log-target="file:$dir/pulse.log" \
            --load="module-null-sink sink_name=tarmalo_null" \
            --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
        >"$dir/start.log" 2>&1 || {
        echo "$me: pulseaudio did not start:" >&2
        cat "$dir/start.log" "$dir/pulse.log" >&2 2>/dev/null || true
        return 1
    }
    tries=0
    until PULSE_SERVER="unix:$dir/native" pactl info >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -gt 50 ]; then
            echo "$me: pulseaudio does not answer on $dir/native" >&2
            tail -n 20 "$dir/pulse.log" >&2 2>/dev/null || true
            end_daemon "$dir"
            return 1
        fi
        sleep 0.1
    done
    PULSE_SERVER="unix:$dir/native" pactl set-default-sink tarmalo_null >/dev/null
}

our_dir() {
    case "$1" in
        /tmp/tarmalo-pulse-*) ;;
        *) echo "$me: refusing to touch '$1': not a folder this script made" >&2; exit 1 ;;
    esac
}

end_daemon() {
    dir=$1
    pidfile="$dir/pulse/pid"
    if [ -f "$pidfile" ]; then
        pid=$(cat "$pidfile")
        if kill "$pid" 2>/dev/null; then
            tries=0
            while kill -0 "$pid" 2>/dev/null && [ "$tries" -lt 50 ]; do
                sleep 0.1
                tries=$((tries + 1))
            done
            kill -9 "$pid" 2>/dev/null || true
        fi
    fi
}

stop_dir() {
    our_dir "$1"
    end_daemon "$1"
    rm -rf "$1"
}

case "${1:-}" in
    start) start ;;
    stop | kill | revive)
        dir=${2:-${TARMALO_PULSE_DIR:-}}
        if [ -z "$dir" ]; then
            echo "$me: $1 needs the folder printed by start (or TARMALO_PULSE_DIR)" >&2
            exit 1
        fi
        our_dir "$dir"
        case "$1" in
            stop) stop_dir "$dir" ;;
            kill) end_daemon "$dir" ;;
            revive) launch "$dir" ;;
        esac
        ;;
    *)
        echo "usage: $me start | stop | kill | revive [folder]" >&2
        exit 2
        ;;
esac
