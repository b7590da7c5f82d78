#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end test of how Nudgeon runs the entries of its schedule: the real program under a
# faked clock (libfaketime), a real tray (trayer) and a virtual X display (Xvfb).
#
# Usage: runner.sh <nudgeon executable> <build folder> [scenario...]
#
# Scenarios (all of them when none is named):
#   program     two entries due in the program's current minute each start a recording script
#               once, in that minute, in the script's own folder (whose name has a blank), with
#               "mm-dd-yy" in the parameters replaced by the faked date and a quoted parameter
#               with blanks kept whole; entries of an earlier and a later minute do not run; the
#               schedule file is left as it was; the tray menu's Close ends the program with
#               code 0.
#   note        a note entry due in the current minute shows the note window, frameless and on
#               top, with the note file's text; the Close item of its menu, chosen with the
#               accelerator "c", takes it away; the note file is left as it was; the program
#               runs on and its tray menu's Close ends it with code 0.
#   snooze      with the clock running 60 times faster: the note's "Snooze... / 5 min" takes the
#               note away and brings it back between four and six minutes later; a click on the
#               menu's Close takes it away for good.
#   repeat      with the clock running 60 times faster: an entry every 2 minutes from 10:00 runs
#               at 10:00, 10:02, 10:04 and 10:06, and a once-a-day entry at 10:03 runs once, in
#               between, each in its minute on the faked clock.
#   close-note  the tray menu's Close ends the program with code 0 while a note shows.
#   held-up     with the clock running 60 times faster: the program is stopped (SIGSTOP) over
#               the minute of a once-a-day entry and continued three faked minutes later; its
#               first tick then runs the entry it passed over, once, and the next entry runs in
#               its own minute.
#   asleep      with the clock running 60 times faster: the program is stopped for sixteen faked
#               minutes (a computer asleep) over two programs and a note entry; when it goes on,
#               the note shows at once, late, with its file's text, while neither program nor
#               the note entry's own program runs late, and the next entry runs in its minute.
#   odd-notes   with the clock running 60 times faster: at 10:00 a note that is a FIFO (the user
#               is told, the FIFO stays) and a note of one 3 MB line (its start shows); the
#               program due at 10:01 runs at 10:01, and the program is idle afterwards.
#   zone-change with the clock running 10 times faster, as root where mount namespaces can be
#               made (skipped otherwise): the program gets its own /etc/localtime (a private mount
#               namespace and a bind mount of a copied zone file); once the entry due at 10:00 UTC
#               ran, the file is rewritten in place to Asia/Tokyo: the 7:02 PM entry runs at 19:02
#               on the new zone's clock, the 3 PM one that has passed is neither run nor counted as
#               missed, and nothing runs twice.
#
# The faked clock: the program is started with libfaketime preloaded, FAKETIME="@<date time>"
# (the clock starts there and runs on) or "@<date time> x60" (it runs 60 times faster; QTimer
# follows, since libfaketime speeds up the monotonic clock and shortens the waits in poll()).
# With FAKETIME_DONT_RESET the programs that the program starts read the same faked clock
# rather than one starting afresh, so the recording script records the program's time.
# The preload library is used directly rather than through the faketime command, so that the
# process started is the program itself: its process id and exit code are the program's, and
# ending it by its id ends it. libfaketime keeps the shared clock in a shared memory object and
# a semaphore in /dev/shm named after the program's process id; they are removed at the end.
#
# On a failure a screenshot, the window tree and the logs are kept under
# <build folder>/e2e-failures/. Every process the test starts is ended by its process id.

set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 <nudgeon executable> <build folder> [program|note|snooze|repeat|close-note|held-up|asleep|odd-notes|failures|zone-change]..." >&2
    exit 2
fi
program_exe=$(readlink -f "$1")
build_dir=$(readlink -f "$2")
shift 2
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(program note snooze repeat close-note held-up asleep odd-notes)
suite=runner

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Time limits, in milliseconds.
readonly RUN_LIMIT=10000     # an entry due at the start runs (the first tick comes 2 s after it)
readonly NOTE_LIMIT=10000    # the note of an entry due at the start shows
readonly FOCUS_LIMIT=3000    # the note takes the keyboard
readonly TEXT_LIMIT=3000     # the selected text of the note can be read
readonly GONE_LIMIT=3000     # the note goes away after Close or Snooze
readonly SETTLE_MS=4500      # ticks (2 s apart after a run) in which nothing more may run

