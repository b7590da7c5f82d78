# SPDX-License-Identifier: MIT
# Helpers shared by Nudgeon's end-to-end test scripts: bookkeeping of the processes a test
# starts, polling, the evidence kept on a failure, the virtual X display, trayer, and the
# program's windows. A script sources this file, sets program_exe, build_dir and suite, and
# calls e2e_init before anything else.
#
# Each scenario runs in fresh temporary folders: the program folder (the executable and its
# sounds), XDG_RUNTIME_DIR (mode 700, where the lock file goes), HOME and the XDG folders.
# There is no session bus, so Qt docks the icon through XEmbed, and no sound server. On a
# failure a screenshot, the window tree and the logs are kept under
# <build folder>/e2e-failures/<suite>-<time>-<pid>/<scenario>/. Every process a test starts
# is ended by its process id.
#
# shellcheck shell=bash
# program_exe, build_dir, suite and program_pid are set by the script that sources this file.
# shellcheck disable=SC2154

# Time limits, in milliseconds.
readonly XVFB_LIMIT=10000    # the X server takes its display
readonly PANEL_LIMIT=10000   # trayer shows its panel
readonly DOCK_LIMIT=10000    # the icon docks in the panel
readonly MENU_LIMIT=5000     # a menu opens
readonly EXIT_LIMIT=5000     # the program ends after "Close"
readonly UNDOCK_LIMIT=5000   # the icon's place in the panel goes away

# --- bookkeeping -----------------------------------------------------------------------------

now_ms() {
    local t=${EPOCHREALTIME//[.,]/}
    echo $((t / 1000))
}

log() {
    local t=$(($(now_ms) - t0))
    printf '[%3d.%03ds] %s\n' $((t / 1000)) $((t % 1000)) "$*"
}

failures=0
evidence_dir=""
scenario=""
scenario_dir=""
started=() # process ids of the processes started and not yet waited for
cleanup_steps=() # commands run at the end, once every process started has ended

# start_bg OUT ERR CMD...: starts CMD in the background, its output in OUT and ERR; sets $started_pid.
# Every process the test starts carries the run's marker in its environment, and only they do:
# whatever they leave behind is found by it and ended too.
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
        evidence_dir="$build_dir/e2e-failures/$suite-$(date +%Y%m%d-%H%M%S)-$$"
        mkdir -p "$evidence_dir"
    fi
    local d="$evidence_dir/${scenario:-setup}"
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

# Copies every scenario's logs folder into its evidence folder.
keep_logs() {
    local dir name
    [ -n "$evidence_dir" ] || return 0
    for dir in "$work"/*/logs; do
        [ -d "$dir" ] || continue
        name=${dir%/logs}
        name=${name##*/}
        [ -d "$evidence_dir/$name" ] && cp -r "$dir/." "$evidence_dir/$name/"
    done
    cp "$work"/xvfb.* "$evidence_dir/" 2>/dev/null
    return 0
}

