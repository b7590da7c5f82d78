#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A week in the life of Nudgeon: the real program, under a faked clock (libfaketime) running
# thousands of times faster than the real one, with a real tray (trayer) in a virtual X display
# (Xvfb), goes through seven days of a schedule of thirty mixed entries.
#
# Usage: week.sh <nudgeon executable> <build folder> [speed factor]
#
# The schedule holds entries once a day, every N minutes from a start time (N of 20 to 1440
# minutes, running on across midnight, some of them at other minutes each day), on some
# weekdays, on a day of the month that falls inside the week and on days that do not, and
# notes. Every entry starts a recording script that appends the time on the faked clock, the
# entry's id and the date the program filled into its "mm-dd-yy" to a log; note entries show
# their note as well, which a background loop closes from the note's menu.
#
# The checks, over the week from Monday 30 April 2029 00:00 to Monday 7 May 2029 00:00:
#   - every entry ran exactly as often as its rule says, each run in its due minute, on its
#     due date, and never twice for one due minute; nothing ran at a minute no rule names;
#   - every run of a note entry showed its note (the background loop closed as many notes as
#     note entries ran), and a note that shows holds nothing up: the entries due meanwhile run
#     all the same (a missed run that fell while a note showed is marked "(note)" in the table);
#   - the resident memory (VmRSS) at the end is at most 2 MB above the one after the first
#     faked hour, both taken while no note shows;
#   - the schedule file and the note files are byte for byte as written;
#   - the tray menu's Close ends the program with exit code 0.
# A table of the entries with their rules, the runs expected and the runs counted, and the
# memory figures, are printed at the end.
#
# The faked clock. The program starts at Sunday 29 April 2029 22:00:00 UTC with the clock
# running SPEED times faster (2880 unless given: a faked day takes 30 real seconds, a faked
# minute 21 ms), so the whole run takes about 3.6 minutes. The two hours before Monday are a
# warm-up, left out of the counts: the program starts, docks and settles (at this speed its
# start-up alone takes a quarter of a faked hour), runs the entries due on Sunday evening and
# shows and closes its first note, all before the first memory figure. The counts end at
# Monday 7 May 00:00, and the program is closed about 20 faked minutes later: a run due at
# that midnight or after is left out. Whether a run is in the week is decided by the minute it
# was due in, not by when the recorder looked at the clock.
#
# The program ticks once a faked minute, a second or so into it, on a precise QTimer, whose
# waits libfaketime shortens by the speed factor. A tick held up by more than about a faked
# minute (a few tens of real ms) passes over a minute; the program then runs the entries due in the
# minutes it passed over at once, late, when it passed over fewer than CATCH_UP_MINUTES. Such
# a run counts for its due minute and is reported as caught up; a run missed all the same
# shows up as a missing run. Repeating entries count from their start time on the
# Sunday the program starts, running on across midnight. No two entries are ever due in the same
# minute, so that a run's start-up (some real milliseconds, which the speed factor turns into
# faked seconds) can never push the next entry's run out of its minute.
#
# The recorded time is the recorder's own reading of the faked clock, taken after the program
# launched it. A launch takes a few real milliseconds, now and then twenty, and the speed
# factor turns each into about three faked seconds, so a run launched late in its minute is
# often read in the next one: a run counts as in its minute when the reading lies from the
# start of the due minute (never before) up to RECORD_SLACK_MS real milliseconds, times the
# speed factor, after its end. A run belongs to the latest due minute of its entry at or
# before its reading. The date the program filled into "mm-dd-yy" at the launch must be the
# due date exactly.
#
# Everything runs in TZ=UTC, so that no change to or from summer time falls inside the week.
# On a failure a screenshot, the window tree and the logs are kept under
# <build folder>/e2e-failures/. Every process the test starts is ended by its process id.

set -uo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 <nudgeon executable> <build folder> [speed factor]" >&2
    exit 2
fi
program_exe=$(readlink -f "$1")
build_dir=$(readlink -f "$2")
readonly SPEED=${3:-2880}
suite=week
if ! [[ $SPEED =~ ^[1-9][0-9]*$ ]]; then
    echo "the speed factor must be a whole number above 0, not $SPEED" >&2
    exit 2
fi

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

