#!/usr/bin/python3
"""From copy to stored row, in the real application, for the big copies people make: a megabyte of
Korean, a megabyte of CJK mixed with Latin, a letter under a long run of accents, and a file
manager's select-all of 100,000, 300,000 and 1,000,000 files. For each: the seconds from the copy to its row; short texts copied one second
after it and then every 0.75 s while it is being stored, the seconds from the first of them to its
row, and whether every one of them was stored, in order; the longest _NET_WM_PING round trip of the
main thread meanwhile; then, in a fresh start, the seconds SIGTERM takes to end the application
when it comes just after the big copy was read. A private Xvfb with openbox and trayer, as the
end-to-end tests start them.

Usage: bench/copy_to_stored.py BUILD_DIR [ROUNDS [CONTENT...]]
CONTENT names some of korean-1mib, cjk-latin-1mib, accents-256kib, accents-1mib, files-100000,
files-300000 and files-1000000 (all by default).
Prints one line a content: copy->stored (or "refused" and the logged reason), short copy->stored,
the short copies stored in order out of those made, the longest ping, SIGTERM->exit (seconds, the
worst of ROUNDS, 1 by default).
"""
import os
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from netwm_ping import Pinger, windows_of  # noqa: E402
from Xlib import display as xdisplay  # noqa: E402
from private_desktop import NO_SESSION_BUS, private_desktop, wait_for  # noqa: E402


