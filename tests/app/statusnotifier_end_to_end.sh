#!/usr/bin/env bash
# The icon as a StatusNotifierItem, with this test as the panel: a watcher on
# a private session bus receives the registration; the test reads the item's
# properties and menu, and calls what a panel calls on a click: Activate
# places and toggles the window, the wheel moves the stored volume, the
# middle click starts and stops a stream from a loopback server, the right
# click opens the menu, and the exported menu quits.
#
# Runs in a private network and mount namespace, where the station's host
# name resolves to the loopback server.
#
#   statusnotifier_end_to_end.sh SONDIK XPROBE SNIWATCHER
set -euo pipefail

if [ -z "${SONDIK_SNI_INNER:-}" ]; then
    # 77: skipped, where namespaces cannot be made (no root).
    unshare --mount --net true 2>/dev/null || { echo "no namespaces"; exit 77; }
    exec unshare --mount --net env SONDIK_SNI_INNER=1 dbus-run-session -- "$0" "$@"
fi

sondik=$1
export XPROBE=$2
sniwatcher=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
source "$here/xsession.sh"

station_host=stream.absolutradio.de
new_work_dir
FAIL_LOGS=("$work/watcher.log" "$work/sondik.log")

ip link set lo up
echo "127.0.0.1 localhost $station_host" >"$work/hosts"
mount --bind "$work/hosts" /etc/hosts

bus=$DBUS_SESSION_BUS_ADDRESS
start_x_session "$work" 1280x800 notray
export DBUS_SESSION_BUS_ADDRESS=$bus

# The station chosen before; the volume at its default.
conf="$XDG_CONFIG_HOME/Sondik/Sondik.conf"
mkdir -p "$(dirname "$conf")"
printf '[General]\nVolume=0.5\nSelectedRadioStationId=s299053\n' >"$conf"

ffmpeg -nostdin -loglevel error -f lavfi -i sine=frequency=440:duration=4 -b:a 64k "$work/tone.mp3"
start_bg "$work/server.log" python3 -u "$here/../views/station_server.py" "$work/tone.mp3" 64

start_bg "$work/watcher.log" "$sniwatcher"
wait_until 10000 grep -q '^ready' "$work/watcher.log" || fail "the watcher did not start"

export SONDIK_AUDIO_OUTPUT=null QT_QPA_PLATFORM=xcb LSAN_OPTIONS=exitcode=0
# A region's list holds the chosen station; the list without one does not.
start_bg "$work/sondik.log" env LANG=en_GB.UTF-8 LC_ALL= "$sondik"
sondik_pid=$LAST_PID
wait_until 10000 grep -q '^registered' "$work/watcher.log" || fail "no registration"
read -r _ _ service < <(grep '^registered' "$work/watcher.log")

# "--": negative numbers are arguments, not options.
item() {
    local method=$1; shift
    gdbus call --session --dest "$service" --object-path /StatusNotifierItem --method "$method" \
        -- "$@"
}
property() { item org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem "$1"; }
for expected in "Category 'ApplicationStatus'" "Id 'de.sondik.Sondik'" "Title 'Sondik'" \
    "Status 'Active'" "IconName 'de.sondik.Sondik'" "ItemIsMenu false" \
    "Menu objectpath '/MenuBar'"; do
    read -r name value <<<"$expected"
    [ "$(property "$name")" = "(<$value>,)" ] || fail "$name is $(property "$name")"
done
property IconPixmap | grep -q '(22, 22, \[\(byte \)\?0x' || fail "no 22 px icon image"
property ToolTip | grep -q "'Sondik'" || fail "no tooltip"

menu() {
    local method=$1; shift
    gdbus call --session --dest "$service" --object-path /MenuBar --method "$method" -- "$@"
}
layout=$(menu com.canonical.dbusmenu.GetLayout 0 -1 '@as []') || fail "no menu layout"
for entry in "'Hide Sondik'" "'separator'" "'Quit Sondik'"; do
    grep -qF "$entry" <<<"$layout" || fail "menu: $layout"
