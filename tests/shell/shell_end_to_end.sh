#!/usr/bin/env bash
# The application shell as a user meets it, on a private X server with a
# window manager and a real system-tray host: the icon appears, the window
# opens under it, a click on the icon hides it and the next brings it back,
# activating another window closes it, a second start brings it back instead
# of adding an icon, and the icon's menu quits.
#
#   shell_end_to_end.sh SONDIK ARTIFACT_DIR
set -euo pipefail

sondik=$1
artifacts=$2
# shellcheck source=xsession.sh
source "$(dirname "$0")/xsession.sh"
new_work_dir
export SONDIK_AUDIO_OUTPUT=null

sondik_session compositor
start_bg "$work/sondik.log" "$sondik"
sondik_pid=$LAST_PID
read -r _ ix iy iw ih <<<"$(sondik_window viewable 10 icon)"
[ -n "${ih:-}" ] || fail "no tray icon"

# shown WHAT: the window is open under the icon, with the keyboard.
shown() { opened_under $(( ix + iw / 2 )) $(( iy + ih - 1 )) "$1"; }
gone() { sondik_window gone >/dev/null || fail "$1 did not close the window"; }
click_icon() { xdotool mousemove $(( ix + iw / 2 )) $(( iy + ih / 2 )) click "${1:-1}"; }

shown "the launch"
# Unmanaged, so the window manager can neither frame nor move it; out of the task bar.
xwininfo -id "$wid" | grep -q 'Override Redirect State: yes' || fail "the window is managed"
xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the window is in the task bar"

click_icon
gone "a click on the icon"
click_icon
shown "a second click on the icon"
open_other
gone "another window taking the focus"

# A second start shows the running window and ends; still one icon.
timeout 10 "$sondik" >"$work/second.log" 2>&1 || fail "the second start failed"
shown "a second start"
(( $(on_screen icon | wc -l) == 1 )) || fail "more than one tray icon"

# The icon's menu quits.
click_icon 3
sondik_window viewable 5 menu >/dev/null || fail "no menu on the icon"
xdotool key Up Return
expect_end "$sondik_pid" "quit from the menu"
sanitizer_clean "$work/sondik.log" "$work/second.log" || fail "sanitizer report"
