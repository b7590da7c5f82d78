#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A week in the life of Nudgeon: the real program, under a faked clock (libfaketime) running
# thousands of times faster than the real one, with a real tray (trayer) in a virtual X display
# (Xvfb), goes through seven days of a schedule of thirty mixed entries in the time zone of New
# York, then, started afresh, through the night the clock is put forward.
#
# Usage: week.sh <nudgeon executable> <build folder> [speed factor]
#
# The schedule holds entries once a day, every N minutes from a start time (N of 20 to 360
# minutes, running on across midnight, some of them at other minutes each day), on some
# weekdays, on days of the month inside the week and outside it, and notes; entries in the hour
# the clock skips in spring and in the one it shows twice in autumn; and two notes and a
# program due in one minute every day. Every entry starts a recording script that appends the
# instant on the faked clock (seconds since the epoch), the entry's id and the date the program
# filled into its "mm-dd-yy" to a log; note entries show their note as well, which a background
# loop closes from the note's menu. The note of e09, due at 23:50, the loop puts off with its
# menu's "Snooze... / 30 min" instead, so that it comes back after midnight.
#
# The week runs from Monday 29 October 2029 00:00 to Monday 5 November 2029 00:00, through the
# end of October and the Sunday the clock falls back (02:00 EDT becomes 01:00 EST). On the
# Wednesday at 17:00 the test opens the setup dialog from the tray icon, chooses e08's row,
# moves its Start Time from 08:00 PM to 09:00 PM with the keyboard and presses Update. The
# night runs from Sunday 11 March 2029 00:00 to 04:00, where 02:00 EST becomes 03:00 EDT.
# The checks, for each:
#   - every entry ran exactly as often as its rule says, each run in its due minute (or caught
#     up, see below), on its due date, and never twice for one due minute; nothing ran at a
#     minute no rule names. The rules are worked out in the time zone, the way the program
#     keeps them: a time the clock skips falls due once, right after the jump (the times of a
#     repeating entry that the jump skips run once together there); a time the clock shows
#     twice falls due at its first showing only; a repeating entry keeps its wall-clock times
#     from its start time on the day the program started, across midnight and the change;
#   - the group of three entries due in one minute runs in that minute, the program too, while
#     the first note shows and the second waits for it;
#   - every run of a note entry showed its note once (counted from the X server's map events
#     of the note window), and the loop closed or snoozed each; a note that shows holds
#     nothing up (a missed run that fell while a note showed is marked "(note)" in the table);
#   - each snooze brought e09's note back once, 30 minutes after the start of the minute it was
#     snoozed in, past midnight, with the new date filled in (the program starts the entry's
#     program again with its note); e09 still ran at its own 23:50 the next night;
#   - the setup dialog's Update rewrote the schedule file with e08's line changed and every
#     other line as it was; e08 ran at 20:00 before the edit and at 21:00 from the Wednesday
#     on, the others ran on as before (what ran that day, their series), also while the dialog
#     was open;
#   - (the week) the resident memory (VmRSS) at the end is at most 2 MB above the one after
#     the first faked hour, both taken while no note shows, leaving out what it grew over the
#     edit (the first opening of the setup dialog, about 2.3 MB that stay);
#   - the schedule file (after the edit, its new content) and the note files are byte for byte
#     as written;
#   - the tray menu's Close ends the program with exit code 0.
# A table of the entries with their rules, the runs expected and the runs counted, and the
# memory figures, are printed at the end.
#
# The faked clock. The week's program starts at Sunday 28 October 2029 22:00 EDT, the night's
# at Saturday 10 March 2029 22:00 EST, with the clock running SPEED times faster (2880 unless
# given: a faked day takes 30 real seconds, a faked minute 21 ms). The two hours before the
# counts begin are a warm-up, left out of the counts: the program starts, docks and settles
# (at this speed its start-up alone takes a quarter of a faked hour), runs the entries due in
# the evening and shows and closes its first note, all before the first memory figure. The
# counts end at the end of the week (the night), and the program is closed TAIL_MINUTES later:
# a run due from then on is left out, but the snoozed note of the last evening is seen back.
# Whether a run is counted is decided by the minute it was due in, not by when the recorder
# looked at the clock. Where the test works out the faked time from the real time, it may be
# ahead of the program's clock by the program's own start-up (LEAD_S faked seconds at most).
#
# The program ticks once a faked minute, a second or so into it, on a precise QTimer, whose
# waits libfaketime shortens by the speed factor. A tick held up by more than about a faked
# minute (a few tens of real ms) passes over a minute; the program then runs the entries due in
# the minutes it passed over at once, late, when it passed over fewer than CATCH_UP_MINUTES.
# Such a run counts for its due minute and is reported as caught up; a run missed all the same
# shows up as a missing run. Entries due in one minute are otherwise rare: the group of three,
# and the entries the spring jump puts together, each run a tick two faked seconds after the
# one before. Anything else in one minute is a fault of the test's schedule (checked first), so
# that a run's start-up (some real milliseconds, which the speed factor turns into faked
# seconds) never pushes another entry's run out of its minute.
#
# The recorded time is the recorder's own reading of the faked clock, taken after the program
# launched it. A launch takes a few real milliseconds, now and then twenty, and the speed
# factor turns each into about three faked seconds, so a run launched late in its minute is
# often read in the next one: a run counts as in its minute when the reading lies from the
# start of the due minute (never before) up to RECORD_SLACK_MS real milliseconds, times the
# speed factor, after its end. A run belongs to the earliest due minute of its entry at or
# before its reading that has not run yet (within the catch-up window). The date the program
# filled into "mm-dd-yy" at the launch must be the local due date exactly.
#
# Everything runs in TZ=America/New_York. On a failure a screenshot, the window tree and the
# logs are kept under <build folder>/e2e-failures/. Every process the test starts is ended by
# its process id.

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

