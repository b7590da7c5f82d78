#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# One copy per user: twenty copies started at once leave exactly one running, the others end
# with exit code 0; a copy killed outright does not keep the next one from starting. With no
# runtime folder it can trust, the program says why, in an error box and on stderr, and ends
# with a non-zero exit code.
#
# Usage: instance.sh <nudgeon executable>
set -uo pipefail

program=$(readlink -f "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/nudgeon-instance.XXXXXX") || exit 1
pids=()
failures=0

cleanup() {
    for pid in "${pids[@]}"; do
        { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

mkdir -p "$work/pgm" "$work/run" "$work/home"
chmod 700 "$work/run"
cp "$program" "$work/pgm/nudgeon"
printf ' 09:30 AM    ,,0,\r\n' >"$work/pgm/Nudgeon.cfg"

start_copy() {
    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen \
        PULSE_SERVER=unix:/nonexistent "$work/pgm/nudgeon" 2>>"$work/err.log" &
    pids+=($!)
}

for _ in $(seq 20); do
    start_copy
done

# The others end at once; give the slowest a few seconds.
deadline=$((SECONDS + 10))
while [ $SECONDS -lt $deadline ]; do
    alive=0
    for pid in "${pids[@]}"; do
        kill -0 "$pid" 2>/dev/null && alive=$((alive + 1))
    done
    [ $alive -le 1 ] && break
    sleep 0.1
done
sleep 1

survivors=()
for pid in "${pids[@]}"; do
    if kill -0 "$pid" 2>/dev/null; then
        survivors+=("$pid")
    else
        wait "$pid"
        code=$?
        [ $code -eq 0 ] || fail "a second copy ended with exit code $code"
    fi
done
[ ${#survivors[@]} -eq 1 ] || fail "${#survivors[@]} copies run after twenty were started at once"
echo "twenty copies started: ${#survivors[@]} runs"

# Killed outright, the running copy leaves its lock file behind; the next start takes it over.
if [ ${#survivors[@]} -ge 1 ]; then
    { kill -KILL "${survivors[0]}" && wait "${survivors[0]}"; } 2>/dev/null
    [ -e "$work/run/nudgeon.lock" ] || fail "the killed copy left no lock file to recover from"
    pids=()
    start_copy
    sleep 2
    kill -0 "${pids[0]}" 2>/dev/null || fail "the copy after a killed one did not keep running"
    echo "after a killed copy the next one runs"
fi

# XDG_RUNTIME_DIR unset and the folder in its place open to every user. The error box is closed
# with Return on a display of its own.
for pid in "${pids[@]}"; do
    { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null
done
mkdir -p "$work/state/Nudgeon/run"
chmod 777 "$work/state/Nudgeon/run"
# within TENTHS CMD...: runs CMD every tenth of a second until it succeeds, TENTHS times at most.
within() {
    local tries=$1
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ $tries -gt 0 ] || return 1
        sleep 0.1
    done
}
ended() { ! kill -0 "$1" 2>/dev/null; }
error_box() { box=$(DISPLAY=$display xdotool search --onlyvisible --pid "$refused" 2>/dev/null | head -1) && [ -n "$box" ]; }
Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$work/display" 2>"$work/xvfb.err" &
pids=($!)
within 100 grep -qx '[0-9][0-9]*' "$work/display"
display=":$(cat "$work/display")"
env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_STATE_HOME="$work/state" DISPLAY="$display" \
    PULSE_SERVER=unix:/nonexistent "$work/pgm/nudgeon" 2>"$work/refused.err" &
refused=$!
pids+=("$refused")
if within 100 error_box; then
    DISPLAY=$display xdotool windowfocus --sync "$box" key Return
else
    fail "no error box showed for a runtime folder open to all"
fi
if within 50 ended "$refused"; then
    wait "$refused"
    code=$?
    [ $code -ne 0 ] || fail "a refused runtime folder ended with exit code 0"
    grep -q "$work/state/Nudgeon/run" "$work/refused.err" ||
        fail "stderr does not name the refused folder: $(cat "$work/refused.err")"
    [ -e "$work/state/Nudgeon/run/nudgeon.lock" ] && fail "a lock was made in the refused folder"
    echo "a runtime folder open to all: refused with exit code $code: $(cat "$work/refused.err")"
else
    fail "the program did not end after its error box"
fi

[ $failures -eq 0 ]
