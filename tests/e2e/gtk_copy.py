#!/usr/bin/env python3
"""Copies the text given as its one argument as a GTK 3 program does (Gtk.Clipboard.set_text),
prints "ready" once it owns the clipboard, and serves it until it is ended.

    gtk_copy.py TEXT
"""
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


def main():
    Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD).set_text(sys.argv[1], -1)

    def announce():
        print("ready", flush=True)
        return False

    GLib.idle_add(announce)
    Gtk.main()


if __name__ == "__main__":
    main()
