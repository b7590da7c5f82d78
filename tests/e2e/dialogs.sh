#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end test of Nudgeon's dialogs: the real program, a real tray (trayer) and a virtual X
# display (Xvfb), driven with the mouse and the keyboard the way a user drives them.
#
# Usage: dialogs.sh <nudgeon executable> <build folder> [scenario...]
#
# Scenarios (all of them when none is named):
#   setup        with a schedule of one entry, a left click on the docked icon opens the setup
#                dialog, which takes the keyboard and names the program once in its title;
#                typing a program name into the entry's Program box, reached with Tab, writes
#                nothing, and the Update button's accelerator (Alt+U) writes the changed entry
#                into the schedule file at once, byte for byte; Escape closes the dialog and the
#                tray menu's Close ends the program with code 0.
#   first-start  without a schedule file the program shows its about box, which takes the
#                keyboard; Return (OK) closes it, the icon docks, no schedule file is written,
#                and the tray menu's Close ends the program with code 0, still without one.
#
# On a failure a screenshot, the window tree and the logs are kept under
# <build folder>/e2e-failures/. Every process the test starts is ended by its process id.

# e2e_init and open_menu are called without arguments on purpose.
# shellcheck disable=SC2119

set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 <nudgeon executable> <build folder> [setup|first-start]..." >&2
    exit 2
fi
program_exe=$(readlink -f "$1")
build_dir=$(readlink -f "$2")
shift 2
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(setup first-start)
suite=dialogs

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Time limits, in milliseconds.
readonly DIALOG_LIMIT=5000   # a dialog shows
readonly ABOUT_LIMIT=10000   # the about box of a first start shows
readonly FOCUS_LIMIT=3000    # a dialog takes the keyboard
readonly SAVE_LIMIT=3000     # the schedule file holds what the dialog saved
readonly GONE_LIMIT=3000     # a dialog goes away

e2e_init

# --- the program and its windows -------------------------------------------------------------

start_program() {
    start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" "$pgm/nudgeon"
    program_pid=$started_pid
    log "program started (pid $program_pid)"
}

# write_schedule LINE...: the schedule file, one entry a line with CR LF line ends; a copy is
# kept to compare with and as evidence.
write_schedule() {
    printf '%s\r\n' "$@" >"$pgm/Nudgeon.cfg"
    cp "$pgm/Nudgeon.cfg" "$logs/Nudgeon.cfg.written"
}

# time_field OFFSET: the time field of an entry due at "now OFFSET" (a date(1) offset), as the
# program writes it: " 09:30 AM" or "04:15 PM", then four blanks.
time_field() {
    LC_ALL=C date -d "$1" '+%I:%M %p' | sed 's/^\(.* AM\)$/ \1/;s/$/    /'
}

has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
window_hidden() { ! is_viewable "$1"; }

# wait_for_window NAME TITLE_PATTERN LIMIT: waits for the program's window; sets $window and its
# geometry $wx $wy $ww $wh.
wait_for_window() {
    poll "$3" program_window "$2" || die "no $1 showed within $3 ms"
    window=$polled
    read -r wx wy ww wh <<<"$(geometry "$window")"
    log "$1 $(printf '0x%x' "$window") \"$(xdotool getwindowname "$window")\" (${ww}x${wh} at $wx,$wy) showed after $polled_ms ms"
    if poll "$FOCUS_LIMIT" has_focus "$window"; then
        log "the $1 took the keyboard"
    else
        fail "the $1 did not take the keyboard within $FOCUS_LIMIT ms (focus: $(xdotool getwindowfocus 2>&1))"
    fi
}

# file_is FILE BYTES: FILE holds exactly BYTES.
file_is() {
    local got
    got=$(cat "$1" 2>/dev/null && echo .) || return 1
    [ "${got%.}" = "$2" ]
}

# unchanged: the schedule file is as the test wrote it.
unchanged() { cmp -s "$logs/Nudgeon.cfg.written" "$pgm/Nudgeon.cfg"; }

