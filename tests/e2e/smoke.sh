#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end smoke test of Nudgeon: the real program, a real tray (trayer) and a virtual X
# display (Xvfb), driven the way a user drives it.
#
# Usage: smoke.sh <nudgeon executable> <build folder> [scenario...]
#
# Scenarios (all of them when none is named):
#   tray-first  trayer runs, then the program starts: its icon docks in trayer's panel and shows
#               a tip; a second copy ends at once with code 0 and leaves the first one running,
#               which opens its setup dialog (Escape closes it);
#               a right click opens the tray menu and a click on its last item, "Close", ends the
#               program with code 0; the icon's place in the panel goes away and the program
#               folder is left exactly as it was.
#   tray-later  the program starts while no tray exists; its icon docks once trayer starts, and
#               the menu item's accelerator key "c" ends the program with code 0.
#
# Each scenario runs in fresh temporary folders: the program folder (the executable, its sounds
# and a schedule file), XDG_RUNTIME_DIR (mode 700, where the lock file goes), HOME and the XDG
# folders. There is no session bus, so Qt docks the icon through XEmbed, and no sound server.
# On a failure a screenshot, the window tree and the logs are kept under
# <build folder>/e2e-failures/. Every process the test starts is ended by its process id.

# e2e_init and open_menu are called without arguments on purpose.
# shellcheck disable=SC2119

set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 <nudgeon executable> <build folder> [tray-first|tray-later]..." >&2
    exit 2
fi
program_exe=$(readlink -f "$1")
build_dir=$(readlink -f "$2")
shift 2
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(tray-first tray-later)

suite=smoke

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Time limits, in milliseconds, besides lib.sh's.
readonly TIP_LIMIT=5000      # the tip shows while the pointer rests on the icon
readonly SECOND_LIMIT=2000   # a second copy ends
readonly DIALOG_LIMIT=5000   # the first copy's setup dialog shows, or goes after Escape

e2e_init

# --- the program and its folder --------------------------------------------------------------

# write_schedule: events two, three and five hours from now, so none of them comes due while
# the test runs; a copy is kept to compare with.
write_schedule() {
    local h lines=""
    for h in 2 3 5; do
        lines+=$(LC_ALL=C date -d "+$h hours" '+%I:%M %p' | sed 's/^\(.* AM\)$/ \1/')
        case $h in
            2) lines+=$'    ,,0,\r\n' ;;
            3) lines+=$'    ,,/1234567,\r\n' ;;
            5) lines+=$'    ,,30,\r\n' ;;
        esac
    done
    printf '%s' "$lines" >"$pgm/Nudgeon.cfg"
    cp "$pgm/Nudgeon.cfg" "$scenario_dir/Nudgeon.cfg.written"
}

start_program() {
    start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" "$pgm/nudgeon"
    program_pid=$started_pid
    log "program started (pid $program_pid)"
}

# folder_state DIR [mtimes]: every entry's type, name, size and checksum, with the modification
# times when asked.
folder_state() {
    (
        cd "$1" || exit 1
        if [ "${2:-}" = mtimes ]; then
            find . -printf '%y %p %s %T@\n' | sort
        else
            find . ! -name . -printf '%y %p %s\n' | sort
        fi
        find . -type f -exec sha256sum {} + | sort -k 2
    )
}

check_folder_unchanged() {
    cmp -s "$scenario_dir/Nudgeon.cfg.written" "$pgm/Nudgeon.cfg" ||
        fail "the schedule file changed: $(od -c "$pgm/Nudgeon.cfg" | head -n 5 | tr '\n' ' ')"
    diff <(echo "$before_start") <(folder_state "$pgm") >"$logs/program-folder.diff" ||
        fail "the program folder differs from before the program started: $(tr '\n' ' ' <"$logs/program-folder.diff")"
    diff <(echo "$after_start") <(folder_state "$pgm" mtimes) >"$logs/program-folder-since-start.diff" ||
        fail "something was written in the program folder after the program started: $(tr '\n' ' ' <"$logs/program-folder-since-start.diff")"
}

window_has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
window_gone_or_hidden() { ! is_viewable "$1"; }

