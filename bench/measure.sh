#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the real program beside a bare Qt tray program (nudgeon_bare_tray: the same icon,
# nothing else) on virtual X displays (Xvfb) with a real tray (trayer), each Nudgeon run with a
# schedule of 30 entries, and prints one table of both programs' medians, ranges and ratios,
# then one of the figures only Nudgeon has.
#
# Usage: bench/measure.sh [--runs N] [--memory-runs M] [--idle-seconds S] [--only PARTS]
#                         [--bare BARE_EXECUTABLE] [--keep] [nudgeon executable]
#
#   launch   both programs in turn, N runs each (7 unless told) after one warm-up run each
#            that is not counted: from the launch until the tray icon is docked and shown, and
#            the resident memory 5 s after the icon docked (VmRSS, and Pss/Pss_Anon from
#            /proc/PID/smaps_rollup), once the start sound's client has been let go. The last run of each leaves its /proc/PID/smaps, and the
#            resident memory Nudgeon has beyond the bare program is listed by mapping.
#   memory   M programs (3 unless told), each: resident memory after start-up, after the setup
#            dialog was opened (a left click on the icon) and closed (Escape) ten
#            times, and after ten notes were shown and closed from their menus. The program runs
#            on a faked clock (libfaketime, 30 times faster) so that its ten notes come due, one
#            a faked minute, within 35 seconds.
#   idle     both programs left alone at the same time, each on a display and tray of its own,
#            with their icons docked for S seconds (120 unless told): the CPU time and the
#            wake-ups of each thread, also per minute and scaled to 10 minutes.
#   tick     from the start of an entry's due minute until the program it runs has started (a
#            script that records `date +%s.%N`): three programs started 8, 5 and 3 seconds before
#            a minute on the real clock, on a second X display without a tray, while the idle
#            program is measured; a fourth, started 1 s before the minute under strace, tells how
#            long the tick itself takes from the timer's wake-up to the start of the program.
#
# PARTS is a comma-separated list of these names (all of them unless told). --keep leaves the
# temporary folders with the logs (and the traced run's strace output) in place. The programs
# are build/nudgeon and build/nudgeon_bare_tray unless others are named. Every run has its own
# temporary folders: the program folder (the executable, its sounds, the schedule file and
# notes), XDG_RUNTIME_DIR, HOME and the XDG folders. There is no session bus and no sound
# server. Every process this script starts is ended by its process id; the temporary folders
# are removed at the end.

set -uo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo_dir=$(dirname "$bench_dir")

runs=7
memory_runs=3
idle_seconds=120
parts=launch,memory,idle,tick
program_exe=$repo_dir/build/nudgeon
bare_exe=$repo_dir/build/nudgeon_bare_tray
# How long after docking the memory is read: the sound client of the start sound goes 3 s after
# the sound ended.
settle_seconds=5
keep=0
while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --memory-runs) memory_runs=$2; shift 2 ;;
        --idle-seconds) idle_seconds=$2; shift 2 ;;
        --only) parts=$2; shift 2 ;;
        --bare) bare_exe=$2; shift 2 ;;
        --keep) keep=1; shift ;;
        -h | --help) sed -n '2,/^$/s/^# \{0,1\}//p' "$0"; exit 0 ;;
        -*) echo "unknown option $1" >&2; exit 2 ;;
        *) program_exe=$1; shift ;;
    esac
done
program_exe=$(readlink -f "$program_exe")
bare_exe=$(readlink -f "$bare_exe")
want() { [[ ",$parts," == *",$1,"* ]]; }

# --- bookkeeping -----------------------------------------------------------------------------

now_ms() {
    local t=${EPOCHREALTIME//[.,]/}
    echo $((t / 1000))
}
t_begin=$(now_ms)
log() {
    local t=$(($(now_ms) - t_begin))
    printf '[%3d.%03ds] %s\n' $((t / 1000)) $((t % 1000)) "$*" >&2
}

work=$(mktemp -d "${TMPDIR:-/tmp}/nudgeon-measure.XXXXXX") || exit 1
cd "$work" || exit 1
run_marker="$$-$RANDOM$RANDOM"
started=()   # process ids started and not yet waited for
faked=()     # process ids that ran with libfaketime preloaded
results=()   # rows of Nudgeon's own table: "name|median|range|runs|target|verdict"
pairs=()     # rows of the side-by-side table, made by add_pair
loads=()     # the load average (1 min) at each launch run
load_begin=$(cut -d' ' -f1 /proc/loadavg)
failures=0
tick_pids=()
tick_started=()
declare -A exe_of # program folder -> the executable in it

fail() {
    failures=$((failures + 1))
    log "FAIL: $*"
}

# start_bg OUT ERR CMD...: starts CMD in the background; sets $started_pid.
start_bg() {
    local out=$1 err=$2
    shift 2
    env NUDGEON_BENCH_RUN="$run_marker" "$@" >"$out" 2>"$err" &
    started_pid=$!
    started+=("$started_pid")
}

forget_pid() {
    local i
    for i in "${!started[@]}"; do
        [ "${started[$i]}" = "$1" ] && unset 'started[i]'
    done
}

running() {
    local state
    kill -0 "$1" 2>/dev/null || return 1
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) || return 1
    [ "$state" != Z ]
}

# stop_pid PID: ends PID, politely first, and waits for it.
stop_pid() {
    local pid=$1 end
    if running "$pid"; then
        kill -TERM "$pid" 2>/dev/null
        end=$(($(now_ms) + 3000))
        while running "$pid" && [ "$(now_ms)" -lt "$end" ]; do sleep 0.02; done
        running "$pid" && kill -KILL "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    forget_pid "$pid"
}

# poll LIMIT_MS INTERVAL_S CMD...: runs CMD until it succeeds; its output in $polled.
poll() {
    local limit=$1 interval=$2 end
    shift 2
    end=$(($(now_ms) + limit))
    while :; do
        polled=$("$@") && return 0
        [ "$(now_ms)" -ge "$end" ] && return 1
        sleep "$interval"
    done
}

