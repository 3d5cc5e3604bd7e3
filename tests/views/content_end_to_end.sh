#!/usr/bin/env bash
# The window's content as a user meets it, on a private X server with a window
# manager, a tray host and a compositor: a click on a station row plays its
# stream, a click on the highlighted row silences it, the choice survives a
# restart without playing, a dead stream leaves the program running with the
# row highlighted, and the banner replaces the list while the network is gone.
# Screenshots go to ARTIFACT_DIR.
#
# The station's server and the network: see station_namespace.sh (root only;
# taking "uplink" down shows the banner).
#
#   content_end_to_end.sh SONDIK XPROBE PCMPROBE ARTIFACT_DIR
set -euo pipefail

sondik=$1
export XPROBE=$2
pcmprobe=$3
artifacts=$4
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=station_namespace.sh
source "$here/station_namespace.sh"

start_x_session "$work" 1280x800 compositor
show_backdrop

mkdir -p "$artifacts"
export QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 LC_ALL='' LSAN_OPTIONS=exitcode=0
export SONDIK_AUDIO_OUTPUT=pcm
settings="$XDG_CONFIG_HOME/Sondik/Sondik.conf"

# start_sondik LOGNAME AUDIOFILE: starts it and waits for the window it opens.
start_sondik() {
    SONDIK_AUDIO_FILE=$2 start_bg "$work/$1.log" "$sondik"
    sondik_pid=$LAST_PID
    local window
    window=$("$XPROBE" wait viewable sondik 200 4000 10000 | head -n1) ||
        fail "the window did not open"
    read -r _ wx wy ww wh <<<"$window"
    # The content area: 360 high, its bottom 12 below the window's.
    area_top=$(( wy + wh + 12 - 360 ))
    wait_until 10000 painted || fail "the window is not drawn"
}
ended() { ! kill -0 "$sondik_pid" 2>/dev/null || ps -o stat= -p "$sondik_pid" | grep -q '^Z'; }
stop_sondik() {
    kill "$sondik_pid"
    wait_until 10000 ended || fail "Sondik did not end"
}
row_y() { echo $(( area_top + ($1 - 1) * 78 + 34 )); }
click_row() { xdotool mousemove $(( wx + 160 )) "$(row_y "$1")" click 1; }
shoot() {
    sleep 0.4 # the compositor draws
    import -window root "$work/screen.png"
    keep "$1"
}
keep() { # the last screen taken
    convert "$work/screen.png" -crop "$(( ww + 40 ))x$(( wh + 40 ))+$(( wx - 20 ))+$(( wy - 20 ))" \
        +repage "$artifacts/$1.png"
}
# Mean grey level of a station row's card right of its text (short names).
row_level() {
    convert "$work/screen.png" -crop "40x40+$(( wx + 262 ))+$(( $(row_y "$1") - 20 ))" \
        -colorspace gray -format '%[fx:mean]' info:
}
level_diff() { # ROW ROW: how far apart their cards' grey levels are on the last screen
    awk -v a="$(row_level "$1")" -v b="$(row_level "$2")" 'BEGIN { d = a - b; print (d < 0 ? -d : d) }'
}
highlighted() { # ROW A B: ROW's card differs clearly from A's; A's and B's, not selected, agree
    import -window root "$work/screen.png"
    awk -v d="$(level_diff "$1" "$2")" -v e="$(level_diff "$2" "$3")" 'BEGIN { exit !(d > 0.04 && e < 0.01) }'
}
# Drawn: the cards of rows 2 and 3 (not selected) agree; on the bare backdrop they differ.
painted() {
    import -window root "$work/screen.png"
    awk -v e="$(level_diff 2 3)" 'BEGIN { exit !(e < 0.01) }'
}
# A media player exists: its mpv core runs as threads of the program.
playing() { grep -q '^mpv/' /proc/"$sondik_pid"/task/*/comm; }
no_player() { ! playing; }
seconds_in() { "$pcmprobe" "$1" 440 | cut -d' ' -f1; }

# 1. Light palette: the list, then a click plays the first station.
start_sondik sondik "$work/heard.wav"
shoot content-light-list
click_row 1
# The first play loads the player's plugin before the row can redraw.
wait_until 10000 highlighted 1 2 3 || fail "the clicked row is not highlighted"
keep content-light-selected-loading
wait_until 30000 heard "$work/heard.wav" || fail "the first station is not heard"
grep -q "GET /bella/stream.mp3 200" "$work/server.log" || fail "the stream came from elsewhere"
grep -q '^SelectedRadioStationId=s299053' "$settings" || fail "the choice was not saved"
playing || fail "no media player while the station plays"
sleep 0.4
highlighted 1 2 3 || fail "the playing row is not highlighted"
shoot content-light-selected

# 2. A click on the highlighted row: silence.
click_row 1
sleep 1
before=$(seconds_in "$work/heard.wav")
sleep 2
after=$(seconds_in "$work/heard.wav")
[ "$before" = "$after" ] || fail "still playing after the stop: ${before} s, then ${after} s"
! grep -q '^SelectedRadioStationId' "$settings" || fail "the choice was not cleared"

# 3. Choose again, kill, start again: highlighted, silent.
click_row 1
wait_until 30000 heard "$work/heard.wav" || fail "the station does not play again"
stop_sondik
start_sondik sondik-2 "$work/heard-2.wav"
sleep 0.4
highlighted 1 2 3 || fail "the saved choice is not highlighted after a restart"
sleep 3
[ ! -s "$work/heard-2.wav" ] || fail "something plays after the restart"

# 4. A dead stream through the UI: 404 for the second station.
click_row 2
wait_until 10000 grep -q "GET /hot/mp3-128/listenlive.m3u 404" "$work/server.log" ||
    fail "the second station's address was not asked for"
# The player lets go of the dead stream: its mpv core goes.
wait_until 10000 no_player || fail "the dead stream's player stays"
sleep 2
kill -0 "$sondik_pid" || fail "Sondik ended after a dead stream"
highlighted 2 1 3 || fail "the dead station's row is not highlighted"
[ ! -s "$work/heard-2.wav" ] || fail "a dead stream made sound"

# The end of the list: the missing-station row.
xdotool mousemove $(( wx + 160 )) "$(row_y 2)" click --repeat 400 --delay 15 5
sleep 1
shoot content-light-list-end
xdotool click --repeat 500 --delay 4 4

# 5. No network: the banner takes the list's place, and gives it back.
ip link set uplink down
sleep 1.5
shoot content-light-banner
ip link set uplink up
ip route replace default via 10.200.0.2 dev uplink
sleep 1
stop_sondik

# 6. Dark palette, from the desktop's colour settings.
for group in Window=35,38,41 View=27,30,32 Button=49,54,59 Selection=61,174,233 Tooltip=49,54,59; do
    printf '[Colors:%s]\nBackgroundNormal=%s\nForegroundNormal=239,240,241\n' "${group%=*}" "${group#*=}"
done >"$XDG_CONFIG_HOME/kdeglobals"
sed -i '/^SelectedRadioStationId/d' "$settings" # the dead station's row: not selected
XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 start_sondik sondik-3 "$work/heard-3.wav"
click_row 1
wait_until 10000 highlighted 1 2 3 || fail "the clicked row is not highlighted in the dark"
keep content-dark-selected-loading
wait_until 30000 heard "$work/heard-3.wav" || fail "nothing heard in the dark run"
shoot content-dark-selected
stop_sondik

# 7. The search: its field has the keyboard focus as it opens, keeps it through
# Return and Escape, and gives it up on keypad Enter.
rm -f "$XDG_CONFIG_HOME/kdeglobals"
start_sondik sondik-4 "$work/heard-4.wav"
bar_y=$(( area_top - 22 ))
xdotool mousemove $(( wx + ww - 60 )) "$bar_y" click 1
sleep 1 # the field fades in
xdotool type --delay 60 "absolut"
xdotool key Return Escape
xdotool type --delay 60 " top"
sleep 0.5
shoot content-search
xdotool key KP_Enter
xdotool type --delay 60 "xyz"
sleep 0.5
click_row 1
wait_until 10000 grep -q "GET /top/mp3-128/listenlive.m3u" "$work/server.log" ||
    fail "typing without a click did not find Absolut Top, or keypad Enter kept the focus"

# 8. The preferences panel: launch at login on and off, then quit while playing.
xdotool mousemove $(( wx + ww - 60 )) "$bar_y" click 1 # the search closes
sleep 0.5
click_row 1
wait_until 30000 heard "$work/heard-4.wav" || fail "Absolut Bella is not heard before the quit"
entry="$XDG_CONFIG_HOME/autostart/de.sondik.Sondik-LaunchAtLoginHelper.desktop"
xdotool mousemove $(( wx + ww - 23 )) "$bar_y" click 1
sleep 1.2 # the panel fades in
shoot content-preferences
xdotool mousemove $(( wx + 267 )) $(( area_top + 58 )) click 1
wait_until 5000 test -f "$entry" || fail "launch at login wrote no autostart entry"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
eval "set -- $exec_line"
[ "$1" = "$(readlink -f "$sondik")" ] || [ "$1" = "$sondik" ] || fail "the entry starts $1"
"$@" >"$work/login-start.log" 2>&1 || fail "the entry's command did not reach Sondik"
xdotool mousemove $(( wx + 267 )) $(( area_top + 58 )) click 1
wait_until 5000 test ! -f "$entry" || fail "launch at login off left the entry"
xdotool mousemove $(( wx + 285 )) $(( area_top + 16 )) click 1 # the volume slider, near its end
sleep 0.3
shoot content-preferences-after
xdotool mousemove $(( wx + 160 )) $(( area_top + 221 )) click 1 # quit
wait_until 5000 ended || fail "Sondik did not quit from the panel"
wait "$sondik_pid" || fail "Sondik quit with status $?"
volume=$(sed -n 's/^Volume=//p' "$settings")
awk -v v="$volume" 'BEGIN { exit !(v > 0.7 && v <= 1) }' || fail "the settings hold volume '$volume', not the slider's last"

sanitizer_clean "$work"/sondik*.log || fail "sanitizer report"
