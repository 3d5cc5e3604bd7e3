# shellcheck shell=bash disable=SC2034 # variables for the scripts that source this
# Shared by the end-to-end tests and the benchmarks: a private X session with a
# window manager that keeps focus, a real tray host and (when asked for) a
# compositor, and the waits and checks the tests share. Source it, then call
# new_work_dir and start_x_session "$work". Every process it starts is recorded
# in SESSION_PIDS; stop_x_session ends them, last first.

SESSION_PIDS=()

# fail MESSAGE: the screen (into $artifacts, if set) and every log, then exit.
fail() {
    echo "FAIL: $*" >&2
    [ -z "${artifacts:-}" ] || region='' grab "$artifacts/failure.png" 2>/dev/null || true
    tail -n +1 "$work"/*.log >&2 2>/dev/null || true # each log under its name
    exit 1
}

# new_work_dir: a scratch folder in $work, removed with the session at exit.
new_work_dir() {
    work=$(mktemp -d)
    trap 'stop_x_session; rm -rf "$work"' EXIT
}

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds. A look that
# talks to X is bounded itself: a client of a server that stopped answering
# would wait for ever.
wait_until() {
    local end=$(( ${EPOCHREALTIME/./} + $1 * 1000000 )); shift
    until "$@" >/dev/null 2>&1; do
        (( ${EPOCHREALTIME/./} < end )) || return 1
        sleep 0.02
    done
}

# start_bg LOGFILE COMMAND...: starts COMMAND in the background as $LAST_PID.
start_bg() {
    local log=$1; shift
    "$@" >"$log" 2>&1 &
    SESSION_PIDS+=($!)
    LAST_PID=$!
}

stop_x_session() {
    local i pid
    for (( i=${#SESSION_PIDS[@]}-1; i>=0; i-- )); do
        pid=${SESSION_PIDS[i]}
        kill -TERM "$pid" 2>/dev/null || continue
        wait_until 1 ended "$pid" || kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    SESSION_PIDS=()
}

ended() { ! kill -0 "$1" 2>/dev/null || ps -o stat= -p "$1" | grep -q '^Z'; }

# expect_end PID WHAT: WHAT ends Sondik within 10 s, with status 0, and leaves
# neither its single-instance lock nor its socket behind.
expect_end() {
    wait_until 10 ended "$1" || fail "$2 did not end Sondik"
    wait "$1" || fail "Sondik ended with status $? after $2"
    ! compgen -G "$XDG_RUNTIME_DIR/de.sondik.Sondik.*" >/dev/null || fail "$2 left $(ls "$XDG_RUNTIME_DIR")"
}
stop_sondik() { kill -TERM "$1"; expect_end "$1" SIGTERM; }

# A media player exists: its mpv core runs as threads of the program.
mpv_running() { grep -q '^mpv/' /proc/"$1"/task/*/comm; }

# under_point X Y "WX WY WIDTH HEIGHT": the window hangs just below the point
# the tray gave (a top panel's icon), across it. The exact rule is
# tst_windowplacement's.
under_point() {
    local x=$1 y=$2 wx wy ww
    read -r wx wy ww _ <<<"$3"
    (( wx <= x && x < wx + ww && y < wy && wy < y + 60 ))
}

# sni SERVICE METHOD ARGS...: what a panel calls on the item ("--": negative
# numbers are arguments). Clicks come a second apart, as a user's do: well over
# the time in which a click that follows a close is taken as the same click.
sni() {
    local service=$1 method=$2; shift 2
    [ "$method" != Activate ] || sleep 1
    gdbus call --session --dest "$service" --object-path /StatusNotifierItem \
        --method "org.kde.StatusNotifierItem.$method" -- "$@" >/dev/null
}

# sni_registered: the StatusNotifierWatcher lists an item; its bus name in $service.
sni_registered() {
    service=$(gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems | grep -o 'org.kde.StatusNotifierItem-[0-9-]*' | head -n1) &&
        [ -n "$service" ]
}

# heard FILE: the tone of station_server.py is playing at the end of it (needs $pcmprobe).
heard() {
    # shellcheck disable=SC2154 # the caller sets pcmprobe
    read -r _ rms share <<<"$("$pcmprobe" "$1" 440)"
    awk -v r="$rms" -v s="$share" 'BEGIN { exit !(r > 0.01 && s > 0.8) }'
}