# Processes that carry this run's marker but were not started here: what the started ones left.
stray_pids() {
    local f pid
    for f in /proc/[0-9]*/environ; do
        pid=${f#/proc/}
        pid=${pid%/environ}
        [ "$pid" = "$$" ] && continue
        [[ " ${started[*]} " == *" $pid "* ]] && continue
        grep -qzx "NUDGEON_BENCH_RUN=$run_marker" "$f" 2>/dev/null && echo "$pid"
    done
}

cleanup() {
    local status=$? i pid strays
    trap - EXIT INT TERM
    local order=("${!started[@]}")
    for ((i = ${#order[@]} - 1; i >= 0; i--)); do
        stop_pid "${started[${order[$i]}]}"
    done
    strays=$(stray_pids)
    for pid in $strays; do
        log "ending $pid, left behind: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
        kill -KILL "$pid" 2>/dev/null
    done
    # libfaketime's shared memory object and semaphore of a process that was ended by a signal.
    for pid in "${faked[@]}"; do
        rm -f "/dev/shm/faketime_shm_$pid" "/dev/shm/sem.faketime_sem_$pid"
    done
    if [ "$keep" -eq 1 ]; then
        log "kept the logs and folders in $work"
    else
        rm -rf "$work"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

unset DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY SESSION_MANAGER QT_QPA_PLATFORMTHEME

for tool in Xvfb xauth trayer xdotool xwininfo xprop python3; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool (see scripts/setup.sh)" >&2; exit 1; }
done
[ -x "$program_exe" ] || { echo "no program at $program_exe" >&2; exit 1; }
if want launch || want idle; then
    [ -x "$bare_exe" ] || { echo "no bare tray program at $bare_exe (built as nudgeon_bare_tray)" >&2; exit 1; }
fi
libfaketime=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
if want memory && [ ! -e "$libfaketime" ]; then
    echo "missing $libfaketime (Debian package faketime)" >&2
    exit 1
fi
have_strace=0
command -v strace >/dev/null && have_strace=1

# table: prints the "|"-separated lines of its input as aligned columns.
table() {
    python3 -c '
import sys
rows = [line.rstrip("\n").split("|") for line in sys.stdin if line.strip()]
widths = [max(len(r[i]) if i < len(r) else 0 for r in rows) for i in range(max(map(len, rows)))]
for r in rows:
    print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())
'
}

# --- statistics ------------------------------------------------------------------------------

# stats VALUES...: "median min max count" of the numbers.
stats() {
    printf '%s\n' "$@" | sort -g | awk '
        { v[NR] = $1 }
        END {
            if (NR == 0) { print "- - - 0"; exit }
            m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%.6g %.6g %.6g %d\n", m, v[1], v[NR], NR
        }'
}

# add_row NAME UNIT TARGET_TEXT VERDICT VALUES...: one table row with median and range.
add_row() {
    local name=$1 unit=$2 target=$3 verdict=$4 median lo hi n
    shift 4
    read -r median lo hi n <<<"$(stats "$@")"
    results+=("$name|$median $unit|$lo – $hi|$n|$target|$verdict")
}

# add_pair NAME UNIT HOW LIMIT GOAL_TEXT BARE_ARRAY NUDGEON_ARRAY: one row of the side-by-side
# table: both medians and ranges, their ratio and difference; HOW says what LIMIT bounds: the
# ratio, the difference, or Nudgeon's own median (value).
add_pair() {
    local name=$1 unit=$2 how=$3 limit=$4 goal=$5
    local -n p_bare=$6 p_nudgeon=$7
    local bm bl bh bn nm nl nh nn ratio diff verdict_text=""
    read -r bm bl bh bn <<<"$(stats "${p_bare[@]}")"
    read -r nm nl nh nn <<<"$(stats "${p_nudgeon[@]}")"
    ratio=$(awk -v b="$bm" -v n="$nm" 'BEGIN { if (b + 0 == 0) print "-"; else printf "%.2f", n / b }')
    diff=$(awk -v b="$bm" -v n="$nm" 'BEGIN { printf "%+.4g", n - b }')
    [ "$bn" -gt 0 ] && [ "$nn" -gt 0 ] || { ratio=-; diff=-; }
    if [ -n "$limit" ] && [ "$nn" -gt 0 ]; then
        case $how in
            ratio) [ "$ratio" != - ] && verdict_text=$(verdict "$ratio" "$limit") ;;
            value) verdict_text=$(verdict "$nm" "$limit") ;;
            difference) [ "$diff" != - ] && verdict_text=$(verdict "${diff#+}" "$limit") ;;
        esac
    fi
    pairs+=("$name|$bm $unit|$bl – $bh|$nm $unit|$nl – $nh|$bn / $nn|$ratio|$diff $unit|$goal|$verdict_text")
}

# verdict VALUE LIMIT: "met" when VALUE <= LIMIT.
verdict() { awk -v v="$1" -v l="$2" 'BEGIN { print (v <= l) ? "met" : "MISSED" }'; }

# --- X servers and the tray ------------------------------------------------------------------

cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
export XAUTHORITY="$work/Xauthority"
xauth -q -f "$XAUTHORITY" add :0 MIT-MAGIC-COOKIE-1 "$cookie" 2>/dev/null

# start_x NAME: an X server that takes a free display itself; sets the variable NAME to ":N".
start_x() {
    local name=$1 pid
    start_bg "$work/xvfb-$name.out" "$work/xvfb-$name.err" \
        Xvfb -displayfd 3 -nolisten tcp -noreset -auth "$XAUTHORITY" -screen 0 1024x768x24 3>"$work/display-$name"
    pid=$started_pid
    poll 10000 0.05 grep -x '[0-9][0-9]*' "$work/display-$name" >/dev/null ||
        { cat "$work/xvfb-$name.err" >&2; echo "Xvfb did not start" >&2; exit 1; }
    printf -v "$name" ':%s' "$(cat "$work/display-$name")"
    xauth -q -f "$XAUTHORITY" add "${!name}" MIT-MAGIC-COOKIE-1 "$cookie" 2>/dev/null
    DISPLAY=${!name} poll 3000 0.05 xwininfo -root >/dev/null || { echo "X server ${!name} does not answer" >&2; exit 1; }
    log "Xvfb $name on ${!name} (pid $pid)"
}

windows_of_pid() { xdotool search --pid "$1" 2>/dev/null; }

trayer_panel() {
    local w
    w=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n 1)
    [ -n "$w" ] && echo "$w"
}