# The faked date, chosen unlike any real date a test runs on: Saturday, 17 March 2029.
readonly FAKE_DATE=2029-03-17
readonly FAKE_DATE_FILLED=03-17-29

e2e_init xclip

find_faketime_lib

# --- the program's schedule, clock and notes -------------------------------------------------

# write_schedule LINE...: the schedule file, one entry a line with CR LF line ends; a copy is
# kept to compare with and as evidence.
write_schedule() {
    printf '%s\r\n' "$@" >"$pgm/Nudgeon.cfg"
    cp "$pgm/Nudgeon.cfg" "$logs/Nudgeon.cfg.written"
}

# write_note NAME TEXT: a note file beside the program, with CR LF line ends.
write_note() {
    printf '%s' "${2//$'\n'/$'\r\n'}" >"$pgm/$1"
    cp "$pgm/$1" "$logs/$1.written"
}

# write_recorder FOLDER: FOLDER/record.sh, a program that adds one line to $runs for each run:
# the time on the program's faked clock, its working folder and each of its arguments, each in
# brackets, e.g. "[2029-03-17 10:00:07] [/tmp/x/tool box] [a] [b c]".
write_recorder() {
    mkdir -p "$1"
    runs="$logs/runs.txt"
    : >"$runs"
    cat >"$1/record.sh" <<EOF
#!/bin/sh
line="[\$(date '+%F %T')] [\$(pwd -P)]"
for a in "\$@"; do line="\$line [\$a]"; done
printf '%s\n' "\$line" >>'$runs'
EOF
    chmod +x "$1/record.sh"
}

# first_arguments: the first argument of each recorded run, a line each.
first_arguments() { sed -n 's/^\[[^]]*\] \[[^]]*\] \[\([^]]*\)\].*/\1/p' "$runs"; }

# runs_by_minute: "<hh:mm> <first argument>" for each recorded run, a line each.
runs_by_minute() { sed -n 's/^\[[^ ]* \([0-9:]\{5\}\):[0-9]*\] \[[^]]*\] \[\([^]]*\)\].*/\1 \2/p' "$runs"; }

# count_runs ARGUMENT: how many recorded runs had ARGUMENT as first argument.
count_runs() { first_arguments | grep -cxF -- "$1"; }

# at_least_runs N ARGUMENT: ARGUMENT has run N times or more.
at_least_runs() { [ "$(count_runs "$2")" -ge "$1" ]; }

# --- the note window -------------------------------------------------------------------------

has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# primary_is TEXT: the X primary selection holds exactly TEXT.
primary_is() {
    local got
    got=$(timeout 2 xclip -o -selection primary -target UTF8_STRING 2>/dev/null && echo .) || return 1
    got=${got%.}
    printf '%s' "$got"
    [ "$got" = "$1" ]
}

# wait_for_note: waits for the note window; sets $note and its geometry $nx $ny $nw $nh.
wait_for_note() {
    poll "$NOTE_LIMIT" note_window || die "no note window showed within $NOTE_LIMIT ms"
    note=$polled
    read -r nx ny nw nh <<<"$(geometry "$note")"
    log "note $(printf '0x%x' "$note") (${nw}x${nh} at $nx,$ny) showed after $polled_ms ms"
}

# check_note_looks: the note window asks to stay on top and to have no frame.
check_note_looks() {
    local state hints flags decorations
    state=$(xprop -id "$note" _NET_WM_STATE 2>/dev/null)
    [[ $state == *_NET_WM_STATE_ABOVE* ]] || fail "the note window does not stay on top: $state"
    # Motif hints: flags, functions, decorations, ...; flag 2 says the decorations count.
    hints=$(xprop -id "$note" _MOTIF_WM_HINTS 2>/dev/null)
    read -r flags _ decorations _ <<<"$(sed -n 's/^_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = //p' <<<"$hints" | tr -d ,)"
    if ! { [ -n "$decorations" ] && ((flags & 2)) && ((decorations == 0)); }; then
        fail "the note window has a frame: ${hints:-no _MOTIF_WM_HINTS}"
    fi
}

