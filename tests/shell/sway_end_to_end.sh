#!/usr/bin/env bash
# Sondik on a real Wayland compositor: headless sway, with swaybar as the
# StatusNotifierItem tray host. A click on the icon, as swaybar passes it on
# (Activate with the click's point), opens the window under the icon with the
# keyboard focus (a screenshot shows it); the next click closes it. Sondik
# runs through XWayland, or with "native" (no XWayland, no DISPLAY) on Qt's
# Wayland platform.
#
# sway refuses to run as root: the session runs as the user nobody.
#
#   sway_end_to_end.sh SONDIK ARTIFACT_DIR [native]
set -euo pipefail

sondik=$1
artifacts=$2
mode=${3:-xwayland}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
source "$here/xsession.sh"

if [ "${AS_NOBODY:-}" != 1 ]; then
    if [ "$(id -u)" != 0 ] || ! command -v sway >/dev/null || ! command -v setpriv >/dev/null; then
        echo "needs root (to run the session as another user) and sway"
        exit 77
    fi
    new_work_dir
    cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution 1280x800 position 0 0
xwayland $([ "$mode" = native ] && echo disable || echo enable)
exec env >$work/runtime/session.env
bar {
    position top
    tray_output *
}
CONF
    chmod 644 "$work/sway.conf"
    as_nobody sway "$0" "$sondik" "$artifacts" "$mode"
fi

nobody_session
WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    start_bg "$work/sway.log" sway -c "$work/../sway.conf"
wait_until 20 grep -q '^WAYLAND_DISPLAY=' "$work/session.env" || fail "sway did not start"
# Without XWayland, sway names no DISPLAY.
eval "$(grep -E '^(WAYLAND_DISPLAY|DISPLAY|SWAYSOCK)=' "$work/session.env" | sed 's/^/export /')"
gdbus wait --session --timeout 20 org.kde.StatusNotifierWatcher || fail "swaybar did not start its tray"

export SONDIK_AUDIO_OUTPUT=null
start_bg "$work/sondik.log" "$sondik"
sondik_pid=$LAST_PID
wait_until 20 sni_registered || fail "Sondik did not register with swaybar"
# swaybar draws the tray at the right end of its top bar: a click there.
click_icon() { sni "$service" Activate 1268 10; }

# sway's view of the window: "x y width height focused", or nothing.
window() {
    swaymsg -t get_tree | jq -r --argjson pid "$sondik_pid" \
        '.. | objects | select(.pid? == $pid) | "\(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height) \(.focused)"'
}
shown() { [ -n "$(window)" ]; }
# Where sway floats it once it stops moving: under the icon, with the focus.
placed() { window | grep -q ' true$' && under_point 1268 10 "$(window)"; }
wait_until 10 shown || fail "no window at launch"
click_icon
wait_until 10 eval '! shown' || fail "Activate did not close the window"

click_icon
wait_until 10 placed || fail "Activate: the window at $(window), not under the icon with the focus"
grab() { grim "$1"; }
screenshot "$artifacts/sway-$mode.png"

click_icon
wait_until 10 eval '! shown' || fail "a second Activate did not close the window"
