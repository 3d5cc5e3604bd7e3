#!/usr/bin/env bash
# The window from the keyboard and through a screen reader's eyes, on a private
# X server with a tray and the AT-SPI bus turned on as a desktop's
# accessibility setting does. Only keys after the window opens (xdotool):
#   - Down Down Return plays the third station (heard), Return again stops it;
#   - "absolut" typed into the list opens the search and filters: keypad
#     Enter leaves the field, End reaches the last match, Return plays it;
#   - Escape closes the window, but not from the search field; in the
#     preferences panel, Tab reaches the slider, Right three times raises the
#     stored volume by 0.15, and Escape goes back to the list;
#   - the focus on a row, light and dark (screenshots).
# Then a11y_client.py walks the tree (roles, names, states; printed), presses
# a row (heard), reads the panel's controls, and hears the no-network banner
# and a station given up on announced.
#
#   keyboard_end_to_end.sh SONDIK PCMPROBE ARTIFACT_DIR
set -euo pipefail

sondik=$1
pcmprobe=$2
artifacts=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=station_namespace.sh
STATION_BUS=1 source "$here/station_namespace.sh"

sondik_session compositor bus
show_backdrop
conf="$XDG_CONFIG_HOME/Sondik/Sondik.conf"
# The desktop's accessibility switch: the bus starts, and Qt's bridge with it.
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled '<true>' >/dev/null
a11y() { timeout 30 /usr/bin/python3 "$here/a11y_client.py" "$@"; }

keys() { xdotool key --delay 80 "$@"; }
growing() {
    local size
    size=$(stat -c %s "$1")
    sleep 0.5
    (( $(stat -c %s "$1") > size ))
}
served() { wait_until 15 grep -q "GET /$1/stream.mp3 200" "$work/server.log"; }

start_sondik "$sondik" light
wait_until 5 eval 'window_focused "$(on_screen window | cut -d" " -f1)"' ||
    fail "the window opened without the keyboard"

# The third station, played and stopped from the keyboard.
keys Down Down
shoot keyboard-focus-light
keys Return
served hq || fail "Down Down Return did not play the third station"
wait_until 30 heard "$work/light.wav" || fail "the third station is not heard"
keys Return
wait_until 5 eval '! growing "$work/light.wav"' || fail "Return on the playing station did not stop it"

# Typing in the list searches; the last match plays.
xdotool type --delay 60 absolut
keys KP_Enter End Return
served top || fail "End after the search did not reach its last match, Absolut Top"

keys Escape
sondik_window gone >/dev/null || fail "Escape did not close the window"
"$sondik" # a second start shows the running one's window
sondik_window viewable >/dev/null || fail "the window did not open again"

# Back from the list to the top bar's last button: the panel, its slider.
keys shift+Tab Return Tab Right Right Right
wait_until 5 grep -qx "Volume=0.65" "$conf" || fail "the stored volume: $(grep Volume "$conf")"
shoot keyboard-preferences
region=$content grab "$work/panel.png"
keys Escape
region=$content await_change "$work/panel.png" || fail "Escape did not leave the panel"
# The search is still open, and its field has the keyboard back: there Escape
# does nothing, and keypad Enter leaves it.
keys Escape
sleep 1
on_screen window >/dev/null || fail "Escape in the search field closed the window"
keys KP_Enter Escape
sondik_window gone >/dev/null || fail "Escape did not close the window after the panel"
"$sondik"
sondik_window viewable >/dev/null || fail "the window did not open again"

# The screen reader's view.
a11y tree "Absolut Top, Frankfurt" | tee "$artifacts/keyboard-a11y-tree.txt" || fail "the tree"
a11y press "Absolut Bella, Frankfurt" || fail "no press action on a row"
served bella || fail "the row's press action played nothing"
a11y press "Preferences" && a11y panel 0.65 || fail "the panel's controls"
a11y press "Close preferences" || fail "the panel did not close"
a11y announced "No internet connection" 15 >"$work/alert.out" &
listener=$!
wait_until 15 grep -q listening "$work/alert.out" || fail "the client did not listen"
ip link set uplink down
wait "$listener" || fail "the banner was not announced"
ip link set uplink up
ip route replace default via 10.200.0.2 dev uplink

# A station given up on is announced with its name.
printf 'drop 2 1 dead\n' >"$work/mode"
a11y announced "Absolut Hot: Can't be reached right now" 60 >"$work/alert.out" &
listener=$!
wait_until 15 grep -q listening "$work/alert.out" || fail "the client did not listen"
a11y press "Absolut Hot, Frankfurt" || fail "no press action on a row"
wait "$listener" || fail "the station given up on was not announced"
stop_sondik "$sondik_pid"
rm -f "$work/mode"

# The focus in the dark palette.
dark_palette
rm -f "$conf"
XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 start_sondik "$sondik" dark
keys Down Down
shoot keyboard-focus-dark
stop_sondik "$sondik_pid"
rm "$XDG_CONFIG_HOME/kdeglobals"
sanitizer_clean "$work"/light.log "$work"/dark.log || fail "sanitizer report"
