#!/usr/bin/python3
# A screen reader's view of Sondik, through the AT-SPI bus (Debian's pyatspi):
#   a11y_client.py tree SELECTED   the tree, trimmed, on stdout; checks the
#                                  window, the top bar's buttons and the list,
#                                  whose item SELECTED alone is selected
#   a11y_client.py press NAME      presses the control or row called NAME
#   a11y_client.py panel VOLUME    the preferences panel's controls, the slider at VOLUME
#   a11y_client.py announced ALERT SECONDS
#                                  prints "listening", then waits for an alert
#                                  called ALERT to appear (what a screen reader says)
# Exits 1 with the reason on stderr when a check fails. Every wait is bounded.
import sys
import time

import pyatspi
from gi.repository import GLib

KEPT_STATES = ("focused", "selected", "checked", "focusable", "selectable", "showing")


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def application(seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "Sondik" and app.childCount > 0:
                return app
        time.sleep(0.2)
    fail("no application called Sondik on the accessibility bus")


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def nodes(node):
    """Every node shown and every row made, depth first, with its depth."""
    stack = [(node, 0)]
    while stack:
        item, depth = stack.pop()
        try:
            if depth > 0 and "showing" not in states(item) and item.getRoleName() != "list item":
                continue
            children = [item.getChildAtIndex(i) for i in range(item.childCount)]
        except GLib.Error:
            continue # gone while we walked: a panel replaced, a row scrolled away
        yield item, depth
        stack.extend((c, depth + 1) for c in reversed(children) if c is not None)


def find(role, name, seconds=5):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        for item, _ in nodes(application()):
            try:
                if item.getRoleName() == role and (name is None or item.name == name):
                    return item
            except GLib.Error:
                pass # gone
        time.sleep(0.2)
    fail(f"no {role} called {name!r}")


def press(name):
    for item, _ in nodes(application()):
        try:
            if item.name != name:
                continue
            actions = item.queryAction()
        except (NotImplementedError, GLib.Error):
            continue # its label, or gone
        for i in range(actions.nActions):
            if actions.getName(i) == "Press":
                actions.doAction(i)
                return
    fail(f"nothing called {name!r} can be pressed")


def until(check, seconds=5):
    end = time.monotonic() + seconds
    while not check():
        if time.monotonic() > end:
            return False
        time.sleep(0.1)
    return True


def tree(selected):
    app = application()
    for item, depth in nodes(app):
        kept = sorted(states(item) & set(KEPT_STATES))
        print(f"{'  ' * depth}[{item.getRoleName()}] {item.name!r} {' '.join(kept)}".rstrip())
    find("frame", "Sondik")
    for name in ("Search", "Preferences", "Pause"):
        button = find("push button", name)
        if "focusable" not in states(button):
            fail(f"the {name} button cannot take the keyboard")
    stations = find("list", "Stations")
    items = [c for c in (stations.getChildAtIndex(i) for i in range(stations.childCount))
             if c is not None and c.getRoleName() == "list item"]
    if len(items) < 4:
        fail(f"{len(items)} items in the list")
    for item in items:
        if ", " not in item.name:
            fail(f"a row says {item.name!r}, not its station and city")
    chosen = [i.name for i in items if "selected" in states(i)]
    if chosen != [selected]:
        fail(f"selected: {chosen}, expected {selected!r}")


def panel(volume):
    slider = find("slider", "Volume")
    value = slider.queryValue()
    if abs(value.currentValue - volume) > 0.001 or value.maximumValue != 1.0:
        fail(f"the slider says {value.currentValue} of {value.maximumValue}, expected {volume}")
    switch = find("check box", "Launch at login")
    for checked in (True, False):
        press("Launch at login")
        if not until(lambda: ("checked" in states(switch)) == checked):
            fail(f"the switch is not {'on' if checked else 'off'} after a press")
    for name in ("Check for updates", "Help", "Quit", "Close preferences"):
        find("push button", name)


def announced(alert, seconds):
    heard = []

    def on_showing(event):
        try:
            said = event.detail1 == 1 and event.source.getRoleName() == "alert" \
                and event.source.name == alert
        except GLib.Error:
            return # an object gone before we asked
        if said:
            heard.append(alert)
            pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    GLib.idle_add(lambda: print("listening", flush=True) and False)
    pyatspi.Registry.start()
    if not heard:
        fail(f"no alert {alert!r} within {seconds} s")


command = sys.argv[1]
if command == "tree":
    tree(sys.argv[2])
elif command == "press":
    press(sys.argv[2])
elif command == "panel":
    panel(float(sys.argv[2]))
elif command == "announced":
    announced(sys.argv[2], float(sys.argv[3]))
else:
    fail(f"unknown command {command}")
