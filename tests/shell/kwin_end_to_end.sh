#!/usr/bin/env bash
# Sondik on KWin: headless kwin_wayland with XWayland, waybar's tray as the
# StatusNotifierItem host, Sondik through XWayland as in a Plasma session. The
# icon registers and is drawn; a click on it opens the window under the icon
# with the keyboard: "absolut" typed straight away filters the list, and its
# last match plays (heard, from the station namespace's server); another
# window taking the focus closes it, and a click opens it again. Screenshots
# kwin-window.png and kwin-search.png go to ARTIFACT_DIR.
#
# Input is XTEST (xdotool), which reaches X clients only. waybar is a Wayland
# client, so the click on the icon is what waybar sends on one: Activate with
# the point where it draws the icon. Screenshots come from KWin's ScreenShot2.
#
# The session runs as the user nobody (as_nobody in xsession.sh), inside the
# station namespace (station_namespace.sh).
#
#   kwin_end_to_end.sh SONDIK PCMPROBE ARTIFACT_DIR
set -euo pipefail

sondik=$1
pcmprobe=$2
artifacts=$3
here=$(cd "$(dirname "$0")" && pwd)

if [ "${AS_NOBODY:-}" != 1 ]; then
    for tool in kwin_wayland waybar setpriv; do
        command -v "$tool" >/dev/null || { echo "SKIP: needs kwin_wayland, waybar and setpriv"; exit 77; }
    done
    # shellcheck source=../views/station_namespace.sh
    source "$here/../views/station_namespace.sh"
    # Debian's kwin_wayland carries a file capability that a container refuses
    # even to root; a copy has none.
    cp /usr/bin/kwin_wayland "$work/"
    printf '{ "position": "top", "height": 30, "modules-right": ["tray"], "tray": { "icon-size": 20 } }\n' \
        >"$work/waybar.json"
    # What KWin starts once XWayland is up: its environment names the displays.
    printf '#!/bin/sh\nenv >%s/runtime/session.env\nexec waybar -c %s/waybar.json\n' "$work" "$work" \
        >"$work/session.sh"
    chmod 755 "$work/session.sh"
    chmod 644 "$work/waybar.json"
    as_nobody KDE "$0" "$sondik" "$pcmprobe" "$artifacts"
fi

# shellcheck source=xsession.sh
source "$here/xsession.sh"
server_log=$work/server.log
nobody_session
(exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null || fail "nobody does not reach the station server"

KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 start_bg "$work/kwin_wayland.log" "$work/../kwin_wayland" \
    --virtual --xwayland --width 1280 --height 800 --no-lockscreen "$work/../session.sh"
wait_until 30 grep -q '^DISPLAY=' "$work/session.env" || fail "KWin did not start XWayland"
eval "$(grep -E '^(WAYLAND_DISPLAY|DISPLAY)=' "$work/session.env" | sed 's/^/export /')"
wait_until 10 wm_running || fail "nobody does not reach XWayland at $DISPLAY"
gdbus wait --session --timeout 20 org.kde.StatusNotifierWatcher || fail "waybar did not start its tray"

# grab FILE: the screen (or $region, "WxH+X+Y") from KWin. The method's reply
# never comes, and KWin keeps the pipe open: the picture is its first
# WIDTH * HEIGHT * 4 bytes, BGRA.
grab() {
    timeout 10 python3 - "${region:-1280x800+0+0}" "$1" <<'PY'
import dbus, dbus.lowlevel, os, re, subprocess, sys
w, h, x, y = map(int, re.split('[x+]', sys.argv[1]))
r, fd = os.pipe()
call = dbus.lowlevel.MethodCallMessage('org.kde.KWin.ScreenShot2', '/org/kde/KWin/ScreenShot2',
                                       'org.kde.KWin.ScreenShot2', 'CaptureArea')
call.append(x, y, w, h, {}, dbus.types.UnixFd(fd), signature='iiuua{sv}h')
dbus.SessionBus().send_message(call)
os.close(fd)
data = b''
while len(data) < 4 * w * h and (chunk := os.read(r, 1 << 16)):
    data += chunk
sys.exit(len(data) != 4 * w * h or subprocess.run(
    ['convert', '-size', f'{w}x{h}', '-depth', '8', 'bgra:-', '-alpha', 'off', sys.argv[2]], input=data).returncode)
PY
}

# waybar draws the tray at the right end of its top bar; the icon's middle:
icon_x=1260 icon_y=15
icon_area=40x30+1240+0
region=$icon_area screenshot "$work/bar.png" || fail "KWin took no screenshot"
SONDIK_AUDIO_OUTPUT=pcm SONDIK_AUDIO_FILE="$work/kwin.wav" start_bg "$work/kwin.log" "$sondik"
sondik_pid=$LAST_PID
wait_until 20 sni_registered || fail "Sondik did not register with waybar"
region=$icon_area await_change "$work/bar.png" 50 || fail "waybar did not draw the icon"
grep -q 'window manager "KWin"' "$work/kwin.log" || fail "Sondik did not see KWin"

read -r id wx wy ww wh <<<"$(sondik_window viewable 10)"
[ -n "${wh:-}" ] || fail "no window at launch"
wait_until 5 window_focused "$id" && focus=with || focus=without
echo "at launch: the window at $wx,$wy (${ww}x$wh), $focus the keyboard"

click_icon() { sni "$service" Activate "$icon_x" "$icon_y"; }
# The window under the icon, with the keyboard. Under KWin a new window takes
# the focus as it maps; open_other's windowactivate (a pager's request) is
# granted too.
placed() {
    read -r id wx wy ww wh <<<"$(on_screen window | head -n1)"
    [ -n "${wh:-}" ] && under_point "$icon_x" "$icon_y" "$wx $wy $ww $wh" && window_focused "$id"
}
opened() {
    wait_until 10 placed || fail "$1: the window at $(on_screen window), not under the icon with the keyboard"
    echo "after $1: the window at $wx,$wy, with the keyboard"
}
desktop_steps kwin "$server_log" 10
