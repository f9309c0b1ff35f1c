#!/usr/bin/python3
"""A tray click to the history window painted, as the user sees it: the real application on a
private Xvfb with openbox and trayer, 1000 records stored (seven texts, two web pages and one PNG
of every ten), list mode with the preview. The click is an XTEST press on the tray icon; the window
counts as painted at the first XDamage report of its pixels.

Usage: bench/tray_click_history_window.py BUILD_DIR [RUNS]
(TAVLIN_SEED may name the seeding program of another build, to measure an older application.)
Prints, in milliseconds (median, min and max over the runs):
  first_showing     the first click after start-up (a new process each run)
  later_showing     clicks on the same window hidden again (ten a run)
  second_launch     launching `tavlin` again while it runs, before its window was ever shown
  second_launch_warm  the same with the window shown once and hidden
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay
from Xlib.ext import damage


def wait_for(predicate, timeout=10.0, step=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(step)
    return False


class Desktop:
    """Xvfb, openbox and trayer, as ApplicationProfile.h starts them for the end-to-end tests."""

    def __init__(self, environment):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1080x24",
                                        "-nolisten", "tcp"], pass_fds=(write,))
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            number += os.read(read, 16)
        os.close(read)
        self.name = ":" + number.decode().strip()
        self.environment = dict(environment, DISPLAY=self.name)
        self.manager = subprocess.Popen(["openbox"], env=self.environment, stderr=subprocess.DEVNULL)
        self.tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "left", "--widthtype", "request",
                                      "--height", "32", "--SetDockType", "true"], env=self.environment,
                                     stderr=subprocess.DEVNULL)
        self.x = xdisplay.Display(self.name)
        # Windows come and go while the bench watches them: a request about one already gone fails
        # harmlessly.
        self.x.set_error_handler(lambda *args: None)
        self.root = self.x.screen().root
        wait_for(lambda: self.root.get_full_property(self.x.intern_atom("_NET_SUPPORTING_WM_CHECK"),
                                                     X.AnyPropertyType) is not None)
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.x.damage_query_version()
        self.damaged = {}

    def close(self):
        self.x.close()
        for process in (self.tray, self.manager, self.server):
            process.terminate()
            process.wait(10)

    def windows(self):
        """Every window, depth first."""
        found = []

        def walk(window):
            found.append(window)
            try:
                children = window.query_tree().children
            except Exception:  # noqa: BLE001 - a window that went meanwhile
                children = []
            for child in children:
                walk(child)
        walk(self.root)
        return found

    @staticmethod
    def is_history(window):
        """The history window: titled "Tavlin", and larger than any other window of the application."""
        try:
            name = window.get_wm_name()
            if isinstance(name, bytes):
                name = name.decode()
            return name == "Tavlin" and window.get_geometry().width >= 800
        except Exception:  # noqa: BLE001 - a window that went meanwhile
            return False

    def history_window(self):
        for window in self.windows():
            try:
                if self.is_history(window) and window.get_attributes().map_state == X.IsViewable:
                    return window
            except Exception:  # noqa: BLE001 - a window that went meanwhile
                pass
        return None

    def watch(self, window):
        if window.id not in self.damaged:
            self.damaged[window.id] = window.damage_create(damage.DamageReportNonEmpty)

    def watch_all(self):
        for window in self.windows():
            self.watch(window)
        self.x.sync()

    def click_tray(self):
        """Presses the tray's only icon; returns the moment of the press."""
        self.x.xtest_fake_input(X.MotionNotify, x=10, y=12)
        self.x.sync()
        time.sleep(0.05)
        self.x.xtest_fake_input(X.ButtonPress, 1)
        self.x.sync()
        pressed = time.monotonic()
        self.x.xtest_fake_input(X.ButtonRelease, 1)
        self.x.sync()
        return pressed

    def drain(self):
        while self.x.pending_events():
            self.handle(self.x.next_event())

    def handle(self, event):
        if event.type == X.CreateNotify:
            self.watch(event.window)
            return None
        if event.type == self.x.extension_event.DamageNotify:
            self.x.damage_subtract(event.damage)
            return self.x.create_resource_object("window", event.drawable.id)
        return None

    def first_paint(self, since, timeout=10.0):
        """Milliseconds from `since` to the first damage of the history window."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not self.x.pending_events():
                time.sleep(0.0005)
                continue
            event = self.x.next_event()
            now = time.monotonic()
            drawable = self.handle(event)
            if drawable is not None and self.is_history(drawable):
                return (now - since) * 1000
        raise RuntimeError("the history window was not painted")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def start(build, desktop):
    application = subprocess.Popen([os.path.join(build, "src/app/tavlin")], env=desktop.environment,
                                   stderr=subprocess.DEVNULL)
    # Started, its icon in the tray, and idle.
    time.sleep(2)
    last = cpu_seconds(application.pid)
    for _ in range(50):
        time.sleep(0.2)
        now = cpu_seconds(application.pid)
        if now - last < 0.005:
            break
        last = now
    desktop.watch_all()
    desktop.drain()
    return application


def hide(desktop):
    desktop.click_tray()
    if not wait_for(lambda: desktop.history_window() is None, 5):
        raise RuntimeError("the history window did not hide")
    time.sleep(0.5)
    desktop.drain()


def report(name, values):
    print(f"{name}: median={statistics.median(values):.1f} min={min(values):.1f} max={max(values):.1f} "
          f"n={len(values)}")


def main():
    build = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    results = {"first_showing": [], "later_showing": [], "second_launch": [], "second_launch_warm": []}
    with tempfile.TemporaryDirectory() as scratch:
        seeded = os.path.join(scratch, "seed/Tavlin/history.sqlite")
        seeder = os.environ.get("TAVLIN_SEED", os.path.join(build, "bench/tavlin_seed_history"))
        subprocess.run([seeder, seeded, "1000"], check=True,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen"), stderr=subprocess.DEVNULL)
        for run in range(runs):
            for launch in ("tray", "second"):
                home = os.path.join(scratch, f"home{run}{launch}")
                runtime = os.path.join(scratch, f"run{run}{launch}")
                os.makedirs(os.path.join(home, ".config/Tavlin"))
                os.makedirs(runtime, mode=0o700)
                shutil.copytree(os.path.dirname(seeded), os.path.join(home, ".local/share/Tavlin"))
                with open(os.path.join(home, ".config/Tavlin/org.tavlin.Tavlin.plist"), "w") as plist:
                    plist.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>'
                                "<key>onboarding.completed</key><true/>"
                                "<key>history.viewMode</key><string>list</string></dict></plist>\n")
                # A session bus no program reaches: given none, each would autolaunch one
                # (dbus-launch), which outlives it and leaves its socket in /tmp.
                environment = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config",
                                   XDG_DATA_HOME=home + "/.local/share", XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8",
                                   DBUS_SESSION_BUS_ADDRESS="unix:path=/dev/null")
                environment.pop("QT_QPA_PLATFORM", None)
                desktop = Desktop(environment)
                application = start(build, desktop)
                again = [os.path.join(build, "src/app/tavlin")]
                try:
                    if launch == "tray":
                        results["first_showing"].append(desktop.first_paint(desktop.click_tray()))
                        time.sleep(1)
                        for _ in range(10):
                            hide(desktop)
                            results["later_showing"].append(desktop.first_paint(desktop.click_tray()))
                            time.sleep(0.5)
                    else:
                        launched = time.monotonic()
                        subprocess.Popen(again, env=desktop.environment, stderr=subprocess.DEVNULL)
                        results["second_launch"].append(desktop.first_paint(launched))
                        time.sleep(1)
                        for _ in range(3):
                            hide(desktop)
                            launched = time.monotonic()
                            subprocess.Popen(again, env=desktop.environment, stderr=subprocess.DEVNULL)
                            results["second_launch_warm"].append(desktop.first_paint(launched))
                            time.sleep(0.5)
                finally:
                    application.terminate()
                    application.wait(10)
                    desktop.close()
    for name, values in results.items():
        report(name, values)


if __name__ == "__main__":
    main()
