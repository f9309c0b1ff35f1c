#!/usr/bin/python3
"""Installed applications' icons, measured from outside on the real application under a private
Xvfb with openbox and trayer, as the end-to-end tests start them. The main thread's answers are
timed with _NET_WM_PING round trips (tests/e2e/netwm_ping.py), memory read from /proc.

Usage: bench/source_icons_desktop.py BUILD_DIR [CASE...]   (all cases by default)

  chooser            2,000 applications with icons in the user's hicolor theme: Settings, then
                     "Choose App…" opened, scrolled through and closed. Prints the longest ping while
                     opening and scrolling (and the longest of each step), the seconds to show it,
                     and resident memory before opening, after scrolling and 3 s after closing.
  chooser-missing    the same, 950 of the applications (19 of each 40) naming icons found nowhere.
  chooser-folders    the same as chooser-missing with the user's hicolor index.theme listing 20,000
                     more folders that exist (FOLDERS=N in the environment for another number), listed
                     before those of the icons: the longest ping while it opens and scrolls, and
                     SIGTERM->exit while the icons are looked up, 0.5 s after it first shows.
  chooser-repeat     "Choose App…" opened, taken to its end and closed 25 times over the 2,000 of
                     chooser-missing: whether the application lived through it, the longest ping
                     (and that of each round) and memory after.
  menu-folders       the search field's menu in the history window (the Menu key, then a right
                     click) with the user's hicolor index.theme listing 10,000 folders that exist.
  menu-fifo          the same with that index.theme a pipe.
  hostile-quit       8 applications whose icon is a 3 MB SVG of 30,000 dashed texts and 8 whose ICO
                     says 256 by 256 but holds a PNG of 5,700 by 5,700: "Choose App…" shows all 16;
                     SIGTERM at several moments after it shows. Prints the longest SIGTERM->exit
                     and the peak resident memory (VmHWM) of a run left to decode them all.
  desktop-fifo       ~/.local/share/applications/x.desktop a link to a pipe: a copy made in a
                     window of another application is stored, and SIGTERM->exit.
"""
import os
import shutil
import sqlite3
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

from private_desktop import NO_SESSION_BUS, private_desktop, wait_for

HERE = os.path.dirname(os.path.abspath(__file__))
PING = os.path.join(HERE, "..", "tests", "e2e", "netwm_ping.py")
CHOOSER_TITLE = "history from an app"


