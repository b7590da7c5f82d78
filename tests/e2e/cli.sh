#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end test of Nudgeon's command line: one table of command lines run with no copy of the
# program running (they work on the files, on a faked clock) and one against a running copy
# (under a faked clock, in a virtual X display with a tray), each row checked for its exit
# status, its output and the schedule file's bytes afterwards. The commands run without a
# display. Against the running copy, an added note entry fires in its minute, --next agrees
# with the tray tip's text, and --snooze puts the shown note off.
#
# Usage: cli.sh <nudgeon executable> <build folder>

set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 <nudgeon executable> <build folder>" >&2
    exit 2
fi
program_exe=$(readlink -f "$1")
build_dir=$(readlink -f "$2")
suite=cli

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Monday, 19 March 2029: a note added for 22:30 that day is named "319" + "2230" + ".txt".
readonly FAKE_DAY=2029-03-19
readonly NOTE_LIMIT=20000 # the note of 22:30 shows, the program started at 22:29:50

e2e_init python3
find_faketime_lib

# cli ARG...: runs a command without a display; its output in $out, error output in $err,
# exit status in $status. With $cli_time set, on a faked clock starting there.
cli_time=""
cli() {
    local pre=()
    [ -n "$cli_time" ] && pre=(LD_PRELOAD="$faketime_lib" FAKETIME="@$cli_time")
    env -u DISPLAY -u XAUTHORITY NUDGEON_E2E_RUN="$run_marker" "${pre[@]}" "$pgm/nudgeon" "$@" \
        >"$logs/cli.out" 2>"$logs/cli.err"
    status=$?
    out=$(cat "$logs/cli.out")
    err=$(cat "$logs/cli.err")
}

# row STATUS PATTERN SCHEDULE ARG...: the command of ARGs ends with STATUS, its output (its error
# output when STATUS is not 0) matches the extended regular expression PATTERN, and the
# schedule file then holds the lines of SCHEDULE, separated by "|", each ended by CR LF ("-":
# there is no schedule file).
row() {
    local want=$1 pattern=$2 schedule=$3
    shift 3
    cli "$@"
    local shown=$out
    [ "$want" -eq 0 ] || shown=$err
    [ "$status" -eq "$want" ] || fail "'$*' ended with $status, not $want: $out $err"
    grep -qE -- "$pattern" <<<"$shown" || fail "'$*' gave '$shown', not matching '$pattern'"
    if [ "$schedule" = - ]; then
        [ ! -e "$pgm/Nudgeon.cfg" ] || fail "'$*' left a schedule file"
    else
        local line
        : >"$logs/expected.cfg"
        IFS='|' read -ra lines <<<"$schedule"
        for line in "${lines[@]}"; do printf '%s\r\n' "$line" >>"$logs/expected.cfg"; done
        cmp -s "$logs/expected.cfg" "$pgm/Nudgeon.cfg" ||
            fail "after '$*' the schedule holds $(od -c "$pgm/Nudgeon.cfg" | head -n 8 | tr '\n' ' ')"
    fi
    log "row: $* -> $status"
}

no_copy_of_ours() {
    local left
    left=$(stray_pids)
    [ -z "$left" ] || fail "a command left processes running: $left"
}

bins=$'10:30 PM    ,,/25,[3192230.txt]'
tools=$' 07:00 AM    ,/bin/echo,90,a,b'
rent=$'11:00 PM    ,DARIZIZ.EXE,-31,me@example.org[3192300.txt]'

