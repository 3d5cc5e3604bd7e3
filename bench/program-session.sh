# shellcheck shell=bash disable=SC2154 # $work, $wx... are shared with the caller
# Sourced by the benchmarks that drive the whole program as a user does, after
# tests/views/station_namespace.sh (the X session with its tray, the station's
# server): Sondik started afresh, its first station row clicked, its window
# closed from the tray icon.

# program_start SONDIK LOG: a first start (no settings, nothing in the runtime
# folder), back once the window shows and start-up has settled; sets
# program_pid and the window's wx wy wh. The environment passes on (the audio
# output, the session bus).
program_start() {
    rm -rf "${XDG_RUNTIME_DIR:?}"/* "${XDG_CONFIG_HOME:?}/Sondik"
    start_bg "$2" "$1"
    program_pid=$LAST_PID
    local window
    window=$("$XPROBE" wait viewable sondik 200 4000 10000 | head -n1)
    read -r _ wx wy _ wh <<<"$window"
    sleep 1.5 # settled: start-up work done, not measured
}

# program_click_first_row: the pointer over the first row, then a click;
# prints the click's time (ns, on date's clock): its release, which is when a
# row acts. The content area is 360 high, its bottom 12 below the window's;
# rows 78 apart.
program_click_first_row() {
    local x=$(( wx + 160 )) y=$(( wy + wh + 12 - 360 + 34 ))
    xdotool mousemove "$x" "$y"
    sleep 0.3
    "$XPROBE" click "$x" "$y"
}

# program_close_window: a click on the tray icon; back once the window is gone.
program_close_window() {
    local ix iy iw ih
    read -r _ ix iy iw ih <<<"$(on_screen icon)"
    sleep 1 # a click soon after the row's counts as the same click
    xdotool mousemove $(( ix + iw / 2 )) $(( iy + ih / 2 )) click 1
    sondik_window gone >/dev/null
}
