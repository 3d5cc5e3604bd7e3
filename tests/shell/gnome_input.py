#!/usr/bin/python3
# Real input for a headless GNOME Shell, through mutter's remote-desktop D-Bus
# API: one session held open for the whole run (without one, headless mutter
# has no keyboard). Reads commands, one a line, from standard input:
#   move X Y      the pointer to X,Y (from the top-left corner, by relative motion)
#   click [N]     a press and release of button N (1: left)
#   dclick [N]    two of them, as fast as a double click
#   key KEYSYM    a press and release of an X keysym, by number
#   type TEXT     each character of TEXT as its keysym
# and answers "ok" on standard output after each.
import sys
import time

from gi.repository import Gio, GLib

BTN_LEFT = 0x110
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(path, interface, method, args=None, reply=None):
    return bus.call_sync("org.gnome.Mutter.RemoteDesktop", path, interface, method, args,
                         GLib.VariantType(reply) if reply else None, 0, 5000, None)


session = call("/org/gnome/Mutter/RemoteDesktop", "org.gnome.Mutter.RemoteDesktop",
               "CreateSession", None, "(o)")[0]
iface = "org.gnome.Mutter.RemoteDesktop.Session"
call(session, iface, "Start")


def pause():
    time.sleep(0.03)


for line in sys.stdin:
    words = line.split(maxsplit=1)
    if not words:
        continue
    if words[0] == "move":
        x, y = map(float, words[1].split())
        call(session, iface, "NotifyPointerMotionRelative", GLib.Variant("(dd)", (-20000.0, -20000.0)))
        pause()
        call(session, iface, "NotifyPointerMotionRelative", GLib.Variant("(dd)", (x - 2, y)))
        pause()
        # Arriving by a motion inside: what a menu item needs to take the hover.
        call(session, iface, "NotifyPointerMotionRelative", GLib.Variant("(dd)", (2.0, 0.0)))
    elif words[0] in ("click", "dclick"):
        button = BTN_LEFT + int(words[1]) - 1 if len(words) > 1 else BTN_LEFT
        for _ in range(2 if words[0] == "dclick" else 1):
            for state in (True, False):
                call(session, iface, "NotifyPointerButton", GLib.Variant("(ib)", (button, state)))
                pause()
    elif words[0] in ("key", "type"):
        keysyms = [int(words[1], 0)] if words[0] == "key" else [ord(c) for c in words[1].rstrip("\n")]
        for keysym in keysyms:
            for state in (True, False):
                call(session, iface, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (keysym, state)))
                pause()
    pause()
    print("ok", flush=True)
