#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end tests of Nudgeon on desktops without an XEmbed tray, each with a private session
# bus: a Wayland compositor whose panel shows StatusNotifierItems, and an X11 desktop with no
# tray at all.
#
# Usage: desktops.sh <nudgeon executable> <build folder> [scenario...]
#
# Scenarios (all of them when none is named):
#   wayland-panel  sway runs headless and the program starts on it; only then does waybar start
#                  its panel with a tray: the program's item registers within 10 s, its tip is
#                  the status text, and its Activate opens the setup dialog. sway refuses to
#                  run as root, so as root the scenario runs as the user "nudgeon-e2e", made
#                  here when missing.
#   wayland-note   on the same desktop, a note due at start shows, and the setup dialog opened
#                  from the panel afterwards does not cover it.
#   no-tray        Xvfb without a tray, dunst as the notification server: a note due at start
#                  shows its window, centred, and a notification with its time and first lines,
#                  whose "<" and "&" dunst does not take for markup;
#                  with no tray after a short wait a notification says that the program runs,
#                  and goes once trayer starts and the icon docks; the notifications name the
#                  desktop file and carry the icon as image data;
#                  a second start opens the setup dialog of the first copy and ends with code 0.
#   late-sni-host  Xvfb without an XEmbed tray, dunst as the notification server: the notice of
#                  no tray shows after the program's wait, and a StatusNotifierItem host that
#                  starts 8 s after the program takes its item; the notice goes within a second
#                  of the item registering; at 10:00 on the faked clock an entry whose program is
#                  missing gives a notification that it could not start, and the item's tip
#                  carries the failure mark "1 failed".
#   no-tray-no-bus Xvfb, no tray and no session bus: the program opens its setup dialog itself.
#
# Screenshots of the Wayland panel and of the notifications are kept in
# <build folder>/e2e-shots/. Every process the test starts is ended by its process id.

# shellcheck disable=SC2119
set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 <nudgeon executable> <build folder> [wayland-panel|wayland-note|no-tray|late-sni-host|no-tray-no-bus]..." >&2
    exit 2
fi
program_exe=$(readlink -f "$1")
build_dir=$(readlink -f "$2")
shift 2
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(wayland-panel wayland-note no-tray late-sni-host no-tray-no-bus)

suite=desktops

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Time limits, in milliseconds, besides lib.sh's.
readonly START_LIMIT=10000    # sway, waybar, the bus or dunst are up
readonly ITEM_LIMIT=10000     # the item registers once the panel runs
readonly DIALOG_LIMIT=5000    # the setup dialog shows
readonly NOTE_LIMIT=10000     # a note due at start shows
readonly NO_TRAY_LIMIT=12000  # the program tells that it runs without a tray
readonly SECOND_LIMIT=2000    # a second copy ends
readonly HOST_AFTER=8000      # a StatusNotifierItem host starts this long after the program
readonly WITHDRAW_LIMIT=1000  # the notice of no tray goes once the item registered

e2e_init sway swaymsg waybar grim dbus-daemon dunst dunstctl setpriv python3
find_faketime_lib
# A python3 that speaks D-Bus: the one on PATH, else the system's.
dbus_python=python3
python3 -c 'import dbus, gi' 2>/dev/null || dbus_python=/usr/bin/python3
sni_watcher=$(dirname "${BASH_SOURCE[0]}")/sni_watcher.py
shots="$build_dir/e2e-shots"
mkdir -p "$shots"
readonly e2e_user=nudgeon-e2e

# --- helpers ---------------------------------------------------------------------------------

# write_settings: the settings of a program that ran before, so that no first start shows.
write_settings() {
    mkdir -p "$XDG_CONFIG_HOME/Nudgeon"
    printf '[Software]\nMicrosoft\\Windows\\CurrentVersion\\Uninstall\\Nudgeon\\Settings="0,0"\n' \
        >"$XDG_CONFIG_HOME/Nudgeon/registry.ini"
}

