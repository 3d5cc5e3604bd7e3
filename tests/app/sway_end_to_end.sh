#!/usr/bin/env bash
# Sondik on a real Wayland compositor: headless sway, with swaybar as the
# StatusNotifierItem tray host. A click on the icon, as swaybar passes it on
# (Activate with the click's point), opens the window under the icon with the
# keyboard focus (a screenshot shows it); the next click closes it. Through
# XWayland the search field types, and activating another window closes it.
# With "native" (no XWayland, no DISPLAY) Sondik runs on Qt's Wayland
# platform.
#
# sway refuses to run as root: the session runs as the user nobody.
#
#   sway_end_to_end.sh SONDIK ARTIFACT_DIR [native]
set -euo pipefail

sondik=$1
artifacts=$2
mode=${3:-xwayland}
here=$(cd "$(dirname "$0")" && pwd)

if [ "$(id -u)" != 0 ] || ! command -v sway >/dev/null || ! command -v setpriv >/dev/null; then
    echo "needs root (to run the session as another user) and sway"
    exit 77
fi

# shellcheck source=xsession.sh
source "$here/xsession.sh"
new_work_dir
chmod 755 "$work"
install -d -o nobody -g nogroup -m 700 "$work/runtime" "$work/home"

xwayland=enable
[ "$mode" = native ] && xwayland=disable
cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution 1280x800 position 0 0
xwayland $xwayland
exec env >$work/runtime/session.env
bar {
    position top
    tray_output *
}
CONF
chmod 644 "$work/sway.conf"

# The session, as nobody, on a session bus of its own.
cat >"$work/session.sh" <<'SESSION'
set -euo pipefail
work=$1 sondik=$2 mode=$3
source "$4"
FAIL_LOGS=("$work/runtime/sondik.log")
trap stop_x_session EXIT
start_bg "$work/runtime/sway.log" sway -c "$work/sway.conf"
session_ready() { grep -q '^WAYLAND_DISPLAY=' "$work/runtime/session.env"; }
wait_until 20000 session_ready || fail "sway did not start: $(tail -5 "$work/runtime/sway.log")"
for name in WAYLAND_DISPLAY DISPLAY SWAYSOCK; do
    export "$name=$(sed -n "s/^$name=//p" "$work/runtime/session.env")"
done
[ "$mode" = native ] && unset DISPLAY

bus_call() { gdbus call --session "$@"; }
watcher_up() {
    bus_call --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher | grep -q true
}
wait_until 20000 watcher_up || fail "swaybar did not start its tray"

export SONDIK_AUDIO_OUTPUT=null
unset QT_QPA_PLATFORM
start_bg "$work/runtime/sondik.log" "$sondik"
sondik_pid=$LAST_PID
registered() {
    service=$(bus_call --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems | grep -o 'org.kde.StatusNotifierItem-[0-9-]*' | head -n1) &&
        [ -n "$service" ]
}
wait_until 20000 registered || fail "Sondik did not register with swaybar"
# swaybar draws the tray at the right end of its top bar: a click there.
icon_x=1268 icon_y=10
# A second apart, as a user clicks: the focus settles after the window hides.
activate() {
    sleep 1
    bus_call --dest "$service" --object-path /StatusNotifierItem \
        --method org.kde.StatusNotifierItem.Activate -- "$icon_x" "$icon_y" >/dev/null
}

# sway's view of the window: "x y width height focused", or nothing.
window() {
    swaymsg -t get_tree | jq -r --argjson pid "$sondik_pid" \
        '.. | objects | select(.pid? == $pid) | "\(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height) \(.focused)"'
}
shown() { [ -n "$(window)" ]; }
focused() { window | grep -q ' true$'; }
wait_until 10000 shown || fail "no window at launch"
activate
wait_until 10000 eval '! shown' || fail "Activate did not close the window"

if [ "$mode" = xwayland ]; then
    # Another application, focused now; later activated over the window.
    xmessage -geometry +100+500 -title other "Another application" >/dev/null 2>&1 &
    other() { swaymsg -t get_tree | grep -q '"name": "other"'; }
    wait_until 10000 other || fail "no other window"
fi

activate
wait_until 10000 shown || fail "a second Activate did not open the window"
# Under the point: left edge 140 left of it, bottom edge 412 below it, kept
# on the 1280x800 screen, at its own width; sway focuses it. Its place once it stops moving.
wait_until 10000 focused || fail "the window does not have the focus: $(window)"
ex=$(( icon_x - 140 )) ey=$(( icon_y + 1 + 412 ))
placed() {
    read -r wx wy ww wh _ <<<"$(window)"
    (( ex > 1280 - ww )) && ex=$(( 1280 - ww ))
    (( ww == 320 )) && [ "$wx,$wy" = "$ex,$(( ey - wh < 0 ? 0 : ey - wh ))" ]
}
wait_until 10000 placed || fail "window at $(window), expected $ex,$(( ey - wh ))"
read -r wx wy ww wh _ <<<"$(window)"
sleep 1 # let sway draw the new surface before the shot
grim "$work/runtime/sway-$mode.png" || fail "no screenshot"

if [ "$mode" = xwayland ]; then
    # The search field types: a name no station has empties the list. The
    # search button opens the field.
    xdotool mousemove $(( wx + 260 )) $(( wy + 20 )) click 1
    sleep 1 # the field's fade-in
    region="$wx,$wy ${ww}x${wh}"
    grim -g "$region" "$work/runtime/before.png"
    xdotool type --delay 50 zzzzzz
    typed() {
        grim -g "$region" "$work/runtime/after.png" &&
        (( $(compare -metric AE -fuzz 10% "$work/runtime/before.png" \
            "$work/runtime/after.png" null: 2>&1 | cut -d' ' -f1) > 2000 ))
    }
    wait_until 10000 typed || fail "typing into the search field changed nothing"
    grim "$work/runtime/sway-xwayland-typed.png" || true
    # Still open, still focused, a while after it opened.
    sleep 2
    focused || fail "the window lost the focus or closed: $(window)"
    swaymsg '[title="other"] focus' >/dev/null
    wait_until 10000 eval '! shown' || fail "activating another window did not close it"
    activate
    wait_until 10000 focused || fail "a third Activate did not open the window"
fi

activate
wait_until 10000 eval '! shown' || fail "the next Activate did not close the window"
SESSION
chmod 644 "$work/session.sh"
cp "$here/xsession.sh" "$work/xsession.sh"
chmod 644 "$work/xsession.sh"

status=0
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    XDG_CONFIG_HOME="$work/home/.config" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 LSAN_OPTIONS=exitcode=0 \
    dbus-run-session -- bash "$work/session.sh" "$work" "$sondik" "$mode" \
    "$work/xsession.sh" || status=$?
mkdir -p "$artifacts"
cp "$work"/runtime/sway-*.png "$artifacts/" 2>/dev/null || true
exit "$status"
