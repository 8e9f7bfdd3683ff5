#!/bin/sh
# A private PulseAudio daemon with one null sink, for the tests that play
# real sound on a machine without a sound card (CI, containers, ssh).
#
#   eval "$(tests/audio/pulse-null.sh start)"   # starts it, exports PULSE_SERVER
#   ...                                          # run the tests
#   tests/audio/pulse-null.sh stop               # stops it (uses TARMALO_PULSE_DIR)
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
        rm -rf "$dir"
        exit 1
    }
    tries=0
    until PULSE_SERVER="unix:$dir/native" pactl info >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -gt 50 ]; then
            echo "$me: pulseaudio does not answer on $dir/native" >&2
            tail -n 20 "$dir/pulse.log" >&2 2>/dev/null || true
            stop_dir "$dir"
            exit 1
        fi
        sleep 0.1
    done
    PULSE_SERVER="unix:$dir/native" pactl set-default-sink tarmalo_null >/dev/null
    echo "export PULSE_SERVER=unix:$dir/native"
    echo "export TARMALO_PULSE_DIR=$dir"
}

stop_dir() {
    dir=$1
    case "$dir" in
        /tmp/tarmalo-pulse-*) ;;
        *) echo "$me: refusing to stop '$dir': not a folder this script made" >&2; exit 1 ;;
    esac
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
    rm -rf "$dir"
}

case "${1:-}" in
    start) start ;;
    stop)
        dir=${2:-${TARMALO_PULSE_DIR:-}}
        if [ -z "$dir" ]; then
            echo "$me: stop needs the folder printed by start (or TARMALO_PULSE_DIR)" >&2
            exit 1
        fi
        stop_dir "$dir"
        ;;
    *)
        echo "usage: $me start | stop [folder]" >&2
        exit 2
        ;;
esac