# start_bus: a session bus of the scenario's own, which starts no services on demand.
start_bus() {
    cat >"$scenario_dir/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$XDG_RUNTIME_DIR/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    start_bg "$logs/bus.out" "$logs/bus.err" "${as_user[@]}" dbus-daemon --nofork --config-file="$scenario_dir/bus.conf"
    bus_pid=$started_pid
    poll "$START_LIMIT" test -S "$XDG_RUNTIME_DIR/bus" || die "the session bus did not start: $(cat "$logs/bus.err")"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
    log "session bus up (pid $bus_pid)"
}

# sni COMMAND [ITEM]: asks the panel's StatusNotifierWatcher and the program's item over the bus.
#   items          the registered items, one a line, "service/path"; fails when there is none
#   tip ITEM       the title of the item's tooltip
#   activate ITEM  calls the item's Activate, as a left click in the panel does
sni() {
    "${as_user[@]}" "$dbus_python" - "$@" <<'PY'
import sys, dbus
bus = dbus.SessionBus()
command = sys.argv[1]
if command == "items":
    try:
        watcher = bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
        items = watcher.Get("org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems",
                            dbus_interface="org.freedesktop.DBus.Properties")
    except dbus.exceptions.DBusException:
        sys.exit(1)  # no panel yet
    for item in items:
        print(item)
    sys.exit(0 if items else 1)
service, _, path = sys.argv[2].partition("/")
item = bus.get_object(service, "/" + path)
if command == "tip":
    tip = item.Get("org.kde.StatusNotifierItem", "ToolTip", dbus_interface="org.freedesktop.DBus.Properties")
    print(tip[2])
elif command == "activate":
    item.Activate(10, 10, dbus_interface="org.kde.StatusNotifierItem")
PY
}

# sway_window PID TITLE_PATTERN: the title of PID's window in sway's tree matching the pattern.
sway_window() {
    "${as_user[@]}" env SWAYSOCK="$swaysock" swaymsg -r -t get_tree 2>/dev/null | python3 -c '
import json, re, sys
pid, pattern = int(sys.argv[1]), sys.argv[2]
def walk(node):
    if node.get("pid") == pid and re.search(pattern, node.get("name") or ""):
        print(node["name"]); sys.exit(0)
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin)); sys.exit(1)' "$1" "$2"
}

# The expected tip while the only entry is 2 h 30 min away: the minute may turn meanwhile, and
# late in the evening the entry falls on tomorrow.
expected_tip() {
    if [ "$(date -d '+150 minutes' +%F)" = "$(date +%F)" ]; then
        echo '^Nudgeon: 2hrs (29|30)min$'
    else
        echo "^No $(LC_ALL=C date +%A) events\\.\\.\\.\$"
    fi
}

# Notifications dunst shows now, or keeps in its history: their summaries and bodies.
dunst_texts() {
    dunstctl history 2>/dev/null | python3 -c '
import json, sys
for n in json.load(sys.stdin)["data"][0]:
    print(n["summary"]["data"] + " | " + n["body"]["data"].replace("\n", " / "))'
}
dunst_told() { dunst_texts | grep -q "$1"; }
dunst_answers() { dunstctl is-paused >/dev/null 2>&1; }
dunst_shows() { [ "$(dunstctl count displayed 2>/dev/null)" -ge "$1" ] 2>/dev/null; }
dunst_shows_only() { [ "$(dunstctl count displayed 2>/dev/null)" -eq "$1" ] 2>/dev/null; }

# --- the scenarios ---------------------------------------------------------------------------