export TZ=America/New_York

# The faked periods, in local time: the program's start, the start and the end of the counts.
readonly WEEK=("2029-10-28 22:00:00" "2029-10-29 00:00:00" "2029-11-05 00:00:00")
readonly NIGHT=("2029-03-10 22:00:00" "2029-03-11 00:00:00" "2029-03-11 04:00:00")
readonly TAIL_MINUTES=60      # faked minutes the program runs on after the counts
readonly WARMUP_MINUTES=60    # the first memory figure comes after this
readonly RECORD_SLACK_MS=40   # real ms a launch may take to read the clock
readonly CATCH_UP_MINUTES=10  # a held-up tick runs what it passed over, this late
readonly MEMORY_GROWTH_KB=2048 # the most VmRSS may grow over the week
readonly LEAD_S=120           # faked s the test's clock may be ahead of the program's

readonly NOTE_LIMIT=3000   # a click on the note's menu icon opens its menu; Close hides the note
readonly DIALOG_LIMIT=5000 # the setup dialog shows, takes the keyboard, saves, goes

# The edit in the setup dialog: the entry, when, and its new start time.
readonly EDIT_ENTRY=e08 EDIT_AT="2029-10-31 17:00:00" EDIT_TIME=21:00
# The note the loop snoozes when it shows at its own time, and for how long ("&30 min").
readonly SNOOZE_ENTRY=e09 SNOOZE_MINUTES=30 SNOOZE_KEY=3
# Due in one minute every day: two notes and a program, in this order in the file.
readonly GROUP="e10 e11 e12"

# The schedule: id, time of day, repeat field, note ("note" or "-"), what it is about.
# Apart from the group and the spring jump, no two entries are ever due in the same minute
# (the check below makes sure): entries at a fixed time of day sit on minutes ending in 0 (and
# 23:59), and each repeating entry keeps to its own last digit, its interval being a multiple
# of ten minutes. Thirty entries are as many as the schedule holds.
readonly ENTRIES=(
    "e01 00:00 0        -    once a day, at midnight"
    "e02 06:00 0        note once a day, with a note"
    "e03 02:30 0        -    once a day, in the hour the clock skips in spring"
    "e04 01:30 0        -    once a day, in the hour the clock shows twice in autumn"
    "e05 17:40 0        -    once a day"
    "e06 22:40 0        note once a day, with a note; its first run comes in the warm-up"
    "e07 23:59 0        -    once a day, in the last minute of the day"
    "e08 20:00 0        -    once a day; 21:00 from the edit in the setup dialog on"
    "e09 23:50 0        note once a day, with a note snoozed for 30 minutes, past midnight"
    "e10 12:40 0        note once a day, with a note, in one minute with e11 and e12"
    "e11 12:40 0        note once a day, with a note that waits for e10's"
    "e12 12:40 0        -    once a day, in the minute of the two notes"
    "e13 09:00 /246     -    Monday, Wednesday and Friday"
    "e14 11:00 /71      note Saturday and Sunday, with a note"
    "e15 10:10 /2345671 -    every weekday named"
    "e16 10:20 /        -    no weekday named: never"
    "e17 02:40 /1       -    Sunday, in the hour the clock skips in spring"
    "e18 13:00 /5       -    Thursday"
    "e19 18:50 /3       -    Tuesday"
    "e20 14:00 -29      -    the 29th: the week's first day"
    "e21 14:10 -1       note the 1st: the day after the month changed, with a note"
    "e22 14:20 -31      -    the 31st: October's last day"
    "e23 19:00 -4       -    the 4th: the day the clock falls back"
    "e24 00:01 20       -    every 20 minutes"
    "e25 00:03 30       -    every 30 minutes"
    "e26 00:05 50       -    every 50 minutes, another minute after each midnight"
    "e27 08:07 70       -    every 70 minutes, across midnight"
    "e28 21:19 90       -    every 90 minutes, across the first midnight at once"
    "e29 01:18 130      -    every 130 minutes, ten minutes later each day"
    "e30 03:34 360      note every 6 hours, with a note"
)