# plays_top SERVER_LOG WAV: Absolut Top, the last match of "absolut", is
# served (from station_server.py) and heard.
plays_top() {
    wait_until 15 grep -q "GET /top/stream.mp3 200" "$1" ||
        fail "the search's last match, Absolut Top, did not play: $(tail -n 3 "$1")"
    wait_until 30 heard "$2" || fail "the station is not heard"
}

# opened_under X Y WHAT: WHAT opened the window just below the point X,Y, with
# the keyboard; its place in wid wx wy ww wh.
opened_under() {
    read -r wid wx wy ww wh <<<"$(sondik_window viewable)"
    [ -n "${wh:-}" ] || fail "$3 did not open the window"
    under_point "$1" "$2" "$wx $wy $ww $wh" || fail "$3: the window at $wx,$wy ${ww}x$wh, not under $1,$2"
    wait_until 5 window_focused "$wid" || fail "$3: the window does not have the keyboard"
}

# desktop_steps NAME SERVER_LOG SECONDS: what a user does with the icon of a
# desktop's panel, through the caller's click_icon and opened WHAT (the window
# under the icon with the keyboard, its place in wx wy ww wh), each answered
# within SECONDS: a click closes the window opened at launch and the next
# opens it (screenshot NAME-window); "absolut" typed with no click opens the
# search (NAME-search), keypad Enter leaves the field, End reaches the last
# match and Return plays it, heard in $work/NAME.wav; another window taking
# the focus closes the window, and the icon opens it again. Then SIGTERM ends
# Sondik cleanly.
desktop_steps() {
    click_icon
    sondik_window gone "$3" >/dev/null || fail "a click on the icon did not close the window opened at launch"
    click_icon
    opened "a click on the icon"
    shoot "$1-window"
    # The list starts with the same stations, so the search field that opens
    # shows it (not await_change: the field's cursor blinks).
    local window="${ww}x$wh+$wx+$wy"
    region=$window grab "$work/list.png"
    xdotool type --delay 60 absolut
    # shellcheck disable=SC2016 # eval expands it
    wait_until 10 eval 'region=$window grab "$work/search.png" && differ "$work/list.png" "$work/search.png" 100' ||
        fail "typing did not open the search"
    shoot "$1-search"
    xdotool key --delay 80 KP_Enter End Return
    plays_top "$2" "$work/$1.wav"
    open_other
    sondik_window gone "$3" >/dev/null || fail "another window taking the focus did not close the window"
    click_icon
    opened "a click on the icon after another window had the focus"
    # shellcheck disable=SC2154 # start_sondik's, or the caller's
    stop_sondik "$sondik_pid"
    sanitizer_clean "$work/$1.log" || fail "sanitizer report"
}