# wayland_session NAME: a scenario on headless sway with a private bus, as the user
# nudgeon-e2e when run as root; sets $as_user, $sway_pid and $swaysock.
wayland_session() {
    begin_scenario "$1"
    as_user=()
    if [ "$(id -u)" -eq 0 ]; then
        id -u "$e2e_user" >/dev/null 2>&1 ||
            useradd --system --user-group --no-create-home --shell /usr/sbin/nologin "$e2e_user" ||
            die "cannot make the user $e2e_user to run sway as"
        # The user's own PATH: root's may lead through folders the user cannot enter.
        as_user=(setpriv --reuid="$e2e_user" --regid="$e2e_user" --clear-groups env PATH=/usr/local/bin:/usr/bin:/bin)
        chmod 711 "$work"
    fi
    write_settings
    mkdir -p "$XDG_CONFIG_HOME/waybar"
    printf 'output HEADLESS-1 resolution 1024x600\n' >"$scenario_dir/sway.conf"
    printf '{ "layer": "top", "position": "top", "height": 28, "modules-left": ["clock"], "modules-right": ["tray"], "tray": { "icon-size": 20, "spacing": 4 } }\n' \
        >"$XDG_CONFIG_HOME/waybar/config"
    [ ${#as_user[@]} -eq 0 ] || chown -R "$e2e_user:" "$scenario_dir"
    start_bus

    start_bg "$logs/sway.out" "$logs/sway.err" "${as_user[@]}" env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_RENDERER=pixman sway -c "$scenario_dir/sway.conf"
    sway_pid=$started_pid
    poll "$START_LIMIT" compgen -G "$XDG_RUNTIME_DIR/wayland-[0-9]" || die "sway did not start: $(tail -n 5 "$logs/sway.err")"
    export WAYLAND_DISPLAY=${polled##*/}
    swaysock=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -n 1)
    log "sway runs on $WAYLAND_DISPLAY (pid $sway_pid)"
}

start_waybar() {
    start_bg "$logs/waybar.out" "$logs/waybar.err" "${as_user[@]}" env NO_AT_BRIDGE=1 GTK_A11Y=none waybar
    waybar_pid=$started_pid
    log "waybar started (pid $waybar_pid)"
}

# wait_for_item: the program's item in waybar's tray; sets $item.
wait_for_item() {
    poll "$ITEM_LIMIT" sni items ||
        die "no item registered within $ITEM_LIMIT ms of waybar's start: $(tr '\n' ' ' <"$logs/nudgeon.err")"
    item=$polled
    log "the program's item $item registered $polled_ms ms after waybar started"
}

# activate_item: Activate, as a left click in the panel, opens the setup dialog.
activate_item() {
    sni activate "$item"
    if poll "$DIALOG_LIMIT" sway_window "$program_pid" '^Nudgeon Setup'; then
        log "Activate opened \"$polled\" after $polled_ms ms"
    else
        fail "Activate opened no setup dialog within $DIALOG_LIMIT ms"
    fi
}

# wayland_shot NAME: the whole Wayland screen into the shots folder.
wayland_shot() {
    sleep 0.5
    "${as_user[@]}" grim "$scenario_dir/shot.png" && cp "$scenario_dir/shot.png" "$shots/$1.png" &&
        log "screenshot in $shots/$1.png"
}

end_wayland_session() {
    stop_pid "$program_pid"
    stop_pid "$waybar_pid"
    stop_pid "$sway_pid"
    stop_pid "$bus_pid"
    unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
    log "== $scenario done"
}

scenario_wayland_panel() {
    wayland_session wayland-panel
    local entry
    entry=$(LC_ALL=C date -d '+150 minutes' '+%I:%M %p' | sed 's/^\(.* AM\)$/ \1/')
    printf '%s    ,,0,\r\n' "$entry" >"$pgm/Nudgeon.cfg"
    start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" "${as_user[@]}" env QT_QPA_PLATFORM=wayland "$pgm/nudgeon"
    program_pid=$started_pid
    log "program started (pid $program_pid)"
    sleep 2
    running "$program_pid" || die "the program ended before the panel started: $(tr '\n' ' ' <"$logs/nudgeon.err")"

    start_waybar
    wait_for_item
    local tip pattern
    tip=$(sni tip "$item")
    pattern=$(expected_tip)
    [[ $tip =~ $pattern ]] && log "its tip reads \"$tip\"" || fail "the item's tip reads \"$tip\", not $pattern"
    activate_item
    wayland_shot wayland-panel
    end_wayland_session
}

# note_above_dialog: sway stacks the note above the setup dialog (later floating nodes are on top).
note_above_dialog() {
    "${as_user[@]}" env SWAYSOCK="$swaysock" swaymsg -r -t get_tree 2>/dev/null | python3 -c '
import json, sys
order = []
def walk(node):
    for f in node.get("floating_nodes", []):
        order.append(f.get("name") or "")
    for child in node.get("nodes", []):
        walk(child)
walk(json.load(sys.stdin))
note = [i for i, n in enumerate(order) if n.startswith("Zerir Irar")]
dialog = [i for i, n in enumerate(order) if n.startswith("Nudgeon Setup")]
sys.exit(0 if note and dialog and note[0] > dialog[0] else 1)'
}

scenario_wayland_note() {
    wayland_session wayland-note
    printf '%s' $'Water the plants\r\n' >"$pgm/plants.txt"
    printf ' 10:00 AM    ,,0,[plants.txt]\r\n 11:30 AM    ,,0,\r\n' >"$pgm/Nudgeon.cfg"
    [ ${#as_user[@]} -eq 0 ] || chown -R "$e2e_user:" "$pgm"
    start_waybar
    start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" "${as_user[@]}" env QT_QPA_PLATFORM=wayland \
        LD_PRELOAD="$faketime_lib" FAKETIME="@2026-12-07 10:00:05" FAKETIME_DONT_RESET=1 "$pgm/nudgeon"
    program_pid=$started_pid
    cleanup_steps+=("rm -f /dev/shm/faketime_shm_$program_pid /dev/shm/sem.faketime_sem_$program_pid")
    log "program started at a faked 10:00:05 (pid $program_pid)"
    wait_for_item
    poll "$NOTE_LIMIT" sway_window "$program_pid" '^Zerir Irar' || die "no note window within $NOTE_LIMIT ms"
    log "the note shows"
    # The setup dialog opens over it in the middle of the screen: the note stays on top.
    activate_item
    poll 3000 note_above_dialog && log "the note stays above the setup dialog" ||
        fail "the setup dialog covers the note"
    wayland_shot wayland-note
    end_wayland_session
}

# x11_notifying_session NAME: a scenario on the X server without a tray, with a private bus and
# dunst as its notification server; sets $dunst_pid.
x11_notifying_session() {
    begin_scenario "$1"
    as_user=()
    write_settings
    start_bus
    start_bg "$logs/dunst.out" "$logs/dunst.err" dunst
    dunst_pid=$started_pid
    poll "$START_LIMIT" dunst_answers || die "dunst did not start: $(tail -n 5 "$logs/dunst.err")"
    log "dunst runs (pid $dunst_pid)"
}

end_x11_notifying_session() {
    stop_pid "$program_pid"
    stop_pid "$dunst_pid"
    stop_pid "$bus_pid"
    unset DBUS_SESSION_BUS_ADDRESS
    log "== $scenario done"
}

scenario_no_tray() {
    x11_notifying_session no-tray
    # Marks a server that reads markup would take for tags: the note's text shows as written.
    printf '%s' $'Water the <b>plants</b> & herbs\r\nat ten\r\n' >"$pgm/plants.txt"
    printf ' 10:00 AM    ,,0,[plants.txt]\r\n 11:30 AM    ,,0,\r\n' >"$pgm/Nudgeon.cfg"

    # What the program asks the server: its notifications' icon and desktop file.
    start_bg "$logs/notify-calls" "$logs/monitor.err" dbus-monitor "interface='org.freedesktop.Notifications',member='Notify'"
    local monitor_pid=$started_pid
    start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" \
        LD_PRELOAD="$faketime_lib" FAKETIME="@2026-12-07 10:00:05" FAKETIME_DONT_RESET=1 "$pgm/nudgeon"
    program_pid=$started_pid
    cleanup_steps+=("rm -f /dev/shm/faketime_shm_$program_pid /dev/shm/sem.faketime_sem_$program_pid")
    log "program started at a faked 10:00:05 (pid $program_pid)"

    # The due note: its window, placed like a dialog, and its notification.
    if poll "$NOTE_LIMIT" note_window; then
        local note=$polled nx ny nw nh sw sh
        read -r nx ny nw nh <<<"$(geometry "$note")"
        read -r sw sh <<<"$(xwininfo -root | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w, h }')"
        log "the note shows at $nx,$ny (${nw}x${nh}) on a ${sw}x${sh} screen"
        [ $((nx - (sw - nw) / 2)) -ge -1 ] && [ $((nx - (sw - nw) / 2)) -le 1 ] &&
            [ $((ny - (sh - nh) / 2)) -ge -1 ] && [ $((ny - (sh - nh) / 2)) -le 1 ] ||
            fail "the note is not centred on the screen: at $nx,$ny"
    else
        fail "no note window within $NOTE_LIMIT ms"
    fi
    poll 3000 dunst_shows 1 || fail "dunst shows no notification while the note shows"

    # No tray: after a short wait the program tells so, and opens no dialog by itself.
    if poll "$NO_TRAY_LIMIT" dunst_shows 2; then
        log "dunst shows $(dunstctl count displayed) notifications $polled_ms ms later"
        sleep 0.5
        screenshot "$scenario_dir/shot" && cp "$scenario_dir/shot.png" "$shots/no-tray-notification.png" &&
            log "screenshot in $shots/no-tray-notification.png"
    else
        fail "no notification that the program runs without a tray within $NO_TRAY_LIMIT ms"
    fi
    program_window '^Nudgeon Setup' >/dev/null && fail "a setup dialog opened though a notification server runs"
    # The notifications name the desktop file and carry an icon: no theme has it, as the
    # program runs from its own folder, so it goes as image data.
    stop_pid "$monitor_pid"
    grep -A1 '"desktop-entry"' "$logs/notify-calls" | grep -q 'string "example.nudgeon.Nudgeon"' ||
        fail "the notifications do not name the desktop file example.nudgeon.Nudgeon"
    grep -q '"image-data"' "$logs/notify-calls" || fail "the notifications carry no icon image"
    # A tray that comes late: the notice goes as soon as the icon docks; the note's stays.
    start_trayer
    if poll "$DOCK_LIMIT" docked_icons "$program_pid" "$trayer_pid" >/dev/null; then
        poll 1500 dunst_shows_only 1 || fail "the notice of no tray still shows 1.5 s after the icon docked"
        log "the notice of no tray went $polled_ms ms after the icon docked"
    else
        fail "the icon did not dock in a tray started late"
    fi
    dunstctl close-all
    local texts
    poll 2000 dunst_texts >/dev/null
    texts=$(dunst_texts)
    log "dunst's notifications: $(tr '\n' ';' <<<"$texts")"
    # dunst reads markup: it keeps the text as sent, escaped, and shows it as written.
    grep -qF 'Nudgeon note at 10:00 AM | Water the &lt;b&gt;plants&lt;/b&gt; &amp; herbs / at ten' <<<"$texts" ||
        fail "no notification of the due note with its time and first lines, escaped for markup"
    grep -q '^Nudgeon runs without a tray icon | .*Start Nudgeon again' <<<"$texts" ||
        fail "no notification that the program runs without a tray"

    # A second start hands over to the first copy, which opens its setup dialog.
    start_bg "$logs/second.out" "$logs/second.err" "$pgm/nudgeon"
    local second=$started_pid
    if poll "$SECOND_LIMIT" ended "$second"; then
        reap "$second"
        [ "$exit_code" -eq 0 ] || fail "the second copy ended with exit code $exit_code"
    else
        fail "the second copy still runs $SECOND_LIMIT ms after it started"
        stop_pid "$second"
    fi
    if poll "$DIALOG_LIMIT" program_window '^Nudgeon Setup'; then
        log "the first copy opened its setup dialog $polled_ms ms after the second start ended"
    else
        fail "the first copy opened no setup dialog after a second start"
    fi
    running "$program_pid" || fail "the first copy ended"
    stop_pid "$trayer_pid"
    end_x11_notifying_session
}

# The program's item as the host's watcher recorded it: "<epoch ms> <service/path>".
registered_item() { head -n 1 "$logs/watcher.out" | grep .; }

scenario_late_sni_host() {
    x11_notifying_session late-sni-host
    # A program that cannot start, due once the host has taken the item.
    printf ' 10:00 AM    ,/nowhere/missing-tool,0,\r\n 11:30 AM    ,,0,\r\n' >"$pgm/Nudgeon.cfg"
    # Started by hand, not at log-on: the program waits its shorter time for a tray.
    start_program_at "@2026-12-07 09:59:45"
    local started_ms=$program_start
    if poll "$HOST_AFTER" dunst_shows 1; then
        log "the notice of no tray shows $polled_ms ms after the start"
    else
        fail "no notice of no tray within $HOST_AFTER ms of the start"
    fi

    local wait_ms=$((started_ms + HOST_AFTER - $(now_ms)))
    [ "$wait_ms" -le 0 ] || sleep "$((wait_ms / 1000)).$(printf '%03d' $((wait_ms % 1000)))"
    start_bg "$logs/watcher.out" "$logs/watcher.err" "$dbus_python" "$sni_watcher"
    local watcher_pid=$started_pid
    log "a StatusNotifierItem host starts $(($(now_ms) - started_ms)) ms after the program (pid $watcher_pid)"
    poll "$ITEM_LIMIT" registered_item ||
        die "no item registered within $ITEM_LIMIT ms of the host's start: $(tr '\n' ' ' <"$logs/watcher.err")"
    local registered_ms=${polled%% *} item=${polled#* }
    log "the program's item ${polled#* } registered $((registered_ms - started_ms)) ms after the start"
    if poll $((WITHDRAW_LIMIT + 1000)) dunst_shows_only 0; then
        local late=$(($(now_ms) - registered_ms))
        if [ "$late" -le "$WITHDRAW_LIMIT" ]; then
            log "the notice went at most $late ms after the item registered"
        else
            fail "the notice went $late ms after the item registered, more than $WITHDRAW_LIMIT ms"
        fi
    else
        fail "the notice of no tray still shows $((WITHDRAW_LIMIT + 1000)) ms after the item registered"
    fi
    dunst_told '^Nudgeon runs without a tray icon | ' ||
        fail "the notification withdrawn was not the notice of no tray: $(dunst_texts | tr '\n' ';')"

    # At 10:00 the missing program is told at once, and the tip carries the failure mark.
    poll $((20000 - ($(now_ms) - started_ms))) dunst_shows 1 || fail "no notification of the program that could not start"
    dunstctl close-all
    poll 2000 dunst_told '^A program failed | .*/nowhere/missing-tool.* / Could not start: ' ||
        fail "no notification that /nowhere/missing-tool could not start: $(dunst_texts | tr '\n' ';')"
    local tip
    tip=$(sni tip "$item")
    [[ $tip == "1 failed - "* ]] && log "the tip reads \"$tip\"" || fail "the tip carries no failure mark: \"$tip\""
    stop_pid "$watcher_pid"
    end_x11_notifying_session
}

scenario_no_tray_no_bus() {
    begin_scenario no-tray-no-bus
    printf ' 11:30 AM    ,,0,\r\n' >"$pgm/Nudgeon.cfg"
    write_settings
    start_bg "$logs/nudgeon.out" "$logs/nudgeon.err" "$pgm/nudgeon"
    program_pid=$started_pid
    if poll "$NO_TRAY_LIMIT" program_window '^Nudgeon Setup'; then
        log "without tray and notification server the setup dialog opened after $polled_ms ms"
    else
        fail "without tray and notification server no setup dialog opened within $NO_TRAY_LIMIT ms"
    fi
    stop_pid "$program_pid"
    log "== $scenario done"
}

# --- the run ---------------------------------------------------------------------------------

for s in "${scenarios[@]}"; do
    case $s in
        wayland-panel) scenario_wayland_panel ;;
        wayland-note) scenario_wayland_note ;;
        no-tray | late-sni-host | no-tray-no-bus)
            [ -n "${DISPLAY:-}" ] || start_x_server
            case $s in
                no-tray) scenario_no_tray ;;
                late-sni-host) scenario_late_sni_host ;;
                *) scenario_no_tray_no_bus ;;
            esac
            ;;
        *) die "no scenario named $s" ;;
    esac
done
[ "$failures" -eq 0 ] && log "all checks passed"