export TZ=UTC

# The faked period, in UTC.
readonly PROGRAM_START="2029-04-29 22:00:00" # a Sunday: two hours of warm-up
readonly WEEK_START="2029-04-30 00:00:00"    # Monday, where the counts begin
readonly WEEK_END="2029-05-07 00:00:00"      # the Monday after, where they end
readonly TAIL_MINUTES=20                     # faked minutes the program runs on after the week
readonly WARMUP_MINUTES=60                   # the first memory figure comes after this
readonly RECORD_SLACK_MS=40                  # real ms a launch may take to read the clock
readonly CATCH_UP_MINUTES=10                 # a held-up tick runs what it passed over, this late
readonly MEMORY_GROWTH_KB=2048               # the most VmRSS may grow over the week

readonly NOTE_LIMIT=3000 # a click on the note's menu icon opens its menu; Close hides the note

# The schedule: id, time of day, repeat field, note ("note" or "-"), what it is about.
# No two entries are ever due in the same minute (the check below makes sure): entries at a
# fixed time of day sit on minutes ending in 0 (and 23:59), and each repeating entry keeps to
# its own last digit, its interval being a multiple of ten minutes.
readonly ENTRIES=(
    "e01 00:00 0        -    once a day, at midnight"
    "e02 06:00 0        note once a day, with a note"
    "e03 07:30 0        -    once a day"
    "e04 12:00 0        -    once a day, at noon"
    "e05 17:40 0        -    once a day"
    "e06 22:40 0        note once a day, with a note; its Sunday run comes in the warm-up"
    "e07 23:59 0        -    once a day, in the last minute of the day"
    "e08 20:00 0        -    once a day"
    "e09 09:00 /246     -    Monday, Wednesday and Friday"
    "e10 11:00 /71      note Saturday and Sunday, with a note"
    "e11 10:10 /2345671 -    every weekday named"
    "e12 10:20 /        -    no weekday named: never"
    "e13 10:50 /3       -    Tuesday"
    "e14 13:00 /5       -    Thursday"
    "e15 18:50 /1       -    Sunday"
    "e16 21:10 /7       -    Saturday"
    "e17 14:00 -30      -    the 30th: the week's first day"
    "e18 14:10 -1       note the 1st: the day after the month changed, with a note"
    "e19 14:20 -31      -    the 31st: not in April, never"
    "e20 19:00 -6       -    the 6th: the week's last day"
    "e21 14:30 -15      -    the 15th: not in the week"
    "e22 00:01 20       -    every 20 minutes"
    "e23 00:03 30       -    every 30 minutes"
    "e24 00:05 50       -    every 50 minutes, another minute after each midnight"
    "e25 08:07 70       -    every 70 minutes, across midnight"
    "e26 21:19 90       -    every 90 minutes, across the first midnight at once"
    "e27 12:26 110      -    every 110 minutes, across midnight"
    "e28 01:18 130      -    every 130 minutes, ten minutes later each day"
    "e29 03:34 360      note every 6 hours, with a note"
    "e30 07:02 1440     -    every 1440 minutes: once a day"
)

e2e_init python3

find_faketime_lib

program_start_s=$(date -d "$PROGRAM_START" +%s)
week_start_s=$(date -d "$WEEK_START" +%s)
week_end_s=$(date -d "$WEEK_END" +%s)

# --- the faked clock -------------------------------------------------------------------------

# fake_now: the faked time in seconds since the epoch, worked out from the real time since
# the program started; a few real milliseconds (some faked seconds) off at most.
fake_now() { echo $((program_start_s + ($(now_ms) - program_start) * SPEED / 1000)); }

fake_text() { date -d "@$1" '+%a %F %T'; }

# wait_fake SECONDS: sleeps until the faked clock reaches SECONDS; fails when the program ends.
wait_fake() {
    local left
    while :; do
        running "$program_pid" || die "the program ended by itself at about $(fake_text "$(fake_now)"): $(tr '\n' ' ' <"$logs/nudgeon.err")"
        left=$((($1 - $(fake_now)) * 1000 / SPEED))
        [ "$left" -le 0 ] && return 0
        [ "$left" -gt 200 ] && left=200
        sleep "$(printf '0.%03d' "$left")"
    done
}

