#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end test of how Nudgeon treats the files the user owns: the real program, a real tray
# (trayer), a virtual X display (Xvfb) and, where a minute must come, a faked clock (libfaketime).
#
# Usage: userfiles.sh <nudgeon executable> <build folder> [scenario...]
#
# Scenarios (all of them when none is named):
#   hand-edit      with the clock running 60 times faster from 09:50, a line for 10:00 appended to
#                  the schedule file by hand while the program runs is run at 10:00, once; then
#                  the setup dialog (a left click on the icon) opens on the 11:00 entry, and its
#                  Delete (Alt+D) writes a schedule that still holds the line added by hand.
#   dangling-link  "Nudgeon.cfg" is a link to a file on a drive not mounted: the icon docks, no
#                  about box shows, and the link is still there, untouched, after Close.
#   damaged-store  "registry.ini" holds the bytes 0 to 255 four times over: the icon docks at once,
#                  then one message names "registry.ini.damaged-YYYYMMDD-HHMMSS", which holds the
#                  old bytes; a new store is written, and Close ends the program with code 0.
#
# On a failure a screenshot, the window tree and the logs are kept under
# <build folder>/e2e-failures/. Every process the test starts is ended by its process id.

# e2e_init and open_menu are called without arguments on purpose.
# shellcheck disable=SC2119

set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 <nudgeon executable> <build folder> [hand-edit|dangling-link|damaged-store]..." >&2
    exit 2
fi
program_exe=$(readlink -f "$1")
build_dir=$(readlink -f "$2")
shift 2
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(hand-edit dangling-link damaged-store)
suite=userfiles

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Time limits, in milliseconds.
readonly RUN_LIMIT=20000     # the entry added by hand runs (10:00 comes 10 s after the start)
readonly DIALOG_LIMIT=5000   # a dialog or message shows
readonly SAVE_LIMIT=3000     # the schedule file holds what the dialog saved
readonly QUIET_MS=1500       # a time in which a window that must not come does not

e2e_init

# The faked date, a Saturday: 17 March 2029.
readonly FAKE_DATE=2029-03-17

# write_schedule LINE...: the schedule file, one entry a line with CR LF line ends.
write_schedule() { printf '%s\r\n' "$@" >"$pgm/Nudgeon.cfg"; }

# shows FILE: FILE's bytes, quoted so that blanks and line ends can be read.
shows() {
    local t
    t=$(cat "$1" 2>&1 && echo .)
    printf '%q' "${t%.}"
}

# file_is FILE BYTES: FILE holds exactly BYTES.
file_is() {
    local got
    got=$(cat "$1" 2>/dev/null && echo .) || return 1
    [ "${got%.}" = "$2" ]
}

start_program() {
    start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" "$@" "$pgm/nudgeon"
    program_pid=$started_pid
    log "program started (pid $program_pid)"
}

# No window of the program's whose title matches TITLE_PATTERN shows within QUIET_MS.
never_shows() {
    ! poll "$QUIET_MS" program_window "$1" >/dev/null
}

# --- the scenarios ---------------------------------------------------------------------------

scenario_hand_edit() {
    begin_scenario hand-edit
    find_faketime_lib
    local runs="$logs/runs.txt" recorder="$scenario_dir/tools/record.sh"
    mkdir -p "$scenario_dir/tools"
    : >"$runs"
    printf '#!/bin/sh\nprintf "%%s %%s\\n" "$(date +%%H:%%M)" "$1" >>"%s"\n' "$runs" >"$recorder"
    chmod +x "$recorder"
    local planned=" 11:00 AM    ,$recorder,0,planned" hand=" 10:00 AM    ,$recorder,0,by-hand"
    write_schedule "$planned"

    start_trayer
    start_program LD_PRELOAD="$faketime_lib" FAKETIME="@$FAKE_DATE 09:50:00 x60" FAKETIME_DONT_RESET=1
    cleanup_steps+=("rm -f /dev/shm/faketime_shm_$program_pid /dev/shm/sem.faketime_sem_$program_pid")
    wait_for_dock

    # As an editor that writes in place would.
    printf '%s\r\n' "$hand" >>"$pgm/Nudgeon.cfg"
    log "appended by hand: $hand"
    poll "$RUN_LIMIT" test -s "$runs" || die "the line added by hand did not run within $RUN_LIMIT ms"
    sleep 3 # three faked minutes: time for a second run that must not come
    [ "$(cat "$runs")" = "10:00 by-hand" ] || fail "the runs were $(shows "$runs") rather than one at 10:00"
    log "the line added by hand ran: $(tr '\n' ' ' <"$runs")"

    # A left click opens the setup dialog on the entry due next, the planned one; Delete removes
    # it and keeps the line added by hand.
    local ix iy iw ih
    read -r ix iy iw ih <<<"$(geometry "$icon")"
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
    poll "$DIALOG_LIMIT" program_window '^Nudgeon Setup' || die "no setup dialog showed within $DIALOG_LIMIT ms"
    local dialog=$polled
    sleep 0.5
    xdotool key alt+d
    if poll "$SAVE_LIMIT" file_is "$pgm/Nudgeon.cfg" "$hand"$'\r\n'; then
        log "after Delete the schedule file holds the line added by hand"
    else
        fail "after Delete the schedule file holds $(shows "$pgm/Nudgeon.cfg")"
    fi
    xdotool key Escape
    poll "$DIALOG_LIMIT" window_gone_or_hidden "$dialog" || fail "the setup dialog stayed after Escape"
    close_from_tray
    end_scenario
}

