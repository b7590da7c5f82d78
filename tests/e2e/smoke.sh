#!/usr/bin/env bash
# End-to-end smoke test of Nudgeon: the real program, a real tray (trayer) and a virtual X
# display (Xvfb), driven the way a user drives it.
#
# Usage: smoke.sh <nudgeon executable> <build folder> [scenario...]
#
# Scenarios (all of them when none is named):
#   tray-first  trayer runs, then the program starts: its icon docks in trayer's panel and shows
#               a tip; a second copy ends at once with code 0 and leaves the first one running;
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

# Time limits, in milliseconds.
readonly XVFB_LIMIT=10000    # the X server takes its display
readonly PANEL_LIMIT=10000   # trayer shows its panel
readonly DOCK_LIMIT=10000    # the icon docks in the panel
readonly TIP_LIMIT=5000      # the tip shows while the pointer rests on the icon
readonly SECOND_LIMIT=2000   # a second copy ends
readonly MENU_LIMIT=5000     # the menu opens
readonly EXIT_LIMIT=5000     # the program ends after "Close"
readonly UNDOCK_LIMIT=5000   # the icon's place in the panel goes away

# --- bookkeeping -----------------------------------------------------------------------------

now_ms() {
    local t=${EPOCHREALTIME//[.,]/}
    echo $((t / 1000))
}

t0=$(now_ms)
log() {
    local t=$(($(now_ms) - t0))
    printf '[%3d.%03ds] %s\n' $((t / 1000)) $((t % 1000)) "$*"
}

work=$(mktemp -d "${TMPDIR:-/tmp}/nudgeon-e2e.XXXXXX") || exit 1
failures=0
evidence_dir=""
scenario=""
scenario_dir=""

# Every process the test starts carries this in its environment, and only they do: whatever they
# leave behind is found by it and ended too.
run_marker="$$-$RANDOM$RANDOM"

started=() # process ids of the processes started and not yet waited for

# start_bg OUT ERR CMD...: starts CMD in the background, its output in OUT and ERR; sets $started_pid.
start_bg() {
    local out=$1 err=$2
    shift 2
    env NUDGEON_E2E_RUN="$run_marker" "$@" >"$out" 2>"$err" &
    started_pid=$!
    started+=("$started_pid")
}

forget_pid() {
    local i
    for i in "${!started[@]}"; do
        [ "${started[$i]}" = "$1" ] && unset 'started[i]'
    done
}

# running PID: PID is a live process (an ended one that is not reaped yet is not).
running() {
    local state
    kill -0 "$1" 2>/dev/null || return 1
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) || return 1
    [ "$state" != Z ]
}

ended() { ! running "$1"; }

# reap PID: waits for PID, which has ended, and sets $exit_code.
reap() {
    wait "$1" 2>/dev/null
    exit_code=$?
    forget_pid "$1"
}

# stop_pid PID: ends PID, politely first; sets $exit_code.
stop_pid() {
    local pid=$1 end
    if running "$pid"; then
        kill -TERM "$pid" 2>/dev/null
        end=$(($(now_ms) + 3000))
        while running "$pid" && [ "$(now_ms)" -lt "$end" ]; do sleep 0.05; done
        running "$pid" && kill -KILL "$pid" 2>/dev/null
    fi
    reap "$pid"
}

# Processes that carry the marker but were not started here: what the started ones left behind.
stray_pids() {
    local f pid
    for f in /proc/[0-9]*/environ; do
        pid=${f#/proc/}
        pid=${pid%/environ}
        [[ " ${started[*]} " == *" $pid "* ]] && continue
        grep -qzx "NUDGEON_E2E_RUN=$run_marker" "$f" 2>/dev/null && echo "$pid"
    done
}

# poll LIMIT_MS CMD...: runs CMD every 0.1 s until it succeeds or LIMIT_MS has passed; CMD's last
# output is in $polled and the time it took in $polled_ms.
poll() {
    local limit=$1 start end
    shift
    start=$(now_ms)
    end=$((start + limit))
    while :; do
        if polled=$("$@"); then
            polled_ms=$(($(now_ms) - start))
            return 0
        fi
        [ "$(now_ms)" -ge "$end" ] && break
        sleep 0.1
    done
    polled_ms=$(($(now_ms) - start))
    return 1
}

# --- evidence kept on a failure --------------------------------------------------------------

# screenshot FILE_WITHOUT_EXTENSION: saves the whole screen as a PNG (or an XWD picture).
screenshot() {
    if command -v python3 >/dev/null && python3 - "$1.png" 2>>"$1.err" <<'PY'; then
# Reads the root window with XGetImage and writes it as an 8-bit RGB PNG.
import ctypes, ctypes.util, struct, sys, zlib

class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong),
                ("blue_mask", ctypes.c_ulong)]