scenario_files() {
    begin_scenario files
    cli_time="$FAKE_DAY 22:25:00"
    row 2 "Unknown option 'bogus'" - --bogus
    no_copy_of_ours
    row 0 '^Exit status: 0 done, 1 refused' - --help
    row 0 '^Nudgeon [0-9]+\.[0-9]+' - --version
    row 2 'takes --run PROGRAM' - --add 10:30PM
    row 2 'one of --every' - --add 10:30PM --run x --every 5 --days Mo
    row 2 "'25:00' is not a valid time" - --add 25:00 --run x
    row 2 'from 0 to 1440' - --add 1:00 --run x --every 1441
    row 2 "not 'Xx'" - --add 1:00 --run x --days Mo,Xx
    row 1 'comma' - --add 1:00 --run a,b
    row 1 'not running' - --snooze 3192230.txt 5
    row 0 'Added entry 1: 10:30 PM' "$bins" --add 10:30PM --note "Take out the bins" --days Mo,Th
    [ "$(cat "$pgm/3192230.txt")" = "Take out the bins" ] || fail "the note file does not hold the note"
    row 0 'Added entry 1' "$tools|$bins" --add 7:00 --run /bin/echo --args a,b --every 90
    row 1 'holds this entry already' "$tools|$bins" --add 07:00am --run /bin/echo --args a,b --every 90
    row 0 'Added entry 3' "$tools|$bins|$rent" --add 23:00 --mail me@example.org --note Rent --monthly 31
    row 0 '^ 3  23:00  e-mail to me@example.org: Rent  on day 31 of every month  next: Sat 2029-03-31 23:00$' \
        "$tools|$bins|$rent" --list
    row 0 '"next":"2029-03-19T22:30:00","note":"Take out the bins","noteFile":"3192230.txt","number":2' \
        "$tools|$bins|$rent" --list --json
    [ "$(wc -l <<<"$out")" -eq 3 ] || fail "--list --json gave $(wc -l <<<"$out") lines for 3 entries"
    row 0 '"due":"2029-03-19T22:30:00".*"minutesLeft":5,"number":2' "$tools|$bins|$rent" --next --json
    row 1 'no entry 4' "$tools|$bins|$rent" --remove 4
    row 0 'Removed entry 3' "$tools|$bins" --remove 3
    [ ! -e "$pgm/3192300.txt" ] || fail "the removed entry's note file is still there"
    row 0 '^BEGIN:VCALENDAR' "$tools|$bins" --export-ics
    row 0 'Wrote 3 event' "$tools|$bins" --export-ics "$logs/out.ics"
    grep -q 'SUMMARY:Take out the bins' "$logs/out.ics" || fail "the exported file lacks the note's event"
    scenario_history "$tools|$bins"

    # A schedule of the old form, with no settings entry: taken over as a start takes it over.
    rm -f "$XDG_CONFIG_HOME/Nudgeon/registry.ini"
    printf 'Nudgeon 2\r\n1\r\n%s\r\n' "$tools" >"$pgm/Nudgeon.cfg"
    row 0 '^ 1  07:00  run /bin/echo a,b' "$tools" --list
    grep -q 'Nudgeon\\Settings="1,0"' "$XDG_CONFIG_HOME/Nudgeon/registry.ini" ||
        fail "the old header's chime was not stored: $(cat "$XDG_CONFIG_HOME/Nudgeon/registry.ini")"
    cli_time=""
}