def korean():
    sentence = "대한민국의 수도는 서울이며, 한국어는 한글로 적는다. "
    return ("UTF8_STRING", (sentence * (1024 * 1024 // len(sentence.encode()))).encode())


def cjk_latin():
    base = ("会议在 Monday 10:00 开始，请带上 laptop 和 report.pdf。東京オフィスの Wi-Fi パスワードは tavlin-2026 です。"
            "서울 팀은 Slack 채널 #release 에서 확인해 주세요. ")
    return ("UTF8_STRING", (base * (1024 * 1024 // len(base.encode()))).encode())


def accents(size, marks):
    """One letter under a run of combining marks of classes taking turns, as long as fits in `size`
    bytes of UTF-8: a run with no place to cut it for normalizing."""
    run = "".join(marks)
    return lambda: ("UTF8_STRING", ("a" + run * ((size - 1) // len(run.encode()))).encode())


def files(count):
    return lambda: ("text/uri-list", "".join(f"file:///home/user/Pictures/Holiday/IMG_{i:07d}%20copy.jpg\r\n"
                                             for i in range(count)).encode())


CONTENTS = [("korean-1mib", korean), ("cjk-latin-1mib", cjk_latin),
            ("accents-256kib", accents(256 * 1024, ["\u0301", "\u0316"])),
            ("accents-1mib", accents(1024 * 1024 - 16, ["\u0301", "\u0302", "\u0323"])),
            ("files-100000", files(100000)),
            ("files-300000", files(300000)), ("files-1000000", files(1000000))]


class Session:
    def __init__(self, build, scratch, display):
        self.build = build
        home = tempfile.mkdtemp(dir=scratch)
        runtime = home + "/run"
        os.makedirs(home + "/.config/Tavlin")
        os.makedirs(runtime, mode=0o700)
        with open(home + "/.config/Tavlin/org.tavlin.Tavlin.plist", "w") as plist:
            plist.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>'
                        "<key>onboarding.completed</key><true/></dict></plist>\n")
        self.env = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=home + "/.config",
                        XDG_DATA_HOME=home + "/.local/share", XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8",
                        QT_LOGGING_RULES="org.tavlin.Tavlin.delegate.debug=true",
                        DBUS_SESSION_BUS_ADDRESS=NO_SESSION_BUS)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.database = home + "/.local/share/Tavlin/history.sqlite"
        self.scratch = home
        self.owners = []
        self.log = open(home + "/app.log", "wb+")
        self.app = subprocess.Popen([build + "/src/app/tavlin"], env=self.env, stderr=self.log)
        if not wait_for(lambda: b"Monitoring started" in open(home + "/app.log", "rb").read(), 20):
            raise RuntimeError("the application did not start monitoring")

    def texts(self):
        try:
            with sqlite3.connect(f"file:{self.database}?mode=ro", uri=True, timeout=5) as db:
                return [row[0] for row in db.execute("SELECT text FROM clips ORDER BY id")]
        except sqlite3.Error:
            return []

    def logged(self):
        with open(self.scratch + "/app.log", "rb") as log:
            return log.read().decode(errors="replace")

    def count(self):
        try:
            with sqlite3.connect(f"file:{self.database}?mode=ro", uri=True, timeout=5) as db:
                return db.execute("SELECT COUNT(*) FROM clips").fetchone()[0]
        except sqlite3.Error:
            return 0

    def offer(self, target, data):
        """Serves the content; returns the time the owner took the clipboard and the owner."""
        path = self.scratch + "/content"
        with open(path, "wb") as f:
            f.write(data)
        # Incrementally, as toolkits send what passes the X server's largest request (16 MiB).
        owner = subprocess.Popen([self.build + "/tests/platform/tavlin_test_clipboard_owner", "serve",
                                  "--incr", "262144", "0", f"{target}=@{path}"], env=self.env, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL)
        owner.stdout.readline()
        self.owners.append(owner)
        return time.monotonic(), owner

    def copy_text(self, text):
        xclip = subprocess.Popen(["xclip", "-selection", "clipboard"], env=self.env, stdin=subprocess.PIPE)
        xclip.communicate(text.encode())
        return time.monotonic()

    def close(self):
        if self.app.poll() is None:
            self.app.terminate()
            self.app.wait(30)
        for owner in self.owners:
            owner.kill()
            owner.wait()


class Pings(threading.Thread):
    """Pings the main thread one round trip after another; `worst` is the longest, in seconds."""

    def __init__(self, display, pid):
        super().__init__(daemon=True)
        self.connection = xdisplay.Display(display)
        windows = []
        wait_for(lambda: windows.extend(windows_of(self.connection, pid)) or windows, 10)
        self.pinger = Pinger(self.connection, windows[0])
        self.worst = 0.0
        self.stopped = False

    def run(self):
        while not self.stopped:
            rtt = self.pinger.round_trip(30)
            self.worst = max(self.worst, 30.0 if rtt is None else rtt)
            time.sleep(0.02)


def main():
    build = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    chosen = [(label, make) for label, make in CONTENTS if len(sys.argv) <= 3 or label in sys.argv[3:]]
    scratch = tempfile.mkdtemp()
    with private_desktop() as display:
        for label, make in chosen:
            target, data = make()
            worst = [0.0, 0.0, 0.0, 0.0]
            kept, made, refused = True, 0, ""
            for _ in range(rounds):
                session = Session(build, scratch, display)
                pings = Pings(display, session.app.pid)
                pings.start()
                try:
                    copied, _owner = session.offer(target, data)
                    stored = {}
                    watching = [True]

                    def watch():
                        # The time each row count is first seen, every 10 ms.
                        while watching[0]:
                            n = session.count()
                            now = time.monotonic()
                            for k in range(1, n + 1):
                                stored.setdefault(k, now)
                            time.sleep(0.01)

                    def rows():
                        return len(stored)

                    watcher = threading.Thread(target=watch, daemon=True)
                    watcher.start()

                    # Short copies one second after the big one, then every 0.75 s while it is
                    # being stored: at least three, at most twelve.
                    shorts, times = [], []
                    while len(shorts) < 3 or (len(shorts) < 12 and rows() == 0
                                              and "not saved" not in session.logged()
                                              and "larger than" not in session.logged()):
                        time.sleep(max(0.0, copied + 1.0 + 0.75 * len(shorts) - time.monotonic()))
                        shorts.append(f"short copy {len(shorts) + 1} after {label}")
                        times.append(session.copy_text(shorts[-1]))
                    made = max(made, len(shorts))
                    big = 1
                    wait_for(lambda: rows() >= len(shorts), 120)
                    wait_for(lambda: rows() > len(shorts) or "larger than" in session.logged(), 60)
                    watching[0] = False
                    watcher.join()
                    texts = session.texts()
                    if len(texts) == len(shorts):
                        # Refused (or lost): every row is a short copy.
                        big = 0
                        refused = next((line for line in session.logged().splitlines() if "larger than" in line),
                                       "not stored, no refusal logged")
                    kept = kept and texts[big:] == shorts
                    if big:
                        worst[0] = max(worst[0], stored.get(1, float("inf")) - copied)
                    worst[1] = max(worst[1], stored.get(big + 1, float("inf")) - times[0])
                    worst[3] = max(worst[3], pings.worst)
                finally:
                    pings.stopped = True
                    session.close()

                session = Session(build, scratch, display)
                try:
                    _copied, owner = session.offer(target, data)
                    asked = b""
                    while b"asked " + target.encode() not in asked:
                        asked += owner.stdout.readline()
                    time.sleep(0.2)
                    signalled = time.monotonic()
                    session.app.terminate()
                    session.app.wait(120)
                    worst[2] = max(worst[2], time.monotonic() - signalled)
                finally:
                    session.close()
            first = f"refused ({refused.strip()})" if refused else f"{worst[0]:.2f} s"
            print(f"{label}: copy->stored {first}, short copy 1 s later->stored {worst[1]:.2f} s, "
                  f"short copies during the store {'all kept in order' if kept else 'NOT all kept in order'} "
                  f"(up to {made}), longest ping {worst[3] * 1000:.0f} ms, SIGTERM->exit {worst[2]:.2f} s",
                  flush=True)


if __name__ == "__main__":
    main()