# check_note_text TEXT: the note shows TEXT, read from the selection that Ctrl+A makes.
check_note_text() {
    poll "$FOCUS_LIMIT" has_focus "$note" ||
        fail "the note did not take the keyboard within $FOCUS_LIMIT ms (focus: $(xdotool getwindowfocus 2>&1))"
    xdotool key ctrl+a
    if poll "$TEXT_LIMIT" primary_is "$1"; then
        log "the note shows its file's text"
    else
        fail "the note shows $(printf '%q' "$polled") rather than $(printf '%q' "$1")"
    fi
}

# open_note_menu: a click on the note's menu icon opens its menu; sets $note_menu and its
# geometry $qx $qy $qw $qh.
open_note_menu() {
    xdotool mousemove $((nx + 10)) $((ny + 7)) click 1
    poll "$MENU_LIMIT" menu_of "$program_pid" "$icon" "$note" ||
        die "no menu showed within $MENU_LIMIT ms of a click on the note's menu icon"
    note_menu=$polled
    read -r qx qy qw qh <<<"$(geometry "$note_menu")"
    log "note menu $(printf '0x%x' "$note_menu") (${qw}x${qh} at $qx,$qy) showed after $polled_ms ms"
}

# wait_note_gone WHAT: the note and its menus leave the screen after WHAT.
wait_note_gone() {
    poll "$GONE_LIMIT" no_note_window || die "the note still shows $GONE_LIMIT ms after $1"
    poll "$GONE_LIMIT" window_hidden "$note_menu" || fail "the note's menu still shows $GONE_LIMIT ms after $1"
    log "the note went away $polled_ms ms after $1"
}

window_hidden() { ! is_viewable "$1"; }

# check_unchanged FILE: FILE in the program folder is as the test wrote it.
check_unchanged() {
    cmp -s "$logs/$1.written" "$pgm/$1" ||
        fail "the program changed $1: $(od -c "$pgm/$1" | head -n 5 | tr '\n' ' ')"
}

# stop_program_for SECONDS BEFORE: with the clock 60 times faster, stops the program (SIGSTOP)
# 1333 ms after its start (about 10:01:20 on a start at 10:00) and continues it SECONDS real
# seconds later; dies when the program docked too late to be stopped before the minute BEFORE.
stop_program_for() {
    local stop_at=$((program_start + 1333))
    [ "$(now_ms)" -lt "$stop_at" ] || die "the program docked too late to be stopped before $2"
    local wait_ms=$((stop_at - $(now_ms)))
    sleep "$((wait_ms / 1000)).$(printf '%03d' $((wait_ms % 1000)))"
    kill -STOP "$program_pid"
    sleep "$1"
    kill -CONT "$program_pid"
    log "the program was stopped for $1 s from $((stop_at - program_start)) ms after its start"
}

# --- the scenarios ---------------------------------------------------------------------------

scenario_program() {
    begin_scenario program
    local tools="$scenario_dir/tool box"
    write_recorder "$tools"
    local recorder="$tools/record.sh"
    # Two entries share 10:00: each runs once. The earlier and the later entry come first and
    # last, so neither is chosen by its place.
    write_schedule \
        " 10:01 AM    ,$recorder,0,later" \
        " 10:00 AM    ,$recorder,0,report-mm-dd-yy.txt \"two words  kept\" plain" \
        " 10:00 AM    ,$recorder,0,second" \
        " 09:59 AM    ,$recorder,0,earlier"
    start_trayer
    start_program_at "@$FAKE_DATE 10:00:05"
    wait_for_dock

    poll "$RUN_LIMIT" test -s "$runs" || die "no entry ran within $RUN_LIMIT ms of the start"
    log "an entry ran $(($(now_ms) - program_start)) ms after the start"
    sleep "$((SETTLE_MS / 1000)).$((SETTLE_MS % 1000))"
    # The later entry is due 55 s after the start: what is checked here happened before.
    [ $(($(now_ms) - program_start)) -lt 50000 ] ||
        die "the checks came too late to tell whether the entry due at 10:01 ran"

    # The runs, each with its minute on the faked clock (without the seconds), in either order.
    local folder expected got
    folder=$(cd "$tools" && pwd -P)
    expected=$(printf '%s\n' \
        "[$FAKE_DATE 10:00] [$folder] [report-$FAKE_DATE_FILLED.txt] [two words  kept] [plain]" \
        "[$FAKE_DATE 10:00] [$folder] [second]" | sort)
    got=$(sed 's/^\(\[[^]]*:[0-9]*\):[0-9]*\]/\1]/' "$runs" | sort)
    [ "$got" = "$expected" ] ||
        fail "the recorded runs are not one run of each entry due at 10:00, in its folder: expected $(tr '\n' ';' <<<"$expected") got $(tr '\n' ';' <<<"$got")"
    check_unchanged Nudgeon.cfg

    close_from_tray
    end_scenario
}

