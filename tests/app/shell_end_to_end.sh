#!/usr/bin/env bash
# The application shell as a user meets it, on a private X server with a
# window manager and a real system-tray host: the icon appears, the window
# opens under it, a click on the icon hides it, activating another window
# closes it, and a second start brings it back instead of adding an icon.
#
# With "no-tray": without a tray host the window is an ordinary, framed one
# that stays open when another window is activated.
#
#   shell_end_to_end.sh SONDIK XPROBE ARTIFACT_DIR [no-tray]
set -euo pipefail

sondik=$1
export XPROBE=$2
artifacts=$3
mode=${4:-tray}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
source "$here/xsession.sh"

new_work_dir
FAIL_LOGS=("$work/sondik.log")
export SONDIK_AUDIO_OUTPUT=null QT_QPA_PLATFORM=xcb LSAN_OPTIONS=exitcode=0

if [ "$mode" = no-tray ]; then
    start_x_session "$work" 1280x800 notray
    start_bg "$work/sondik.log" "$sondik"
    window=$(window_state viewable 10000) || fail "no window without a tray"
    read -r wid _ <<<"$window"
    (( $(grep -c "No system tray" "$work/sondik.log") == 1 )) ||
        fail "no single word on the log about the tray"
    # left, right, top, bottom: a title bar on top
    xprop -id "$wid" _NET_FRAME_EXTENTS | grep -Eq '= [0-9]+, [0-9]+, [1-9]' || fail "no title bar"
    ! xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
        fail "the ordinary window is out of the task bar"
    open_other
    xdotool windowactivate "$other"
    ! window_state gone 2000 >/dev/null || fail "the ordinary window closed"
    exit 0
fi

start_x_session "$work" 1280x800 compositor

show_backdrop
start_bg "$work/sondik.log" "$sondik"
sondik_pid=$LAST_PID

icon=$("$XPROBE" wait viewable sondik 1 64 10000 embedded | head -n1) || fail "no tray icon"
read -r _ ix iy iw ih <<<"$icon"

# The launch shows the window by itself.
window=$(window_state viewable 5000) || fail "the window did not open at launch"
read -r wid wx wy ww wh <<<"$window"

check_placement() {
    # Top panel: left edge 140 left of the icon's, bottom edge 412 below
    # the icon's bottom edge. The panel sits so that nothing is clamped.
    local ex=$(( ix - 140 )) ey=$(( iy + ih + 412 - wh ))
    (( ex >= 0 && ex + ww <= 1280 && ey >= 30 )) || fail "the layout would clamp: ${ex},${ey}"
    [ "$wx,$wy" = "$ex,$ey" ] || fail "window at ${wx},${wy}, expected ${ex},${ey}"
}
check_placement
(( ww == 320 )) || fail "window width ${ww}"

# No title bar or frame: the window manager does not manage it at all, so it
# cannot move it either. Out of the task bar.
xwininfo -id "$wid" | grep -q 'Override Redirect State: yes' || fail "the window is managed"
xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
    fail "the window is in the task bar"
[ "$(xprop -id "$wid" _NET_WM_NAME | cut -d'"' -f2)" = Sondik ] || fail "window title"

mkdir -p "$artifacts"
sleep 0.3 # let the compositor draw the new window before the shot
import -window root "$artifacts/shell-window.png"

click_icon() { xdotool mousemove $(( ix + iw / 2 )) $(( iy + ih / 2 )) click 1; }

# A click on the icon hides the window, another brings it back in place.
click_icon
window_state gone >/dev/null || fail "a click on the icon did not hide the window"
click_icon
window=$(window_state viewable) || fail "a second click did not show the window"
read -r wid wx wy ww wh <<<"$window"
check_placement
# Unmanaged, it takes the keyboard itself.
has_focus() { [ "$(xdotool getwindowfocus)" = "$wid" ]; }
wait_until 5000 has_focus || fail "the window does not have the keyboard"

# Another window taking the focus closes it.
open_other
xdotool windowactivate "$other"
window_state gone >/dev/null || fail "activating another window did not close the window"

# A second start shows the running window and ends; still one icon.
timeout 10 env SONDIK_AUDIO_OUTPUT=null "$sondik" >"$work/second.log" 2>&1 ||
    fail "the second start failed: $(cat "$work/second.log")"
window_state viewable >/dev/null || fail "a second start did not show the window"
kill -0 "$sondik_pid" 2>/dev/null || fail "the first instance ended"
icons=$("$XPROBE" find sondik 1 64 embedded | wc -l)
(( icons == 1 )) || fail "${icons} tray icons"

# A tray host that takes the focus before it delivers the click: the window
# closes on the focus change, and the click arriving right after is that same
# click, which must not open it again. Where the machine was too slow to click
# at once, the attempt proves nothing and is made again; a machine too busy for
# any attempt leaves the rule to tst_appdelegate's state table.
same_click=0
for _ in 1 2 3 4 5; do
    window_state viewable >/dev/null || { click_icon; window_state viewable >/dev/null; } ||
        fail "the window does not open for the same-click check"
    xdotool windowactivate "$other"
    gone_at=$("$XPROBE" wait gone sondik 200 4000 4000 | tail -n1) ||
        fail "activating another window did not close the window"
    click_icon
    clicked_at=$(date +%s%N)
    if (( (clicked_at - gone_at) / 1000000 < 250 )); then
        if "$XPROBE" wait viewable sondik 200 4000 2000 >/dev/null; then
            fail "the click that closed the window opened it again"
        fi
        same_click=1
        break
    fi
    sleep 1
done
(( same_click == 1 )) || echo "note: never clicked within 250 ms of the close; same click not checked here"
click_icon
window_state viewable >/dev/null || fail "the click after that did not open the window"
kill "$other_pid" 2>/dev/null || true

# The icon's menu reaches the window and quits.
xdotool mousemove $(( ix + iw / 2 )) $(( iy + ih / 2 )) click 3
"$XPROBE" wait viewable sondik 40 300 5000 >/dev/null || fail "no menu on the icon"
xdotool key Up Return
expect_end "$sondik_pid" "quit from the menu"
sanitizer_clean "$work/sondik.log" "$work/second.log" || fail "sanitizer report"
# No session bus here: media controls are off, said once.
(( $(grep -c "No D-Bus session bus" "$work/sondik.log") == 1 )) ||
    fail "no single word on the log about the missing session bus"