def png(width, height):
    """A PNG of `width` by `height` opaque pixels of one colour, written row by row."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    compressor = zlib.compressobj(9)
    row = b"\0" + b"\x33\x66\x99\xff" * width
    body = b"".join(compressor.compress(row) for _ in range(height)) + compressor.flush()
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", body) + chunk(b"IEND", b""))


def svg_icon(hue):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48"><rect x="4" y="4" width="40" '
            f'height="40" rx="8" fill="#{hue % 256:02x}6699"/><circle cx="24" cy="24" r="10" fill="#fff"/>'
            "</svg>").encode()


def hostile_svg():
    text = '<text x="{0}" y="{1}" stroke="#000" stroke-dasharray="0.5 0.5" font-size="9">dashed words</text>'
    body = "".join(text.format(i % 48, (i // 48) % 48) for i in range(30000))
    return f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48">{body}</svg>'.encode()


def lying_ico():
    """An ICO whose directory says 256 by 256 (0 and 0) but whose one image is a 5,700-pixel PNG."""
    image = png(5700, 5700)
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(image), 22) + image


def x(command, env):
    return subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          timeout=20).stdout.strip()


def status(pid, field):
    """A /proc/PID/status figure in megabytes (VmRSS, VmHWM)."""
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1]) / 1024
    except OSError:
        pass
    return float("nan")


class Pings:
    """The application's main thread pinged from outside until finish(), one ping at a time 20 ms
    apart, as tests/e2e/netwm_ping.py pings; mark() names what is done from then on."""

    def __init__(self, pid, env):
        sys.path.insert(0, os.path.dirname(PING))
        import netwm_ping
        from Xlib import display as xdisplay
        connection = xdisplay.Display(env["DISPLAY"])
        windows = []
        if not wait_for(lambda: windows.extend(netwm_ping.windows_of(connection, pid)) or windows, 10):
            raise RuntimeError("no window answers pings")
        self.pinger = netwm_ping.Pinger(connection, windows[0])
        self.phase = "start"
        self.longest = {}
        self.count = 0
        self.running = True
        self.thread = threading.Thread(target=self.run)
        self.thread.start()

    def run(self):
        while self.running:
            phase = self.phase
            took = self.pinger.round_trip(10)
            took = 10 if took is None else took
            self.count += 1
            self.longest[phase] = max(self.longest.get(phase, 0), took)
            time.sleep(0.02)

    def mark(self, phase):
        self.phase = phase

    def finish(self):
        """The longest round trip in milliseconds, the number of pings, and the longest of each phase."""
        self.running = False
        self.thread.join()
        phases = {phase: round(took * 1000) for phase, took in self.longest.items()}
        return max(phases.values(), default=-1), self.count, phases


class Session:
    def __init__(self, build, scratch, display, prepare=None):
        self.build = build
        self.home = tempfile.mkdtemp(dir=scratch)
        runtime = self.home + "/run"
        os.makedirs(self.home + "/.config/Tavlin")
        os.makedirs(self.home + "/.local/share/applications")
        os.makedirs(runtime, mode=0o700)
        with open(self.home + "/.config/Tavlin/org.tavlin.Tavlin.plist", "w") as plist:
            plist.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>'
                        "<key>onboarding.completed</key><true/></dict></plist>\n")
        self.env = dict(os.environ, DISPLAY=display, HOME=self.home, XDG_CONFIG_HOME=self.home + "/.config",
                        XDG_DATA_HOME=self.home + "/.local/share", XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8",
                        QT_LOGGING_RULES="org.tavlin.Tavlin.delegate.debug=true",
                        DBUS_SESSION_BUS_ADDRESS=NO_SESSION_BUS)
        for name in ("QT_QPA_PLATFORM", "XDG_DATA_DIRS"):
            self.env.pop(name, None)
        if prepare:
            prepare(self.home)
        self.database = self.home + "/.local/share/Tavlin/history.sqlite"
        self.others = []
        self.log = open(self.home + "/app.log", "wb+")
        self.app = subprocess.Popen([build + "/src/app/tavlin"], env=self.env, stderr=self.log)
        if not wait_for(lambda: b"Monitoring started" in open(self.home + "/app.log", "rb").read(), 30):
            raise RuntimeError("the application did not start monitoring")
        self.pid = self.app.pid  # the launcher becomes the application

    def alive(self):
        return self.app.poll() is None

    def key(self, keys, pause=0.3):
        x(["xdotool", "key", "--delay", "60"] + keys.split(), self.env)
        time.sleep(pause)

    def window(self, pattern):
        return x(["xdotool", "search", "--onlyvisible", "--name", pattern], self.env).split("\n")[0]

    def active_name(self):
        return x(["xdotool", "getactivewindow", "getwindowname"], self.env)

    def panel(self):
        return x(["xdotool", "search", "--classname", "^panel$"], self.env).split("\n")[0]

    def holds_icon(self):
        panel = self.panel()
        return bool(panel) and '"Tavlin":' in x(["xwininfo", "-tree", "-id", panel], self.env)

    def open_settings(self):
        if not wait_for(self.holds_icon, 20):
            raise RuntimeError("no tray icon")
        x(["xdotool", "mousemove", "--window", self.panel(), "10", "12", "click", "3"], self.env)
        time.sleep(1)
        self.key("Down Down Return")
        if not wait_for(lambda: self.window("^Settings$"), 10):
            raise RuntimeError("no Settings window")
        time.sleep(0.5)

    def open_chooser(self):
        """From Settings: History & Privacy, then "Choose App…"; the seconds until it shows."""
        settings = self.window("^Settings$")
        x(["xdotool", "mousemove", "--window", settings, "100", str(34 + 40 * 3), "click", "1"], self.env)
        time.sleep(0.4)
        self.key("Tab space Down", 0.4)
        pressed = time.monotonic()
        self.key("Return", 0)
        if not wait_for(lambda: self.active_name().endswith(CHOOSER_TITLE), 30, 0.02):
            raise RuntimeError("the chooser did not show")
        return time.monotonic() - pressed

    def scroll_chooser(self, pings):
        chooser = self.window(CHOOSER_TITLE)
        x(["xdotool", "mousemove", "--window", chooser, "200", "120", "click", "1"], self.env)
        time.sleep(0.2)
        pings.mark("page down")
        for _ in range(30):  # a page at a time, as far as 30 pages
            self.key("Page_Down", 0.05)
        pings.mark("end")
        self.key("End", 0.3)
        pings.mark("wheel")
        x(["xdotool", "mousemove", "--window", chooser, "200", "200", "click", "--repeat", "60", "--delay", "15", "4"],
          self.env)
        pings.mark("home")
        self.key("Home", 0.3)

    def close_chooser(self):
        self.key("Escape", 0)
        return wait_for(lambda: not self.window(CHOOSER_TITLE), 10)

    def open_history(self):
        if not wait_for(self.holds_icon, 20):
            raise RuntimeError("no tray icon")
        for _ in range(8):
            x(["xdotool", "mousemove", "--window", self.panel(), "10", "12", "click", "1"], self.env)
            if wait_for(lambda: x(["xdotool", "getwindowfocus", "getwindowname"], self.env) == "Tavlin", 4):
                return x(["xdotool", "getwindowfocus"], self.env)
        raise RuntimeError("the history window did not open")

    def records(self):
        return self.query("SELECT COUNT(*) FROM clips") or 0

    def query(self, sql):
        try:
            with sqlite3.connect(f"file:{self.database}?mode=ro", uri=True, timeout=5) as db:
                return db.execute(sql).fetchone()[0]
        except (sqlite3.Error, TypeError):
            return None

    def terminate(self):
        """Seconds from SIGTERM to the end of the process (None past 30 s, when it is killed)."""
        signalled = time.monotonic()
        self.app.terminate()
        try:
            self.app.wait(30)
        except subprocess.TimeoutExpired:
            self.app.kill()
            self.app.wait()
            return None
        return time.monotonic() - signalled

    def close(self):
        if self.alive():
            self.app.kill()
            self.app.wait()
        for other in self.others:
            other.kill()
            other.wait()
        shutil.rmtree(self.home, ignore_errors=True)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def entry(home, name, icon):
    write(f"{home}/.local/share/applications/org.example.{name}.desktop",
          f"[Desktop Entry]\nType=Application\nName={name}\nExec=/bin/false\nIcon={icon}\n")


def hicolor_index(home, folders=0):
    """The user's hicolor theme of the icons' two folders, after `folders` more that exist."""
    more = [f"{size}x{size}/set{i:05d}" for i in range(folders // 4) for size in (16, 24, 32, 48)]
    sections = "".join(f"[{folder}]\nSize={folder.split('x')[0]}\nType=Fixed\n\n" for folder in more)
    write(f"{home}/.local/share/icons/hicolor/index.theme",
          f"[Icon Theme]\nName=Hicolor\nDirectories={''.join(f + ',' for f in more)}48x48/apps,scalable/apps\n\n"
          f"{sections}[48x48/apps]\nSize=48\nType=Threshold\n\n[scalable/apps]\nSize=48\nMinSize=16\n"
          "MaxSize=512\nType=Scalable\n")
    for folder in more:
        os.makedirs(f"{home}/.local/share/icons/hicolor/{folder}")


def many_applications(missing, folders=0):
    def prepare(home):
        hicolor_index(home, folders)
        small = png(48, 48)
        for i in range(2000):
            icon = f"example-app-{i:04d}"
            if i % 40 < missing // 50:  # spread through the list: 19 of each 40 for 950
                icon = f"missing-icon-{i:04d}"
            elif i % 2:
                write(f"{home}/.local/share/icons/hicolor/scalable/apps/{icon}.svg", svg_icon(i * 7))
            else:
                write(f"{home}/.local/share/icons/hicolor/48x48/apps/{icon}.png", small)
            entry(home, f"App{i:04d}", icon)
    return prepare


def chooser(build, scratch, display, missing, folders=0):
    session = Session(build, scratch, display, many_applications(missing, folders))
    try:
        session.open_settings()
        time.sleep(2)
        before = status(session.pid, "VmRSS")
        pings = Pings(session.pid, session.env)
        pings.mark("open")
        shown = session.open_chooser()
        session.scroll_chooser(pings)
        pings.mark("settle")
        time.sleep(1)
        longest, count, phases = pings.finish()
        opened = status(session.pid, "VmRSS")
        session.close_chooser()
        time.sleep(3)
        after = status(session.pid, "VmRSS")
        label = f"chooser-folders ({folders:,})" if folders else "chooser-missing" if missing else "chooser"
        quit_seconds = ""
        if folders:
            session.close()
            session = Session(build, scratch, display, many_applications(missing, folders))
            session.open_settings()
            session.open_chooser()
            time.sleep(0.5)
            took = session.terminate()
            quit_seconds = f"; SIGTERM 0.5 s after it first showed->exit {took if took is None else round(took, 2)} s"
        print(f"{label}: longest ping {longest} ms over {count} pings, shown in {shown:.2f} s; resident "
              f"{before:.0f} MB before, {opened:.0f} MB scrolled, {after:.0f} MB 3 s after closing "
              f"(+{after - before:.0f} MB kept); longest by step {phases}{quit_seconds}", flush=True)
    finally:
        session.close()


def chooser_repeat(build, scratch, display):
    session = Session(build, scratch, display, many_applications(950))
    try:
        session.open_settings()
        time.sleep(2)
        before = status(session.pid, "VmRSS")
        pings = Pings(session.pid, session.env)
        rounds = 0
        for round_ in range(25):
            pings.mark(round_)
            session.open_chooser()
            session.key("End", 0.3)
            if not session.close_chooser() or not session.alive():
                break
            rounds += 1
        longest, count, phases = pings.finish()
        time.sleep(3)
        print(f"chooser-repeat: {rounds}/25 rounds, alive {session.alive()}, longest ping {longest} ms (by round "
              f"{list(phases.values())}); resident {before:.0f} MB before, {status(session.pid, 'VmRSS'):.0f} MB "
              "after", flush=True)
    finally:
        session.close()


def search_menu(build, scratch, display, label, prepare):
    session = Session(build, scratch, display, prepare)
    try:
        history = session.open_history()
        time.sleep(1)
        pings = Pings(session.pid, session.env)
        menus = x(["xdotool", "search", "--onlyvisible", "--class", "^Tavlin$"], session.env).split()
        session.key("Menu", 1.0)
        shown = [w for w in x(["xdotool", "search", "--onlyvisible", "--class", "^Tavlin$"], session.env).split()
                 if w not in menus]
        session.key("Escape", 0.5)
        # The search field sits at the header's right.
        x(["xdotool", "mousemove", "--window", history, "700", "40", "click", "3"], session.env)
        time.sleep(1.0)
        clicked = [w for w in x(["xdotool", "search", "--onlyvisible", "--class", "^Tavlin$"], session.env).split()
                   if w not in menus]
        session.key("Escape", 0.5)
        longest, count, _ = pings.finish()
        quit_seconds = session.terminate()
        print(f"{label}: longest ping {longest} ms over {count} pings; menu shown by key {bool(shown)}, by right "
              f"click {bool(clicked)}; SIGTERM->exit {quit_seconds if quit_seconds is None else round(quit_seconds, 2)} s",
              flush=True)
    finally:
        session.close()


def many_folders(home):
    folders = [f"{size}x{size}/set{i:04d}" for i in range(2500) for size in (16, 24, 32, 48)]
    sections = "".join(f"[{folder}]\nSize={folder.split('x')[0]}\nType=Fixed\n\n" for folder in folders)
    write(f"{home}/.local/share/icons/hicolor/index.theme",
          f"[Icon Theme]\nName=Hicolor\nDirectories={','.join(folders)}\n\n{sections}")
    for folder in folders:
        os.makedirs(f"{home}/.local/share/icons/hicolor/{folder}")


def theme_fifo(home):
    os.makedirs(f"{home}/.local/share/icons/hicolor")
    os.mkfifo(f"{home}/.local/share/icons/hicolor/index.theme")


def hostile(home):
    svg, ico = hostile_svg(), lying_ico()
    for i in range(8):
        write(f"{home}/icons/dashed-{i}.svg", svg)
        entry(home, f"Dashed{i}", f"{home}/icons/dashed-{i}.svg")
        write(f"{home}/icons/lying-{i}.ico", ico)
        entry(home, f"Lying{i}", f"{home}/icons/lying-{i}.ico")


def hostile_quit(build, scratch, display):
    worst = 0.0
    for delay in (0.0, 0.2, 0.5, 1.0):
        session = Session(build, scratch, display, hostile)
        try:
            session.open_settings()
            session.open_chooser()
            time.sleep(delay)
            took = session.terminate()
            worst = max(worst, took if took is not None else float("inf"))
        finally:
            session.close()
    session = Session(build, scratch, display, hostile)
    try:
        session.open_settings()
        before = status(session.pid, "VmHWM")
        pings = Pings(session.pid, session.env)
        pings.mark("open")
        session.open_chooser()
        pings.mark("decoding")
        time.sleep(6)
        longest, _, phases = pings.finish()
        peak = status(session.pid, "VmHWM")
        rss = status(session.pid, "VmRSS")
        print(f"hostile-quit: SIGTERM->exit worst {worst:.2f} s (0 to 1 s after the chooser showed); decoding all: "
              f"peak resident {peak:.0f} MB (was {before:.0f} MB), {rss:.0f} MB after, longest ping {longest} ms {phases}",
              flush=True)
    finally:
        session.close()


def desktop_fifo(build, scratch, display):
    def prepare(home):
        os.mkfifo(home + "/pipe")
        os.symlink(home + "/pipe", home + "/.local/share/applications/x.desktop")
        entry(home, "Terminal", "utilities-terminal")
    session = Session(build, scratch, display, prepare)
    try:
        term = subprocess.Popen(["xterm", "-class", "Terminal", "-geometry", "40x8+400+300"], env=session.env)
        session.others.append(term)
        wait_for(lambda: x(["xdotool", "search", "--onlyvisible", "--class", "Terminal"], session.env), 10)
        window = x(["xdotool", "search", "--onlyvisible", "--class", "Terminal"], session.env).split("\n")[0]
        x(["xdotool", "windowactivate", "--sync", window], session.env)
        xclip = subprocess.Popen(["xclip", "-selection", "clipboard"], env=session.env, stdin=subprocess.PIPE)
        xclip.communicate(b"copied beside a desktop entry that is a pipe")
        copied = time.monotonic()
        stored = wait_for(lambda: session.records() >= 1, 15)
        took = time.monotonic() - copied
        source = session.query("SELECT source FROM clips")
        quit_seconds = session.terminate()
        print(f"desktop-fifo: copy stored {stored} in {took:.2f} s from {source}; SIGTERM->exit "
              f"{quit_seconds if quit_seconds is None else round(quit_seconds, 2)} s", flush=True)
    finally:
        session.close()


CASES = {
    "chooser": lambda b, s, d: chooser(b, s, d, 0),
    "chooser-missing": lambda b, s, d: chooser(b, s, d, 950),
    "chooser-folders": lambda b, s, d: chooser(b, s, d, 950, int(os.environ.get("FOLDERS", "20000"))),
    "chooser-repeat": chooser_repeat,
    "menu-folders": lambda b, s, d: search_menu(b, s, d, "menu-folders", many_folders),
    "menu-fifo": lambda b, s, d: search_menu(b, s, d, "menu-fifo", theme_fifo),
    "hostile-quit": hostile_quit,
    "desktop-fifo": desktop_fifo,
}


def main():
    build = os.path.abspath(sys.argv[1])
    chosen = sys.argv[2:] or list(CASES)
    scratch = tempfile.mkdtemp()
    try:
        with private_desktop() as display:
            for name in chosen:
                try:
                    CASES[name](build, scratch, display)
                except RuntimeError as failure:
                    print(f"{name}: failed: {failure}", flush=True)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