scenario_note() {
    begin_scenario note
    local text=$'Water the plants\nat ten, café\n'
    # A note name of 40 characters, as written by hand: the whole name is the file's.
    local note_file=water-the-plants-by-the-kitchen-sill.txt
    write_note "$note_file" "$text"
    # The entry at 11:30, which runs nothing, makes the tick after the note come 2 s later.
    write_schedule " 10:00 AM    ,,0,[$note_file]" " 11:30 AM    ,,0,"
    start_trayer
    start_program_at "@$FAKE_DATE 10:00:05"
    wait_for_dock

    wait_for_note
    check_note_looks
    check_note_text "$text"

    open_note_menu
    sleep 0.2
    xdotool key c
    wait_note_gone "the note menu's Close"
    check_unchanged "$note_file"
    check_unchanged Nudgeon.cfg

    # The program runs on after the note: a tick later it still runs, shows no note again, and
    # closes cleanly.
    sleep 2.5
    no_note_window || fail "the note showed again after its Close"
    close_from_tray
    end_scenario
}

scenario_snooze() {
    begin_scenario snooze
    local text=$'Call the bank\n'
    write_note bank.txt "$text"
    write_schedule " 10:00 AM    ,,0,[bank.txt]"
    start_trayer
    # Four faked minutes before the entry: the program has four real seconds to start.
    start_program_at "@$FAKE_DATE 09:56:00 x60"
    wait_for_dock

    wait_for_note
    local shown=$(($(now_ms) - program_start))
    [ "$shown" -ge 3800 ] || fail "the note of 10:00 showed $shown ms after a start at 09:56 at 60 times the speed"
    check_note_text "$text"

    # "Snoo&ze..." opens its menu with "z", and "&5 min" is chosen with "5".
    open_note_menu
    sleep 0.2
    xdotool key z
    sleep 0.3
    local snoozed
    snoozed=$(now_ms)
    xdotool key 5
    wait_note_gone "Snooze 5 min"

    # Five faked minutes, counted in whole minutes: back after four to six real seconds.
    poll 10000 note_window || die "the snoozed note did not come back within 10 s (10 faked minutes)"
    local back=$(($(now_ms) - snoozed))
    note=$polled
    read -r nx ny nw nh <<<"$(geometry "$note")"
    log "the snoozed note came back $back ms after Snooze 5 min"
    # The faked clock runs exactly 60 times faster: no earlier than 4 faked minutes is 4 s.
    [ "$back" -ge 3800 ] || fail "the note snoozed for 5 minutes came back after $back ms (under 4 faked minutes)"
    check_note_text "$text"

    # The menu's last item is Close: a click in the middle of its lowest line hits it.
    open_note_menu
    xdotool mousemove $((qx + qw / 2)) $((qy + qh - 10))
    sleep 0.2
    xdotool click 1
    wait_note_gone "a click on the note menu's Close"
    # Three faked minutes, three ticks: the entry ran and was snoozed once, and is done for today.
    sleep 3
    no_note_window || fail "the note showed again after its Close"
    check_unchanged bank.txt

    close_from_tray
    end_scenario
}