x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultScreen.argtypes = [ctypes.c_void_p]
x.XRootWindow.restype = ctypes.c_ulong
x.XRootWindow.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XDisplayWidth.argtypes = x.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XGetImage.restype = ctypes.POINTER(XImage)
x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]

dpy = x.XOpenDisplay(None)
if not dpy:
    sys.exit("cannot open the display")
screen = x.XDefaultScreen(dpy)
w, h = x.XDisplayWidth(dpy, screen), x.XDisplayHeight(dpy, screen)
image = x.XGetImage(dpy, x.XRootWindow(dpy, screen), 0, 0, w, h, ctypes.c_ulong(-1).value, 2)
if not image:
    sys.exit("XGetImage failed")
im = image.contents
if im.bits_per_pixel != 32:
    sys.exit("only 32 bits per pixel are handled")

def byte_of(mask):
    shift = (mask & -mask).bit_length() - 1
    if mask >> shift != 0xFF or shift % 8:
        sys.exit("colour masks that are not whole bytes are not handled")
    return shift // 8 if im.byte_order == 0 else 3 - shift // 8

r, g, b = byte_of(im.red_mask), byte_of(im.green_mask), byte_of(im.blue_mask)
raw = ctypes.string_at(im.data, im.bytes_per_line * h)
rows = []
for y in range(h):
    line = raw[y * im.bytes_per_line: y * im.bytes_per_line + 4 * w]
    rgb = bytearray(3 * w)
    rgb[0::3], rgb[1::3], rgb[2::3] = line[r::4], line[g::4], line[b::4]
    rows.append(b"\0" + bytes(rgb))

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

with open(sys.argv[1], "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n")
    out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)))
    out.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 6)))
    out.write(chunk(b"IEND", b""))
PY
        rm -f "$1.err"
    elif command -v xwd >/dev/null && xwd -root -silent >"$1.xwd" 2>>"$1.err"; then
        rm -f "$1.err"
    else
        echo "no screenshot: neither python3 with libX11 nor xwd could take one" >>"$1.err"
    fi
}

# fail MESSAGE: records a failed check and keeps what the screen shows at that moment.
fail() {
    failures=$((failures + 1))
    log "FAIL: $*"
    if [ -z "$evidence_dir" ]; then
        evidence_dir="$build_dir/e2e-failures/smoke-$(date +%Y%m%d-%H%M%S)-$$"
        mkdir -p "$evidence_dir"
    fi
    local d="$evidence_dir/$scenario"
    mkdir -p "$d"
    echo "$*" >>"$d/failures.txt"
    if [ -n "${DISPLAY:-}" ]; then
        screenshot "$d/screen-$failures"
        xwininfo -root -tree >"$d/windows-$failures.txt" 2>&1
    fi
}

# die MESSAGE: a failed check after which the scenario cannot go on.
die() {
    fail "$@"
    exit 1
}

keep_logs() {
    local dir
    [ -n "$evidence_dir" ] || return 0
    for dir in "$work"/*/logs; do
        [ -d "$dir" ] || continue
        local name=${dir%/logs}
        name=${name##*/}
        [ -d "$evidence_dir/$name" ] && cp -r "$dir/." "$evidence_dir/$name/"
    done
    cp "$work"/xvfb.* "$evidence_dir/" 2>/dev/null
    return 0
}

