#!/usr/bin/env bash
# Sondik on GNOME Shell 43 on Wayland, as Debian's default desktop runs it:
# headless, as the user nobody, with the AppIndicator extension as the
# StatusNotifierItem host and Sondik through XWayland. Real input through
# mutter's remote-desktop D-Bus API (gnome_input.py); screenshots through the
# shell's own screenshot service. In order:
#   - the icon registers and is drawn in the top bar (screenshot);
#   - the window opened at launch sits under the top bar's right end, which
#     the icon is in, and has the keyboard: "absolut" typed without a click
#     filters the list, and keypad Enter, End and Return play the last match
#     (heard);
#   - a click into another application's window closes it;
#   - a single click on the icon opens the extension's menu; its first entry
#     (chosen with the keys) opens the window under the icon; a double click
#     (the extension's Activate) closes it and opens it again at the icon.
#
#   gnome_end_to_end.sh SONDIK PCMPROBE ARTIFACT_DIR
set -euo pipefail

sondik=$1
pcmprobe=$2
artifacts=$3
here=$(cd "$(dirname "$0")" && pwd)

if [ "${AS_NOBODY:-}" != 1 ]; then
    command -v gnome-shell >/dev/null && [ -d /usr/share/gnome-shell/extensions/ubuntu-appindicators@ubuntu.com ] ||
        { echo "SKIP: needs gnome-shell and its AppIndicator extension"; exit 77; }
    # shellcheck source=../views/station_namespace.sh
    source "$here/../views/station_namespace.sh"
    # gnome-shell runs as nobody; the station server stays root's.
    as_nobody GNOME "$0" "$sondik" "$pcmprobe" "$artifacts"
fi

station=$work
# shellcheck source=xsession.sh
source "$here/xsession.sh"
nobody_session

# Without a system bus the shell stops at its login manager: an empty one.
start_bg "$work/system-bus.log" dbus-daemon --session --nofork --address="unix:path=$work/system-bus"
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system-bus
wait_until 5 test -S "$work/system-bus" || fail "no system bus"
gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']"
gsettings set org.gnome.desktop.interface enable-hot-corners false
start_bg "$work/shell.log" gnome-shell --headless --wayland --virtual-monitor 1280x800 \
    --wayland-display=wayland-0
shell() { gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell "$@"; }
wait_until 30 shell --method org.freedesktop.DBus.Properties.Get org.gnome.Shell OverviewActive ||
    fail "gnome-shell did not start"
# The shell opens its overview once it has started: closed, for good.
overview_closed() {
    shell --method org.freedesktop.DBus.Properties.Set org.gnome.Shell OverviewActive '<false>' &&
        sleep 1 && shell --method org.freedesktop.DBus.Properties.Get org.gnome.Shell OverviewActive |
        grep -q false
}
wait_until 20 overview_closed || fail "the overview stays open"
DISPLAY=$(grep -o 'Using public X11 display :[0-9]*' "$work/shell.log" | grep -o ':[0-9]*$')
XAUTHORITY=$(ls "$work"/.mutter-Xwaylandauth.*)
export DISPLAY XAUTHORITY WAYLAND_DISPLAY=wayland-0

# One remote-desktop session for the whole run; its indicator takes its
# place in the top bar before the icon comes.
mkfifo "$work/input"
/usr/bin/python3 "$here/gnome_input.py" <"$work/input" >"$work/input.log" 2>&1 &
SESSION_PIDS+=($!)
exec 7>"$work/input"
input() { echo "$*" >&7; sleep 0.2; }
grab() { gnome-screenshot -f "$work/full.png" && convert "$work/full.png" ${region:+-crop "$region" +repage} "$1"; }
gdbus wait --session --timeout 20 org.kde.StatusNotifierWatcher || fail "no AppIndicator extension"

SONDIK_AUDIO_OUTPUT=pcm SONDIK_AUDIO_FILE="$work/gnome.wav" start_bg "$work/sondik.log" "$sondik"
sondik_pid=$LAST_PID
wait_until 20 sni_registered || fail "Sondik did not register with the extension"
# The icon in the top bar: the middle of its orange pixels.
icon_at() {
    grab "$work/bar.png" && convert "$work/bar.png" -crop 1280x32+0+0 +repage -depth 8 rgb:- |
        python3 -c '
import sys
data = sys.stdin.buffer.read()
xs = [i // 3 % 1280 for i in range(0, len(data), 3)
      if data[i] > 200 and 60 < data[i + 1] < 120 and data[i + 2] < 60]
sys.exit(1) if len(xs) < 20 else print(sum(xs) // len(xs), 16)'
}
wait_until 10 eval 'icon=$(icon_at)' || fail "the icon is not drawn in the top bar"
read -r ix iy <<<"$icon"
convert "$work/bar.png" -crop 1280x60+0+0 +repage "$work/gnome-icon.png"

# At launch: under the top bar's right end, with the keyboard.
read -r _ wx wy ww wh <<<"$(sondik_window viewable 10)"
[ -n "${wh:-}" ] || fail "no window at launch"
(( wx + ww == 1280 && wy < 60 && wx <= ix )) || fail "at launch the window is at $wx,$wy, not under the icon at $ix"
sleep 3
# The first key to reach a window newly focused can be lost: Shift.
input key 0xffe1
sleep 1
input type absolut
input key 0xff8d # keypad Enter
input key 0xff57 # End
sleep 1
grab "$work/gnome-search.png"
input key 0xff0d # Return
plays_top "$station/server.log" "$work/gnome.wav"

# Another application's window, clicked: the window closes.
start_bg "$work/xmessage.log" xmessage -geometry +100+500 -title other "Another application"
timeout 10 xdotool search --sync --name '^other$' >/dev/null || fail "no other window"
sleep 1
input move 150 520
input click
sondik_window gone 10 >/dev/null || fail "the window stayed when another one took the focus"

# The icon: a single click opens the extension's menu, whose first entry
# opens the window under it. The entry is chosen with Down and Return: the
# remote-desktop pointer gives the shell's menu items no hover, so its click
# on one only closes the menu.
input move "$ix" "$iy"
input click
sleep 1
grab "$work/gnome-menu.png"
input key 0xff54 # Down
input key 0xff0d # Return
read -r _ wx wy ww wh <<<"$(sondik_window viewable 10)"
[ -n "${wh:-}" ] || fail "the menu's first entry did not open the window"
(( wx <= ix && ix < wx + ww && wy < 60 )) || fail "the menu opened the window at $wx,$wy, not under the icon at $ix"
sleep 1
grab "$work/gnome-window.png"
# A double click (the extension's Activate, with the click's point) closes it
# and opens it again under the icon.
input move "$ix" "$iy"
input dclick
sondik_window gone 10 >/dev/null || fail "a double click did not close the window"
sleep 1
input dclick
read -r _ wx wy ww wh <<<"$(sondik_window viewable 10)"
[ -n "${wh:-}" ] && under_point "$ix" "$iy" "$wx $wy $ww $wh" ||
    fail "a double click opened the window at $wx,$wy, not under the icon at $ix"
stop_sondik "$sondik_pid"