scenario_repeat() {
    begin_scenario repeat
    local tools="$scenario_dir/tools"
    write_recorder "$tools"
    write_schedule " 10:00 AM    ,$tools/record.sh,2,every-2" " 10:03 AM    ,$tools/record.sh,0,once"
    start_trayer
    start_program_at "@$FAKE_DATE 09:56:00 x60"
    wait_for_dock

    # 10:06 is 10 real seconds after the start.
    poll 16000 at_least_runs 4 every-2 ||
        die "the entry every 2 minutes ran $(count_runs every-2) times within 16 s (16 faked minutes); runs: $(tr '\n' ';' <"$runs")"
    local expected got
    expected=$'10:00 every-2\n10:02 every-2\n10:03 once\n10:04 every-2\n10:06 every-2'
    got=$(runs_by_minute)
    log "runs: $(tr '\n' ',' <<<"$got")"
    [ "$got" = "$expected" ] ||
        fail "the runs came at $(tr '\n' ',' <<<"$got") rather than at $(tr '\n' ',' <<<"$expected")"

    close_from_tray
    end_scenario
}

# cpu_ticks PID: the processor time PID has used, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

scenario_odd_notes() {
    begin_scenario odd-notes
    local tools="$scenario_dir/tools"
    write_recorder "$tools"
    mkfifo "$pgm/fifo.txt"
    head -c 3145728 /dev/zero | tr '\0' 'x' >"$pgm/long.txt"
    cp "$pgm/long.txt" "$logs/long.txt.written"
    write_schedule " 10:00 AM    ,,0,[fifo.txt]" " 10:00 AM    ,,0,[long.txt]" " 10:01 AM    ,$tools/record.sh,0,on-time"
    start_trayer
    start_program_at "@$FAKE_DATE 09:59:45 x60"
    wait_for_dock

    poll "$NOTE_LIMIT" program_window '^Nudgeon$' || die "no message about the FIFO showed within $NOTE_LIMIT ms"
    log "the message about the FIFO showed after $polled_ms ms"
    poll "$RUN_LIMIT" at_least_runs 1 on-time || die "the 10:01 entry did not run within $RUN_LIMIT ms"
    local got
    got=$(runs_by_minute)
    log "runs: $(tr '\n' ',' <<<"$got")"
    [ "$got" = "10:01 on-time" ] || fail "the runs came at $(tr '\n' ',' <<<"$got") rather than once at 10:01"
    xdotool key Return
    wait_for_note

    # Idle: well under a tenth of a processor over two seconds.
    local before after
    before=$(cpu_ticks "$program_pid")
    sleep 2
    after=$(cpu_ticks "$program_pid")
    log "processor time over 2 s afterwards: $((after - before)) ticks"
    [ $((after - before)) -lt 20 ] || fail "the program used $((after - before)) clock ticks in 2 s after the notes"
    [ -p "$pgm/fifo.txt" ] || fail "the FIFO note is no longer a FIFO"
    check_unchanged long.txt
    close_from_tray "$note"
    end_scenario
}

scenario_close_note() {
    begin_scenario close-note
    write_note hello.txt $'Hello\n'
    write_schedule " 10:00 AM    ,,0,[hello.txt]"
    start_trayer
    start_program_at "@$FAKE_DATE 10:00:05"
    wait_for_dock
    wait_for_note
    close_from_tray "$note"
    poll "$GONE_LIMIT" window_gone "$note" || fail "the note window is still there after the program ended"
    check_unchanged hello.txt
    end_scenario
}

scenario_held_up() {
    begin_scenario held-up
    local tools="$scenario_dir/tools"
    write_recorder "$tools"
    write_schedule " 10:02 AM    ,$tools/record.sh,0,passed-over" " 10:05 AM    ,$tools/record.sh,0,after"
    start_trayer
    start_program_at "@$FAKE_DATE 10:00:00 x60"
    wait_for_dock

    # A faked minute is a real second: stopped at about 10:01:20, continued at about 10:04:20.
    stop_program_for 3 10:02

    poll 4000 at_least_runs 1 after || die "the entry due at 10:05 did not run; runs: $(tr '\n' ';' <"$runs")"
    sleep 2
    local expected got
    expected=$'10:04 passed-over\n10:05 after'
    got=$(runs_by_minute)
    [ "$got" = "$expected" ] ||
        fail "the runs came at $(tr '\n' ',' <<<"$got") rather than at $(tr '\n' ',' <<<"$expected")"

    close_from_tray
    end_scenario
}