window_gone_or_hidden() { ! is_viewable "$1"; }

scenario_dangling_link() {
    begin_scenario dangling-link
    local target="$scenario_dir/drive/Nudgeon.cfg"
    ln -s "$target" "$pgm/Nudgeon.cfg"
    start_trayer
    start_program
    wait_for_dock
    never_shows '^About Nudgeon' || fail "the about box showed as at a first start"
    [ "$(readlink "$pgm/Nudgeon.cfg")" = "$target" ] ||
        fail "the link went or changed at the start: $(ls -l "$pgm" | tr '\n' ' ')"
    close_from_tray
    [ "$(readlink "$pgm/Nudgeon.cfg")" = "$target" ] || fail "the link went or changed: $(ls -l "$pgm" | tr '\n' ' ')"
    [ -e "$scenario_dir/drive" ] && fail "the link's missing folder was made"
    end_scenario
}

scenario_damaged_store() {
    begin_scenario damaged-store
    local store="$XDG_CONFIG_HOME/Nudgeon/registry.ini"
    mkdir -p "$XDG_CONFIG_HOME/Nudgeon"
    local i
    for i in 1 2 3 4; do
        python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)))'
    done >"$store"
    cp "$store" "$logs/registry.ini.damaged"
    write_schedule "$(LC_ALL=C date -d '+2 hours' '+%I:%M %p' | sed 's/^\(.* AM\)$/ \1/;s/$/    /'),,0,"
    start_trayer
    start_program
    # Docks with no message in the way: the message comes after.
    wait_for_dock
    poll "$DIALOG_LIMIT" program_window '^Nudgeon$' || die "no message about the store showed within $DIALOG_LIMIT ms"
    local box=$polled
    log "the message about the store showed after the icon docked"

    local aside
    aside=$(find "$XDG_CONFIG_HOME/Nudgeon" -name 'registry.ini.damaged-*')
    [[ $(basename "$aside") =~ ^registry\.ini\.damaged-[0-9]{8}-[0-9]{6}$ ]] ||
        fail "the store was not set aside as registry.ini.damaged-YYYYMMDD-HHMMSS: $(ls "$XDG_CONFIG_HOME/Nudgeon" | tr '\n' ' ')"
    cmp -s "$aside" "$logs/registry.ini.damaged" || fail "the store set aside does not hold the old bytes"
    grep -q 'DisplayName=Nudgeon$' "$store" || fail "no new store was written: $(shows "$store")"

    xdotool key Return
    poll "$DIALOG_LIMIT" window_gone_or_hidden "$box" || fail "the message stayed after Return"
    never_shows '^Nudgeon$' || fail "the message about the store showed a second time"
    close_from_tray
    end_scenario
}

# --- the run ---------------------------------------------------------------------------------

start_x_server
for s in "${scenarios[@]}"; do
    case $s in
        hand-edit) scenario_hand_edit ;;
        dangling-link) scenario_dangling_link ;;
        damaged-store) scenario_damaged_store ;;
        *) die "no scenario named $s" ;;
    esac
done
[ "$failures" -eq 0 ] && log "all checks passed"
