#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes docs/screenshot.png: Nudgeon's tray icon with its menu open, the setup dialog and a note,
# taken from the real program in a virtual X display (Xvfb) with a real tray (trayer).
#
# Usage: scripts/screenshot.sh [nudgeon executable]   (build/nudgeon when none is named)
#
# It builds nothing. The program runs from a temporary folder with a small example schedule and
# a faked clock (libfaketime) at 10:00:05 today, when the schedule's note is due, so the note
# shows. The tray menu closes when anything else is clicked, so the picture is made of two
# grabs of the screen: the menu opened with a right click on the icon, then the setup dialog
# opened with a left click. The menu is put into the second grab where it was in the first,
# and the picture is cut down to the windows and the tray. Needs Xvfb, xauth, trayer, xdotool,
# x11-utils, libfaketime and python3 (see scripts/setup.sh).

set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd) || exit 1
program_exe=$(readlink -f "${1:-$root/build/nudgeon}")
build_dir=$(dirname "$program_exe")
suite=screenshot
output="$root/docs/screenshot.png"

# shellcheck source=../tests/e2e/lib.sh
source "$root/tests/e2e/lib.sh"

readonly WINDOW_LIMIT=10000  # a window shows

e2e_init python3

find_faketime_lib

window_hidden() { ! is_viewable "$1"; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# set_background RRGGBB: paints the root window, which is black in Xvfb, in a desktop colour.
set_background() {
    python3 - "$1" <<'PY'
import ctypes, ctypes.util, sys
x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultScreen.argtypes = [ctypes.c_void_p]
x.XRootWindow.restype = ctypes.c_ulong
x.XRootWindow.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XSetWindowBackground.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
x.XClearWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
dpy = x.XOpenDisplay(None)
if not dpy:
    sys.exit("cannot open the display")
root = x.XRootWindow(dpy, x.XDefaultScreen(dpy))
# The 24-bit TrueColor screen of Xvfb: the pixel is the colour itself.
x.XSetWindowBackground(dpy, root, int(sys.argv[1], 16))
x.XClearWindow(dpy, root)
x.XCloseDisplay(dpy)
PY
}

# --- the program with an example schedule ----------------------------------------------------

start_x_server
set_background 3a6ea5 || die "cannot paint the background"
begin_scenario screenshot

printf '%s\r\n' 'Stand-up meeting in room 4.' 'Bring the sprint notes.' >"$pgm/standup.txt"
printf '%s\r\n' 'Pay the electricity bill' >"$pgm/bill.txt"
printf '%s\r\n' \
    ' 08:30 AM    ,/usr/bin/rsync,0,-a /home/me/projects /media/backup' \
    ' 10:00 AM    ,,0,[standup.txt]' \
    ' 11:45 AM    ,/usr/local/bin/timesheet,/23456,report-mm-dd-yy.csv' \
    '03:00 PM    ,,-15,[bill.txt]' \
    '05:30 PM    ,,60,' >"$pgm/Nudgeon.cfg"

start_trayer
start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" \
    LD_PRELOAD="$faketime_lib" FAKETIME="@$(date +%F) 10:00:05" FAKETIME_DONT_RESET=1 "$pgm/nudgeon"
program_pid=$started_pid
cleanup_steps+=("rm -f /dev/shm/faketime_shm_$program_pid /dev/shm/sem.faketime_sem_$program_pid")
wait_for_dock

poll "$WINDOW_LIMIT" program_window '^Zerir Irar' || die "no note showed within $WINDOW_LIMIT ms"
note=$polled
log "note $(printf '0x%x' "$note") at $(geometry "$note")"

# --- the two grabs ---------------------------------------------------------------------------

# The menu, opened with a right click on the icon, in the first grab.
open_menu "$note"
sleep 0.5
screenshot "$work/menu"
[ -s "$work/menu.png" ] || die "no grab of the menu: $(cat "$work/menu.err" 2>/dev/null)"
menu_rect="$mx $my $mw $mh"
xdotool key Escape
poll 3000 window_hidden "$menu" || die "the menu still shows after Escape"

# The setup dialog, opened with a left click on the icon, showing the third entry of its list,
# chosen with the keys (the list has the keyboard when the dialog opens).
read -r ix iy iw ih <<<"$(geometry "$icon")"
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
poll "$WINDOW_LIMIT" program_window '^Nudgeon Setup' || die "no setup dialog showed within $WINDOW_LIMIT ms"
dialog=$polled
# Above the tray and beside the menu, with the note on its right: a compact picture.
xdotool windowmove --sync "$dialog" 200 420
xdotool windowmove --sync "$note" 672 540
poll 3000 has_focus "$dialog" || die "the setup dialog did not take the keyboard"
xdotool key Home Down Down
# The pointer leaves the icon, so that no tip shows.
xdotool mousemove 1000 10
sleep 1
log "setup dialog $(printf '0x%x' "$dialog") at $(geometry "$dialog"), note at $(geometry "$note")"
screenshot "$work/dialog"
[ -s "$work/dialog.png" ] || die "no grab of the dialog: $(cat "$work/dialog.err" 2>/dev/null)"

# The part of the screen the picture shows: the dialog, the note, the menu and the tray, with a
# margin.
area=$(
    for w in "$dialog" "$note" "$panel"; do geometry "$w"; done
    echo "$menu_rect"
)
read -r x0 y0 x1 y1 <<<"$(awk 'NR == 1 { l = $1; t = $2; r = $1 + $3; b = $2 + $4 }
    { if ($1 < l) l = $1; if ($2 < t) t = $2; if ($1 + $3 > r) r = $1 + $3; if ($2 + $4 > b) b = $2 + $4 }
    END { m = 16; print l - m, t - m, r + m, b + m }' <<<"$area")"
read -r sw sh <<<"$(xwininfo -root | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w, h }')"
((x0 < 0)) && x0=0
((y0 < 0)) && y0=0
((x1 > sw)) && x1=$sw
((y1 > sh)) && y1=$sh

# --- the picture -----------------------------------------------------------------------------

xdotool key Escape
poll 3000 window_hidden "$dialog" || fail "the setup dialog still shows after Escape"
open_menu "$note"
sleep 0.2
xdotool key c
check_closed
end_scenario

mkdir -p "$(dirname "$output")"
python3 - "$work/dialog.png" "$work/menu.png" "$menu_rect" "$x0 $y0 $x1 $y1" "$output" <<'PY' ||
# Puts the menu's rectangle of the menu grab into the dialog grab, cuts out the area and writes
# it as a PNG. Reads the 8-bit RGB PNGs that lib.sh's screenshot() writes.
import struct, sys, zlib

def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path} is no PNG")
    pos, idat = 8, b""
    while pos < len(data):
        (n,) = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b"IHDR":
            w, h, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if (depth, colour, interlace) != (8, 2, 0):
                sys.exit(f"{path}: only 8-bit RGB PNGs without interlacing are read")
        elif kind == b"IDAT":
            idat += body
    raw = zlib.decompress(idat)
    stride = 3 * w
    rows, prev = [], bytearray(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride if f else 0):
            a = line[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            if f == 1:
                line[i] = (line[i] + a) & 0xFF
            elif f == 2:
                line[i] = (line[i] + b) & 0xFF
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
            elif f != 0:
                sys.exit(f"{path}: unknown filter {f}")
        rows.append(line)
        prev = line
    return w, h, rows

def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

base_path, menu_path, menu_rect, area, out = sys.argv[1:6]
w, h, picture = read_png(base_path)
mw_, mh_, menu = read_png(menu_path)
if (mw_, mh_) != (w, h):
    sys.exit("the two grabs differ in size")
mx, my, mw, mh = map(int, menu_rect.split())
for y in range(max(my, 0), min(my + mh, h)):
    l, r = max(mx, 0), min(mx + mw, w)
    picture[y][3 * l:3 * r] = menu[y][3 * l:3 * r]
x0, y0, x1, y1 = map(int, area.split())
if not (0 <= x0 < x1 <= w and 0 <= y0 < y1 <= h):
    sys.exit(f"the area {area} is not on the {w}x{h} screen")
# Each row filtered with "Sub": the large single-coloured areas pack into almost nothing.
rows = []
for y in range(y0, y1):
    line = picture[y][3 * x0:3 * x1]
    sub = bytearray(len(line))
    for i in range(len(line)):
        sub[i] = (line[i] - (line[i - 3] if i >= 3 else 0)) & 0xFF
    rows.append(b"\x01" + bytes(sub))
with open(out, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n")
    f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", x1 - x0, y1 - y0, 8, 2, 0, 0, 0)))
    f.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 9)))
    f.write(chunk(b"IEND", b""))
PY
    die "cannot compose the picture"
log "wrote $output ($(stat -c %s "$output") bytes, $((x1 - x0))x$((y1 - y0)) at $x0,$y0)"