# as_nobody DESKTOP SCRIPT ARGS...: bash SCRIPT as the user nobody on a session
# bus of its own, as a Wayland session of DESKTOP would start it (compositors
# that refuse root), its home and runtime folders in $work; AS_NOBODY=1 tells
# the script it is the inner run (see nobody_session). Then this script ends
# with the inner run's status, its screenshots NAME-*.png (NAME: the script's,
# less _end_to_end.sh) and its failure's in $artifacts.
as_nobody() {
    local desktop=$1 name status=0; shift
    name=$(basename "$1" _end_to_end.sh)
    chmod 755 "$work"
    install -d -o nobody -g nogroup -m 700 "$work/runtime" "$work/home"
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        XDG_CONFIG_HOME="$work/home/.config" XDG_CURRENT_DESKTOP="$desktop" XDG_SESSION_TYPE=wayland \
        LANG=en_US.UTF-8 LSAN_OPTIONS=exitcode=0 AS_NOBODY=1 work="$work" \
        dbus-run-session -- bash "$@" || status=$?
    mkdir -p "$artifacts"
    cp "$work/runtime/$name"-*.png "$artifacts/" 2>/dev/null || true
    cp "$work/runtime/failure.png" "$artifacts/$name-failure.png" 2>/dev/null || true
    (( status == 0 )) || tail -n 30 "$work"/runtime/*.log >&2 || true
    exit "$status"
}
# nobody_session: the inner run works in the part of $work that nobody may
# write in, and leaves its screenshots there for as_nobody.
nobody_session() {
    work=$work/runtime
    artifacts=$work
    trap stop_x_session EXIT
}

# on_screen icon|menu|window: "id x y width height" of each of Sondik's windows
# of that kind on screen (told apart by their widths); fails if there is none.
on_screen() {
    local range id found='' WINDOW X Y WIDTH HEIGHT SCREEN
    range=$(case $1 in icon) echo 1 64 ;; menu) echo 65 299 ;; *) echo 300 4000 ;; esac)
    for id in $(sondik_ids); do
        WIDTH=0
        eval "$(timeout 5 xdotool getwindowgeometry --shell "$id" 2>/dev/null)"
        (( ${range% *} <= WIDTH && WIDTH <= ${range#* } )) && found+="$id $X $Y $WIDTH $HEIGHT"$'\n'
    done
    printf %s "$found"
    [ -n "$found" ]
}
# Sondik's visible windows. A window that goes while xdotool walks the tree (a
# panel's tooltip) ends it with an X error, and so seems to hide ours: again.
sondik_ids() {
    local out attempt
    for attempt in 1 2 3; do
        out=$(timeout 5 xdotool search --onlyvisible --classname '^sondik$' 2>&1) ||
            [[ $out != *"X Error"* ]] && break
    done
    grep -x '[0-9]\+' <<<"$out"
}
# sondik_window viewable|gone [SECONDS] [KIND]: waits for it; prints the first.
sondik_window() {
    local kind=${3:-window} found
    [ "$1" = viewable ] || { wait_until "${2:-4}" eval "! on_screen $kind"; return; }
    wait_until "${2:-4}" eval "found=\$(on_screen $kind)" && head -n1 <<<"$found"
}
window_focused() { [ "$(timeout 5 xdotool getwindowfocus)" = "$1" ]; }

# open_other: another application's window, $other, focused.
open_other() {
    start_bg "$work/xmessage.log" xmessage -geometry +100+500 -title other "Another application"
    other=$(timeout 10 xdotool search --sync --name '^other$' | head -n1) || fail "no other window"
    xdotool windowactivate "$other"
    wait_until 5 window_focused "$other" || fail "the other window did not take the focus"
}

# shoot NAME: the window with a margin, once still, as $artifacts/NAME.png.
shoot() {
    region="$(( ww + 40 ))x$(( wh + 40 ))+$(( wx - 20 ))+$(( wy - 20 ))" screenshot "$artifacts/$1.png"
}
# dark_palette: the desktop's colour settings (KDE's) say dark, for a Sondik
# started with XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5.
dark_palette() {
    local group
    for group in Window=35,38,41 View=27,30,32 Button=49,54,59 Selection=61,174,233 Tooltip=49,54,59; do
        printf '[Colors:%s]\nBackgroundNormal=%s\nForegroundNormal=239,240,241\n' "${group%=*}" "${group#*=}"
    done >"$XDG_CONFIG_HOME/kdeglobals"
}

# The screen, or the part in $region ("WxH+X+Y"); sway's session grabs with grim.
grab() { timeout 10 import -window root ${region:+-crop "$region" +repage} "$1"; }
# differ A B PIXELS: two grabs differ in more than PIXELS pixels.
differ() {
    local n
    n=$(compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1)
    awk -v n="${n%% *}" -v m="$3" 'BEGIN { exit !(n + 0 > m) }'
}
# still: the screen looks as it did at the last look (it has stopped changing).
still() {
    [ ! -f "$work/now.png" ] || mv -f "$work/now.png" "$work/last.png"
    grab "$work/now.png" && [ -f "$work/last.png" ] && ! differ "$work/last.png" "$work/now.png" 0
}
changed_from() { still && differ "$1" "$work/now.png" "$2"; }
# await_change REFERENCE [PIXELS]: the screen no longer looks as REFERENCE, and is still.
await_change() {
    rm -f "$work/now.png" "$work/last.png"
    wait_until 10 changed_from "$1" "${2:-300}"
}
# screenshot FILE: the screen (or $region) once it has stopped changing, or after 5 s.
screenshot() {
    rm -f "$work/now.png" "$work/last.png"
    wait_until 5 still || true
    cp "$work/now.png" "$1"
}

# show_backdrop: a picture behind the window, for what a screenshot shows through.
show_backdrop() {
    convert -size 1280x770 gradient:'#2f6fdf'-'#f0a020' \
        -fill '#202020' -draw 'rectangle 560,250 760,450' "$work/backdrop.png"
    start_bg "$work/display.log" display -geometry +0+30 -title backdrop "$work/backdrop.png"
    wait_until 10 eval 'xdotool search --name "^backdrop$"' || fail "no backdrop window"
}

# sanitizer_clean LOG...: in a sanitizer build, no memory error, undefined
# behaviour, or leak that passes through our own code. (D-Bus and Mesa's
# unloaded driver leave a few allocations of their own at exit.)
sanitizer_clean() {
    local sources
    sources=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/src/
    ! grep -qE 'ERROR: AddressSanitizer|runtime error' "$@" && ! grep -qF "$sources" "$@"
}

# selection_owned NAME: an X client owns the selection (no tool prints that).
selection_owned() {
    timeout 5 python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = x.XGetSelectionOwner.restype = ctypes.c_ulong
d = ctypes.c_void_p(x.XOpenDisplay(None))
sys.exit(not d.value or not x.XGetSelectionOwner(d, ctypes.c_ulong(x.XInternAtom(d, sys.argv[1].encode(), 0))))
PY
}
wm_running() { timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# sondik_session [OPTIONS...]: start_x_session of $work at 1280x800 with
# OPTIONS, and with "bus" on the session bus this script had (the station
# namespace's own); the artifacts' folder made; Sondik's environment: X11,
# English, leaks reported but not failing it.
sondik_session() {
    local bus=${DBUS_SESSION_BUS_ADDRESS:-}
    start_x_session "$work" 1280x800 "$@"
    [[ " $* " != *" bus "* ]] || export DBUS_SESSION_BUS_ADDRESS=$bus
    mkdir -p "$artifacts"
    export QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 LC_ALL='' LSAN_OPTIONS=exitcode=0
}

# start_x_session WORKDIR [WIDTHxHEIGHT] [compositor] [notray] [nowm]
# (nowm: the X server and the private home only, for a desktop's own
# window manager and panel.)
# Tried three times: where tests in other network namespaces start X servers at
# the same moment, an Xvfb now and then comes up on a display that its clients
# cannot open.
start_x_session() {
    local attempt first=${#SESSION_PIDS[@]} pid
    for attempt in 1 2 3; do
        start_x_session_once "$@" && return 0
        echo "X session attempt $attempt failed" >&2
        for pid in "${SESSION_PIDS[@]:first}"; do
            kill -KILL "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        done
        SESSION_PIDS=("${SESSION_PIDS[@]:0:first}")
    done
    return 1
}

start_x_session_once() {
    local work=$1 size=${2:-1280x800} options=" ${*:3} " display
    # -displayfd: the server picks a free display and writes its number.
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    SESSION_PIDS+=($!)
    wait_until 10 grep -q '[0-9]' "$work/display" || { echo "Xvfb did not start" >&2; return 1; }
    display=$(head -n1 "$work/display")
    export DISPLAY=":$display"

    # A private home and no session bus: the tray must be the X11 one here.
    export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
    export XDG_CACHE_HOME="$work/home/.cache" XDG_DATA_HOME="$work/home/.local/share"
    export XDG_RUNTIME_DIR="$work/runtime"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus"
    unset WAYLAND_DISPLAY XDG_SESSION_TYPE
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    [[ $options == *" nowm "* ]] && return 0

    start_bg "$work/openbox.log" openbox --sm-disable
    wait_until 30 wm_running || { echo "openbox did not start" >&2; return 1; }
    if [[ $options == *" compositor "* ]] && command -v picom >/dev/null; then
        start_bg "$work/picom.log" picom --backend xrender --no-vsync --config /dev/null
        wait_until 10 selection_owned _NET_WM_CM_S0 || echo "picom did not start" >&2
    fi
    [[ $options == *" notray "* ]] && return 0
    start_bg "$work/tint2.log" tint2 -c "$(dirname "${BASH_SOURCE[0]}")/tint2rc"
    # tint2 may take a while to claim the tray; wait on the claim itself.
    wait_until 30 selection_owned _NET_SYSTEM_TRAY_S0 || { echo "tint2 took no tray" >&2; return 1; }
}
