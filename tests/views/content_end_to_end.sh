#!/usr/bin/env bash
# The window's content as a user meets it, on a private X server with a window
# manager, a tray host and a compositor: a click on a station row is heard,
# typing into the search brings the station typed to the first row, and the
# banner takes the list's place while the default route is gone; with the
# window closed after a click, the main thread sleeps once the fade is over. Screenshots
# of each state, of the preferences, of the dark palette and of the American
# list go to ARTIFACT_DIR; in them the list's last row shows whole with its gap
# when scrolled to the end, and the preferences' first card starts where the
# list's first row does. The station's server and the network: see
# station_namespace.sh. With SCREENSHOT_DIR set (make screenshots), the
# README's pictures go there too: the window with the panel and icon above it,
# light and dark, the search and the preferences.
#
#   content_end_to_end.sh SONDIK PCMPROBE ARTIFACT_DIR
set -euo pipefail

sondik=$1
pcmprobe=$2
artifacts=$3
# shellcheck source=station_namespace.sh
source "$(dirname "$0")/station_namespace.sh"

sondik_session compositor
show_backdrop
docs_shot() {
    [ -z "${SCREENSHOT_DIR:-}" ] ||
        region="$(( ww + 160 ))x$(( wy + wh + 30 ))+$(( wx - 80 ))+0" screenshot "$SCREENSHOT_DIR/$1.png"
}
click() { xdotool mousemove "$1" "$2" click 1; }
# change_content ACTION...: ACTION changes what the content area shows.
change_content() {
    region=$content grab "$work/before.png"
    "$@"
    region=$content await_change "$work/before.png"
}
# cards SHOT: where the cards of the content area are in a shot (the window at
# 20,20): the first card row below the area's top, the rows of the last run of
# card rows, and the free rows after it to the window's bottom. A row is a
# card's where a column 30 inside the cards' right edge differs from the
# window's margin beside them (the same backdrop shows through both).
cards() {
    convert "$1" -depth 8 rgb:- | python3 -c '
import sys
width, top, bottom, card, margin = map(int, sys.argv[1:])
data = sys.stdin.buffer.read()
def pixel(x, y):
    i = 3 * (y * width + x)
    return data[i:i + 3]
rows = [y for y in range(top, bottom)
        if sum(abs(a - b) for a, b in zip(pixel(card, y), pixel(margin, y))) > 12]
if not rows:
    print(-1, 0, 0)
    sys.exit()
run = 1
while run < len(rows) and rows[-run - 1] == rows[-run] - 1:
    run += 1
print(rows[0] - top, run, bottom - 1 - rows[-1])
' "$(identify -format %w "$1")" $(( 20 + area_top - wy )) $(( 20 + wh )) $(( 20 + ww - 40 )) $(( 20 + ww - 5 ))
}

start_sondik "$sondik" light
shoot content-list
docs_shot window-light
read -r list_top _ <<<"$(cards "$artifacts/content-list.png")"
first_row
expect_heard light

# The search field takes the keyboard as it opens: the keys after the click are its.
click $(( wx + ww - 60 )) $(( area_top - 22 ))
change_content xdotool type --delay 40 "absolut" || fail "typing did not filter the list"
# Six rows and the missing-station row, scrolled to the end: that row whole
# (72), then its gap of 10 at the window's bottom.
change_content xdotool mousemove $(( wx + 160 )) $(( area_top + 200 )) click --repeat 15 --delay 30 5 ||
    fail "the list did not scroll"
shoot content-end
read -r _ last_card gap <<<"$(cards "$artifacts/content-end.png")"
(( last_card >= 71 && gap >= 9 )) || fail "the last row at the end: $last_card rows, then $gap free"
change_content xdotool type --delay 40 " top" || fail "typing did not filter the list"
shoot content-search
docs_shot search
first_row
wait_until 10 grep -q "GET /top/mp3-128/listenlive.m3u" "$work/server.log" ||
    fail "the first row after the search is not Absolut Top"

change_content ip link set uplink down || fail "no banner without a default route"
shoot content-banner
change_content eval 'ip link set uplink up && ip route replace default via 10.200.0.2 dev uplink' ||
    fail "the banner stayed after the network came back"
change_content click $(( wx + ww - 23 )) $(( area_top - 22 )) || fail "no preferences"
shoot content-preferences
docs_shot preferences
read -r preferences_top _ <<<"$(cards "$artifacts/content-preferences.png")"
(( list_top >= 0 && preferences_top == list_top )) ||
    fail "the first card starts $preferences_top below the content's top, the list's first row $list_top"
stop_sondik "$sondik_pid"

# The dark palette, from the desktop's colour settings.
dark_palette
XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 start_sondik "$sondik" dark
# The window closed from the icon while the row's spinner turns: once the fade
# is over, the main thread sleeps (no animation runs unseen).
wakes() { awk '/ctxt_switches/ { n += $2 } END { print n }' /proc/"$sondik_pid"/task/"$sondik_pid"/status; }
read -r _ ix iy iw ih <<<"$(on_screen icon)"
icon_click() { xdotool mousemove $(( ix + iw / 2 )) $(( iy + ih / 2 )) click 1; }
first_row
icon_click
sondik_window gone >/dev/null || fail "the icon did not close the window"
expect_heard dark
sleep 9 # the fade's 8 s from the click
woken=$(wakes)
sleep 3
(( $(wakes) - woken <= 10 )) || fail "the main thread woke $(( $(wakes) - woken )) times in 3 s, hidden"
sleep 1 # a click soon after the close counts as the same click
icon_click
sondik_window viewable >/dev/null || fail "the icon did not open the window again"
shoot content-dark
docs_shot window-dark
stop_sondik "$sondik_pid"
rm "$XDG_CONFIG_HOME/kdeglobals"

# The American list (a locale without a territory), with its AM stations in kHz.
LANG=C start_sondik "$sondik" us
shoot content-us
stop_sondik "$sondik_pid"
sanitizer_clean "$work"/light.log "$work"/dark.log "$work"/us.log || fail "sanitizer report"
