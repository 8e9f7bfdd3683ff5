#!/bin/sh

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# File > Exit, the close box and SIGTERM, each while a sound plays: each
# must end the program cleanly, and $TMPDIR must stay empty: the player plays
# from memory and nothing else may write there either. Then File > Exit right
# after an option click, while another program holds the options' lock for a
# second, and the signals likewise: the choice must land, or be told, and no
# lock file stay.
# Runs the real start-up
# (tarmalo_driven) headless on a sound server of its own; exits 77 (skipped)
# without one.
#   exit-leaves-nothing.sh <tarmalo_driven> <tests/audio/pulse-null.sh>
set -u
prog=$1
pulse=$2
out=$(sh "$pulse" start) || exit 77
eval "$out"
work=$(mktemp -d)
trap 'sh "$pulse" stop >/dev/null 2>&1; rm -rf "$work"' EXIT

# Waits up to $2 tenths of a second for the command in $1 to succeed.
wait_for() {
    n=0
    while ! eval "$1"; do
        n=$((n + 1))
        [ "$n" -ge "$2" ] && return 1
        sleep 0.1
    done
}

failures=0
for how in exit close term; do
    tmp="$work/tmp-$how" home="$work/home-$how" run="$work/run-$how" log="$work/$how.log"
    mkdir -p "$tmp" "$home" "$run"
    chmod 700 "$run"
    : >"$log"
    TMPDIR="$tmp" HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$run" \
        QT_QPA_PLATFORM=offscreen TARMALO_DRIVE_END="$how" "$prog" >"$log" 2>&1 &
    pid=$!
    # The chime comes with the first tick, five seconds after the start.
    if ! wait_for "grep -q '^playing' '$log' || ! kill -0 $pid 2>/dev/null" 600 \
        || ! grep -q '^playing' "$log"; then
        echo "FAIL $how: no sound played"
        sed 's/^/      /' "$log"
        kill -KILL "$pid" 2>/dev/null
        wait "$pid"
        failures=$((failures + 1))
        continue
    fi
    [ "$how" = term ] && kill -TERM "$pid"
    if ! wait_for "! kill -0 $pid 2>/dev/null" 300; then
        echo "FAIL $how: still running 30 s later"
        kill -KILL "$pid"
    fi
    wait "$pid"
    rc=$?
    expected=0
    [ "$how" = term ] && expected=143
    left=$(cd "$tmp" && find . -mindepth 1)
    if [ -n "$left" ]; then
        echo "FAIL $how: left in \$TMPDIR:" $left
        failures=$((failures + 1))
    elif [ "$rc" -ne "$expected" ]; then
        echo "FAIL $how: exit code $rc, expected $expected"
        sed 's/^/      /' "$log"
        failures=$((failures + 1))
    else
        echo "ok   $how during a sound: exit code $rc, \$TMPDIR empty"
    fi
done

# The lock as another running program leaves it: its process number and
# name. The program ends a second after the click, by File > Exit or a
# signal; then the lock comes free. The choice must land, or, where the file
# was swapped for a folder meanwhile, be told: in a message box after File >
# Exit, on standard error after a signal.
for how in option option-term option-hup option-int option-fail option-term-fail; do
    conf="$work/home-$how/.config/Tarmalo" run="$work/run-$how" log="$work/$how.log"
    signal=${how#option} signal=${signal%-fail} signal=${signal#-}
    mkdir -p "$conf" "$run"
    chmod 700 "$run"
    : >"$log"
    sleep 60 &
    holder=$!
    printf '%s\nsleep\n\n' "$holder" >"$conf/Tarmalo.conf.lock"
    HOME="$work/home-$how" XDG_CONFIG_HOME="$work/home-$how/.config" XDG_RUNTIME_DIR="$run" \
        QT_QPA_PLATFORM=offscreen TARMALO_DRIVE_END=option${signal:+-wait} "$prog" >"$log" 2>&1 &
    pid=$!
    wait_for "grep -q '^clicked' '$log' || ! kill -0 $pid 2>/dev/null" 600
    expected=0
    case $signal in
        term) kill -TERM "$pid"; expected=143 ;;
        hup) kill -HUP "$pid"; expected=129 ;;
        int) kill -INT "$pid"; expected=130 ;;
    esac
    sleep 1
    case $how in *-fail) mkdir "$conf/Tarmalo.conf" ;; esac
    rm -f "$conf/Tarmalo.conf.lock"
    kill "$holder"
    if ! wait_for "! kill -0 $pid 2>/dev/null" 50; then
        echo "FAIL $how: still running 5 s after the lock was freed"
        kill -KILL "$pid"
    fi
    wait "$pid"
    rc=$?
    case $how in
        option-fail) told='^told: .*could not be saved' ;;
        *-fail) told='^[^t].*could not be saved' ;;
        *) told='' ;;
    esac
    if [ "$rc" -ne "$expected" ] || [ "$(ls -A "$conf")" != Tarmalo.conf ] ||
       { [ -n "$told" ] && ! grep -q "$told" "$log"; } ||
       { [ -z "$told" ] && { grep -q 'could not' "$log" || ! grep -q '^Count=True' "$conf/Tarmalo.conf"; }; }; then
        echo "FAIL $how: exit code $rc, expected $expected; options folder: $(ls -A "$conf" | tr '\n' ' ')"
        sed 's/^/      /' "$log" "$conf/Tarmalo.conf" 2>/dev/null
        failures=$((failures + 1))
    else
        echo "ok   $how: clicked under a lock, ended (exit code $rc): ${told:+told, }no lock left"
    fi
done
exit "$failures"