e2e_init python3 xev stdbuf

find_faketime_lib

# --- the faked clock -------------------------------------------------------------------------

# fake_now: the faked time in seconds since the epoch, worked out from the real time since
# the program started: ahead of the program's own clock by its start-up, LEAD_S at most.
fake_now() { echo $((program_start_s + ($(now_ms) - program_start) * SPEED / 1000)); }

fake_text() { date -d "@$1" '+%a %F %T %Z'; }

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

# write_files: the recorder, the note files and the schedule, with copies kept to compare
# with; sets $edit_old and $edit_new, the edited entry's line before and after the edit.
write_files() {
    local tools="$scenario_dir/tools"
    mkdir -p "$tools"
    runs="$logs/runs.txt"
    : >"$runs"
    # One line a run: the faked instant, the entry's id and the date filled in for
    # "mm-dd-yy". The shell execs date so that one process start, not two, lies between the
    # launch and the reading of the clock.
    cat >"$tools/record.sh" <<EOF
#!/bin/sh
exec date "+%s.%N \$1 \$2" >>'$runs'
EOF
    chmod +x "$tools/record.sh"

    local e id time repeat note what field line lines=()
    : >"$logs/entries.txt"
    for e in "${ENTRIES[@]}"; do
        read -r id time repeat note what <<<"$e"
        case $id in
            e05 | e18 | e28) field="$time" ;; # the 24-hour form
            *) field=$(time_field "$time") ;;
        esac
        line="$field,$tools/record.sh,$repeat,$id mm-dd-yy"
        if [ "$note" = note ]; then
            printf 'Week note %s\r\n%s\r\n' "$id" "$what" >"$pgm/$id.txt"
            cp "$pgm/$id.txt" "$logs/$id.txt.written"
            line+=" [$id.txt]"
        fi
        if [ "$id" = "$EDIT_ENTRY" ]; then
            edit_old=$line
            edit_new="$(time_field "$EDIT_TIME"),${line#*,}"
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
# $logs/entries.txt, $runs, $closed_log, $snoozed_log and $edits_log; $note_shows is how often
# a note window was mapped.
week_check() {
    env CHECK_MODE="$1" ENTRIES_FILE="$logs/entries.txt" RUNS_FILE=$runs CLOSED_FILE=$closed_log \
        SNOOZED_FILE=$snoozed_log EDITS_FILE=$edits_log NOTE_SHOWS=${note_shows:-0} \
        PROGRAM_START_S=$program_start_s COUNT_START_S=$count_start_s COUNT_END_S=$count_end_s \
        SLACK_MS=$((RECORD_SLACK_MS * SPEED)) PROGRAM_START_MS=${program_start:-0} SPEED=$SPEED \
        CATCH_UP_MINUTES=$CATCH_UP_MINUTES LEAD_S=$LEAD_S GROUP="$GROUP" SNOOZE_ENTRY=$SNOOZE_ENTRY \
        SNOOZE_MINUTES=$SNOOZE_MINUTES TAIL_MINUTES=$TAIL_MINUTES python3 - <<'PY'
import bisect, collections, datetime as dt, os, sys
from zoneinfo import ZoneInfo

env = os.environ
mode = env["CHECK_MODE"]
zone, utc = ZoneInfo(env["TZ"]), dt.timezone.utc
minute = dt.timedelta(minutes=1)

def instant(seconds):
    return dt.datetime.fromtimestamp(float(seconds), utc)

def wall(t):
    return t.astimezone(zone).replace(tzinfo=None)

def shown(t):
    return f"{t.astimezone(zone):%a %F %H:%M %Z}"

def minute_of(t):
    return t.replace(second=0, microsecond=0)

program_start, count_start, count_end = (instant(env[k]) for k in ("PROGRAM_START_S", "COUNT_START_S", "COUNT_END_S"))
slack = dt.timedelta(milliseconds=int(env["SLACK_MS"]))
lead = dt.timedelta(seconds=int(env["LEAD_S"]))
# The latest a run caught up after a held-up tick may be read: the tick at the end of the
# longest gap the program catches up after, and the launch's own slack.
catch_up = dt.timedelta(minutes=int(env["CATCH_UP_MINUTES"])) + slack
# Due times are worked out from the program's start to a day after the counts, which covers
# the warm-up and the time after; only those from the start to the end of the counts count.
horizon = count_end + dt.timedelta(days=1)
group = env["GROUP"].split()
snoozer, snooze_for = env["SNOOZE_ENTRY"], dt.timedelta(minutes=int(env["SNOOZE_MINUTES"]))

def faked(ms):
    return program_start + dt.timedelta(milliseconds=(int(ms) - int(env["PROGRAM_START_MS"])) * int(env["SPEED"]))

def local_instant(day, time):
    """The instant a wall-clock time of a day stands for: the first minute whose reading is at
    or after it. A time the clock skips is the first minute after the jump, a time it shows
    twice its first showing."""
    w = dt.datetime.combine(day, time)
    t = min(w.replace(tzinfo=zone, fold=f).astimezone(utc) for f in (0, 1))
    while wall(t) < w:
        t += minute
    return t

entries = []
for line in open(env["ENTRIES_FILE"]):
    ident, time_text, repeat, note, what = line.split(None, 4)
    entries.append((ident, dt.time.fromisoformat(time_text), repeat, note == "note", what.strip()))

def due_times(start, repeat, anchor):
    """The due times of an entry from the program's start to the horizon, from its rule alone."""
    first, last = anchor, wall(horizon).date()
    if repeat.lstrip("-").isdigit() and int(repeat) > 0:
        # Every n minutes of the wall clock from the start time on the day the program loaded
        # the entry, running on across midnight; the times the jump skips run once after it.
        n, w, times = dt.timedelta(minutes=int(repeat)), dt.datetime.combine(first, start), set()
        while w.date() <= last:
            times.add(local_instant(w.date(), w.time()))
            w += n
    else:
        days = [first + dt.timedelta(days=i) for i in range((last - first).days + 1)]
        if repeat.lstrip("-").isdigit():
            # Every day, or a day of the month.
            days = [d for d in days if int(repeat) == 0 or d.day == -int(repeat)]
        else:
            # A weekday list: Sunday "1" to Saturday "7".
            days = [d for d in days if str(d.isoweekday() % 7 + 1) in repeat]
        times = {local_instant(d, start) for d in days}
    # The times that passed before the program started are not run.
    return sorted(t for t in times if program_start <= t < horizon)

problems = []
start_day = wall(program_start).date()
dues = {e[0]: due_times(e[1], e[2], start_day) for e in entries}
# An edit in the setup dialog: the old rule up to it, the new one, from the day of the edit,
# after it; neither may fall due while the edit was under way.
for line in open(env["EDITS_FILE"]):
    ident, new_time, low, high = line.split()
    low, high = instant(low) - lead, instant(high)
    old = next(e for e in entries if e[0] == ident)
    new = due_times(dt.time.fromisoformat(new_time), old[2], wall(low).date())
    if any(low <= t <= high for t in dues[ident] + new):
        problems.append(f"{ident} fell due between {shown(low)} and {shown(high)}, while the setup dialog changed it")
    dues[ident] = [t for t in dues[ident] if t < low] + [t for t in new if t > high]

def counted(t):
    return count_start <= t < count_end

if mode == "plan":
    owner = collections.defaultdict(list)
    for ident, times in dues.items():
        for t in times:
            owner[t].append(ident)
    for t, idents in sorted(owner.items()):
        # Only the group, and what the spring jump puts together right after it, share a minute.
        jump = wall(t) > wall(t - minute) + minute
        if len(idents) > 1 and sorted(idents) != sorted(group) and not jump:
            problems.append(f"{' and '.join(idents)} are all due at {shown(t)}")
    # Notes an hour apart, but for the group's; a snoozed note comes back within the hour.
    note_times = sorted((t, e[0]) for e in entries if e[3] for t in dues[e[0]])
    note_times = sorted(note_times + [(t + snooze_for + 20 * minute, snoozer) for t in dues[snoozer]])
    for (a, x), (b, y) in zip(note_times, note_times[1:]):
        if b - a < dt.timedelta(minutes=60) and x != y and not {x, y} <= set(group):
            problems.append(f"the notes of {x} at {shown(a)} and {y} at {shown(b)} are less than an hour apart")
    # The program is closed after the tail, while the loop that closes the notes stops: the
    # notes that show up to then are counted, none may come due meanwhile.
    closing = count_end + dt.timedelta(minutes=int(env["TAIL_MINUTES"]))
    for t, ident in note_times:
        if closing <= t < closing + dt.timedelta(minutes=60):
            problems.append(f"the note of {ident} falls due at {shown(t)}, while the program is closed")
    warmup_notes = [t for t, _ in note_times if t < count_start]
    if not warmup_notes:
        problems.append("no note falls due in the warm-up")
    for p in problems[:20]:
        print(p)
    if problems:
        sys.exit(1)
    print(shown(warmup_notes[0]))
    sys.exit(0)

# mode == "count"
runs = collections.defaultdict(list)
for number, line in enumerate(open(env["RUNS_FILE"]), 1):
    parts = line.split()
    if len(parts) != 3 or parts[1] not in dues:
        problems.append(f"runs.txt line {number} is no recorded run: {line.strip()!r}")
        continue
    runs[parts[1]].append((instant(parts[0]), parts[2]))

# Each snooze brings the note back once, the snooze's minute and SNOOZE_MINUTES later; the
# test knows that minute only to within the keystroke and its own lead over the program's clock.
snoozes = [(faked(key) - lead, faked(hidden)) for key, hidden in (l.split() for l in open(env["SNOOZED_FILE"]))]
backs = []
for low, high in snoozes:
    low, high = minute_of(low) + snooze_for, minute_of(high) + snooze_for + minute + slack
    back = [r for r in runs[snoozer] if low <= r[0] < high]
    if len(back) != 1:
        problems.append(f"{snoozer} snoozed came back {len(back)} times from {shown(low)} to {shown(high)}")
    for recorded, filled in back:
        if filled != wall(recorded).strftime("%m-%d-%y"):
            problems.append(f"{snoozer} back from a snooze at {shown(recorded)} ran with the date {filled} filled in")
    backs += back
runs[snoozer] = [r for r in runs[snoozer] if r not in backs]
if len(runs[snoozer]) != len(snoozes):
    problems.append(f"{snoozer}'s note showed {len(runs[snoozer])} times at its own time, the loop snoozed it {len(snoozes)} times")

# When notes showed: from the run of a note entry to the moment the loop closed its note
# (worked out from the real time, a few faked seconds off).
closes = [faked(line.split()[1]) for line in open(env["CLOSED_FILE"])]
note_runs = sorted(r for e in entries if e[3] for r, _ in runs[e[0]]) + sorted(r for r, _ in backs)
note_runs.sort()
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
    count = 0
    for recorded, filled in sorted(runs[ident]):
        # A run belongs to the earliest due time not yet run at or before its reading, within
        # the catch-up window: after the spring jump a repeating entry may be due again in the
        # minute after its run for the jump.
        near = times[bisect.bisect_right(times, recorded - catch_up):bisect.bisect_right(times, recorded)]
        if not near:
            problems.append(f"{ident} ran at {shown(recorded)}, at no minute its rule names")
            continue
        due = next((t for t in near if not taken[t]), near[-1])
        taken[due] += 1
        if taken[due] > 1:
            problems.append(f"{ident} ran again for {shown(due)}, at {recorded:%T}")
        if filled != wall(due).strftime("%m-%d-%y"):
            problems.append(f"{ident} due {shown(due)} ran with the date {filled} filled in")
        if ident in group and recorded - due >= minute + slack:
            problems.append(f"{ident} due {shown(due)} ran late, at {shown(recorded)}, in one minute with two notes")
        if counted(due):
            count += 1
            delays.append((recorded - due).total_seconds())
            if recorded - due >= minute + slack:
                caught_up.append(f"{ident} {wall(due):%a %H:%M} at {wall(recorded):%H:%M:%S}")
            elif recorded - due >= minute:
                late_into_next_minute += 1
    expected = [t for t in times if counted(t)]
    missing = [t for t in expected if taken[t] == 0]
    first_miss = ""
    if missing:
        missed_total += len(missing)
        missed_under_note += sum(1 for t in missing if note_showed_at(t))
        first_miss = f"{wall(missing[0]):%a %H:%M}" + (" (note)" if note_showed_at(missing[0]) else "")
        listed = ", ".join(shown(t) for t in missing[:6]) + (" ..." if len(missing) > 6 else "")
        problems.append(f"{ident} ({repeat}) did not run at {len(missing)} due minute(s): {listed}")
    table.append((ident, start.strftime("%H:%M"), repeat, "note" if note else "", len(expected), count, first_miss, what))

print(f"{'entry':5}  {'time':5}  {'repeat':8}  {'note':4}  {'expected':>8}  {'counted':>7}  {'first missed':16}  what")
for ident, start, repeat, note, expected, count, first_miss, what in table:
    print(f"{ident:5}  {start:5}  {repeat:8}  {note:4}  {expected:8d}  {count:7d}  {first_miss:16}  {what}")
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
if backs:
    print(f"{snoozer} came back from its snoozes at " + ", ".join(f"{wall(r):%a %H:%M:%S}" for r, _ in backs))
shows = int(env["NOTE_SHOWS"])
print(f"note entries ran {len(note_runs)} times, notes showed {shows} times, the background loop closed "
      f"{len(closes)} and snoozed {len(snoozes)}")
if len(note_runs) != shows or shows != len(closes) + len(snoozes):
    problems.append(f"note entries ran {len(note_runs)} times, notes showed {shows} times, "
                    f"{len(closes)} were closed and {len(snoozes)} snoozed")
if missed_total:
    print(f"{missed_total} due runs were missed, {missed_under_note} of them while a note showed (\"(note)\" above: "
          f"from the note's run to a faked minute after it was closed). A time a tick passed over by "
          f"{env['CATCH_UP_MINUTES']} minutes or more is not run late; a repeating entry goes on at its next time.")
for p in problems[:40]:
    print("PROBLEM:", p)
if len(problems) > 40:
    print(f"PROBLEM: ... and {len(problems) - 40} more")
sys.exit(1 if problems else 0)
PY
}