# Ends what is still running, last started first, then anything left behind; keeps the
# evidence and removes the temporary folders.
e2e_cleanup() {
    local status=$? i pid strays
    trap - EXIT INT TERM
    local order=("${!started[@]}")
    for ((i = ${#order[@]} - 1; i >= 0; i--)); do
        stop_pid "${started[${order[$i]}]}"
    done
    started=()
    for i in "${!cleanup_steps[@]}"; do
        eval "${cleanup_steps[$i]}"
    done
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

# e2e_init TOOL...: the temporary folder, the traps and a clean environment; fails when one of
# the tools (besides the ones every test needs) is missing.
e2e_init() {
    t0=$(now_ms)
    work=$(mktemp -d "${TMPDIR:-/tmp}/nudgeon-e2e.XXXXXX") || exit 1
    run_marker="$$-$RANDOM$RANDOM"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    # Nothing reaches a display, a session bus or a session manager of the desktop this runs in.
    unset DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY SESSION_MANAGER QT_QPA_PLATFORMTHEME
    export QT_QPA_PLATFORM=xcb

    local tool missing=()
    for tool in Xvfb xauth trayer xdotool xwininfo xprop "$@"; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        die "missing tools: ${missing[*]} (see scripts/setup.sh for the Debian packages)"
    fi
    [ -x "$program_exe" ] || die "no program at $program_exe"
}

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

# A window being reparented while xdotool walks the tree (an icon docking) can be listed twice:
# each window is kept once, in the order listed.
windows_of_pid() { xdotool search --pid "$1" 2>/dev/null | awk '!seen[$0]++'; }
visible_windows_of_pid() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | awk '!seen[$0]++'; }

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

# menu_of PROGRAM_PID WINDOW...: the program's window on the screen that is none of the WINDOWs
# (its icon, a note) and no tip.
menu_of() {
    local pid=$1 w
    shift
    for w in $(visible_windows_of_pid "$pid"); do
        [[ " $* " == *" $w "* ]] && continue
        is_tooltip "$w" && continue
        echo "$w"
        return 0
    done
    return 1
}

# program_window TITLE_PATTERN: the program's window on the screen whose title matches the
# extended regular expression TITLE_PATTERN.
program_window() {
    local w
    for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null | awk '!seen[$0]++'); do
        if [ "$(xdotool getwindowpid "$w" 2>/dev/null)" = "$program_pid" ]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# note_window: the program's note window on the screen, found by its title.
note_window() { program_window '^Zerir Irar'; }
no_note_window() { ! note_window >/dev/null; }

# find_faketime_lib: sets $faketime_lib to the multi-threaded flavour of libfaketime's preload
# library (the program runs threads), or fails.
find_faketime_lib() {
    local f
    faketime_lib=""
    for f in /usr/lib/*/faketime/libfaketimeMT.so.1 /usr/lib/faketime/libfaketimeMT.so.1 \
        /usr/local/lib/faketime/libfaketimeMT.so.1; do
        [ -r "$f" ] && { faketime_lib=$f; break; }
    done
    [ -n "$faketime_lib" ] || die "no libfaketimeMT.so.1 (Debian package libfaketime, see scripts/setup.sh)"
}

# --- one scenario's folders and processes ----------------------------------------------------

# start_program_at FAKETIME [WRAPPER...]: starts the program in $pgm with libfaketime preloaded
# and its clock set by FAKETIME ("@<date time>" or "@<date time> xN"); the programs it starts read
# the same clock. A WRAPPER command gets the environment assignments and the program as its
# arguments and must exec them, so that the process id stays the program's. Sets $program_pid
# and $program_start (ms). Needs $faketime_lib (find_faketime_lib).
start_program_at() {
    program_start=$(now_ms)
    start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" "${@:2}" \
        LD_PRELOAD="$faketime_lib" FAKETIME="$1" FAKETIME_DONT_RESET=1 "$pgm/nudgeon"
    program_pid=$started_pid
    cleanup_steps+=("remove_faketime_objects $program_pid")
    log "program started at the faked time $1 (pid $program_pid)"
}

# remove_faketime_objects PID: what libfaketime left in /dev/shm for the ended process PID.
remove_faketime_objects() {
    rm -f "/dev/shm/faketime_shm_$1" "/dev/shm/sem.faketime_sem_$1"
}

# begin_scenario NAME: fresh folders and environment for the scenario; the program and its
# sounds are copied to $pgm, its logs go to $logs. The scenario writes its own schedule.
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
    # The sound player beside the program, where the program has one there (a build has).
    [ ! -e "$exe_dir/nudgeon-sound" ] || cp "$exe_dir/nudgeon-sound" "$pgm/" || die "cannot copy the sound player from $exe_dir"
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

docked_or_ended() { docked_icons "$1" "$2" || ended "$1"; }

# Waits until the icon of the program $program_pid docks; sets $icon and $socket.
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

# open_menu [WINDOW...]: right-clicks the icon and waits for the tray menu, a window of the
# program's other than the icon and the WINDOWs already on the screen; sets $menu and its
# geometry $mx $my $mw $mh.
open_menu() {
    local ix iy iw ih
    read -r ix iy iw ih <<<"$(geometry "$icon")" || die "the icon has no geometry"
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 3
    poll "$MENU_LIMIT" menu_of "$program_pid" "$icon" "$@" ||
        die "no menu showed within $MENU_LIMIT ms of a right click on the icon"
    menu=$polled
    read -r mx my mw mh <<<"$(geometry "$menu")"
    log "menu $(printf '0x%x' "$menu") (${mw}x${mh} at $mx,$my) showed after $polled_ms ms"
}

# The tray menu's Close, by its accelerator; the program must end with code 0. Arguments go to
# open_menu.
close_from_tray() {
    running "$program_pid" || die "the program ended by itself: $(tr '\n' ' ' <"$logs/nudgeon.err")"
    open_menu "$@"
    sleep 0.2
    xdotool key c
    check_closed
}

# Checks that the program ends with code 0 once closed from its menu, and that its icon goes.
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

end_scenario() {
    stop_pid "$trayer_pid"
    log "== $scenario done"
}