scenario_asleep() {
    begin_scenario asleep
    local tools="$scenario_dir/tools" text=$'Written before the sleep\n'
    write_recorder "$tools"
    write_note asleep.txt "$text"
    write_schedule " 10:05 AM    ,$tools/record.sh,0,slept-through" \
        " 10:10 AM    ,$tools/record.sh,0,note-entry [asleep.txt]" \
        " 10:15 AM    ,$tools/record.sh,0,slept-through" \
        " 10:20 AM    ,$tools/record.sh,0,after"
    start_trayer
    start_program_at "@$FAKE_DATE 10:00:00 x60"
    wait_for_dock

    # Stopped at about 10:01:20 and continued sixteen faked minutes later, at about 10:17:20.
    stop_program_for 16 10:05
    local woke=$(now_ms)

    wait_for_note
    local shown=$(($(now_ms) - woke))
    # Before 10:20, when the next entry runs: the late note does not wait for another entry.
    [ "$shown" -lt 2600 ] || fail "the note missed in the sleep showed $shown ms after the program went on"
    check_note_text "$text"
    poll 6000 at_least_runs 1 after || fail "the entry due at 10:20 did not run while the late note showed"
    sleep 2
    local got
    got=$(runs_by_minute)
    [ "$got" = "10:20 after" ] ||
        fail "the runs came at $(tr '\n' ',' <<<"$got") rather than only at 10:20: nothing due in the sleep runs late"

    # With no notification server the summary of the sleep is a window; the history has each
    # program the sleep passed over (the note entry's too), and the note as shown late.
    local history="$HOME/.local/state/Nudgeon/history.log" away
    away=$(poll 3000 program_window '^While you were away$' && program_window '^While you were away$') ||
        fail "no window sums up the sleep"
    local passed
    passed=$(grep -F $'\tnot run late\t' "$history" | cut -f1 | cut -c12-16 | tr '\n' ' ')
    [ "$passed" = "10:05 10:10 10:15 " ] || fail "the history has the programs of the sleep at $passed: $(cat "$history")"
    grep -qF $'T10:10:00' <(grep -F $'\tnote shown\t' "$history") ||
        fail "the history has not the note shown late: $(cat "$history")"
    if [ -n "$away" ]; then
        xdotool windowfocus --sync "$away" key alt+c
        poll 3000 window_hidden "$away" || fail "the summary's Close did not close it"
    fi

    open_note_menu
    xdotool mousemove $((qx + qw / 2)) $((qy + qh - 10))
    sleep 0.2
    xdotool click 1
    wait_note_gone "a click on the note menu's Close"
    check_unchanged asleep.txt
    close_from_tray
    end_scenario
}

# history_has_lines FILE N: the history holds at least N lines.
history_has_lines() { [ -f "$1" ] && [ "$(wc -l <"$1")" -ge "$2" ]; }

scenario_failures() {
    begin_scenario failures
    local tools="$scenario_dir/tools"
    mkdir -p "$tools"
    printf '#!/bin/sh\necho "copying" >&2\necho "disk full" >&2\nexit 3\n' >"$tools/fails.sh"
    chmod 700 "$tools/fails.sh"
    printf 'echo no interpreter line\n' >"$tools/plain.sh"
    chmod 700 "$tools/plain.sh"
    # A program still running when Nudgeon ends goes on and finishes its work.
    printf '#!/bin/sh\nsleep 4\ntouch "$0.done"\n' >"$tools/slow.sh"
    chmod 700 "$tools/slow.sh"
    write_schedule " 10:00 AM    ,$tools/fails.sh,0," " 10:00 AM    ,/nowhere/missing-tool,0," \
        " 10:00 AM    ,$tools/plain.sh,0," " 10:00 AM    ,$tools/slow.sh,0,"
    start_trayer
    start_program_at "@$FAKE_DATE 10:00:05"
    wait_for_dock

    local history="$HOME/.local/state/Nudgeon/history.log"
    poll "$RUN_LIMIT" history_has_lines "$history" 5 ||
        die "the history has not the five lines of the four entries within $RUN_LIMIT ms: $(cat "$history" 2>&1)"
    grep -qF $'\tnot started\t 10:00 AM    ,/nowhere/missing-tool,0,\treason="/nowhere/missing-tool" is not there' "$history" ||
        fail "no line says the missing program could not start: $(cat "$history")"
    grep -q $'plain.sh,0,\treason=.*a script needs a first line starting with #!$' "$history" ||
        fail "no line says the script without #! could not start: $(cat "$history")"
    grep -qE $'\texited\t.*fails.sh,0,\tstatus=3\tseconds=[0-9.]+\terrors=copying\\\\ndisk full$' "$history" ||
        fail "no line gives the status 3 and the error output: $(cat "$history")"
    [ "$(stat -c %a "$history")" = 600 ] || fail "the history is not private: $(stat -c %a "$history")"

    [ ! -e "$tools/slow.sh.done" ] || fail "the slow program was done before Nudgeon ended"
    close_from_tray
    poll 8000 test -e "$tools/slow.sh.done" || fail "the program started by Nudgeon did not outlive it"
    end_scenario
}

