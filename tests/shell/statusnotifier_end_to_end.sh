#!/usr/bin/env bash
# The icon as a StatusNotifierItem, with this test as the panel: a watcher on
# a private session bus receives the registration; the test reads what a panel
# needs to draw the icon and its menu, and calls what a panel calls on a
# click: the wheel moves the stored volume (any number from the bus is safe),
# the middle click starts and stops the station (see station_namespace.sh),
# the tooltip tells a station given up on, the right click opens the menu,
# and the exported menu hides the window and quits. (Activate, the left click:
# see sway_end_to_end.sh, with a real panel.)
#
#   statusnotifier_end_to_end.sh SONDIK SNIWATCHER
set -euo pipefail

sondik=$1
sniwatcher=$2
# shellcheck source=../views/station_namespace.sh
STATION_BUS=1 source "$(dirname "$0")/../views/station_namespace.sh"

bus=$DBUS_SESSION_BUS_ADDRESS
start_x_session "$work" 1280x800 notray
export DBUS_SESSION_BUS_ADDRESS=$bus

# The station chosen before; the volume at its default.
conf="$XDG_CONFIG_HOME/Sondik/Sondik.conf"
mkdir -p "$(dirname "$conf")"
printf '[General]\nVolume=0.5\nSelectedRadioStationId=s299053\n' >"$conf"

start_bg "$work/watcher.log" "$sniwatcher"
wait_until 10 grep -q '^ready' "$work/watcher.log" || fail "the watcher did not start"
export SONDIK_AUDIO_OUTPUT=null QT_QPA_PLATFORM=xcb LSAN_OPTIONS=exitcode=0
# A region's list holds the chosen station; the list without one does not.
start_bg "$work/sondik.log" env LANG=en_GB.UTF-8 LC_ALL= "$sondik"
sondik_pid=$LAST_PID
wait_until 10 grep -q '^registered' "$work/watcher.log" || fail "no registration"
read -r _ _ service < <(grep '^registered' "$work/watcher.log")

property() {
    gdbus call --session --dest "$service" --object-path /StatusNotifierItem \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem "$1"
}
for expected in "Status <'Active'>" "IconName <'de.sondik.Sondik'>" "IconPixmap \(22, 22, \[(byte )?0x" \
    "ItemIsMenu <false>" "Menu <objectpath '/MenuBar'>"; do
    read -r name value <<<"$expected"
    property "$name" | grep -qE "$value" || fail "$name is $(property "$name")"
done

menu() {
    local method=$1; shift
    gdbus call --session --dest "$service" --object-path /MenuBar --method "$method" -- "$@"
}
layout() { menu com.canonical.dbusmenu.GetLayout 0 -1 '@as []'; }
# The window opens a moment after the launch; the menu follows it.
menu_says() { layout | grep -qF "'$1'"; }
wait_until 10 menu_says "Hide Sondik" || fail "menu: $(layout)"
sondik_window viewable >/dev/null || fail "the window did not open at launch"
menu com.canonical.dbusmenu.Event 1 clicked '<0>' 0 >/dev/null || fail "menu event refused"
sondik_window gone >/dev/null || fail "Hide Sondik did not close the window"
wait_until 10 menu_says "Show Sondik" || fail "menu: $(layout)"

# The wheel: vertical steps of 0.05 through the stored volume, clamped;
# horizontal ones change nothing (the vertical one after it shows it was read).
stored_volume() { grep -qx "Volume=$1" "$conf"; }
for step in "120 vertical 0.55" "5 horizontal" "-240 vertical 0.45" "2400 vertical 1" \
    "-1 Vertical 0.95"; do
    read -r delta orientation volume <<<"$step"
    sni "$service" Scroll "$delta" "$orientation"
    [ -z "$volume" ] || wait_until 5 stored_volume "$volume" || fail "scroll $step: $(grep Volume "$conf")"
done

# Any program on the bus can call with any number: the wheel ends at the
# limits, a click at any point opens the window on the screen, a right click
# the menu.
for delta in -2147483648 2147483647 0; do
    sni "$service" Scroll "$delta" vertical
done
wait_until 5 stored_volume 1 || fail "extreme scrolls: $(grep Volume "$conf")"
sni "$service" Scroll -2147483648 vertical
wait_until 5 stored_volume 0 || fail "extreme scrolls: $(grep Volume "$conf")"
on_the_screen() {
    local x y w h
    read -r _ x y w h <<<"$1"
    (( x >= 0 && y >= 0 && x + w <= 1280 && y + h <= 800 ))
}
for point in "-2147483648 -2147483648" "2147483647 2147483647" "0 0" "-2147483648 2147483647"; do
    # shellcheck disable=SC2086 # two numbers
    sni "$service" Activate $point
    geometry=$(sondik_window viewable) || fail "Activate $point: no window"
    on_the_screen "$geometry" || fail "Activate $point: the window is at $geometry"
    sni "$service" Activate $point
    sondik_window gone >/dev/null || fail "Activate $point: the window stayed"
    # shellcheck disable=SC2086
    sni "$service" ContextMenu $point
    geometry=$(sondik_window viewable 5 menu) || fail "ContextMenu $point: no menu"
    on_the_screen "$geometry" || fail "ContextMenu $point: the menu is at $geometry"
    xdotool key Escape
    sondik_window gone 5 menu || fail "the menu stayed"
done
kill -0 "$sondik_pid" || fail "Sondik ended on the extremes"

# The middle click plays the chosen station, named in the tooltip, and stops it.
sni "$service" SecondaryActivate 0 0
wait_until 15 grep -q 'GET /bella/stream.mp3 200' "$work/server.log" || fail "no stream"
tooltip_names_station() { property ToolTip | grep -qF "Absolut Bella"; }
wait_until 10 tooltip_names_station || fail "tooltip: $(property ToolTip)"
mpv_running "$sondik_pid" || fail "no media player while the station plays"
sni "$service" SecondaryActivate 0 0
wait_until 15 eval "! mpv_running $sondik_pid" || fail "the stream did not stop"

# A station given up on: the tooltip says so.
printf 'drop 2 1 dead\n' >"$work/mode"
sni "$service" SecondaryActivate 0 0
unreachable_told() { property ToolTip | grep -qF "Absolut Bella — Can't be reached right now"; }
wait_until 40 unreachable_told || fail "tooltip: $(property ToolTip)"

# The right click opens the menu at the click.
sni "$service" ContextMenu 300 40
sondik_window viewable 5 menu >/dev/null || fail "no menu"
xdotool key Escape
sondik_window gone 5 menu || fail "the menu stayed"

# The third entry, after a separator, ends the program.
menu_says "Quit Sondik" || fail "menu: $(layout)"
menu com.canonical.dbusmenu.Event 3 clicked '<0>' 0 >/dev/null || fail "menu event refused"
expect_end "$sondik_pid" "quit from the exported menu"
