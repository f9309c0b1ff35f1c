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
       accessible.py speak SECONDS  listens that long and prints what a screen reader such as Orca 43
                                  says of what it is told, one line each: "said|TEXT", and for an
                                  item of a list or table "said|TEXT|LIST NAME: ITEMS" (the items
                                  the list holds then, as Orca says on entering it), and
                                  "searched|LIST NAME: OBJECTS" when it looked through a list's
                                  items for the focused one; see speak()
       accessible.py all SECONDS  listens that long to every event of every object and prints each one:
                                  "event|detail|role|name"
       accessible.py texts SECONDS  listens that long and prints each text told inserted or deleted:
                                  "insert|role|name|TEXT" or "delete|role|name|LENGTH"
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


# What a screen reader listens to besides: a notification shown, the caret, which brings it back
# to a text field, and the active item of a list led from elsewhere.
SPOKEN_EVENTS = HEARD_EVENTS + ("object:state-changed:showing", "object:text-caret-moved",
                                "object:active-descendant-changed")


def attend():
    """An application learns of listeners asynchronously and stops telling anything once the last
    one goes, so a listener started just before a key press could miss what that press did. One
    that stays from before the application starts keeps every later listener covered."""
    listener = Atspi.EventListener.new(lambda event: None)
    for kind in SPOKEN_EVENTS:
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


def run_listener(told, kinds, seconds):
    """Passes each event of the kinds to `told` for `seconds`, or until its input closes, once it
    has said it listens: a test that knows when all it waits for has come ends it then."""
    listener = Atspi.EventListener.new(told)
    for kind in kinds:
        listener.register(kind)
    print("listening", flush=True)
    GLib.timeout_add(int(seconds * 1000), Atspi.event_quit)
    GLib.io_add_watch(sys.stdin.fileno(), GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP | GLib.IO_ERR,
                      lambda *_: Atspi.event_quit() or False)
    Atspi.event_main()
    return 0


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
    return run_listener(told, HEARD_EVENTS, seconds)


def labels_inside(node):
    """The texts of the labels inside a node, shown or not, in order."""
    texts = []
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child.get_role_name() == "label" and child.get_name():
            texts.append(child.get_name())
        texts.extend(labels_inside(child))
    return texts


def asked_for_focus(root):
    """How many objects Orca 43 asks for their states as it looks for the focused one under `root`,
    depth first, `root` first, one at a time, and their answers fresh (its focusedChild, through
    pyatspi.findDescendant)."""
    asked = 0
    pending = [root]
    while pending:
        node = pending.pop()
        asked += 1
        node.clear_cache()
        if node.get_state_set().contains(Atspi.StateType.FOCUSED):
            break
        pending.extend(reversed([node.get_child_at_index(index) for index in range(node.get_child_count())]))
    return asked


def field_line(node):
    """The line Orca 43 speaks of a one-line text field: its text as far as the attribute runs
    cover it. It walks them from the start, each at the greater of the run's end and one past where
    it asked, joins those of one language into one, and keeps the last run's end."""
    count = Atspi.Text.get_character_count(node)
    covered = []
    offset = 0
    while offset < count:
        attributes, start, end = Atspi.Text.get_attribute_run(node, offset, True)
        language = attributes.get("language", "")
        if covered and covered[-1][2] == language:
            covered[-1][1] = end
        else:
            covered.append([max(start, offset), end, language])
        offset = max(end, offset + 1)
    return "".join(Atspi.Text.get_text(node, max(0, start), min(count, end)) for start, end, _ in covered)