vm_rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$program_pid/status"; }

# --- the schedule ----------------------------------------------------------------------------

# time_field HH:MM: the time field as the editor writes it, " 09:30 AM    " or "01:05 PM    ";
# a few entries keep the 24-hour form the file may also hold.
time_field() {
    local h=$((10#${1%:*})) m=$((10#${1#*:})) h12 half=AM text
    ((h >= 12)) && half=PM
    h12=$((h % 12))
    ((h12 == 0)) && h12=12
    printf -v text '%02d:%02d %s' "$h12" "$m" "$half"
    [ "$half" = AM ] && text=" $text"
    echo "$text    "
}

# write_files: the recorder, the note files and the schedule, with copies kept to compare with.
write_files() {
    local tools="$scenario_dir/tools"
    mkdir -p "$tools"
    runs="$logs/runs.txt"
    : >"$runs"
    # One line a run: the faked date and time, the entry's id and the date filled in for
    # "mm-dd-yy". The shell execs date so that one process start, not two, lies between the
    # launch and the reading of the clock.
    cat >"$tools/record.sh" <<EOF
#!/bin/sh
exec date "+%F %T.%N \$1 \$2" >>'$runs'
EOF
    chmod +x "$tools/record.sh"

    local e id time repeat note what field line lines=()
    : >"$logs/entries.txt"
    for e in "${ENTRIES[@]}"; do
        read -r id time repeat note what <<<"$e"
        case $id in
            e05 | e14 | e26) field="$time" ;; # the 24-hour form
            *) field=$(time_field "$time") ;;
        esac
        line="$field,$tools/record.sh,$repeat,$id mm-dd-yy"
        if [ "$note" = note ]; then
            printf 'Week note %s\r\n%s\r\n' "$id" "$what" >"$pgm/$id.txt"
            cp "$pgm/$id.txt" "$logs/$id.txt.written"
            line+=" [$id.txt]"
        fi
        lines+=("$line")
        echo "$id $time $repeat $note $what" >>"$logs/entries.txt"
    done
    [ ${#lines[@]} -eq 30 ] || die "the schedule has ${#lines[@]} entries rather than 30"
    printf '%s\r\n' "${lines[@]}" >"$pgm/Nudgeon.cfg"
    cp "$pgm/Nudgeon.cfg" "$logs/Nudgeon.cfg.written"
}

# check_files_unchanged: the schedule and the note files are as written, byte for byte.
check_files_unchanged() {
    local f
    for f in "$logs"/*.written; do
        f=${f##*/}
        f=${f%.written}
        cmp -s "$logs/$f.written" "$pgm/$f" ||
            fail "the program changed $f: $(od -c "$pgm/$f" | head -n 5 | tr '\n' ' ')"
    done
}

# --- expected and recorded runs --------------------------------------------------------------

# week_check plan|count: with "plan", checks that the schedule keeps its entries on minutes of
# their own and its notes apart; with "count", matches the recorded runs against the runs the
# rules give, prints the table, and tells which missed runs fell while a note showed. Reads
# $logs/entries.txt, $runs and $closed_log.
week_check() {
    python3 - "$1" "$logs/entries.txt" "$runs" "$closed_log" "$PROGRAM_START" "$WEEK_START" "$WEEK_END" \
        "$((RECORD_SLACK_MS * SPEED))" "${program_start:-0}" "$SPEED" "$CATCH_UP_MINUTES" <<'PY'
import bisect, collections, datetime as dt, sys

(mode, entries_file, runs_file, closed_file, start_text, week_start_text, week_end_text, slack_ms,
 program_start_ms, speed, catch_up_minutes) = sys.argv[1:]
parse = dt.datetime.fromisoformat
program_start, week_start, week_end = parse(start_text), parse(week_start_text), parse(week_end_text)
slack = dt.timedelta(milliseconds=int(slack_ms))
minute = dt.timedelta(minutes=1)
# The latest a run caught up after a held-up tick may be read: the tick at the end of the
# longest gap the program catches up after, and the launch's own slack.
catch_up = dt.timedelta(minutes=int(catch_up_minutes)) + slack
# Due times are worked out from the program's start to a day after the week, which covers
# the warm-up and the time after the week; only the week's are counted.
horizon = week_end + dt.timedelta(days=1)

entries = []
for line in open(entries_file):
    ident, time_text, repeat, note, what = line.split(None, 4)
    hour, minute_of_hour = map(int, time_text.split(":"))
    entries.append((ident, dt.time(hour, minute_of_hour), repeat, note == "note", what.strip()))

def due_times(start, repeat):
    """The due times of an entry from the program's start to the horizon, from its rule alone."""
    days = [program_start.date() + dt.timedelta(days=i) for i in range((horizon.date() - program_start.date()).days + 1)]
    if repeat.lstrip("-").isdigit():
        n = int(repeat)
        if n > 0:
            # Every n minutes from the start time on the day the program starts, running on
            # across midnight; the times that passed before the program started are not run.
            first = dt.datetime.combine(program_start.date(), start)
            while first < program_start:
                first += dt.timedelta(minutes=n)
            times = []
            while first < horizon:
                times.append(first)
                first += dt.timedelta(minutes=n)
            return times
        if n == 0:
            dates = days
        else:
            dates = [d for d in days if d.day == -n]
    else:
        # A weekday list: Sunday "1" to Saturday "7".
        dates = [d for d in days if str(d.isoweekday() % 7 + 1) in repeat]
    return [t for t in (dt.datetime.combine(d, start) for d in dates) if program_start <= t < horizon]

dues = {e[0]: due_times(e[1], e[2]) for e in entries}

def in_week(t):
    return week_start <= t < week_end

if mode == "plan":
    problems = []
    owner = {}
    for ident, times in dues.items():
        for t in times:
            if t in owner:
                problems.append(f"{ident} and {owner[t]} are both due at {t:%a %F %H:%M}")
            owner[t] = ident
    note_times = sorted((t, e[0]) for e in entries if e[3] for t in dues[e[0]])
    for (a, x), (b, y) in zip(note_times, note_times[1:]):
        if b - a < dt.timedelta(minutes=60):
            problems.append(f"the notes of {x} at {a:%a %H:%M} and {y} at {b:%a %H:%M} are less than an hour apart")
    warmup_notes = [t for t, _ in note_times if t < week_start]
    if not warmup_notes:
        problems.append("no note falls due in the warm-up")
    for p in problems[:20]:
        print(p)
    if problems:
        sys.exit(1)
    print(warmup_notes[0].strftime("%F %T"))
    sys.exit(0)

# mode == "count"
runs = collections.defaultdict(list)
problems = []
for number, line in enumerate(open(runs_file), 1):
    parts = line.split()
    if len(parts) != 4 or parts[2] not in dues:
        problems.append(f"runs.txt line {number} is no recorded run: {line.strip()!r}")
        continue
    runs[parts[2]].append((parse(parts[0] + " " + parts[1][:15]), parts[3]))

# When notes showed, on the faked clock: from the run of a note entry to the moment the loop
# closed its note (worked out from the real time, a few faked seconds off).
def faked(ms):
    return program_start + dt.timedelta(milliseconds=(int(ms) - int(program_start_ms)) * int(speed))
closes = [faked(line.split()[1]) for line in open(closed_file)]
note_runs = sorted(r for e in entries if e[3] for r, _ in runs[e[0]])
showing = []
for close in closes:
    i = bisect.bisect_right(note_runs, close) - 1
    if i >= 0:
        showing.append((note_runs[i], close))
def note_showed_at(t):
    return any(a - minute <= t <= b + minute for a, b in showing)

table = []
delays = []
late_into_next_minute = 0
caught_up = []
missed_total = 0
missed_under_note = 0
for ident, start, repeat, note, what in entries:
    times = dues[ident]
    taken = collections.Counter()
    counted = 0
    for recorded, filled in sorted(runs[ident]):
        # The due minute a run belongs to is the latest due time at or before its reading.
        i = bisect.bisect_right(times, recorded) - 1
        if i < 0 or recorded - times[i] >= catch_up:
            problems.append(f"{ident} ran at {recorded:%a %F %T}, at no minute its rule names")
            continue
        due = times[i]
        taken[due] += 1
        if taken[due] > 1:
            problems.append(f"{ident} ran again for {due:%a %F %H:%M}, at {recorded:%T}")
        if filled != due.strftime("%m-%d-%y"):
            problems.append(f"{ident} due {due:%a %F %H:%M} ran with the date {filled} filled in")
        if in_week(due):
            counted += 1
            delays.append((recorded - due).total_seconds())
            if recorded - due >= minute + slack:
                caught_up.append(f"{ident} {due:%a %H:%M} at {recorded:%H:%M:%S}")
            elif recorded - due >= minute:
                late_into_next_minute += 1
    expected = [t for t in times if in_week(t)]
    missing = [t for t in expected if taken[t] == 0]
    first_miss = ""
    if missing:
        missed_total += len(missing)
        missed_under_note += sum(1 for t in missing if note_showed_at(t))
        first_miss = f"{missing[0]:%a %H:%M}" + (" (note)" if note_showed_at(missing[0]) else "")
        shown = ", ".join(f"{t:%a %H:%M}" for t in missing[:6]) + (" ..." if len(missing) > 6 else "")
        problems.append(f"{ident} ({repeat}) did not run at {len(missing)} due minute(s): {shown}")
    table.append((ident, start.strftime("%H:%M"), repeat, "note" if note else "", len(expected), counted, first_miss, what))

print(f"{'entry':5}  {'time':5}  {'repeat':8}  {'note':4}  {'expected':>8}  {'counted':>7}  {'first missed':16}  what")
for ident, start, repeat, note, expected, counted, first_miss, what in table:
    print(f"{ident:5}  {start:5}  {repeat:8}  {note:4}  {expected:8d}  {counted:7d}  {first_miss:16}  {what}")
total_expected = sum(r[4] for r in table)
total_counted = sum(r[5] for r in table)
print(f"{'all':5}  {'':5}  {'':8}  {'':4}  {total_expected:8d}  {total_counted:7d}")
if delays:
    delays.sort()
    print(f"recorder's reading after the start of the due minute (faked s): median {delays[len(delays) // 2]:.1f}, "
          f"99% {delays[int(len(delays) * 0.99)]:.1f}, most {delays[-1]:.1f}; "
          f"{late_into_next_minute} of {len(delays)} read in the next minute (up to {60 + slack.total_seconds():.0f} s allowed)")
if caught_up:
    print(f"{len(caught_up)} run(s) caught up after a held-up tick: " + ", ".join(caught_up[:10]))
print(f"note entries ran {len(note_runs)} times, the background loop closed {len(closes)} notes")
if len(note_runs) != len(closes):
    problems.append(f"note entries ran {len(note_runs)} times but {len(closes)} notes were closed")
if missed_total:
    print(f"{missed_total} due runs were missed, {missed_under_note} of them while a note showed (\"(note)\" above: "
          f"from the note's run to a faked minute after it was closed). A time a tick passed over by "
          f"{catch_up_minutes} minutes or more is not run late; a repeating entry goes on at its next time.")
for p in problems[:40]:
    print("PROBLEM:", p)
if len(problems) > 40:
    print(f"PROBLEM: ... and {len(problems) - 40} more")
sys.exit(1 if problems else 0)
PY
}

# --- notes -----------------------------------------------------------------------------------

window_hidden() { ! is_viewable "$1"; }

# close_note W: closes the note W with its menu's Close, the menu's last item, clicked.
close_note() {
    local w=$1 x y wd ht m qx qy qw qh
    read -r x y wd ht <<<"$(geometry "$w")" || return 1
    xdotool mousemove $((x + 10)) $((y + 7)) click 1
    poll "$NOTE_LIMIT" menu_of "$program_pid" "$icon" "$w" || return 1
    m=$polled
    read -r qx qy qw qh <<<"$(geometry "$m")" || return 1
    xdotool mousemove $((qx + qw / 2)) $((qy + qh - 10))
    sleep 0.05
    xdotool click 1
    poll "$NOTE_LIMIT" window_hidden "$w" && poll "$NOTE_LIMIT" window_hidden "$m"
}

# close_notes_loop: every fifth of a real second, closes the note that shows, until
# $stop_closing exists. One line a note closed in $closed_log: the real times (ms) it was seen
# and closed; one line a failed try in $logs/closer.txt.
close_notes_loop() {
    local w seen
    while [ ! -e "$stop_closing" ]; do
        if w=$(note_window); then
            seen=$(now_ms)
            if close_note "$w"; then
                echo "$seen $(now_ms)" >>"$closed_log"
            else
                echo "$(now_ms) could not close the note $w" >>"$logs/closer.txt"
            fi
        fi
        sleep 0.2
    done
}

# --- the run ---------------------------------------------------------------------------------

start_x_server
begin_scenario week
write_files
stop_closing="$scenario_dir/stop-closing"
closed_log="$logs/closed.txt"
: >"$closed_log"
warmup_note=$(week_check plan) || die "the test's schedule is not as it should be: $warmup_note"
log "the first note falls due at $warmup_note, in the warm-up"

start_trayer
program_start=$(now_ms)
start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" \
    LD_PRELOAD="$faketime_lib" FAKETIME="@$PROGRAM_START x$SPEED" FAKETIME_DONT_RESET=1 "$pgm/nudgeon"
program_pid=$started_pid
cleanup_steps+=("rm -f /dev/shm/faketime_shm_$program_pid /dev/shm/sem.faketime_sem_$program_pid")
log "program started at the faked time $PROGRAM_START, $SPEED times faster (pid $program_pid)"
wait_for_dock
log "docked at about $(fake_text "$(fake_now)")"

# The background loop that closes the notes.
close_notes_loop &
closer_pid=$!
started+=("$closer_pid")

# The first memory figure: after the first faked hour, once the warm-up's note has been closed
# and no note shows.
first_note_closed() { [ -s "$closed_log" ] && no_note_window; }
wait_fake $((program_start_s + WARMUP_MINUTES * 60))
poll 5000 first_note_closed ||
    fail "5 s after the first faked hour, the note due at $warmup_note has not been shown and closed, or a note shows"
rss_start=$(vm_rss_kb)
rss_start_at=$(fake_now)
log "VmRSS after the first faked hour ($(fake_text "$rss_start_at")): $rss_start kB"

# Each faked midnight: the memory, for the report.
rss_days=()
for ((day = 1; day <= 7; day++)); do
    wait_fake $((week_start_s + day * 86400))
    rss_days+=("$(vm_rss_kb)")
    log "$(fake_text "$(fake_now)"): VmRSS ${rss_days[-1]} kB, $(wc -l <"$runs") runs recorded, $(wc -l <"$closed_log") notes closed"
done

# The week is over: the last memory figure once no note shows, then the program is closed.
wait_fake $((week_end_s + TAIL_MINUTES * 60))
poll 5000 no_note_window || fail "a note still shows 5 s after the week"
rss_end=$(vm_rss_kb)
rss_end_at=$(fake_now)
log "VmRSS at the end ($(fake_text "$rss_end_at")): $rss_end kB"

touch "$stop_closing"
poll 5000 ended "$closer_pid" || fail "the loop closing the notes did not stop"
stop_pid "$closer_pid"
[ -s "$logs/closer.txt" ] && log "the closing loop had to try again: $(tr '\n' ';' <"$logs/closer.txt")"

check_files_unchanged
close_from_tray
run_ms=$(($(now_ms) - program_start))
check_files_unchanged

# --- the report ------------------------------------------------------------------------------

echo
echo "A faked week at $SPEED times the speed, from $PROGRAM_START (counted from $WEEK_START to $WEEK_END, UTC);"
echo "the program ran $((run_ms / 1000)).$((run_ms % 1000 / 100)) real seconds."
if ! week_check count; then
    fail "the runs do not match the rules (see the table above)"
fi
growth=$((rss_end - rss_start))
echo
echo "VmRSS after the first faked hour ($(fake_text "$rss_start_at")): $rss_start kB"
echo "VmRSS at each faked midnight, Tuesday to the Monday after: ${rss_days[*]} kB"
echo "VmRSS at the end ($(fake_text "$rss_end_at")): $rss_end kB"
echo "growth: $growth kB (at most $MEMORY_GROWTH_KB kB allowed)"
[ "$growth" -le "$MEMORY_GROWTH_KB" ] ||
    fail "VmRSS grew by $growth kB over the week, from $rss_start kB to $rss_end kB"

end_scenario
[ "$failures" -eq 0 ] && log "all checks passed"
