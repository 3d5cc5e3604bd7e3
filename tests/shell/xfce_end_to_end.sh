#!/usr/bin/env bash
# Sondik on XFCE 4.18 as a user meets it: Xvfb, xfwm4 and xfce4-panel with its
# status tray (the StatusNotifierItem host) on a private session bus, the
# panel's layout given through xfconf. The icon registers and is drawn; a
# click on it (xdotool) opens the window under it; "absolut" typed with no
# click filters the list and its last match plays (heard); another window
# taking the focus closes the window, and the icon opens it again. Screenshots
# of the panel, the window and the search go to ARTIFACT_DIR; where the window
# opened is printed. The station's server: see station_namespace.sh.
#
#   xfce_end_to_end.sh SONDIK PCMPROBE ARTIFACT_DIR
set -euo pipefail

sondik=$1
pcmprobe=$2
artifacts=$3
for tool in xfwm4 xfce4-panel xfconf-query; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool (XFCE)"; exit 77; }
done
# shellcheck source=../views/station_namespace.sh
STATION_BUS=1 source "$(dirname "$0")/../views/station_namespace.sh"

sondik_session nowm bus
export XDG_CURRENT_DESKTOP=XFCE NO_AT_BRIDGE=1

# One panel along the top: a spacer, then the status tray at its right end.
channels=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$channels"
cat >"$channels/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="30"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
    <property name="plugin-2" type="string" value="systray">
      <property name="square-icons" type="bool" value="true"/>
    </property>
  </property>
</channel>
XML
# xfconfd as the bus would start it, but with this session's XDG_CONFIG_HOME.
start_bg "$work/xfconfd.log" "$(sed -n 's/^Exec=//p' /usr/share/dbus-1/services/org.xfce.Xfconf.service)"
gdbus wait --session --timeout 10 org.xfce.Xfconf || fail "xfconfd did not start"
# Its compositor runs headless too (no vertical blank to wait for).
start_bg "$work/xfwm4.log" xfwm4 --compositor=on --vblank=off
wait_until 30 wm_running || fail "xfwm4 did not start"
wait_until 10 selection_owned _NET_WM_CM_S0 || fail "xfwm4's compositor did not start"
grab "$work/bare.png"
start_bg "$work/panel.log" xfce4-panel
gdbus wait --session --timeout 30 org.kde.StatusNotifierWatcher || fail "the panel's tray did not start"
panel=1280x30+0+0 # as the layout above has it
region=$panel await_change "$work/bare.png" 100 || fail "the panel is not drawn"
region=$panel grab "$work/panel-empty.png"

start_sondik "$sondik" xfce
grep 'desktop "' "$work/xfce.log" || true
echo "xfce: the window at launch at $wx,$wy ${ww}x$wh"
wait_until 20 sni_registered || fail "Sondik did not register with the panel's tray"
echo "xfce: registered as $service"

# The icon: where the panel changed since it was empty.
region=$panel await_change "$work/panel-empty.png" 20 || fail "no icon in the panel"
region=$panel screenshot "$artifacts/xfce-panel.png"
read -r iw ih ix iy <<<"$(convert "$work/panel-empty.png" "$artifacts/xfce-panel.png" -compose difference \
    -composite -colorspace gray -threshold 10% -format '%@' info: | tr 'x+' '  ')"
echo "xfce: the icon at $ix,$iy ${iw}x$ih"
click_icon() { sleep 1; xdotool mousemove $(( ix + iw / 2 )) $(( iy + ih / 2 )) click 1; }
opened() {
    opened_under $(( ix + iw / 2 )) $(( iy + ih )) "$1"
    echo "xfce: after $1, the window at $wx,$wy ${ww}x$wh"
}
desktop_steps xfce "$work/server.log" 4
