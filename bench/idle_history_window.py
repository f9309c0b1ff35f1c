#!/usr/bin/python3
"""The CPU time and wake-ups of the real application over a minute with its history window (or
its Quick Panel) open and nothing happening, on a private Xvfb with openbox.

Usage: bench/idle_history_window.py BUILD_DIR [SECONDS] [SETTLE_SECONDS] [--no-window | --panel] [--copied-earlier]
Measures from SETTLE_SECONDS (default 5) after the window opened; 13 lets the search field's caret
stop blinking first. --no-window measures the application alone, its floor; --panel opens the
Quick Panel with its shortcut (Ctrl+Alt+V) instead of the history window. The history holds
1000 records (see tray_click_history_window.py; TAVLIN_SEED may name another build's seeder), copied
just before the application starts, so that the ages shown move on within the measured minute
(from "Now" to "1 min", which also cuts the titles anew); --copied-earlier dates them two hours
back, as a history copied earlier in the day, whose ages move on only on the hour.
Prints: cpu_ms=X wakeups=N context_switches=N seconds=S, then the wake-ups of each thread.

Each thread's CPU time (nanoseconds) and the number of times it was put on a CPU come from
/proc/PID/task/TID/schedstat, sampled every second: a thread that ends before the last sample
keeps what it had used when last seen, and a thread started meanwhile counts from zero.
"""
import os
import sqlite3
import subprocess
import sys
import tempfile
import time


def threads(pid):
    """{tid: (name, cpu nanoseconds, times run, context switches)} of the process's live threads."""
    found = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as schedstat:
                cpu, _, runs = (int(field) for field in schedstat.read().split())
            with open(f"/proc/{pid}/task/{task}/comm") as comm:
                name = comm.read().strip()
            switches = 0
            with open(f"/proc/{pid}/task/{task}/status") as status:
                for line in status:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        switches += int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError):  # the thread ended meanwhile
            continue
        found[int(task)] = (name, cpu, runs, switches)
    return found


def measure(pid, seconds):
    """The CPU milliseconds, runs and context switches of every thread over `seconds`, by thread."""
    first = threads(pid)
    last = dict(first)
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        time.sleep(min(1.0, max(0.0, deadline - time.monotonic())))
        last.update(threads(pid))
    used = {}
    for tid, (name, cpu, runs, switches) in last.items():
        _, cpu0, runs0, switches0 = first.get(tid, (name, 0, 0, 0))
        used[tid] = (name, (cpu - cpu0) / 1e6, runs - runs0, switches - switches0)
    return used


def start_display():
    """A private Xvfb on a display number it picks itself."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                              pass_fds=(write,), stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        number += os.read(read, 16)
    os.close(read)
    return server, ":" + number.decode().strip()


def main():
    build = os.path.abspath(sys.argv[1])
    arguments = [argument for argument in sys.argv[2:] if not argument.startswith("--")]
    seconds = int(arguments[0]) if arguments else 60
    settle = float(arguments[1]) if len(arguments) > 1 else 5
    opened = "none" if "--no-window" in sys.argv else "panel" if "--panel" in sys.argv else "history"
    with tempfile.TemporaryDirectory() as profile:
        home = os.path.join(profile, "home")
        runtime = os.path.join(profile, "run")
        os.makedirs(os.path.join(home, ".config/Tavlin"))
        os.makedirs(runtime, mode=0o700)
        seeder = os.environ.get("TAVLIN_SEED", os.path.join(build, "bench/tavlin_seed_history"))
        database = os.path.join(home, ".local/share/Tavlin/history.sqlite")
        subprocess.run([seeder, database, "1000"], check=True, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
                       stderr=subprocess.DEVNULL)
        if "--copied-earlier" in sys.argv:
            history = sqlite3.connect(database)
            with history:
                history.execute("UPDATE clips SET created_at = created_at - 7200")
            history.close()
        with open(os.path.join(home, ".config/Tavlin/org.tavlin.Tavlin.plist"), "w") as plist:
            plist.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>'
                        "<key>onboarding.completed</key><true/></dict></plist>\n")
        server, display = start_display()
        # A session bus no program reaches: given none, each would autolaunch one (dbus-launch),
        # which outlives it and leaves its socket in /tmp.
        environment = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=home + "/.config",
                           XDG_DATA_HOME=home + "/.local/share", XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8",
                           DBUS_SESSION_BUS_ADDRESS="unix:path=/dev/null")
        environment.pop("QT_QPA_PLATFORM", None)
        manager = subprocess.Popen(["openbox"], env=environment, stderr=subprocess.DEVNULL)
        time.sleep(1)
        application = subprocess.Popen([os.path.join(build, "src/app/tavlin")], env=environment,
                                       stderr=subprocess.DEVNULL)
        try:
            time.sleep(3)
            if opened == "history":
                # A second launch shows the running instance's history window.
                subprocess.run([os.path.join(build, "src/app/tavlin")], env=environment, timeout=10)
            elif opened == "panel":
                subprocess.run(["xdotool", "key", "ctrl+alt+v"], env=environment, timeout=10, check=True)
            time.sleep(settle)
            if opened != "none":
                shown = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(application.pid)],
                                       env=environment, capture_output=True, text=True).stdout.split()
                if not shown:
                    raise RuntimeError(f"the {opened} window did not open")
            used = measure(application.pid, seconds)
            if application.poll() is not None:
                raise RuntimeError("the application ended during the measurement")
            print(f"cpu_ms={sum(u[1] for u in used.values()):.1f} wakeups={sum(u[2] for u in used.values())} "
                  f"context_switches={sum(u[3] for u in used.values())} seconds={seconds}")
            for tid, (name, cpu, runs, _) in sorted(used.items(), key=lambda item: -item[1][2]):
                if runs:
                    print(f"  {name} ({tid}): cpu_ms={cpu:.1f} wakeups={runs}")
        finally:
            for process in (application, manager, server):
                process.terminate()
                process.wait(10)


if __name__ == "__main__":
    main()