# --- notes -----------------------------------------------------------------------------------

window_hidden() { ! is_viewable "$1"; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# maps_of W: how often the X server has mapped the window W so far (the log of xev).
maps_of() { grep -c ", window $(printf '0x%x' "$1"), override" "$xev_log"; }

# note_gone W MAPS: the note W went away, or came back at once (mapped more than MAPS times)
# with the next note, which waited for it.
note_gone() { window_hidden "$1" || [ "$(maps_of "$1")" -gt "$2" ]; }

# open_note_menu W: a click on the note's menu icon opens its menu; sets $note_menu.
open_note_menu() {
    local x y
    read -r x y _ <<<"$(geometry "$1")" || return 1
    xdotool mousemove $((x + 10)) $((y + 7)) click 1
    poll "$NOTE_LIMIT" menu_of "$program_pid" "$icon" "$1" || return 1
    note_menu=$polled
}

# close_note W: closes the note W with its menu's Close, the menu's last item, clicked.
close_note() {
    local w=$1 maps qx qy qw qh
    maps=$(maps_of "$w")
    open_note_menu "$w" || return 1
    read -r qx qy qw qh <<<"$(geometry "$note_menu")" || return 1
    xdotool mousemove $((qx + qw / 2)) $((qy + qh - 10))
    sleep 0.05
    xdotool click 1
    poll "$NOTE_LIMIT" note_gone "$w" "$maps" && poll "$NOTE_LIMIT" window_hidden "$note_menu"
}

# snooze_note W: puts the note W off with its menu's "Snoo&ze..." (key z) and the time chosen
# by SNOOZE_KEY. One line in $snoozed_log: the real times (ms) of the keystroke and of the
# note seen gone, looked for closely, as they bound the minute of the snooze.
snooze_note() {
    local w=$1 maps key
    maps=$(maps_of "$w")
    open_note_menu "$w" || return 1
    sleep 0.2
    xdotool key z
    sleep 0.3
    key=$(now_ms)
    xdotool key "$SNOOZE_KEY"
    until note_gone "$w" "$maps"; do
        [ $(($(now_ms) - key)) -lt "$NOTE_LIMIT" ] || return 1
        sleep 0.01
    done
    echo "$key $(now_ms)" >>"$snoozed_log"
}

# snooze_due SECONDS: the faked time SECONDS lies in the hour after the snoozed entry's time of day.
snooze_due() {
    local hm
    hm=$(date -d "@$1" +%H%M)
    (((10#${hm:0:2} * 60 + 10#${hm:2:2} - snooze_at + 1440) % 1440 < 60))
}

# close_notes_loop: every fifth of a real second, closes the note that shows, until
# $stop_closing exists; the note of SNOOZE_ENTRY, seen in the hour after its time (and not
# back from a snooze), it snoozes. One line a note closed in $closed_log: the real times (ms)
# it was seen and closed; one line a failed try in $logs/closer.txt.
close_notes_loop() {
    local w seen now snoozed=0
    while [ ! -e "$stop_closing" ]; do
        if w=$(note_window); then
            seen=$(now_ms)
            now=$(fake_now)
            if snooze_due "$now" && ((now - snoozed > 7200)); then
                if snooze_note "$w"; then
                    snoozed=$now
                else
                    echo "$(now_ms) could not snooze the note $w" >>"$logs/closer.txt"
                fi
            elif close_note "$w"; then
                echo "$seen $(now_ms)" >>"$closed_log"
            else
                echo "$(now_ms) could not close the note $w" >>"$logs/closer.txt"
            fi
        fi
        sleep 0.2
    done
}

# note_maps: how often the program's note windows were mapped, told by their title.
note_maps() {
    local id n=0
    while read -r id; do
        if [[ $(xdotool getwindowname "$((id))" 2>/dev/null) == "Zerir Irar"* ]]; then
            n=$((n + $(grep -c ", window $id, override" "$xev_log")))
        fi
    done < <(sed -n 's/.*, window \(0x[0-9a-f]*\), override.*/\1/p' "$xev_log" | sort -u)
    echo "$n"
}

# --- the setup dialog ------------------------------------------------------------------------

# edit_in_setup: at EDIT_AT, a left click on the icon opens the setup dialog; EDIT_ENTRY's row
# is chosen with the keyboard (the list is sorted), its Start Time moved an hour on, Update
# pressed and the dialog closed. The schedule file must then hold the edited line in place of
# the old one and every other line as it was, in the list's order; it becomes the file to
# compare with. The faked times the edit began and was seen saved go to $edits_log.
edit_in_setup() {
    local row low high ix iy iw ih dialog line lines=()
    while IFS= read -r line; do
        line=${line%$'\r'}
        [ "$line" = "$edit_old" ] && line=$edit_new
        lines+=("$line")
    done <"$logs/Nudgeon.cfg.written"
    printf '%s\r\n' "${lines[@]}" | LC_ALL=C sort >"$logs/edited.sorted"
    row=$(tr -d '\r' <"$logs/Nudgeon.cfg.written" | LC_ALL=C sort | grep -nxF -- "$edit_old" | cut -d: -f1)

    wait_fake "$(date -d "$EDIT_AT" +%s)"
    low=$(fake_now)
    read -r ix iy iw ih <<<"$(geometry "$icon")" || die "the icon has no geometry"
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
    poll "$DIALOG_LIMIT" program_window '^Nudgeon Setup' ||
        die "no setup dialog showed within $DIALOG_LIMIT ms of a click on the icon"
    dialog=$polled
    poll "$DIALOG_LIMIT" has_focus "$dialog" || die "the setup dialog did not take the keyboard"
    # The list has the keyboard: its first row, then down to the entry's. Back past Auto start,
    # Hourly chime, Help and Now lies the Start Time's last part (AM/PM); two parts further
    # back, its hour.
    xdotool key Home
    [ "$row" -gt 1 ] && xdotool key --repeat $((row - 1)) Down
    xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Up alt+u
    poll "$DIALOG_LIMIT" edit_saved ||
        die "after Update the schedule file is not the one written with $EDIT_ENTRY at $EDIT_TIME: $(diff <(LC_ALL=C sort "$pgm/Nudgeon.cfg") "$logs/edited.sorted" | tr '\r\n' '  ')"
    high=$(fake_now)
    xdotool key Escape
    poll "$DIALOG_LIMIT" window_hidden "$dialog" || die "the setup dialog still shows $DIALOG_LIMIT ms after Escape"
    echo "$EDIT_ENTRY $EDIT_TIME $low $high" >"$edits_log"
    cp "$pgm/Nudgeon.cfg" "$logs/Nudgeon.cfg.written"
    log "$EDIT_ENTRY moved to $EDIT_TIME in the setup dialog from about $(fake_text "$low") to $(fake_text "$high")"
}

edit_saved() { LC_ALL=C sort "$pgm/Nudgeon.cfg" | cmp -s - "$logs/edited.sorted"; }

# --- the run ---------------------------------------------------------------------------------

# The snoozed entry's time of day, in minutes.
snooze_at=$(printf '%s\n' "${ENTRIES[@]}" | awk -v id="$SNOOZE_ENTRY" '$1 == id { print $2 }')
snooze_at=$((10#${snooze_at%:*} * 60 + 10#${snooze_at#*:}))

# live_through NAME PROGRAM_START COUNT_START COUNT_END: the program under the faked clock
# from PROGRAM_START until TAIL_MINUTES after COUNT_END, its notes closed or snoozed as they
# show, then closed from the tray, and the runs from COUNT_START to COUNT_END counted. The
# week also takes the memory figures and makes the edit in the setup dialog.
live_through() {
    local name=$1 day midnight edited=""
    begin_scenario "$name"
    program_start_s=$(date -d "$2" +%s)
    count_start_s=$(date -d "$3" +%s)
    count_end_s=$(date -d "$4" +%s)
    write_files
    stop_closing="$scenario_dir/stop-closing"
    closed_log="$logs/closed.txt"
    snoozed_log="$logs/snoozed.txt"
    edits_log="$logs/edits.txt"
    : >"$closed_log"
    : >"$snoozed_log"
    : >"$edits_log"
    [ "$name" = week ] && echo "$EDIT_ENTRY $EDIT_TIME $(date -d "$EDIT_AT" +%s) $(date -d "$EDIT_AT" +%s)" >"$edits_log"
    note_shows=0
    warmup_note=$(week_check plan) || die "the test's schedule is not as it should be: $warmup_note"
    log "the first note falls due at $warmup_note, in the warm-up"

    # Every time a window is mapped: how often a note showed.
    xev_log="$logs/xev.txt"
    start_bg "$xev_log" "$logs/xev.err" stdbuf -oL xev -root -event substructure
    xev_pid=$started_pid
    start_trayer
    start_program_at "@$2 x$SPEED"
    wait_for_dock
    log "docked at about $(fake_text "$(fake_now)")"

    # The background loop that closes the notes.
    close_notes_loop &
    closer_pid=$!
    started+=("$closer_pid")

    if [ "$name" = week ]; then
        # The first memory figure: after the first faked hour, once the warm-up's note has
        # been closed and no note shows.
        wait_fake $((program_start_s + WARMUP_MINUTES * 60))
        poll 5000 first_note_closed ||
            fail "5 s after the first faked hour, the note due at $warmup_note has not been shown and closed, or a note shows"
        rss_start=$(vm_rss_kb)
        rss_start_at=$(fake_now)
        log "VmRSS after the first faked hour ($(fake_text "$rss_start_at")): $rss_start kB"

        # Each faked midnight: the memory, for the report; the edit on its day.
        rss_days=()
        for ((day = 1; ; day++)); do
            midnight=$(date -d "${3%% *} + $day days" +%s)
            [ "$midnight" -le "$count_end_s" ] || break
            if [ -z "$edited" ] && [ "$(date -d "$EDIT_AT" +%s)" -lt "$midnight" ]; then
                # What the first opening of the dialog takes stays: it is not counted as growth.
                rss_before_edit=$(vm_rss_kb)
                edit_in_setup
                rss_edit=$(($(vm_rss_kb) - rss_before_edit))
                edited=1
            fi
            wait_fake "$midnight"
            rss_days+=("$(vm_rss_kb)")
            log "$(fake_text "$(fake_now)"): VmRSS ${rss_days[-1]} kB, $(wc -l <"$runs") runs recorded, $(wc -l <"$closed_log") notes closed"
        done
    fi

    # The counts are over: the last memory figure once no note shows, then the program is closed.
    wait_fake $((count_end_s + TAIL_MINUTES * 60))
    poll 5000 no_note_window || fail "a note still shows 5 s after the counts"
    rss_end=$(vm_rss_kb)
    rss_end_at=$(fake_now)

    touch "$stop_closing"
    poll 5000 ended "$closer_pid" || fail "the loop closing the notes did not stop"
    stop_pid "$closer_pid"
    [ -s "$logs/closer.txt" ] && log "the closing loop had to try again: $(tr '\n' ';' <"$logs/closer.txt")"

    check_files_unchanged
    note_shows=$(note_maps)
    # shellcheck disable=SC2119 # no window but the icon is on the screen
    close_from_tray
    run_ms=$(($(now_ms) - program_start))
    stop_pid "$xev_pid"
    check_files_unchanged

    echo
    echo "$name: faked at $SPEED times the speed, from $2 (counted from $3 to $4, $TZ);"
    echo "the program ran $((run_ms / 1000)).$((run_ms % 1000 / 100)) real seconds."
    week_check count || fail "$name: the runs do not match the rules (see the table above)"
    if [ "$name" = week ]; then
        local growth=$((rss_end - rss_start - rss_edit))
        echo
        echo "VmRSS after the first faked hour ($(fake_text "$rss_start_at")): $rss_start kB"
        echo "VmRSS at each faked midnight, Tuesday to the Monday after: ${rss_days[*]} kB"
        echo "VmRSS at the end ($(fake_text "$rss_end_at")): $rss_end kB"
        echo "growth: $growth kB, besides $rss_edit kB over the edit in the setup dialog (at most $MEMORY_GROWTH_KB kB allowed)"
        [ "$growth" -le "$MEMORY_GROWTH_KB" ] ||
            fail "VmRSS grew by $growth kB over the week, from $rss_start kB to $rss_end kB, besides $rss_edit kB over the edit"
    fi
    end_scenario
}

first_note_closed() { [ -s "$closed_log" ] && no_note_window; }

start_x_server
live_through week "${WEEK[@]}"
live_through spring-night "${NIGHT[@]}"
[ "$failures" -eq 0 ] && log "all checks passed"
