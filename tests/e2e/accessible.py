#!/usr/bin/python3
"""Finds a control of a running application by its accessible name, as assistive technology does
(AT-SPI), and presses it.

Usage: accessible.py press NAME   exits 0 once a control of that name was found and pressed
       accessible.py focus NAME   exits 0 once it was found and given the keyboard focus
       accessible.py find NAME    exits 0 once it is found
       accessible.py gone NAME    exits 0 once nothing of that name is left
       accessible.py point NAME   exits 0 once it is found, and prints the screen point at its
                                  centre: "x y"
       accessible.py hear NAME    exits 0 once a control of that name shows, and prints, for each
                                  showing one, what a screen reader hears: "role|states|text"
       accessible.py describe NAME  as hear, but prints each one's description
       accessible.py listen SECONDS  listens that long and prints what a screen reader is told (focus
                                  moving, windows activated or renamed, selections, expansions, values):
                                  "event|detail|role|states|name|parent role|parent name", or
                                  "event|detail|gone" when its object went before it was read; a
                                  changed description is followed by "description|TEXT"
       accessible.py follow SECONDS  listens as listen does and, after each focus event on an item of a
                                  list or table, prints the names of the items that the listener
                                  holds for selected: "selected|name;name"
       accessible.py attend       listens, telling nothing, until it is ended: a screen reader that
                                  is there from the start, as on a desktop where one runs
       accessible.py cells NAME   exits 0 once an object of that name with children is found, and
                                  prints, for each child, "role|states|name" with "showing" among
                                  the states
       accessible.py inside NAME  prints "watching" once the list of that name is found; then, the
                                  first time any of its items has children, each of those as
                                  "item|role|states|name", and "gone" once no item has any; exits
                                  0 when both came to pass
Every command but cells looks only at what shows, as the eye does: a hidden window's controls keep
their names. After NAME, a WINDOW may follow: the accessible name (title) of the only window
looked in; cells then looks in that window whether it shows or not.
Waits up to 10 seconds; exits 1 when that does not come to pass.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def windows(window, hidden=False):
    """The top-level windows of every application on the display: those named `window` when one is
    given, and only showing ones unless `hidden`."""
    desktop = Atspi.get_desktop(0)
    found = []
    for index in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(index)
        for inner in range(application.get_child_count()):
            frame = application.get_child_at_index(inner)
            if (window is None or frame.get_name() == window) and (hidden or showing(frame)):
                found.append(frame)
    return found


def find_all(node, name, found, hidden=False):
    try:
        if node.get_name() == name and (hidden or showing(node)):
            found.append(node)
        for index in range(node.get_child_count()):
            find_all(node.get_child_at_index(index), name, found, hidden)
    except Exception:  # noqa: BLE001 - the tree changed while it was read
        pass
    return found


def named(name, window, hidden=False):
    """Every object of that name, in the windows looked in."""
    found = []
    for frame in windows(window, hidden):
        find_all(frame, name, found, hidden)
    return found


HEARD_STATES = ("checked", "selected", "pressed", "focused", "expandable", "expanded", "has_popup")


def said_states(node, nicks=HEARD_STATES):
    states = node.get_state_set()
    return ",".join(sorted(nick for nick in nicks if states.contains(getattr(Atspi.StateType, nick.upper()))))


def heard(node):
    value = ""
    if "Text" in node.get_interfaces():
        value = Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))
    return "%s|%s|%s" % (node.get_role_name(), said_states(node), value.replace("\n", " "))


HEARD_EVENTS = ("object:state-changed:focused", "object:state-changed:selected", "object:state-changed:checked",
                "object:state-changed:expanded", "object:property-change:accessible-name",
                "object:property-change:accessible-description", "object:property-change:accessible-value",
                "window:activate")


def attend():
    """An application learns of listeners asynchronously and stops telling anything once the last
    one goes, so a listener started just before a key press could miss what that press did. One
    that stays from before the application starts keeps every later listener covered."""
    listener = Atspi.EventListener.new(lambda event: None)
    for kind in HEARD_EVENTS:
        listener.register(kind)
    print("attending", flush=True)
    Atspi.event_main()
    return 0


def selected_items(parent):
    """The names of the parent's items that this listener holds for selected: it keeps what it was
    told, as a screen reader does, and asks again only for items it never read."""
    names = []
    for index in range(parent.get_child_count()):
        item = parent.get_child_at_index(index)
        if item and item.get_state_set().contains(Atspi.StateType.SELECTED):
            names.append(item.get_name())
    return ";".join(names)


def listen(seconds, selections=False):
    """Prints what a screen reader is told while it listens: focus moves, windows activated,
    names changed, selections, checks and expansions, one line each: "event|detail|role|states|name|parent role|parent name";
    with `selections`, after a focus event on an item of a list or table, which items are selected."""
    def told(event):
        try:
            node = event.source
            parent = node.get_parent()
            print("%s|%d|%s|%s|%s|%s|%s" % (event.type, event.detail1, node.get_role_name(),
                                            said_states(node, HEARD_STATES + ("showing",)), node.get_name(),
                                            parent.get_role_name() if parent else "",
                                            parent.get_name() if parent else ""), flush=True)
            if event.type == "object:property-change:accessible-description":
                print("description|%s" % node.get_description(), flush=True)
            if (selections and event.type == "object:state-changed:focused" and event.detail1 and parent
                    and parent.get_role_name() in ("list", "table")):
                print("selected|%s" % selected_items(parent), flush=True)
        except Exception:  # noqa: BLE001 - it went while it was read
            print("%s|%d|gone" % (event.type, event.detail1), flush=True)
    listener = Atspi.EventListener.new(told)
    for kind in HEARD_EVENTS:
        listener.register(kind)
    print("listening", flush=True)
    GLib.timeout_add(int(seconds * 1000), Atspi.event_quit)
    Atspi.event_main()
    return 0


def cells(name, window):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            for node in named(name, window, hidden=window is not None):
                if node.get_child_count() > 0:
                    for index in range(node.get_child_count()):
                        child = node.get_child_at_index(index)
                        print("%s|%s|%s" % (child.get_role_name(),
                                            said_states(child, HEARD_STATES + ("showing",)), child.get_name()))
                    return 0
        except Exception:  # noqa: BLE001 - an application came or went meanwhile
            pass
        time.sleep(0.2)
    return 1


def inside(name, window):
    deadline = time.monotonic() + 10
    found = None
    while not found and time.monotonic() < deadline:
        try:
            found = next((node for node in named(name, window) if node.get_role_name() == "list"), None)
        except Exception:  # noqa: BLE001 - an application came or went meanwhile
            pass
    if not found:
        return 1
    print("watching", flush=True)

    def children():
        lines = []
        try:
            for index in range(found.get_child_count()):
                item = found.get_child_at_index(index)
                for inner in range(item.get_child_count()):
                    child = item.get_child_at_index(inner)
                    lines.append("%s|%s|%s|%s" % (item.get_name(), child.get_role_name(),
                                                  said_states(child, HEARD_STATES + ("showing",)), child.get_name()))
        except Exception:  # noqa: BLE001 - the list changed while it was read
            return None
        return lines

    # Often, for what comes may last only half a second.
    seen = None
    while not seen and time.monotonic() < deadline:
        seen = children()
        time.sleep(0.02)
    if not seen:
        return 1
    print("\n".join(seen), flush=True)
    while time.monotonic() < deadline:
        if children() == []:
            print("gone", flush=True)
            return 0
        time.sleep(0.05)
    return 1


def hear(name, window, say=heard):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            nodes = named(name, window)
            if nodes:
                print("\n".join(say(node) for node in nodes))
                return 0
        except Exception:  # noqa: BLE001 - an application came or went meanwhile
            pass
        time.sleep(0.2)
    return 1


def main(command, name, window):
    if command == "hear":
        return hear(name, window)
    if command == "describe":
        return hear(name, window, lambda node: node.get_description())
    if command == "listen":
        return listen(float(name))
    if command == "follow":
        return listen(float(name), selections=True)
    if command == "attend":
        return attend()
    if command == "cells":
        return cells(name, window)
    if command == "inside":
        return inside(name, window)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            nodes = named(name, window)
            if command == "focus":  # a control, not the label that names it
                nodes = [node for node in nodes if node.get_state_set().contains(Atspi.StateType.FOCUSABLE)]
            node = next(iter(nodes), None)
        except Exception:  # noqa: BLE001 - an application came or went meanwhile: look again
            time.sleep(0.2)
            continue
        if command == "gone" and not node:
            return 0
        if command != "gone" and node:
            try:
                if command == "press":
                    node.do_action(0)
                elif command == "focus":
                    node.grab_focus()
                elif command == "point":
                    extents = node.get_extents(Atspi.CoordType.SCREEN)
                    print("%d %d" % (extents.x + extents.width // 2, extents.y + extents.height // 2))
                return 0
            except Exception:  # noqa: BLE001 - it went while being pressed: look again
                pass
        time.sleep(0.2)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "", sys.argv[3] if len(sys.argv) > 3 else None))