cleanup() {
    local status=$? i pid strays
    trap - EXIT INT TERM
    # The last started ends first: the program and trayer before the X server.
    local order=("${!started[@]}")
    for ((i = ${#order[@]} - 1; i >= 0; i--)); do
        stop_pid "${started[${order[$i]}]}"
    done
    started=()
    unset DISPLAY
    strays=$(stray_pids)
    if [ -n "$strays" ]; then
        fail "processes left behind by the program, trayer or Xvfb: $(ps -o pid=,args= -p "${strays//$'\n'/,}" | tr '\n' ';')"
        for pid in $strays; do kill -KILL "$pid" 2>/dev/null; done
    fi
    keep_logs
    rm -rf "$work"
    if [ "$failures" -gt 0 ]; then
        log "$failures check(s) failed; screenshots, window trees and logs are in $evidence_dir"
        exit 1
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Nothing reaches a display, a session bus or a session manager of the desktop this runs in.
unset DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY SESSION_MANAGER QT_QPA_PLATFORMTHEME
export QT_QPA_PLATFORM=xcb

# --- the tools -------------------------------------------------------------------------------

missing=()
for tool in Xvfb xauth trayer xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    die "missing tools: ${missing[*]} (Debian packages xvfb, xauth, trayer, xdotool, x11-utils; see scripts/setup.sh)"
fi
[ -x "$program_exe" ] || die "no program at $program_exe"

# --- the X server ----------------------------------------------------------------------------

display_named() { grep -qx '[0-9][0-9]*' "$work/display" && running "$xvfb_pid"; }

# Xvfb takes a free display itself and names it on a file descriptor once it is ready; the
# server knows every cookie in its authority file, whatever display an entry names.
start_x_server() {
    local cookie
    cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    export XAUTHORITY="$work/Xauthority"
    xauth -q -f "$XAUTHORITY" add :0 MIT-MAGIC-COOKIE-1 "$cookie" 2>/dev/null
    start_bg "$work/xvfb.out" "$work/xvfb.err" \
        Xvfb -displayfd 3 -nolisten tcp -noreset -auth "$XAUTHORITY" -screen 0 1024x768x24 3>"$work/display"
    xvfb_pid=$started_pid
    poll "$XVFB_LIMIT" display_named || {
        cat "$work/xvfb.err" >&2
        die "Xvfb did not take a display within $XVFB_LIMIT ms"
    }
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY
    xauth -q -f "$XAUTHORITY" add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$cookie" 2>/dev/null
    poll 3000 xwininfo -root >/dev/null || die "the X server at $DISPLAY does not answer"
    log "Xvfb runs on $DISPLAY (pid $xvfb_pid)"
}

# --- windows ---------------------------------------------------------------------------------
# Window ids are handled as decimal numbers.

windows_of_pid() { xdotool search --pid "$1" 2>/dev/null; }
visible_windows_of_pid() { xdotool search --onlyvisible --pid "$1" 2>/dev/null; }

parent_of() {
    local p
    p=$(xwininfo -children -id "$1" 2>/dev/null | sed -n 's/^ *Parent window id: \(0x[0-9a-fA-F]*\).*/\1/p')
    [ -n "$p" ] && echo $((p))
}

window_exists() { xwininfo -id "$1" >/dev/null 2>&1; }
window_gone() { ! window_exists "$1"; }
is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
has_property() { xprop -id "$1" "$2" 2>/dev/null | grep -q "^$2("; }
is_tooltip() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP; }

# geometry W: "x y width height" of W on the screen.
geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
        END { if (w != "") print x, y, w, h; else exit 1 }'
}

# The program's tray icon windows: its windows that carry the XEmbed information.
icon_windows() {
    local w
    for w in $(windows_of_pid "$1"); do
        has_property "$w" _XEMBED_INFO && echo "$w"
    done
}

# docked_icons PROGRAM_PID TRAYER_PID: "icon socket" for each icon window of the program that
# sits inside one of trayer's windows, socket being the window trayer made to hold it. Fails
# when there is none.
docked_icons() {
    local tray w p found=1
    tray=" $(windows_of_pid "$2" | tr '\n' ' ') "
    for w in $(icon_windows "$1"); do
        p=$w
        while p=$(parent_of "$p") && [ "$p" -ne 0 ]; do
            if [[ $tray == *" $p "* ]]; then
                echo "$w $(parent_of "$w")"
                found=0
                break
            fi
        done
    done
    return $found
}

# trayer's panel: the window of trayer's on the screen.
trayer_panel() {
    local w
    w=$(visible_windows_of_pid "$1" | head -n 1)
    [ -n "$w" ] && echo "$w"
}

# tip_of PROGRAM_PID: the program's tip window on the screen.
tip_of() {
    local w
    for w in $(visible_windows_of_pid "$1"); do
        is_tooltip "$w" && { echo "$w"; return 0; }
    done
    return 1
}

# menu_of PROGRAM_PID ICON: the program's window on the screen that is neither its icon nor a tip.
menu_of() {
    local w
    for w in $(visible_windows_of_pid "$1"); do
        [ "$w" = "$2" ] && continue
        is_tooltip "$w" && continue
        echo "$w"
        return 0
    done
    return 1
}

# --- one scenario's folders and processes ----------------------------------------------------

begin_scenario() {
    scenario=$1
    scenario_dir="$work/$scenario"
    logs="$scenario_dir/logs"
    pgm="$scenario_dir/program"
    mkdir -p "$logs" "$pgm" "$scenario_dir"/{runtime,home,config,data,cache}
    chmod 700 "$scenario_dir/runtime"
    export XDG_RUNTIME_DIR="$scenario_dir/runtime"
    export HOME="$scenario_dir/home"
    export XDG_CONFIG_HOME="$scenario_dir/config"
    export XDG_DATA_HOME="$scenario_dir/data"
    export XDG_CACHE_HOME="$scenario_dir/cache"
    # No sound server, and none started on demand: the program has to do without one.
    printf 'autospawn = no\n' >"$scenario_dir/pulse-client.conf"
    export PULSE_CLIENTCONFIG="$scenario_dir/pulse-client.conf"
    export PULSE_SERVER="unix:$scenario_dir/no-sound-server"

    local exe_dir
    exe_dir=$(dirname "$program_exe")
    cp "$program_exe" "$pgm/nudgeon" || die "cannot copy the program"
    cp "$exe_dir/ringin.wav" "$exe_dir/Nudgeon.wav" "$pgm/" || die "cannot copy the sounds from $exe_dir"
    # Events two, three and five hours from now, so none of them comes due while the test runs.
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
    log "== $scenario: program folder $pgm"
}

start_trayer() {
    start_bg "$logs/trayer.out" "$logs/trayer.err" \
        trayer --SetDockType true --SetPartialStrut false --edge bottom --align center \
        --widthtype request --height 32 --expand true --transparent false
    trayer_pid=$started_pid
    poll "$PANEL_LIMIT" trayer_panel "$trayer_pid" ||
        die "trayer (pid $trayer_pid) showed no panel within $PANEL_LIMIT ms"
    panel=$polled
    log "trayer's panel $(printf '0x%x' "$panel") is up after $polled_ms ms (pid $trayer_pid)"
}

start_program() {
    start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" "$pgm/nudgeon"
    program_pid=$started_pid
    log "program started (pid $program_pid)"
}

docked_or_ended() { docked_icons "$1" "$2" || ended "$1"; }

wait_for_dock() {
    poll "$DOCK_LIMIT" docked_or_ended "$program_pid" "$trayer_pid" ||
        die "the program's icon did not dock in trayer's panel within $DOCK_LIMIT ms"
    if ended "$program_pid"; then
        reap "$program_pid"
        die "the program ended with exit code $exit_code before its icon docked; its error output: $(tr '\n' ' ' <"$logs/nudgeon.err")"
    fi
    [ "$(wc -l <<<"$polled")" -eq 1 ] || fail "more than one icon of the program docked: $polled"
    read -r icon socket <<<"$(head -n 1 <<<"$polled")"
    log "icon $(printf '0x%x' "$icon") docked in socket $(printf '0x%x' "$socket") after $polled_ms ms"
    is_viewable "$icon" || fail "the docked icon is not shown"
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

# Right-clicks the icon and waits for the menu; sets $menu and its geometry $mx $my $mw $mh.
open_menu() {
    local ix iy iw ih
    read -r ix iy iw ih <<<"$(geometry "$icon")" || die "the icon has no geometry"
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 3
    poll "$MENU_LIMIT" menu_of "$program_pid" "$icon" ||
        die "no menu showed within $MENU_LIMIT ms of a right click on the icon"
    menu=$polled
    read -r mx my mw mh <<<"$(geometry "$menu")"
    log "menu $(printf '0x%x' "$menu") (${mw}x${mh} at $mx,$my) showed after $polled_ms ms"
}

# Checks what is left once the program has been closed from its menu.
check_closed() {
    if ! poll "$EXIT_LIMIT" ended "$program_pid"; then
        fail "the program still runs $EXIT_LIMIT ms after its menu's Close"
        stop_pid "$program_pid"
        return
    fi
    reap "$program_pid"
    log "program ended $polled_ms ms after Close, exit code $exit_code"
    [ "$exit_code" -eq 0 ] ||
        fail "the program ended with exit code $exit_code after Close; its error output: $(tr '\n' ' ' <"$logs/nudgeon.err")"

    poll "$UNDOCK_LIMIT" window_gone "$socket" ||
        fail "the icon's place $(printf '0x%x' "$socket") is still in trayer's panel $UNDOCK_LIMIT ms after the program ended"
    running "$trayer_pid" || fail "trayer ended along with the program"
}

check_folder_unchanged() {
    cmp -s "$scenario_dir/Nudgeon.cfg.written" "$pgm/Nudgeon.cfg" ||
        fail "the schedule file changed: $(od -c "$pgm/Nudgeon.cfg" | head -n 5 | tr '\n' ' ')"
    diff <(echo "$before_start") <(folder_state "$pgm") >"$logs/program-folder.diff" ||
        fail "the program folder differs from before the program started: $(tr '\n' ' ' <"$logs/program-folder.diff")"
    diff <(echo "$after_start") <(folder_state "$pgm" mtimes) >"$logs/program-folder-since-start.diff" ||
        fail "something was written in the program folder after the program started: $(tr '\n' ' ' <"$logs/program-folder-since-start.diff")"
}

end_scenario() {
    stop_pid "$trayer_pid"
    log "== $scenario done"
}

# --- the scenarios ---------------------------------------------------------------------------

scenario_tray_first() {
    begin_scenario tray-first
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
