#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs Nudgeon into a temporary prefix and starts the installed program as a user who may
# not write into the program's folder: it must keep its schedule in the user's data folder and
# find its sounds and help page where the install put them.
#
# Usage: install.sh <build folder>
set -uo pipefail

build=$(readlink -f "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/nudgeon-install.XXXXXX") || exit 1
chmod 755 "$work"
program_pid=""
failures=0

cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill -TERM "$program_pid" 2>/dev/null
        sleep 0.5
        kill -KILL "$program_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
    cat "$work/install.log" >&2
    fail "cmake --install failed"
    exit 1
}

for f in bin/nudgeon libexec/nudgeon/DARIZIZ.EXE libexec/nudgeon/nudgeon-sound share/nudgeon/ringin.wav share/nudgeon/Nudgeon.wav share/nudgeon/helpndg.html \
    share/applications/example.nudgeon.Nudgeon.desktop share/icons/hicolor/48x48/apps/nudgeon.png \
    share/icons/hicolor/16x16/apps/nudgeon.png; do
    [ -f "$prefix/$f" ] || fail "the install has no $f"
done
[ -x "$prefix/bin/nudgeon" ] || fail "the installed program cannot be run"
[ -x "$prefix/libexec/nudgeon/DARIZIZ.EXE" ] || fail "the installed mail program cannot be run"
[ -x "$prefix/libexec/nudgeon/nudgeon-sound" ] || fail "the installed sound player cannot be run"
desktop-file-validate "$prefix/share/applications/example.nudgeon.Nudgeon.desktop" || fail "the desktop entry is not valid"

# The user: as root, the unprivileged "nobody", for whom the prefix is not writable; otherwise
# the caller, with the program's folder made read-only.
home=$work/home
mkdir -p "$home" "$work/runtime"
if [ "$(id -u)" -eq 0 ]; then
    run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chown -R 65534:65534 "$home" "$work/runtime"
else
    run_as=()
    chmod a-w "$prefix/bin"
fi
chmod 700 "$work/runtime"

# A schedule in the user's data folder, in the old form with a header whose second line turns
# the chime on. With no settings yet, the program takes the chime from it and writes the file
# back without the header: that proves where it keeps the schedule.
data=$home/.local/share/Nudgeon
mkdir -p "$data"
printf 'Nudgeon\r\n1\r\n 09:30 AM    ,,0,\r\n' >"$data/Nudgeon.cfg"
[ "$(id -u)" -eq 0 ] && chown -R 65534:65534 "$home"

env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
    QT_LOGGING_RULES="nudgeon.*.debug=true" PULSE_SERVER=unix:/nonexistent \
    "${run_as[@]}" "$prefix/bin/nudgeon" >"$work/out.log" 2>"$work/err.log" &
program_pid=$!

deadline=$((SECONDS + 10))
while [ $SECONDS -lt $deadline ]; do
    [ "$(cat "$data/Nudgeon.cfg" 2>/dev/null)" = $' 09:30 AM    ,,0,\r' ] && break
    sleep 0.1
done
expected=$(printf ' 09:30 AM    ,,0,\r\n' | od -c)
actual=$(od -c <"$data/Nudgeon.cfg")
[ "$expected" = "$actual" ] || fail "the schedule in the user's data folder was not written back without its header"
grep -q 'Nudgeon\\Settings="1,0"' "$home/.config/Nudgeon/registry.ini" 2>/dev/null ||
    fail "the settings were not stored in the user's configuration folder: $(find "$home" -name '*.ini' -exec cat {} +)"
[ -e "$prefix/bin/Nudgeon.cfg" ] && fail "a schedule file appeared in the program's folder"

# The start sound is the installed one.
for _ in $(seq 50); do
    grep -q "share/nudgeon/ringin.wav" "$work/err.log" && break
    sleep 0.1
done
grep -q "$prefix/share/nudgeon/ringin.wav" "$work/err.log" ||
    fail "the start sound was not found where the install put it: $(tr '\n' ' ' <"$work/err.log")"
kill -0 "$program_pid" 2>/dev/null || fail "the installed program ended: $(tr '\n' ' ' <"$work/err.log")"

# The Debian package: the same files under /usr, and the libraries and plugins it needs.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
    fail "cpack failed: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/pkg/*.deb 2>/dev/null | head -n 1)
if [ -n "$deb" ]; then
    depends=$(dpkg-deb -f "$deb" Depends)
    for needed in libqt6widgets6 libcanberra0 qt6-qpa-plugins libcurl4; do
        [[ $depends == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
    done
    contents=$(dpkg-deb -c "$deb")
    for f in ./usr/bin/nudgeon ./usr/libexec/nudgeon/DARIZIZ.EXE ./usr/libexec/nudgeon/nudgeon-sound ./usr/share/nudgeon/helpndg.html ./usr/share/nudgeon/ringin.wav \
        ./usr/share/applications/example.nudgeon.Nudgeon.desktop; do
        [[ $contents == *" $f"* ]] || fail "the package has no $f"
    done
    echo "package $(basename "$deb"): Depends: $depends"
else
    fail "cpack made no package"
fi

if [ $failures -gt 0 ]; then
    echo "--- program's errors:" >&2
    cat "$work/err.log" >&2
    exit 1
fi
echo "installed program ran from $prefix and kept its schedule in $data"
