#!/usr/bin/python3
"""Copies made while another program holds the clipboard and is stuck, in the real application:
an owner that never says what it holds (frozen), one that says it 3 s late, and one that names
its formats and never sends one, each followed by ordinary copies (xclip) 1.0, 2.0, 3.0 and
5.5 s after it took the clipboard. For each kind of owner and round: whether all four copies were stored, in order; the seconds from each copy to its
row; the longest _NET_WM_PING round trip of the main thread meanwhile; and what was logged of
the stuck owner's copy. A private Xvfb with openbox and trayer, as the end-to-end tests start
them.

Usage: bench/stuck_owner.py BUILD_DIR [ROUNDS]   (3 rounds by default)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from copy_to_stored import Pings, Session  # noqa: E402
from private_desktop import private_desktop, wait_for  # noqa: E402

OWNERS = [("never answers", ["silent"]),
          ("3 s late", ["serve", "--delay-at", "TARGETS", "3000", "UTF8_STRING=named late"]),
          ("names its formats, never sends one", ["mute"])]
COPIES_AT = [1.0, 2.0, 3.0, 5.5]


def main():
    build = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    scratch = tempfile.mkdtemp()
    try:
        measure(build, rounds, scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def measure(build, rounds, scratch):
    with private_desktop() as display:
        for label, arguments in OWNERS:
            for round_ in range(1, rounds + 1):
                session = Session(build, scratch, display)
                pings = Pings(display, session.app.pid)
                pings.start()
                try:
                    owner = subprocess.Popen([build + "/tests/platform/tavlin_test_clipboard_owner"] + arguments,
                                             env=session.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
                    owner.stdout.readline()
                    session.owners.append(owner)
                    taken = time.monotonic()
                    texts = [f"copy at +{at} s, round {round_}" for at in COPIES_AT]
                    stored = {}
                    watching = [True]

                    def watch():
                        while watching[0]:
                            rows = session.texts()
                            now = time.monotonic()
                            for text in rows:
                                stored.setdefault(text, now)
                            time.sleep(0.01)

                    watcher = threading.Thread(target=watch, daemon=True)
                    watcher.start()
                    copied = {}
                    for at, text in zip(COPIES_AT, texts):
                        time.sleep(max(0.0, taken + at - time.monotonic()))
                        copied[text] = session.copy_text(text)
                    wait_for(lambda: all(text in stored for text in texts), 15)
                    watching[0] = False
                    watcher.join()
                    kept = session.texts() == texts
                    delays = ", ".join(f"{stored[t] - copied[t]:.2f}" if t in stored else "lost" for t in texts)
                    logged = [line.split("Clipboard: ", 1)[1] for line in session.logged().splitlines()
                              if "Clipboard: " in line]
                    print(f"owner {label}, round {round_}: {'all four kept in order' if kept else 'NOT all kept'}"
                          f" ({session.texts()}); copy->stored {delays} s; longest ping"
                          f" {pings.worst * 1000:.0f} ms; logged: {logged}", flush=True)
                finally:
                    pings.stopped = True
                    session.close()


if __name__ == "__main__":
    main()
