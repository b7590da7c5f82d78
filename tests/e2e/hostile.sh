#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the real program on each hostile schedule file (and on a 10 MB line, a folder in the
# file's place, an unreadable file, a FIFO, a link to a device and a FIFO in the settings
# store's place): it must start, tick and keep running, waiting in its event loop rather than
# in a file and idle, and leave the file exactly as it found it. Runs without a display
# (offscreen) and without a sound server.
#
# Usage: hostile.sh <nudgeon executable> <folder of hostile files>
set -uo pipefail

program=$(readlink -f "$1")
corpus=$(readlink -f "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/nudgeon-hostile.XXXXXX") || exit 1
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

# runs NAME: a program folder of its own, with its own runtime folder so that all run at once.
start_on() {
    local name=$1 dir=$work/$1
    mkdir -p "$dir/pgm" "$dir/run" "$dir/home"
    chmod 700 "$dir/run"
    cp "$program" "$dir/pgm/nudgeon"
    [ -e "$dir/config" ] || cp -r "$work/config" "$dir/config"
    env -i PATH=/usr/bin:/bin HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/run" \
        QT_QPA_PLATFORM=offscreen PULSE_SERVER=unix:/nonexistent \
        "$dir/pgm/nudgeon" >"$dir/out.log" 2>"$dir/err.log" &
    pids+=($!)
    echo $! >"$dir/pid"
}

# Settings first: one start on a plain schedule makes the settings entry, so that the hostile
# files are read as schedules, not as files with the old header.
mkdir -p "$work/first/pgm" "$work/first/run" && chmod 700 "$work/first/run"
cp "$program" "$work/first/pgm/nudgeon"
printf ' 09:30 AM    ,,0,\r\n' >"$work/first/pgm/Nudgeon.cfg"
env -i PATH=/usr/bin:/bin HOME="$work/first" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/first/run" \
    QT_QPA_PLATFORM=offscreen PULSE_SERVER=unix:/nonexistent "$work/first/pgm/nudgeon" 2>/dev/null &
first=$!
for _ in $(seq 100); do
    [ -s "$work/config/Nudgeon/registry.ini" ] && break
    sleep 0.05
done
kill -TERM "$first" 2>/dev/null
wait "$first" 2>/dev/null
[ -s "$work/config/Nudgeon/registry.ini" ] || { fail "no settings entry was made"; exit 1; }

names=()
for file in "$corpus"/*.cfg; do
    name=$(basename "$file" .cfg)
    mkdir -p "$work/$name/pgm"
    cp "$file" "$work/$name/pgm/Nudgeon.cfg"
    names+=("$name")
done
# A 10 MB line, a folder in the file's place, and a file without read permission.
mkdir -p "$work/huge-line/pgm" "$work/folder-in-place/pgm/Nudgeon.cfg" "$work/unreadable/pgm"
{ printf ' 09:30 AM    ,,0,'; head -c 10485760 /dev/zero | tr '\0' 'x'; printf '\r\n10:00 PM    ,,0,\r\n'; } \
    >"$work/huge-line/pgm/Nudgeon.cfg"
printf ' 09:30 AM    ,,0,\r\n' >"$work/unreadable/pgm/Nudgeon.cfg"
chmod 000 "$work/unreadable/pgm/Nudgeon.cfg"
names+=(huge-line folder-in-place unreadable)
# Nodes that are not files: a FIFO as the schedule and as the settings store, and (as root only)
# a link to a private device that never ends.
mkdir -p "$work/fifo/pgm" "$work/store-fifo/pgm" "$work/store-fifo/config/Nudgeon"
mkfifo "$work/fifo/pgm/Nudgeon.cfg" "$work/store-fifo/config/Nudgeon/registry.ini"
printf ' 09:30 AM    ,,0,\r\n' >"$work/store-fifo/pgm/Nudgeon.cfg"
names+=(fifo store-fifo)
if [ "$(id -u)" -eq 0 ]; then
    mkdir -p "$work/device-link/pgm"
    mknod "$work/device-link/zero" c 1 5
    ln -s "$work/device-link/zero" "$work/device-link/pgm/Nudgeon.cfg"
    names+=(device-link)
fi

for name in "${names[@]}"; do
    [ -f "$work/$name/pgm/Nudgeon.cfg" ] && sha256sum <"$work/$name/pgm/Nudgeon.cfg" >"$work/$name/before"
    start_on "$name"
done

# The first tick comes two seconds after the start.
sleep 3.5

for name in "${names[@]}"; do
    dir=$work/$name
    pid=$(cat "$dir/pid")
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid"
        fail "$name: the program ended (exit code $?): $(tr '\n' ' ' <"$dir/err.log")"
        continue
    fi
    # Waiting for events, not in a file, and idle.
    # A kernel that hides where processes wait shows 0.
    wchan=$(cat "/proc/$pid/wchan" 2>/dev/null)
    [[ $wchan == *poll* || $wchan == 0 || -z $wchan ]] || fail "$name: the program waits in $wchan rather than in its event loop"
    ticks=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
    sleep 0.5
    ticks=$(($(awk '{ print $14 + $15 }' "/proc/$pid/stat") - ticks))
    [ "$ticks" -lt 10 ] || fail "$name: the program used $ticks clock ticks in half a second"
    if [ -f "$dir/before" ]; then
        chmod 600 "$dir/pgm/Nudgeon.cfg" 2>/dev/null
        cmp -s "$dir/before" <(sha256sum <"$dir/pgm/Nudgeon.cfg") || fail "$name: the schedule file was changed"
    elif [ "$name" = folder-in-place ]; then
        [ -d "$dir/pgm/Nudgeon.cfg" ] || fail "$name: the folder in the file's place went"
    elif [ "$name" = fifo ]; then
        [ -p "$dir/pgm/Nudgeon.cfg" ] || fail "$name: the FIFO in the file's place went"
    elif [ "$name" = device-link ]; then
        [ -L "$dir/pgm/Nudgeon.cfg" ] && [ -c "$dir/zero" ] || fail "$name: the link or the device went"
    fi
    if [ "$name" = store-fifo ]; then
        [ -p "$dir/config/Nudgeon/registry.ini" ] || fail "$name: the FIFO in the store's place went"
    fi
    extra=$(find "$dir/pgm" -mindepth 1 -maxdepth 1 ! -name nudgeon ! -name Nudgeon.cfg)
    [ -z "$extra" ] || fail "$name: files appeared in the program folder: $extra"
    echo "ok: $name"
done

[ $failures -eq 0 ]
