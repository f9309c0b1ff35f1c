#!/usr/bin/python3
"""Measures how fast an application's main thread answers, from outside: it sends _NET_WM_PING
to one of the application's windows, as a window manager does, and times each answer. Qt answers
pings on its main thread, so a long round trip is a main thread that was busy.

Usage: netwm_ping.py PID [--once]
Pings a window of process PID (any window that offers _NET_WM_PING, shown or not) one ping at a
time, 20 ms apart, until standard input closes; then prints one line

    pings=N answered=M longest_ms=X

where a ping still unanswered counts as taking until then. Exits 1, printing nothing, when the
process has no such window within 10 seconds.

With --once it sends a single ping and exits 0 once it is answered, 1 when no answer comes within
60 seconds. The answer comes in turn after every event the server sent the application before:
whatever those events made it do (an activation held back until its window was mapped) is done.

From python: `Pinger(display, window)` and its `round_trip(timeout)`.
"""
import select
import sys
import time

from Xlib import X, display as xdisplay, error
from Xlib.protocol import event


class Pinger:
    def __init__(self, connection, window):
        self.display = connection
        self.window = window
        self.root = connection.screen().root
        # Qt sends its answer to the root window for StructureNotify and SubstructureRedirect.
        self.root.change_attributes(event_mask=X.StructureNotifyMask | X.SubstructureNotifyMask)
        self.protocols = connection.intern_atom("WM_PROTOCOLS")
        self.ping = connection.intern_atom("_NET_WM_PING")
        self.stamp = 0

    def send(self):
        """Sends one ping; returns its stamp."""
        self.stamp += 1
        message = event.ClientMessage(window=self.window, client_type=self.protocols,
                                      data=(32, [self.ping, self.stamp, self.window.id, 0, 0]))
        self.window.send_event(message, event_mask=X.NoEventMask)
        self.display.flush()
        return self.stamp

    def answered(self, stamp):
        """Reads pending events; whether the answer to `stamp` was among them."""
        found = False
        while self.display.pending_events():
            reply = self.display.next_event()
            if (reply.type == X.ClientMessage and reply.client_type == self.protocols
                    and reply.data[1][0] == self.ping and reply.data[1][1] == stamp):
                found = True
        return found

    def round_trip(self, timeout):
        """Seconds until the answer, or None when none came within `timeout` seconds."""
        stamp = self.send()
        start = time.monotonic()
        while time.monotonic() - start < timeout:
            if self.answered(stamp):
                return time.monotonic() - start
            select.select([self.display], [], [], 0.01)
        return None


def windows_of(connection, pid):
    """The windows of process `pid` that offer _NET_WM_PING, frames of a window manager searched."""
    pid_atom = connection.intern_atom("_NET_WM_PID")
    ping = connection.intern_atom("_NET_WM_PING")
    found = []

    def walk(window, depth):
        try:
            owner = window.get_full_property(pid_atom, X.AnyPropertyType)
            if owner and owner.value[0] == pid and ping in (window.get_wm_protocols() or []):
                found.append(window)
            if depth < 5:
                for child in window.query_tree().children:
                    walk(child, depth + 1)
        except error.XError:
            pass  # gone while looked at

    walk(connection.screen().root, 0)
    return found


def main():
    pid = int(sys.argv[1])
    connection = xdisplay.Display()
    deadline = time.monotonic() + 10
    windows = windows_of(connection, pid)
    while not windows and time.monotonic() < deadline:
        time.sleep(0.1)
        windows = windows_of(connection, pid)
    if not windows:
        return 1
    pinger = Pinger(connection, windows[0])
    if "--once" in sys.argv[2:]:
        return 0 if pinger.round_trip(60) is not None else 1
    pings = answered = 0
    longest = 0.0
    stamp, sent = None, None
    while True:
        if stamp is None:
            stamp, sent = pinger.send(), time.monotonic()
            pings += 1
        readable, _, _ = select.select([sys.stdin, connection], [], [], 0.02)
        if pinger.answered(stamp):
            longest = max(longest, time.monotonic() - sent)
            answered += 1
            stamp = None
            time.sleep(0.02)
        if sys.stdin in readable and not sys.stdin.buffer.read1(4096):
            break
        if stamp is not None:
            longest = max(longest, time.monotonic() - sent)
    print(f"pings={pings} answered={answered} longest_ms={longest * 1000:.0f}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
