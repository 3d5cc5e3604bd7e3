# Shared by the end-to-end tests and the benchmark: a private X session with a
# window manager that keeps focus, a real tray host and (when installed) a
# compositor, and the waits and checks the tests repeat. Source it, then call
# start_x_session WORKDIR. Every process it
# starts is recorded in SESSION_PIDS; stop_x_session ends them, last first.

SESSION_PIDS=()
XPROBE=${XPROBE:-xprobe}
FAIL_LOGS=()

# fail MESSAGE: reports, shows the logs in FAIL_LOGS, ends the test.
fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "${FAIL_LOGS[@]}"; do
        [ -f "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
    done
    exit 1
}

# new_work_dir: $work, removed with the session at exit.
new_work_dir() {
    work=$(mktemp -d)
    trap 'stop_x_session; rm -rf "$work"' EXIT
}

process_ended() { ! kill -0 "$1" 2>/dev/null || ps -o stat= -p "$1" | grep -q '^Z'; }

# expect_end PID WHAT: WHAT ends Sondik within 10 s, with status 0.
expect_end() {
    wait_until 10000 process_ended "$1" || fail "$2 did not end Sondik"
    wait "$1" || fail "Sondik ended with status $?"
}

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# wait_until TIMEOUT_MS COMMAND...: polls COMMAND until it succeeds.
wait_until() {
    local timeout=$1; shift
    local end=$(( $(now_ms) + timeout ))
    until "$@" >/dev/null 2>&1; do
        if (( $(now_ms) > end )); then
            return 1
        fi
        sleep 0.02
    done
}

# start_bg LOGFILE COMMAND...: starts COMMAND in the background, records it.
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
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.02
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    SESSION_PIDS=()
}

# window_named PATTERN: the id of a window whose name matches, within 10 s.
# Retried: xdotool gives up when a window vanishes while it walks the tree.
window_named() {
    local pattern=$1 id=
    # shellcheck disable=SC2317 # called through wait_until
    named() { id=$(xdotool search --name "$pattern" 2>/dev/null | head -n1) && [ -n "$id" ]; }
    wait_until 10000 named && echo "$id"
}

# window_state viewable|gone [TIMEOUT_MS]: "id x y width height" of Sondik's window.
window_state() { "$XPROBE" wait "$1" sondik 200 4000 "${2:-4000}" | head -n1; }

# open_other: another application's window, $other, by process $other_pid.
# shellcheck disable=SC2034 # read by the scripts that source this
open_other() {
    start_bg "$work/xmessage.log" xmessage -geometry +100+500 -title other "Another application"
    other_pid=$LAST_PID
    other=$(window_named '^other$') || fail "no other window"
}

# show_backdrop: a picture behind the window, so a screenshot shows what shows
# through.
show_backdrop() {
    convert -size 1280x770 gradient:'#2f6fdf'-'#f0a020' \
        -fill '#202020' -draw 'rectangle 560,250 760,450' "$work/backdrop.png"
    start_bg "$work/display.log" display -geometry +0+30 -title backdrop "$work/backdrop.png"
    window_named '^backdrop$' >/dev/null || fail "no backdrop window"
}

# sanitizer_clean LOG...: in a sanitizer build, no memory error, undefined
# behaviour, or leak that passes through our own code. (D-Bus and Mesa's
# unloaded driver leave a few allocations of their own at exit.)
sanitizer_clean() {
    local sources
    sources=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/src/
    ! grep -qE 'ERROR: AddressSanitizer|runtime error' "$@" && ! grep -qF "$sources" "$@"
}

selection_owned() { [ "$("$XPROBE" owner "$1")" != 0 ]; }
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# start_x_session WORKDIR [WIDTHxHEIGHT] [compositor] [notray]
# Tried three times: where tests in other network namespaces start X servers at
# the same moment, an Xvfb now and then comes up on a display that its clients
# cannot open.
start_x_session() {
    local attempt first=${#SESSION_PIDS[@]}
    for attempt in 1 2 3; do
        start_x_session_once "$@" && return 0
        echo "X session attempt $attempt failed" >&2
        local pid
        for pid in "${SESSION_PIDS[@]:first}"; do
            kill -KILL "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        done
        SESSION_PIDS=("${SESSION_PIDS[@]:0:first}")
    done
    return 1
}

start_x_session_once() {
    local work=$1 size=${2:-1280x800} options=" ${*:3} "
    local here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

    # -displayfd: the server picks a free display and writes its number.
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    SESSION_PIDS+=($!)
    if ! wait_until 10000 grep -q '[0-9]' "$work/display"; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$work/display")"

    # A private home and no session bus: the tray must be the X11 one here.
    export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
    export XDG_CACHE_HOME="$work/home/.cache" XDG_DATA_HOME="$work/home/.local/share"
    export XDG_RUNTIME_DIR="$work/runtime"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus"
    unset WAYLAND_DISPLAY XDG_SESSION_TYPE
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"

    start_bg "$work/openbox.log" openbox --sm-disable
    wait_until 30000 wm_running || { echo "openbox did not start:" >&2; cat "$work/openbox.log" >&2; return 1; }

    if [[ $options == *" compositor "* ]] && command -v picom >/dev/null; then
        start_bg "$work/picom.log" picom --backend xrender --no-vsync --config /dev/null
        wait_until 10000 selection_owned _NET_WM_CM_S0 || echo "picom did not start" >&2
    fi

    [[ $options == *" notray "* ]] && return 0
    start_bg "$work/tint2.log" tint2 -c "$here/tint2rc"
    # tint2 may take a while to claim the tray; wait on the claim itself.
    wait_until 30000 selection_owned _NET_SYSTEM_TRAY_S0 || {
        echo "tint2 did not take the system tray" >&2
        return 1
    }
}