# start_trayer LOGDIR: trayer on $DISPLAY, its panel shown; sets $trayer_pid.
start_trayer() {
    start_bg "$1/trayer.out" "$1/trayer.err" \
        trayer --SetDockType true --SetPartialStrut false --edge bottom --align center \
        --widthtype request --height 32 --expand true --transparent false
    trayer_pid=$started_pid
    poll 10000 0.05 trayer_panel "$trayer_pid" >/dev/null || { fail "trayer showed no panel"; return 1; }
}

parent_of() {
    local p
    p=$(xwininfo -children -id "$1" 2>/dev/null | sed -n 's/^ *Parent window id: \(0x[0-9a-fA-F]*\).*/\1/p')
    [ -n "$p" ] && echo $((p))
}

# in_tray WINDOW TRAYER_PID: WINDOW sits inside one of trayer's windows.
in_tray() {
    local tray p=$1
    tray=" $(windows_of_pid "$2" | tr '\n' ' ') "
    while p=$(parent_of "$p") && [ "$p" -ne 0 ]; do
        [[ $tray == *" $p "* ]] && return 0
    done
    return 1
}

window_pid() { xprop -id "$1" _NET_WM_PID 2>/dev/null | awk '{ print $NF }'; }

geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
        END { if (w != "") print x, y, w, h; else exit 1 }'
}

# visible_named PID TITLE: the program's window on the screen whose title begins with TITLE.
visible_named() {
    local w
    w=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2" 2>/dev/null | head -n 1)
    [ -n "$w" ] && echo "$w"
}
not_visible_named() { ! visible_named "$@" >/dev/null; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# --- a program folder and its schedule -------------------------------------------------------

# time_field EPOCH: the time field as the setup dialog writes it, " 09:30 AM    " or "01:05 PM    ".
time_field() {
    local t
    t=$(LC_ALL=C date -d "@$1" '+%I:%M %p')
    [[ $t == *AM ]] && t=" $t"
    printf '%s    ' "$t"
}

# background_lines FROM_EPOCH COUNT: COUNT entries two hours and more after FROM_EPOCH, 23
# minutes apart: programs once a day, a sound every 30 minutes, programs on every weekday and
# on working days, on the 15th of the month, and notes.
background_lines() {
    local from=$1 count=$2 i t
    for ((i = 0; i < count; i++)); do
        t=$(time_field $((from + 7200 + i * 1380)))
        case $((i % 5)) in
            0) echo "$t,/usr/bin/true,0," ;;
            1) echo "$t,chime.wav,30," ;;
            2) echo "$t,/usr/bin/true,/1234567,--quiet mm-dd-yy" ;;
            3) echo "$t,/usr/bin/true,-15," ;;
            4) echo "$t,,/23456,[bg$i.txt]" ;;
        esac
    done
}

# prepare DIR LINES...: a program folder with the schedule file of these lines, and the
# user's folders; the notes the lines name are made.
prepare() {
    local dir=$1 exe_dir line note
    shift
    exe_dir=$(dirname "$program_exe")
    mkdir -p "$dir"/{program,runtime,home,config,data,cache,logs}
    chmod 700 "$dir/runtime"
    cp "$program_exe" "$dir/program/nudgeon"
    cp "$exe_dir/ringin.wav" "$exe_dir/Nudgeon.wav" "$dir/program/"
    # The sound player, where the program has one.
    [ -x "$exe_dir/nudgeon-sound" ] && cp "$exe_dir/nudgeon-sound" "$dir/program/"
    printf 'autospawn = no\n' >"$dir/pulse-client.conf"
    : >"$dir/program/Nudgeon.cfg"
    for line in "$@"; do
        printf '%s\r\n' "$line" >>"$dir/program/Nudgeon.cfg"
        if [[ $line =~ \[([^]/]*\.txt)\]$ ]]; then
            note=${BASH_REMATCH[1]}
            printf 'Note %s\r\nTime to stand up and stretch.' "$note" >"$dir/program/$note"
        fi
    done
    [ "$(grep -c . "$dir/program/Nudgeon.cfg")" -eq 30 ] || fail "schedule in $dir has not 30 lines"
    exe_of[$dir]=$dir/program/nudgeon
}

