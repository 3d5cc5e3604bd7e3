#!/usr/bin/env bash
# The window's content as a user meets it, on a private X server with a window
# manager, a tray host and a compositor: a click on a station row is heard,
# typing into the search brings the station typed to the first row, and the
# banner takes the list's place while the default route is gone. Screenshots
# of each state, of the preferences and of the dark palette go to
# ARTIFACT_DIR. The station's server and the network: see station_namespace.sh.
#
#   content_end_to_end.sh SONDIK PCMPROBE ARTIFACT_DIR
set -euo pipefail

sondik=$1
pcmprobe=$2
artifacts=$3
# shellcheck source=station_namespace.sh
source "$(dirname "$0")/station_namespace.sh"

start_x_session "$work" 1280x800 compositor
show_backdrop
mkdir -p "$artifacts"
export QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 LC_ALL='' LSAN_OPTIONS=exitcode=0
shoot() {
    region="$(( ww + 40 ))x$(( wh + 40 ))+$(( wx - 20 ))+$(( wy - 20 ))" screenshot "$artifacts/content-$1.png"
}
click() { xdotool mousemove "$1" "$2" click 1; }
# change_content ACTION...: ACTION changes what the content area shows.
change_content() {
    region=$content grab "$work/before.png"
    "$@"
    region=$content await_change "$work/before.png"
}

start_sondik "$sondik" light
shoot list
first_row
expect_heard light

# The search field takes the keyboard as it opens: the keys after the click are its.
click $(( wx + ww - 60 )) $(( area_top - 22 ))
change_content xdotool type --delay 40 "absolut top" || fail "typing did not filter the list"
shoot search
first_row
wait_until 10 grep -q "GET /top/mp3-128/listenlive.m3u" "$work/server.log" ||
    fail "the first row after the search is not Absolut Top"

change_content ip link set uplink down || fail "no banner without a default route"
shoot banner
change_content eval 'ip link set uplink up && ip route replace default via 10.200.0.2 dev uplink' ||
    fail "the banner stayed after the network came back"
change_content click $(( wx + ww - 23 )) $(( area_top - 22 )) || fail "no preferences"
shoot preferences
stop_sondik "$sondik_pid"

# The dark palette, from the desktop's colour settings.
for group in Window=35,38,41 View=27,30,32 Button=49,54,59 Selection=61,174,233 Tooltip=49,54,59; do
    printf '[Colors:%s]\nBackgroundNormal=%s\nForegroundNormal=239,240,241\n' "${group%=*}" "${group#*=}"
done >"$XDG_CONFIG_HOME/kdeglobals"
XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 start_sondik "$sondik" dark
shoot dark
stop_sondik "$sondik_pid"
sanitizer_clean "$work"/light.log "$work"/dark.log || fail "sanitizer report"