def speak(seconds):
    """Prints what Orca 43 says of what it is told (its default and Qt scripts), as far as the tests
    need it, one line each: "said|TEXT", with "|LIST NAME: ITEMS" after an item of a list or table.
    Of an object the focus comes to it says the name, then the description; of a text field that
    holds text, the name, then its line (see field_line), then "selected" if it holds a selection.
    Orca stays on the object the focus last came to, its place, and says nothing when the focus
    comes again to that object, whatever its name is now, unless a window was activated meanwhile,
    which becomes its place (what it says of the window is left out); a list or table that the
    focus comes to puts it on its first selected item. It goes back to a text field that has the
    keyboard when the caret moves there, saying nothing, as far as it knows: a field it was told
    has lost the focus it takes to have lost it, whatever the application says when asked. It says a notification each time it shows, by its name and
    the labels inside it, after the word "notification" unless it is in a status bar. A changed
    name or description it does not say: Qt 6.4 sends it without its text.
    An active item that a list or its leader says it has changed, it speaks as a focused one, if
    either of them has the focus.
    On the braille line it shows the item it speaks inside its list, with the list's focused item:
    unless the list offers its selection, it looks for that item through the list, each object of
    each item, and stops only at one that says it has the focus, the list itself first. A search
    that goes past the list ("searched|LIST NAME: OBJECTS ASKED") keeps Orca silent meanwhile:
    half a minute through 200 records none of which has the focus."""
    place = [None]
    focused = {}  # what it was told of each object's focus, by path

    def present(node):
        place[0] = node
        parent = node.get_parent()
        inside = ""
        if parent and parent.get_role_name() in ("list", "table"):
            inside = "|%s: %d" % (parent.get_name(), parent.get_child_count())
        words = [node.get_name(), node.get_description()]
        if node.get_state_set().contains(Atspi.StateType.EDITABLE) and "Text" in node.get_interfaces():
            line = field_line(node)
            if line:
                words = [node.get_name(), line, "selected" if Atspi.Text.get_n_selections(node) == 1 else ""]
        words = " ".join(word for word in words if word)
        print("said|%s%s" % (words, inside), flush=True)
        while parent:
            if parent.get_role_name() in ("list", "list box") and "Selection" not in parent.get_interfaces():
                asked = asked_for_focus(parent)
                if asked > 1:
                    print("searched|%s: %d" % (parent.get_name(), asked), flush=True)
            parent = parent.get_parent()

    def told(event):
        try:
            node = event.source
            if event.type.startswith("object:active-descendant-changed"):
                active = event.any_data
                if active and any(item.get_state_set().contains(Atspi.StateType.FOCUSED) for item in (node, active)):
                    present(active)
            elif event.type.startswith("object:state-changed:focused"):
                focused[node.path] = bool(event.detail1)
                if not event.detail1 or node == place[0]:
                    return
                if node.get_child_count() and node.get_role_name() != "combo box":
                    chosen = [node.get_child_at_index(index) for index in range(node.get_child_count())]
                    chosen = [child for child in chosen
                              if child and child.get_state_set().contains(Atspi.StateType.SELECTED)]
                    if chosen:
                        node = chosen[0]
                        if node == place[0]:
                            return
                present(node)
            elif event.type.startswith("window:activate"):
                place[0] = node
            elif event.type.startswith("object:text-caret-moved"):
                has_focus = focused.get(node.path)
                if has_focus is None:
                    has_focus = node.get_state_set().contains(Atspi.StateType.FOCUSED)
                if node != place[0] and has_focus:
                    place[0] = node
            elif event.type.startswith("object:state-changed:showing"):
                status_bar = node.get_parent()
                while status_bar and status_bar.get_role_name() != "status bar":
                    status_bar = status_bar.get_parent()
                if event.detail1 and node.get_role_name() == "notification":
                    words = ([] if status_bar else ["notification"]) + [node.get_name()] + labels_inside(node)
                    print("said|%s" % " ".join(word for word in words if word), flush=True)
        except Exception:  # noqa: BLE001 - it went while it was read
            pass
    return run_listener(told, SPOKEN_EVENTS, seconds)


def everything(seconds):
    """Prints every event of every object, as a screen reader that listens to all of them (Orca
    does) is sent it: "event|detail|role|name"."""
    def told(event):
        try:
            print("%s|%d|%s|%s" % (event.type, event.detail1, event.source.get_role_name(), event.source.get_name()),
                  flush=True)
        except Exception:  # noqa: BLE001 - it went while it was read
            print("%s|%d|gone" % (event.type, event.detail1), flush=True)
    return run_listener(told, ("object:", "window:"), seconds)


def texts(seconds):
    """Prints each text a screen reader is told inserted or deleted: "insert|role|name|TEXT" or
    "delete|role|name|LENGTH", the text's line breaks as spaces."""
    def told(event):
        try:
            node = event.source
            if event.type.endswith(":insert"):
                what = str(event.any_data).replace("\n", " ").replace("\u2029", " ")
            else:
                what = str(event.detail2)
            print("%s|%s|%s|%s" % (event.type.rsplit(":", 1)[1], node.get_role_name(), node.get_name(), what),
                  flush=True)
        except Exception:  # noqa: BLE001 - it went while it was read
            pass
    return run_listener(told, ("object:text-changed",), seconds)


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
    if command == "speak":
        return speak(float(name))
    if command == "texts":
        return texts(float(name))
    if command == "all":
        return everything(float(name))
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
