#!/usr/bin/python3
"""From copy to stored row, in the real application, for the big copies people make: a megabyte of
Korean, a megabyte of CJK mixed with Latin, and a file manager's select-all of 100,000 files. For
each: the seconds from the copy to its row, and from a short text copied one second after it to
that row; then, in a fresh start, the seconds SIGTERM takes to end the application when it comes
just after the big copy was read. A private Xvfb with openbox and trayer, as the end-to-end tests
start them.

Usage: bench/copy_to_stored.py BUILD_DIR [ROUNDS [CONTENT...]]
CONTENT names some of korean-1mib, cjk-latin-1mib and files-100000 (all by default).
Prints one line a content: copy->stored, short copy->stored, SIGTERM->exit (seconds, the worst of
ROUNDS, 1 by default).
"""
import os
import sqlite3
import subprocess
import sys
import tempfile
import time


def korean():
    sentence = "대한민국의 수도는 서울이며, 한국어는 한글로 적는다. "
    return ("UTF8_STRING", (sentence * (1024 * 1024 // len(sentence.encode()))).encode())


def cjk_latin():
    base = ("会议在 Monday 10:00 开始，请带上 laptop 和 report.pdf。東京オフィスの Wi-Fi パスワードは tavlin-2026 です。"
            "서울 팀은 Slack 채널 #release 에서 확인해 주세요. ")
    return ("UTF8_STRING", (base * (1024 * 1024 // len(base.encode()))).encode())


def files():
    return ("text/uri-list", "".join(f"file:///home/user/Pictures/Holiday/IMG_{i:06d}%20copy.jpg\r\n"
                                     for i in range(100000)).encode())


CONTENTS = [("korean-1mib", korean), ("cjk-latin-1mib", cjk_latin), ("files-100000", files)]


def wait_for(predicate, timeout, step=0.01):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(step)
    return False


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
                        QT_LOGGING_RULES="org.tavlin.Tavlin.delegate.debug=true")
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.database = home + "/.local/share/Tavlin/history.sqlite"
        self.scratch = home
        self.owners = []
        self.log = open(home + "/app.log", "wb+")
        self.app = subprocess.Popen([build + "/src/app/tavlin"], env=self.env, stderr=self.log)
        if not wait_for(lambda: b"Monitoring started" in open(home + "/app.log", "rb").read(), 20):
            raise RuntimeError("the application did not start monitoring")

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
        owner = subprocess.Popen([self.build + "/tests/platform/tavlin_test_clipboard_owner", "serve",
                                  f"{target}=@{path}"], env=self.env, stdout=subprocess.PIPE,
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


def main():
    build = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    chosen = [(label, make) for label, make in CONTENTS if len(sys.argv) <= 3 or label in sys.argv[3:]]
    scratch = tempfile.mkdtemp()
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                              pass_fds=(write,))
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        number += os.read(read, 16)
    display = ":" + number.decode().strip()
    env = dict(os.environ, DISPLAY=display)
    helpers = [subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL),
               subprocess.Popen(["trayer", "--edge", "top", "--align", "left", "--widthtype", "request",
                                 "--height", "32", "--SetDockType", "true"], env=env, stderr=subprocess.DEVNULL)]
    time.sleep(1.5)
    try:
        for label, make in chosen:
            target, data = make()
            worst = [0.0, 0.0, 0.0]
            for _ in range(rounds):
                session = Session(build, scratch, display)
                try:
                    copied, _owner = session.offer(target, data)
                    time.sleep(max(0.0, copied + 1.0 - time.monotonic()))
                    short = session.copy_text(f"short copy after {label}")
                    stored = {}

                    def rows():
                        n = session.count()
                        now = time.monotonic()
                        for k in range(1, n + 1):
                            stored.setdefault(k, now)
                        return n >= 2
                    wait_for(rows, 120)
                    worst[0] = max(worst[0], stored.get(1, float("inf")) - copied)
                    worst[1] = max(worst[1], stored.get(2, float("inf")) - short)
                finally:
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
            print(f"{label}: copy->stored {worst[0]:.2f} s, short copy 1 s later->stored {worst[1]:.2f} s, "
                  f"SIGTERM->exit {worst[2]:.2f} s", flush=True)
    finally:
        for helper in helpers:
            helper.kill()
        server.kill()


if __name__ == "__main__":
    main()
