#!/usr/bin/python3
"""Finds a control of a running application by its accessible name, as assistive technology does
(AT-SPI), and presses it.

Usage: accessible.py press NAME   exits 0 once a control of that name was found and pressed
       accessible.py find NAME    exits 0 once it is found
Waits up to 10 seconds; exits 1 when nothing of that name shows up.
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
    except gi.repository.GLib.Error:
        pass  # the tree changed while it was read
    return None


def main(command, name):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for index in range(desktop.get_child_count()):
            node = find(desktop.get_child_at_index(index), name)
            if node:
                if command == "press":
                    node.do_action(0)
                return 0
        time.sleep(0.2)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