# prepare_bare DIR: a program folder with the bare tray program, and the user's folders.
prepare_bare() {
    local dir=$1
    mkdir -p "$dir"/{program,runtime,home,config,data,cache,logs}
    chmod 700 "$dir/runtime"
    cp "$bare_exe" "$dir/program/"
    printf 'autospawn = no\n' >"$dir/pulse-client.conf"
    exe_of[$dir]=$dir/program/${bare_exe##*/}
}

# launch DIR DISPLAY [ENV=VALUE...] [-- PREFIX...]: starts the program of DIR on DISPLAY with
# the folders of DIR; sets $program_pid and $launched_at (EPOCHREALTIME just before the start).
launch() {
    local dir=$1 display=$2 extra=() prefix=()
    shift 2
    while [ $# -gt 0 ] && [ "$1" != -- ]; do extra+=("$1"); shift; done
    [ "${1:-}" = -- ] && { shift; prefix=("$@"); }
    launched_at=$EPOCHREALTIME
    start_bg "$dir/logs/nudgeon.out" "$dir/logs/nudgeon.err" \
        DISPLAY="$display" XAUTHORITY="$XAUTHORITY" QT_QPA_PLATFORM=xcb \
        XDG_RUNTIME_DIR="$dir/runtime" HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" \
        XDG_DATA_HOME="$dir/data" XDG_CACHE_HOME="$dir/cache" \
        PULSE_SERVER="unix:$dir/no-sound-server" PULSE_CLIENTCONFIG="$dir/pulse-client.conf" \
        "${extra[@]}" "${prefix[@]}" "${exe_of[$dir]}"
    program_pid=$started_pid
}

# status_kb PID FIELD: a field of /proc/PID/status in kB.
status_kb() { awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status" 2>/dev/null; }
kb_to_mb() { awk -v k="$1" 'BEGIN { printf "%.2f", k / 1024 }'; }

# wait_docked DIR TRAYER_PID WATCH_OUT: waits for the watcher's line, checks that the window it
# names is the program's and sits in trayer's panel; sets $dock_ms and $reparent_ms.
wait_docked() {
    local dir=$1 tray=$2 out=$3 win t_rep t_view
    poll 12000 0.02 grep -q '^[0-9]' "$out" 2>/dev/null ||
        { fail "the icon did not dock within 12 s: $(tr '\n' ' ' <"$dir/logs/nudgeon.err")"; return 1; }
    read -r win t_rep t_view < <(grep '^[0-9]' "$out")
    [ "$(window_pid "$win")" = "$program_pid" ] || { fail "window $win that docked is not the program's"; return 1; }
    in_tray "$win" "$tray" || { fail "window $win is not in trayer's panel"; return 1; }
    icon=$win
    dock_ms=$(awk -v a="$launched_at" -v b="$t_view" 'BEGIN { printf "%.1f", (b - a) * 1000 }')
    reparent_ms=$(awk -v a="$launched_at" -v b="$t_rep" 'BEGIN { printf "%.1f", (b - a) * 1000 }')
}

# start_docked DIR [launch args...]: trayer, the watcher and the program; waits for the dock.
start_docked() {
    local dir=$1 watcher
    shift
    start_trayer "$dir/logs" || return 1
    start_bg "$dir/logs/watch.out" "$dir/logs/watch.err" python3 "$bench_dir/xdockwatch.py" 12
    watcher=$started_pid
    # Python and Xlib may take seconds to start on a busy machine.
    poll 30000 0.01 grep -qx ready "$dir/logs/watch.out" 2>/dev/null || { fail "the dock watcher did not start"; return 1; }
    launch "$dir" "$DISPLAY" "$@"
    wait_docked "$dir" "$trayer_pid" "$dir/logs/watch.out"
    local ok=$?
    stop_pid "$watcher"
    return $ok
}

# --- launch: from the launch to the docked icon ----------------------------------------------

# smaps_kb PID FIELD: a field of /proc/PID/smaps_rollup in kB.
smaps_kb() { awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/smaps_rollup" 2>/dev/null; }

# launch_once SUBJECT N: one launch of SUBJECT (nudgeon or bare) to its docked icon, its memory
# $settle_seconds s later; run 0 is the warm-up and counts for nothing. Appends to SUBJECT's launch_* arrays.
# Every run of a subject starts in the same folders: the warm-up run is the first start, which
# writes the settings, and the counted ones start as on any other day.
launch_once() {
    local subject=$1 i=$2 dir="$work/launch-$1"
    local -n l_dock=launch_dock_$subject l_rep=launch_reparent_$subject l_rss=launch_rss_$subject
    local -n l_pss=launch_pss_$subject l_anon=launch_pssanon_$subject l_hwm=launch_hwm_$subject
    if [ "$i" -gt 0 ]; then
        rm -f "$dir"/logs/*
    elif [ "$subject" = nudgeon ]; then
        prepare "$dir" "${schedule_idle[@]}"
    else
        prepare_bare "$dir"
    fi
    loads+=("$(cut -d' ' -f1 /proc/loadavg)")
    start_docked "$dir" || { stop_all_of_run; return 1; }
    sleep "$settle_seconds"
    local r h p pa
    r=$(status_kb "$program_pid" VmRSS)
    h=$(status_kb "$program_pid" VmHWM)
    p=$(smaps_kb "$program_pid" Pss)
    pa=$(smaps_kb "$program_pid" Pss_Anon)
    if [ "$i" -eq 0 ]; then
        log "$subject warm-up run: docked after $dock_ms ms (not counted)"
    else
        log "$subject run $i: reparented after $reparent_ms ms, shown after $dock_ms ms; VmRSS $r kB, Pss $p kB (anonymous $pa kB), VmHWM $h kB"
        l_dock+=("$dock_ms")
        l_rep+=("$reparent_ms")
        l_rss+=("$(kb_to_mb "$r")")
        l_pss+=("$(kb_to_mb "$p")")
        l_anon+=("$(kb_to_mb "$pa")")
        l_hwm+=("$(kb_to_mb "$h")")
        # The last run's mappings, for the list of what Nudgeon holds beyond the bare program.
        cp "/proc/$program_pid/smaps" "$work/smaps-$subject" 2>/dev/null
    fi
    stop_all_of_run
}

measure_launch() {
    local i s
    for s in bare nudgeon; do
        declare -g -a "launch_dock_$s=()" "launch_reparent_$s=()" "launch_rss_$s=()" \
            "launch_pss_$s=()" "launch_pssanon_$s=()" "launch_hwm_$s=()"
    done
    log "== launch: $runs runs of each program after a warm-up run of each, taking turns"
    for ((i = 0; i <= runs; i++)); do
        # Turn about which goes first, so that neither always follows the other; a run that
        # could not be taken is tried again, twice at most.
        for s in $( ((i % 2)) && echo nudgeon bare || echo bare nudgeon); do
            launch_once "$s" "$i" || launch_once "$s" "$i" || launch_once "$s" "$i"
        done
    done
    add_pair "launch → icon docked and shown" ms ratio 1.2 "≤ 1.2 × bare" launch_dock_bare launch_dock_nudgeon
    add_pair "launch → icon reparented into the tray" ms "" "" "" launch_reparent_bare launch_reparent_nudgeon
    add_pair "VmRSS $settle_seconds s after docking" MB difference 4 "≤ bare + 4 MB" launch_rss_bare launch_rss_nudgeon
    add_pair "Pss $settle_seconds s after docking" MB difference "" "" launch_pss_bare launch_pss_nudgeon
    add_pair "  of it anonymous (Pss_Anon)" MB difference "" "" launch_pssanon_bare launch_pssanon_nudgeon
    add_pair "VmHWM $settle_seconds s after docking" MB difference "" "" launch_hwm_bare launch_hwm_nudgeon
}

# by_mapping: Nudgeon's resident memory beyond the bare program's, by mapping, from the smaps of
# the last run of each (differences of 64 kB and more).
by_mapping() {
    [ -s "$work/smaps-bare" ] && [ -s "$work/smaps-nudgeon" ] || return
    python3 - "$work/smaps-bare" "$work/smaps-nudgeon" <<'PY'
import re, sys
def read(path):
    rss, pss, name = {}, {}, None
    for line in open(path):
        if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
            parts = line.split(None, 5)
            name = parts[5].strip() if len(parts) > 5 else "[anonymous]"
            name = re.sub(r".*/", "", name) if name.startswith("/") else name
        elif line.startswith("Rss:"):
            rss[name] = rss.get(name, 0) + int(line.split()[1])
        elif line.startswith("Pss:"):
            pss[name] = pss.get(name, 0) + int(line.split()[1])
    return rss, pss
(br, bp), (nr, np) = read(sys.argv[1]), read(sys.argv[2])
rows = []
for name in set(br) | set(nr):
    d = nr.get(name, 0) - br.get(name, 0)
    if abs(d) >= 64:
        rows.append((d, name, br.get(name, 0), nr.get(name, 0), np.get(name, 0) - bp.get(name, 0)))
rows.sort(reverse=True)
print("mapping|bare Rss kB|Nudgeon Rss kB|Rss difference kB|Pss difference kB")
for d, name, b, n, dp in rows:
    print(f"{name}|{b}|{n}|{d:+d}|{dp:+d}")
print(f"all mappings|{sum(br.values())}|{sum(nr.values())}|{sum(nr.values()) - sum(br.values()):+d}|{sum(np.values()) - sum(bp.values()):+d}")
PY
}

# Ends the program and trayer of one run.
stop_all_of_run() {
    [ -n "${program_pid:-}" ] && stop_pid "$program_pid"
    [ -n "${trayer_pid:-}" ] && stop_pid "$trayer_pid"
    program_pid=""
    trayer_pid=""
}

# --- memory: the setup dialog and notes ------------------------------------------------------

# fake_now: the program's faked time, from the real time of its start.
fake_now() { awk -v s="$fake_start" -v l="$launched_at" -v n="$EPOCHREALTIME" -v x="$speed" 'BEGIN { printf "%d", s + (n - l) * x }'; }

# rss_mb PID / hwm_mb PID: the resident memory now and at its peak, in MB.
rss_mb() { kb_to_mb "$(status_kb "$1" VmRSS)"; }
anon_mb() { kb_to_mb "$(status_kb "$1" RssAnon)"; }
hwm_mb() { kb_to_mb "$(status_kb "$1" VmHWM)"; }

# memory_run N: one program through start-up, the dialog ten times and ten notes; appends its
# figures to the mem_* arrays.
memory_run() {
    local dir="$work/memory-$1" lines=() k speed=30 lead=13
    # The notes are due at 11:00 to 11:09 today, one a minute, 2 s apart in real time; the faked
    # clock starts 13 s (real) before the first of them.
    local first_note
    first_note=$(date -d "$(date +%F) 11:00:00" +%s)
    fake_start=$((first_note - lead * speed))
    for ((k = 0; k < 10; k++)); do
        lines+=("$(time_field $((first_note + k * 60))),,0,[note$k.txt]")
    done
    mapfile -t -O 10 lines < <(background_lines "$first_note" 20)
    prepare "$dir" "${lines[@]}"
    start_docked "$dir" LD_PRELOAD="$libfaketime" \
        FAKETIME="@$(date -d "@$fake_start" '+%F %T') x$speed" || { stop_all_of_run; return 1; }
    faked+=("$program_pid")
    local pid=$program_pid
    sleep 2
    local rss0 hwm0 rss_d1 rss1 hwm1 rss_n1 rss2 hwm2 trace_d="" trace_n=""
    rss0=$(rss_mb "$pid")
    hwm0=$(hwm_mb "$pid")
    local anon0 anon2
    anon0=$(anon_mb "$pid")

    # The setup dialog, ten times: a left click on the icon opens it, its Close button closes it.
    local ix iy iw ih dlg opened=0
    read -r ix iy iw ih <<<"$(geometry "$icon")"
    for ((k = 0; k < 10; k++)); do
        # The pointer leaves the icon at once: a tip shown over it would take the next click.
        xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1 mousemove 0 0
        if ! poll 5000 0.02 visible_named "$pid" "Nudgeon Setup"; then
            fail "the setup dialog did not open on a left click on the icon"
            break
        fi
        dlg=$polled
        # Escape closes the dialog once it has the keyboard.
        poll 3000 0.02 has_focus "$dlg" || { fail "the setup dialog did not take the keyboard"; break; }
        xdotool key Escape
        poll 3000 0.02 not_visible_named "$pid" "Nudgeon Setup" || { fail "the setup dialog did not close"; break; }
        opened=$((opened + 1))
        sleep 0.1
        trace_d+=" $(rss_mb "$pid")"
    done
    xdotool mousemove 0 0
    sleep 1
    rss_d1=${trace_d# }
    rss_d1=${rss_d1%% *}
    rss1=$(rss_mb "$pid")
    hwm1=$(hwm_mb "$pid")
    [ "$(fake_now)" -lt "$first_note" ] || fail "the dialogs took too long: a note came due while they were opened"

    # Ten notes, one a (faked) minute: each is closed from its menu, the icon at its top left.
    local shown=0 nw nx ny
    for ((k = 0; k < 10; k++)); do
        if ! poll 20000 0.02 visible_named "$pid" "Zerir Irar"; then
            fail "note $((k + 1)) did not show"
            break
        fi
        nw=$polled
        read -r nx ny _ <<<"$(geometry "$nw")"
        sleep 0.1
        xdotool mousemove $((nx + 10)) $((ny + 7)) click 1
        sleep 0.15
        xdotool key c
        poll 3000 0.02 not_visible_named "$pid" "Zerir Irar" || { fail "note $((k + 1)) did not close"; break; }
        shown=$((shown + 1))
        trace_n+=" $(rss_mb "$pid")"
    done
    xdotool mousemove 0 0
    sleep 1
    rss_n1=${trace_n# }
    rss_n1=${rss_n1%% *}
    rss2=$(rss_mb "$pid")
    hwm2=$(hwm_mb "$pid")
    anon2=$(anon_mb "$pid")
    running "$pid" || fail "the program ended during the memory run"
    stop_all_of_run
    log "run $1: start-up $rss0 MB (peak $hwm0); after each dialog:$trace_d; after each note:$trace_n; settled $rss1 / $rss2 MB (peak $hwm2); RssAnon $anon0 -> $anon2 MB"
    [ "$opened" -eq 10 ] && [ "$shown" -eq 10 ] || { fail "run $1 opened the dialog $opened times and showed $shown notes"; return 1; }
    mem_rss0+=("$rss0"); mem_hwm0+=("$hwm0")
    mem_rss1+=("$rss1"); mem_hwm1+=("$hwm1")
    mem_rss2+=("$rss2"); mem_hwm2+=("$hwm2")
    mem_g_d1+=("$(awk -v a="$rss_d1" -v b="$rss0" 'BEGIN { printf "%.2f", a - b }')")
    mem_g_d+=("$(awk -v a="$rss1" -v b="$rss0" 'BEGIN { printf "%.2f", a - b }')")
    mem_g_n1+=("$(awk -v a="$rss_n1" -v b="$rss1" 'BEGIN { printf "%.2f", a - b }')")
    mem_g_all+=("$(awk -v a="$rss2" -v b="$rss0" 'BEGIN { printf "%.2f", a - b }')")
    mem_g_anon+=("$(awk -v a="$anon2" -v b="$anon0" 'BEGIN { printf "%.2f", a - b }')")
}

measure_memory() {
    local i median
    mem_rss0=(); mem_hwm0=(); mem_rss1=(); mem_hwm1=(); mem_rss2=(); mem_hwm2=()
    mem_g_d1=(); mem_g_d=(); mem_g_n1=(); mem_g_all=(); mem_g_anon=()
    log "== memory: $memory_runs runs of the dialog ten times and ten notes, the clock 30 times faster"
    for ((i = 1; i <= memory_runs; i++)); do memory_run "$i"; done
    [ ${#mem_rss0[@]} -gt 0 ] || return
    read -r median _ <<<"$(stats "${mem_rss0[@]}")"
    add_row "VmRSS after start-up (memory runs)" MB "≤ 35 MB" "$(verdict "$median" 35)" "${mem_rss0[@]}"
    add_row "VmHWM after start-up" MB "" "" "${mem_hwm0[@]}"
    add_row "VmRSS after the dialog ×10" MB "" "" "${mem_rss1[@]}"
    add_row "VmHWM after the dialog ×10" MB "" "" "${mem_hwm1[@]}"
    add_row "VmRSS after the dialog ×10 and notes ×10" MB "" "" "${mem_rss2[@]}"
    add_row "VmHWM after the dialog ×10 and notes ×10" MB "" "" "${mem_hwm2[@]}"
    add_row "  growth by the first dialog" MB "" "" "${mem_g_d1[@]}"
    add_row "  growth by the dialog ×10" MB "" "" "${mem_g_d[@]}"
    add_row "  growth by the first note" MB "" "" "${mem_g_n1[@]}"
    read -r median _ <<<"$(stats "${mem_g_all[@]}")"
    add_row "  growth by the dialog ×10 and notes ×10" MB "≤ 2 MB" "$(verdict "$median" 2)" "${mem_g_all[@]}"
    add_row "  of it anonymous (RssAnon growth)" MB "" "" "${mem_g_anon[@]}"
}

# --- idle: CPU time and wake-ups -------------------------------------------------------------

# thread_counters PID: one line per thread: "tid comm voluntary nonvoluntary cpu_ns ticks".
thread_counters() {
    local t tid comm vol nvol ns ticks
    for t in /proc/"$1"/task/*; do
        tid=${t##*/}
        comm=$(tr ' ' '_' <"$t/comm" 2>/dev/null) || continue
        vol=$(awk '$1 == "voluntary_ctxt_switches:" { print $2 }' "$t/status" 2>/dev/null)
        nvol=$(awk '$1 == "nonvoluntary_ctxt_switches:" { print $2 }' "$t/status" 2>/dev/null)
        ns=$(awk '{ print $1 }' "$t/schedstat" 2>/dev/null)
        ticks=$(sed 's/.*) //' "$t/stat" 2>/dev/null | awk '{ print $12 + $13 }')
        echo "$tid $comm ${vol:-0} ${nvol:-0} ${ns:-0} ${ticks:-0}"
    done
}

# process_ticks PID: utime + stime of the whole process, in clock ticks.
process_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }

# idle_figures PID BEFORE AFTER SECONDS NAME: per thread "role|name|wake-ups|involuntary|CPU
# ms|wake-ups in 10 min|per minute" over the window, from thread_counters before and after.
idle_figures() {
    awk -v main="$1" -v secs="$4" -v scale="$(awk -v s="$4" 'BEGIN { printf "%.4f", 600 / s }')" -v prog="$5" '
        NR == FNR { v0[$1] = $3; n0[$1] = $4; c0[$1] = $5; next }
        {
            dv = $3 - v0[$1]; dn = $4 - n0[$1]; dc = ($5 - c0[$1]) / 1e6
            role = ($1 == main) ? "main thread" : "thread"
            printf "%s|%s|%s|%d|%d|%.3f|%.1f|%.2f\n", prog, role, $2, dv, dn, dc, dv * scale, dv / secs * 60
        }' <(echo "$2") <(echo "$3")
}

measure_idle() {
    local dir="$work/idle" bare_dir="$work/idle-bare" pid bare_pid bare_trayer t0 t1
    log "== idle: both programs for $idle_seconds s with their icons docked, each on a display of its own"
    # The bare program on a display and tray of its own, so that the two do not wake each other.
    [ -n "${C:-}" ] || start_x C
    prepare_bare "$bare_dir"
    DISPLAY=$C start_docked "$bare_dir" || { stop_all_of_run; DISPLAY=$C start_docked "$bare_dir"; } ||
        { stop_all_of_run; return; }
    bare_pid=$program_pid
    bare_trayer=$trayer_pid
    program_pid=""
    trayer_pid=""
    prepare "$dir" "${schedule_idle[@]}"
    start_docked "$dir" || { stop_all_of_run; start_docked "$dir"; } ||
        { stop_all_of_run; stop_pid "$bare_pid"; stop_pid "$bare_trayer"; return; }
    pid=$program_pid
    # The first tick comes 2 s after start-up and sets the timer to its minute.
    sleep 5
    local before bare_before after bare_after
    before=$(thread_counters "$pid")
    bare_before=$(thread_counters "$bare_pid")
    t0=$EPOCHREALTIME
    idle_started=$t0
    want tick && measure_tick_during_idle
    local left
    left=$(awk -v a="$t0" -v n="$EPOCHREALTIME" -v s="$idle_seconds" 'BEGIN { d = s - (n - a); print (d > 0 ? d : 0) }')
    sleep "$left"
    after=$(thread_counters "$pid")
    bare_after=$(thread_counters "$bare_pid")
    t1=$EPOCHREALTIME
    running "$pid" || fail "Nudgeon ended while idle"
    running "$bare_pid" || fail "the bare program ended while idle"
    stop_all_of_run
    stop_pid "$bare_pid"
    stop_pid "$bare_trayer"

    local seconds
    seconds=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", b - a }')
    log "idle window: $seconds s; per thread (tid name voluntary nonvoluntary cpu_ns ticks):"
    log "Nudgeon before: $(echo "$before" | tr '\n' ';')"
    log "Nudgeon after:  $(echo "$after" | tr '\n' ';')"
    log "bare before: $(echo "$bare_before" | tr '\n' ';')"
    log "bare after:  $(echo "$bare_after" | tr '\n' ';')"
    local per_nudgeon per_bare
    per_nudgeon=$(idle_figures "$pid" "$before" "$after" "$seconds" Nudgeon)
    per_bare=$(idle_figures "$bare_pid" "$bare_before" "$bare_after" "$seconds" bare)
    idle_threads=$per_bare$'\n'$per_nudgeon
    # Per minute of the window: the main thread's wake-ups, every thread's, and the CPU time.
    local f
    for f in per_nudgeon per_bare; do
        local -n figures=$f
        local -n main_min=idle_main_${f#per_} all_min=idle_all_${f#per_} cpu_min=idle_cpu_${f#per_}
        main_min=("$(awk -F'|' -v s="$seconds" '$2 == "main thread" { printf "%.2f", $4 / s * 60 }' <<<"$figures")")
        all_min=("$(awk -F'|' -v s="$seconds" '{ w += $4 } END { printf "%.2f", w / s * 60 }' <<<"$figures")")
        cpu_min=("$(awk -F'|' -v s="$seconds" '{ c += $6 } END { printf "%.3f", c / s * 60 }' <<<"$figures")")
        unset -n figures main_min all_min cpu_min
    done
    # The tick needs one wake-up a minute; what Qt itself wakes for, the bare program wakes for too.
    add_pair "main thread wake-ups per idle minute" /min difference 1 "≤ bare + 1 /min" idle_main_bare idle_main_nudgeon
    add_pair "wake-ups of all threads per idle minute" /min difference 1 "≤ bare + 1 /min" idle_all_bare idle_all_nudgeon
    add_pair "CPU time per idle minute (schedstat)" ms value "" "" idle_cpu_bare idle_cpu_nudgeon
    idle_window=$seconds
}

# --- tick: from the due minute to the program run --------------------------------------------

# tick_dir N OFFSET: prepares a program folder whose one entry at the minute beginning at
# $tick_minute runs stamp.sh, which records when it started.
tick_dir() {
    local dir="$work/tick-$1" lines=()
    mkdir -p "$dir/program"
    lines=("$(time_field "$tick_minute"),$dir/program/stamp.sh,0,")
    mapfile -t -O 1 lines < <(background_lines "$tick_minute" 29)
    prepare "$dir" "${lines[@]}"
    printf '#!/bin/sh\ndate +%%s.%%N >>"$(dirname "$0")/ran"\n' >"$dir/program/stamp.sh"
    chmod +x "$dir/program/stamp.sh"
}

measure_tick_during_idle() {
    local i now
    [ -n "${B:-}" ] || start_x B
    # The next minute that leaves at least 10 s to prepare.
    now=${EPOCHREALTIME%[.,]*}
    tick_minute=$(((now + 10 + 59) / 60 * 60))
    log "== tick: programs started 8, 5 and 3 s (and 1 s, traced) before $(date -d "@$tick_minute" +%T)"
    for i in 0 1 2 3; do tick_dir "$i"; done
    local starts=(8 5 3 1)
    for i in 0 1 2 3; do
        sleep "$(awk -v t="$tick_minute" -v o="${starts[$i]}" -v n="$EPOCHREALTIME" 'BEGIN { d = t - o - n; print (d > 0 ? d : 0) }')"
        if [ "$i" -eq 3 ]; then
            [ "$have_strace" -eq 1 ] || continue
            launch "$work/tick-$i" "$B" -- strace -f -ttt -T -o "$work/tick-$i/logs/strace" \
                -e trace=poll,ppoll,clock_nanosleep,nanosleep,execve
        else
            launch "$work/tick-$i" "$B"
        fi
        tick_pids[$i]=$program_pid
        tick_started[$i]=$launched_at
    done
}

# Collects what the programs started before the minute ran; called once the idle window is over.
collect_tick() {
    local i latency=() f started_before
    [ -n "${tick_minute:-}" ] || return
    poll $(((tick_minute + 75 - ${EPOCHREALTIME%[.,]*}) * 1000)) 0.5 \
        bash -c 'for d in "$@"; do [ -s "$d/program/ran" ] || exit 1; done' _ "$work"/tick-{0,1,2} ||
        fail "not every entry ran within 75 s of its minute"
    for i in 0 1 2; do
        f="$work/tick-$i/program/ran"
        started_before=$(awk -v t="$tick_minute" -v l="${tick_started[$i]}" 'BEGIN { printf "%.2f", t - l }')
        if [ -s "$f" ]; then
            latency+=("$(awk -v t="$tick_minute" '{ printf "%.3f", $1 - t; exit }' "$f")")
            log "started ${started_before} s before the minute: its entry ran $(awk -v t="$tick_minute" '{ printf "%.3f", $1 - t; exit }' "$f") s into the minute ($(wc -l <"$f") run(s))"
        fi
        stop_pid "${tick_pids[$i]}"
    done
    add_row "due minute → entry's program started" s "" "" "${latency[@]}"
    if [ -n "${tick_pids[3]:-}" ]; then
        poll 10000 0.5 test -s "$work/tick-3/program/ran" >/dev/null
        local prog_pid
        # The program itself is strace's child.
        prog_pid=$(cat /proc/"${tick_pids[3]}"/task/*/children 2>/dev/null | awk '{ print $1; exit }')
        [ -n "$prog_pid" ] && kill -TERM "$prog_pid" 2>/dev/null
        stop_pid "${tick_pids[3]}"
        local breakdown
        breakdown=$(tick_breakdown "$work/tick-3/logs/strace" "$work/tick-3/program/ran")
        if [ -n "$breakdown" ]; then
            local wake sleep_ms exec_ms ran
            read -r wake sleep_ms exec_ms ran <<<"$breakdown"
            log "traced run: the timer woke at $(date -d "@${wake%.*}" +%T).${wake#*.}; sleeps in the tick: $sleep_ms ms; program exec'd $exec_ms ms after the wake-up, its date at +$ran ms"
            add_row "tick wake-up → program exec (strace)" ms "" "" "$exec_ms"
            add_row "  of which sleeping in the tick" ms "" "" "$sleep_ms"
        else
            log "traced run: no breakdown found in $work/tick-3/logs/strace"
        fi
    fi
}

# tick_breakdown STRACE_LOG RAN_FILE: "wake sleep_ms exec_ms date_ms": the main thread's last
# wake from poll before stamp.sh was executed, the time it then slept, and when stamp.sh was
# executed and recorded its date, in ms after that wake.
tick_breakdown() {
    local ran
    ran=$(head -n 1 "$2" 2>/dev/null)
    python3 - "$1" "$ran" <<'PY'
import re, sys
lines = open(sys.argv[1]).read().splitlines()
ran = float(sys.argv[2]) if sys.argv[2] else None
main = lines[0].split()[0] if lines else None
wake = None
slept = 0.0
for line in lines:
    m = re.match(r"(\d+)\s+(\d+\.\d+)\s+(\w+)\((.*)<(\d+\.\d+)>$", line)
    resumed = re.match(r"(\d+)\s+(\d+\.\d+)\s+<\.\.\. (\w+) resumed>.*<(\d+\.\d+)>$", line)
    if "stamp.sh" in line and "execve(" in line:
        t = float(line.split()[1])
        if wake is not None:
            print(f"{wake:.6f} {slept * 1000:.1f} {(t - wake) * 1000:.1f} {((ran - wake) * 1000) if ran else float('nan'):.1f}")
        break
    if m and m.group(1) == main:
        pid, start, call, _, dur = m.groups()
        end = float(start) + float(dur)
        if call in ("poll", "ppoll"):
            wake, slept = end, 0.0
        elif call in ("clock_nanosleep", "nanosleep") and wake is not None:
            slept += float(dur)
    elif resumed and resumed.group(1) == main:
        pid, end, call, dur = resumed.groups()
        if call in ("poll", "ppoll"):
            wake, slept = float(end), 0.0
        elif call in ("clock_nanosleep", "nanosleep") and wake is not None:
            slept += float(dur)
PY
}

# --- the run ---------------------------------------------------------------------------------

log "program: $program_exe"
now=${EPOCHREALTIME%[.,]*}
mapfile -t schedule_idle < <(background_lines "$now" 30)

start_x A
export DISPLAY=$A
want launch && measure_launch
want memory && measure_memory
if want idle; then
    measure_idle
    collect_tick
elif want tick; then
    # Without the idle program, the tick is measured on its own.
    measure_tick_during_idle
    collect_tick
fi

# --- the table -------------------------------------------------------------------------------

echo
echo "Nudgeon measured beside a bare Qt tray program"
echo "Nudgeon: $program_exe"
echo "bare:    $bare_exe"
echo "$(nproc) CPUs, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(free -m | awk '/^Mem:/ { print $2 " MB" }'), kernel $(uname -r), Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null)"
echo "load average (1 min): $load_begin at the start, $(cut -d' ' -f1 /proc/loadavg) at the end$([ ${#loads[@]} -gt 0 ] && echo ", $(stats "${loads[@]}" | awk '{ printf "median %s, %s – %s", $1, $2, $3 }') over the launch runs") (other work on the machine slows the figures)"
want launch && echo "launch: $runs runs of each program, taking turns, after a warm-up run of each; time to the docked icon is taken by an X event watcher (at most ~1 ms late)"
[ -n "${idle_window:-}" ] && echo "idle: both programs at once over ${idle_window} s"
if [ ${#pairs[@]} -gt 0 ]; then
    echo
    {
        echo "what|bare|range|Nudgeon|range|runs|Nudgeon / bare|Nudgeon − bare|goal|verdict"
        printf '%s\n' "${pairs[@]}"
    } | table
fi
if [ ${#results[@]} -gt 0 ]; then
    echo
    echo "Nudgeon alone:"
    {
        echo "what|median|range|runs|target|verdict"
        printf '%s\n' "${results[@]}"
    } | table
fi
if [ -n "${idle_threads:-}" ]; then
    echo
    echo "idle, per thread over ${idle_window} s:"
    {
        echo "program|thread|name|wake-ups|involuntary|CPU ms|wake-ups in 10 min|per minute"
        echo "$idle_threads"
    } | table
fi
if want launch; then
    mappings=$(by_mapping)
    if [ -n "$mappings" ]; then
        echo
        echo "resident memory by mapping, the last launch run of each (differences of 64 kB and more):"
        echo "$mappings" | table
    fi
fi
echo
if [ "$failures" -gt 0 ]; then
    echo "$failures measurement(s) could not be taken; see the log above"
    exit 1
fi
