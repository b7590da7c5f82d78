#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# One copy per user: twenty copies started at once leave exactly one running, the others end
# with exit code 0; a copy killed outright does not keep the next one from starting.
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

[ $failures -eq 0 ]