done

# A second apart, as a user clicks: the window manager moves the focus
# somewhere once the window hides, and a show racing that loses the focus
# again and closes, which a click bounce guard is to absorb.
activate() {
    sleep 1
    item org.kde.StatusNotifierItem.Activate "$1" "$2" >/dev/null
}

# Shown at launch; the first click closes it.
window=$(window_state viewable) || fail "the window did not open at launch"
read -r _ _ _ ww wh <<<"$window"
activate 640 10
window_state gone >/dev/null || fail "Activate did not close the window"

clamp() { local v=$1 low=$2 high=$3; (( v > high )) && v=$high; (( v < low )) && v=$low; echo "$v"; }
# The click's point is the icon: under it for a top panel, above it for a
# bottom one, kept on the screen.
for point in "200 5" "1270 12" "640 795"; do
    read -r x y <<<"$point"
    ex=$(clamp $(( x - 140 )) 0 $(( 1280 - ww )))
    if (( 2 * y > 800 )); then ey=$(( y - 412 )); else ey=$(( y + 1 + 412 - wh )); fi
    ey=$(clamp "$ey" 0 $(( 800 - wh )))
    activate "$x" "$y"
    window=$(window_state viewable) || fail "Activate $x $y did not open the window"
    read -r _ wx wy _ _ <<<"$window"
    [ "$wx,$wy" = "$ex,$ey" ] || fail "Activate $x $y: window at $wx,$wy, expected $ex,$ey"
    activate "$x" "$y"
    window_state gone >/dev/null || fail "a second Activate $x $y did not close the window"
done

# The wheel: vertical steps of 0.05 through the stored volume, clamped;
# horizontal ones change nothing (the vertical one after it shows it was read).
scroll() { item org.kde.StatusNotifierItem.Scroll "$1" "$2" >/dev/null; }
stored_volume() { grep -qx "Volume=$1" "$conf"; }
for step in "120 vertical 0.55" "5 horizontal" "-240 vertical 0.45" "2400 vertical 1" \
    "-1 Vertical 0.95"; do
    read -r delta orientation volume <<<"$step"
    scroll "$delta" "$orientation"
    [ -z "$volume" ] || wait_until 5000 stored_volume "$volume" ||
        fail "scroll $step: $(grep Volume "$conf")"
done

# The middle click plays the chosen station and stops it.
item org.kde.StatusNotifierItem.SecondaryActivate 0 0 >/dev/null
wait_until 15000 grep -q 'GET /bella/stream.mp3 200' "$work/server.log" ||
    fail "no stream: $(cat "$work/server.log")"
# The tooltip tells what plays.
tooltip_names_station() { property ToolTip | grep -qF "Absolut Bella"; }
wait_until 10000 tooltip_names_station || fail "tooltip: $(property ToolTip)"
# A media player: its mpv core runs as threads of the program.
stopped() { ! grep -q '^mpv/' /proc/"$sondik_pid"/task/*/comm; }
! stopped || fail "no media player while the station plays"
item org.kde.StatusNotifierItem.SecondaryActivate 0 0 >/dev/null
wait_until 15000 stopped || fail "the stream did not stop"

# The right click opens the menu at the click.
item org.kde.StatusNotifierItem.ContextMenu 300 40 >/dev/null
"$XPROBE" wait viewable sondik 40 300 5000 >/dev/null || fail "no menu"
xdotool key Escape
"$XPROBE" wait gone sondik 40 300 5000 >/dev/null || fail "the menu stayed"

# The exported menu's "Quit Sondik" (the third entry) ends the program.
menu com.canonical.dbusmenu.Event 3 clicked '<0>' 0 >/dev/null || fail "menu event refused"
expect_end "$sondik_pid" "quit from the exported menu"