# shows FILE: FILE's bytes, quoted so that blanks and line ends can be read.
shows() {
    local t
    t=$(cat "$1" 2>&1 && echo .)
    printf '%q' "${t%.}"
}

# --- the scenarios ---------------------------------------------------------------------------

scenario_setup() {
    begin_scenario setup
    # Due in two hours: the entry does not come due while the test runs.
    local due
    due=$(time_field '+2 hours')
    write_schedule "$due,,0,"
    start_trayer
    start_program
    wait_for_dock
    unchanged || fail "the program changed the schedule file at its start: $(shows "$pgm/Nudgeon.cfg")"

    # A left click on the icon opens the setup dialog once the click is done.
    local ix iy iw ih
    read -r ix iy iw ih <<<"$(geometry "$icon")"
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
    wait_for_window "setup dialog" '^Nudgeon Setup' "$DIALOG_LIMIT"
    local dialog=$window
    # The title names the program once: no application name appended by the desktop.
    case "$(xdotool getwindowname "$dialog")" in
    *Nudgeon*Nudgeon*) fail "the setup dialog's title names the program twice: $(xdotool getwindowname "$dialog")" ;;
    esac

    # The Program box of the Run tab, reached from the list as a keyboard user does: past
    # Delete, Close and the tabs (Add and Update are disabled until an edit).
    xdotool key Tab Tab Tab Tab
    sleep 0.2
    local new_program=/opt/tools/backup-now.sh
    xdotool key ctrl+a
    xdotool type --delay 30 "$new_program"
    sleep 0.3
    # Typing changes the controls only: nothing is saved before Update.
    unchanged || fail "the schedule file changed before Update: $(shows "$pgm/Nudgeon.cfg")"

    # "&Update" writes the whole schedule, the changed entry in place of the old one.
    xdotool key alt+u
    local expected="$due,$new_program,0,"$'\r\n'
    if poll "$SAVE_LIMIT" file_is "$pgm/Nudgeon.cfg" "$expected"; then
        log "the schedule file holds the changed entry $polled_ms ms after Update"
    else
        fail "the schedule file holds $(shows "$pgm/Nudgeon.cfg") rather than $(printf '%q' "$expected") after Update"
    fi

    xdotool key Escape
    poll "$GONE_LIMIT" window_hidden "$dialog" ||
        die "the setup dialog still shows $GONE_LIMIT ms after Escape"
    log "the setup dialog went away after Escape"
    close_from_tray
    file_is "$pgm/Nudgeon.cfg" "$expected" ||
        fail "once the program ended the schedule file holds $(shows "$pgm/Nudgeon.cfg") rather than $(printf '%q' "$expected")"
    end_scenario
}

scenario_first_start() {
    begin_scenario first-start
    start_trayer
    start_program

    # The about box may come before the icon does.
    wait_for_window "about box" '^About Nudgeon' "$ABOUT_LIMIT"
    local about=$window

    # OK is the default button: Return closes the box.
    xdotool key Return
    poll "$GONE_LIMIT" window_hidden "$about" || die "the about box still shows $GONE_LIMIT ms after Return"
    log "the about box went away $polled_ms ms after Return"
    wait_for_dock
    [ -e "$pgm/Nudgeon.cfg" ] &&
        fail "a first start wrote a schedule file: $(shows "$pgm/Nudgeon.cfg")"

    close_from_tray
    [ -e "$pgm/Nudgeon.cfg" ] &&
        fail "once the program ended there is a schedule file: $(shows "$pgm/Nudgeon.cfg")"
    end_scenario
}

# --- the run ---------------------------------------------------------------------------------

start_x_server
for s in "${scenarios[@]}"; do
    case $s in
        setup) scenario_setup ;;
        first-start) scenario_first_start ;;
        *) die "no scenario named $s" ;;
    esac
done
[ "$failures" -eq 0 ] && log "all checks passed"