# The history, in UTC: a rotated copy and the file, with a line that is no firing. SCHEDULE is
# the schedule file's, which --history leaves alone.
scenario_history() {
    local schedule=$1 t=$'\t'
    export XDG_STATE_HOME="$scenario_dir/state"
    mkdir -p "$XDG_STATE_HOME/Nudgeon"
    printf '%s\n' "2029-03-17T22:30:00Z${t}2029-03-17T22:30:01Z${t}note shown${t}$bins" 'no firing' \
        >"$XDG_STATE_HOME/Nudgeon/history.log.1"
    printf '%s\n' "2029-03-18T07:00:00Z${t}2029-03-18T07:00:00Z${t}not started${t}$tools${t}reason=No such file" \
        "2029-03-19T07:00:00Z${t}2029-03-19T07:00:01Z${t}exited${t}$tools${t}status=3${t}seconds=1.0${t}errors=boom\\nlast" \
        "2029-03-19T09:00:00Z${t}-${t}missed${t}$bins" >"$XDG_STATE_HOME/Nudgeon/history.log"
    local firing='^[ !] [A-Z][a-z]{2} 2029'
    TZ=UTC row 0 '^  Sat 2029-03-17 22:30  note: Take out the bins  Note shown$' "$schedule" --history
    [ "$(grep -cE "$firing" <<<"$out")" -eq 4 ] || fail "--history gave $out"
    [[ $out == "  Sat 2029-03-17 22:30"* ]] || fail "--history does not begin with the oldest firing: $out"
    [[ $out == *$'Exited with status 3 after 1.0 s\n      | boom\n      | last\n  Mon 2029-03-19 09:00'* ]] ||
        fail "--history lists out of order or without the error output: $out"
    TZ=UTC row 0 '^! Sun 2029-03-18 07:00  run /bin/echo a,b  Could not start: No such file$' "$schedule" \
        --history --failed
    [ "$(grep -cE "$firing" <<<"$out")" -eq 2 ] || fail "--history --failed gave $out"
    TZ=UTC row 0 '^  Mon 2029-03-19 09:00  note: Take out the bins  Missed while asleep$' "$schedule" \
        --history --since '2029-03-19 08:00'
    [ "$(grep -cE "$firing" <<<"$out")" -eq 1 ] || fail "--history --since gave $out"
    TZ=UTC row 0 '^\{"description":"Exited with status 3 after 1.0 s","due":"2029-03-19T07:00:00","errorOutput":"boom\\nlast","failed":true,"line":" 07:00 AM    ,/bin/echo,90,a,b","outcome":"exited","ran":"2029-03-19T07:00:01","seconds":1,"signal":0,"status":3\}$' \
        "$schedule" --history --failed --since 2029-03-19 --json
    [ "$(wc -l <<<"$out")" -eq 1 ] || fail "--history --failed --since --json gave $out"
    row 2 "'2029-02-30' is not a date" "$schedule" --history --since 2029-02-30
    row 2 'go with --history' "$schedule" --list --failed
}

scenario_running() {
    begin_scenario running
    local first=' 07:00 AM    ,,0,'
    printf '%s\r\n' "$first" >"$pgm/Nudgeon.cfg"
    export XDG_STATE_HOME="$scenario_dir/state"
    mkdir -p "$XDG_STATE_HOME/Nudgeon"
    printf '2029-03-19T07:00:00Z\t-\tnot started\t%s\treason=gone\n' "$tools" >"$XDG_STATE_HOME/Nudgeon/history.log"
    start_trayer
    start_program_at "@$FAKE_DAY 22:29:45"
    wait_for_dock

    row 0 'Added entry 2: 10:30 PM' "$first|$bins" --add 10:30PM --note "Take out the bins" --days Mo,Th
    row 0 '"next":"2029-03-19T22:30:00".*"number":2' "$first|$bins" --list --json
    row 0 '"due":"2029-03-19T22:30:00"' "$first|$bins" --next --json
    # The tip counts the same minutes as --next.
    python3 -c '
import json, sys
n = json.loads(sys.argv[1])
left = n["minutesLeft"]
want = "Running..." if left <= 0 else "Nudgeon:  %dmin" % left
sys.exit(0 if n["tip"] == want and n["number"] == 2 else "tip %r for %d minutes" % (n["tip"], left))
' "$out" || fail "--next and the tip disagree: $out"
    row 0 'run /bin/echo a,b  Could not start: gone$' "$first|$bins" --history --failed
    row 2 "Unknown option" "$first|$bins" --list --bogus
    running "$program_pid" || die "the running copy ended after a bad option"

    poll "$NOTE_LIMIT" note_window || die "the added note did not show within $NOTE_LIMIT ms"
    log "the added note showed after $polled_ms ms"
    row 1 'is not shown' "$first|$bins" --snooze 1.txt 5
    row 0 'put off by 5' "$first|$bins" --snooze 3192230.txt 5
    poll 3000 no_note_window || fail "the snoozed note still shows"
    # The engine took the snooze: the entry comes back five minutes on.
    row 0 '"due":"2029-03-19T22:3[56]:.*"number":2' "$first|$bins" --next --json
    row 0 'Removed entry 2' "$first" --remove 2
    [ ! -e "$pgm/3192230.txt" ] || fail "the removed entry's note file is still there"
    row 0 '^BEGIN:VCALENDAR' "$first" --export-ics
    close_from_tray
    end_scenario
}

start_x_server
scenario_files
scenario_running
[ "$failures" -eq 0 ] && log "all checks passed"
