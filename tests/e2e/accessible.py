#!/usr/bin/python3
"""Finds a control of a running application by its accessible name, as assistive technology does
(AT-SPI), and presses it.

Usage: accessible.py press NAME   exits 0 once a control of that name was found and pressed
       accessible.py focus NAME   exits 0 once it was found and given the keyboard focus
       accessible.py find NAME    exits 0 once it is found
       accessible.py gone NAME    exits 0 once nothing of that name is left
Waits up to 10 seconds; exits 1 when that does not come to pass.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def find(node, name):
    try:
        if node.get_name() == name:
            return node
        for index in range(node.get_child_count()):
            found = find(node.get_child_at_index(index), name)
            if found:
                return found
    except Exception:  # noqa: BLE001 - the tree changed while it was read: try again
        pass
    return None


def main(command, name):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        node = None
        try:
            desktop = Atspi.get_desktop(0)
            for index in range(desktop.get_child_count()):
                node = node or find(desktop.get_child_at_index(index), name)
        except Exception:  # noqa: BLE001 - an application came or went meanwhile
            node = None
        if command == "gone" and not node:
            return 0
        if command != "gone" and node:
            try:
                if command == "press":
                    node.do_action(0)
                elif command == "focus":
                    node.grab_focus()
                return 0
            except Exception:  # noqa: BLE001 - it went while being pressed: look again
                pass
        time.sleep(0.2)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