# --- the scenarios ---------------------------------------------------------------------------

scenario_tray_first() {
    begin_scenario tray-first
    write_schedule
    start_trayer
    before_start=$(folder_state "$pgm")
    start_program
    wait_for_dock
    [ -e "$XDG_RUNTIME_DIR/nudgeon.lock" ] || fail "no lock file nudgeon.lock in XDG_RUNTIME_DIR"
    after_start=$(folder_state "$pgm" mtimes)

    # The tip shows while the pointer rests on the icon; Qt shows no tip for an empty text.
    local ix iy iw ih
    read -r ix iy iw ih <<<"$(geometry "$icon")"
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2))
    sleep 0.1
    xdotool mousemove $((ix + iw / 2 + 1)) $((iy + ih / 2))
    if poll "$TIP_LIMIT" tip_of "$program_pid"; then
        log "tip $(printf '0x%x' "$polled") ($(geometry "$polled" | awk '{ print $3 "x" $4 }')) showed after $polled_ms ms"
    else
        fail "no tip showed within $TIP_LIMIT ms while the pointer rested on the icon"
    fi
    xdotool mousemove 0 0

    # A second copy ends at once, with code 0, and leaves the first one and its icon alone.
    start_bg "$logs/second.out" "$logs/second.err" "$pgm/nudgeon"
    local second=$started_pid
    if poll "$SECOND_LIMIT" ended "$second"; then
        reap "$second"
        log "second copy ended after $polled_ms ms, exit code $exit_code"
        [ "$exit_code" -eq 0 ] || fail "the second copy ended with exit code $exit_code"
    else
        fail "the second copy still runs $SECOND_LIMIT ms after it started"
        stop_pid "$second"
    fi
    running "$program_pid" || die "the first copy ended when the second one started"
    poll 1000 docked_icons "$program_pid" "$trayer_pid" || fail "the first copy's icon left the tray"
    [ "$polled" = "$icon $socket" ] || fail "the icons in the tray changed when a second copy started: $polled"
    # The second start is not lost: the first copy opens its setup dialog, which Escape closes.
    if poll "$DIALOG_LIMIT" program_window '^Nudgeon Setup'; then
        local dialog=$polled
        log "the first copy opened its setup dialog $polled_ms ms after the second copy ended"
        poll 2000 window_has_focus "$dialog" || fail "the setup dialog did not take the keyboard"
        xdotool key Escape
        poll "$DIALOG_LIMIT" window_gone_or_hidden "$dialog" || fail "the setup dialog still shows after Escape"
    else
        fail "the first copy opened no setup dialog within $DIALOG_LIMIT ms of a second start"
    fi

    # The menu's last item, "Close", ends the program: a click just above the menu's bottom
    # edge hits it.
    open_menu
    xdotool mousemove $((mx + mw / 2)) $((my + mh - 10))
    sleep 0.2
    xdotool click 1
    check_closed
    check_folder_unchanged
    end_scenario
}

scenario_tray_later() {
    begin_scenario tray-later
    write_schedule
    before_start=$(folder_state "$pgm")
    start_program
    # The program holds its lock, and has had time to look for a tray, before one exists.
    poll 5000 test -e "$XDG_RUNTIME_DIR/nudgeon.lock" || fail "no lock file nudgeon.lock in XDG_RUNTIME_DIR"
    sleep 1
    running "$program_pid" || die "the program ended while there was no tray: $(tr '\n' ' ' <"$logs/nudgeon.err")"
    start_trayer
    wait_for_dock
    after_start=$(folder_state "$pgm" mtimes)

    # The menu's Close item has the accelerator "c".
    open_menu
    sleep 0.2
    xdotool key c
    check_closed
    check_folder_unchanged
    end_scenario
}

# --- the run ---------------------------------------------------------------------------------

start_x_server
for s in "${scenarios[@]}"; do
    case $s in
        tray-first) scenario_tray_first ;;
        tray-later) scenario_tray_later ;;
        *) die "no scenario named $s" ;;
    esac
done
[ "$failures" -eq 0 ] && log "all checks passed"