# The machine's own zone, which the scenario must leave alone.
machine_zone() { stat -c '%N %i %Y' /etc/localtime && md5sum </etc/localtime; }

scenario_zone_change() {
    # A bind mount in a mount namespace of its own, gone as the namespace ends.
    if ! unshare -m mount --bind /usr/share/zoneinfo/UTC /etc/localtime 2>/dev/null; then
        log "== zone-change SKIPPED: giving the program its own /etc/localtime needs root and mount namespaces"
        return
    fi
    begin_scenario zone-change
    local tools="$scenario_dir/tools" zone="$scenario_dir/localtime" machine history
    machine=$(machine_zone)
    history="$HOME/.local/state/Nudgeon/history.log"
    # With the zone file's old time: a rewrite within the second the program read it is seen.
    cp -p /usr/share/zoneinfo/UTC "$zone"
    write_recorder "$tools"
    # 3 PM has passed in Tokyo when the zone changes: a program seeing a clock jump would miss it.
    write_schedule " 10:00 AM    ,$tools/record.sh,0,ten" " 03:00 PM    ,$tools/record.sh,0,three" \
        " 07:02 PM    ,$tools/record.sh,0,seven-o-two"
    start_trayer
    # The program and what it starts see $zone as /etc/localtime, in a mount namespace of their own.
    # The faked start goes as seconds since the epoch: libfaketime reads a date and time in the
    # zone of each process as it starts, and the recorder starts in the new zone.
    start_program_at "@$(date -ud "$FAKE_DATE 10:00:05" +%s) x10" \
        unshare -m sh -c 'mount --bind "$0" /etc/localtime && exec env -u TZ FAKETIME_FMT=%s "$@"' "$zone"
    wait_for_dock
    poll "$RUN_LIMIT" at_least_runs 1 ten || die "the entry due at the start did not run: $(cat "$runs")"
    # In place, as timedatectl's rewrite is seen through the bind mount: 10:00 UTC is 19:00 in Tokyo.
    cat /usr/share/zoneinfo/Asia/Tokyo >"$zone"
    log "the program's zone is Asia/Tokyo now"
    poll 20000 at_least_runs 1 seven-o-two || fail "the 7:02 PM entry did not run within 20 s (2 faked minutes)"
    sleep "$((SETTLE_MS / 1000)).$((SETTLE_MS % 1000))"
    local ran
    ran=$(runs_by_minute | tr '\n' ' ')
    [ "$ran" = "10:00 ten 19:02 seven-o-two " ] && log "runs: $ran" ||
        fail "the runs were $ran, not the 10:00 entry in UTC and the 7:02 PM entry at 19:02 in Tokyo"
    grep -E $'\t(missed|not run late)\t' "$history" && fail "the zone change was taken for a sleep"
    close_from_tray
    end_scenario
    [ "$(machine_zone)" = "$machine" ] || fail "the machine's /etc/localtime changed: $(machine_zone)"
}

# --- the run ---------------------------------------------------------------------------------

start_x_server
for s in "${scenarios[@]}"; do
    case $s in
        program) scenario_program ;;
        note) scenario_note ;;
        snooze) scenario_snooze ;;
        repeat) scenario_repeat ;;
        close-note) scenario_close_note ;;
        held-up) scenario_held_up ;;
        asleep) scenario_asleep ;;
        odd-notes) scenario_odd_notes ;;
        failures) scenario_failures ;;
        zone-change) scenario_zone_change ;;
        *) die "no scenario named $s" ;;
    esac
done
[ "$failures" -eq 0 ] && log "all checks passed"
