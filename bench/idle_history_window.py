#!/usr/bin/python3
"""The CPU time and context switches of the real application over a minute with its history
window open and nothing happening, on a private Xvfb with openbox.

Usage: bench/idle_history_window.py BUILD_DIR [SECONDS] [SETTLE_SECONDS] [--no-window]
Measures from SETTLE_SECONDS (default 5) after the window opened; 13 lets the search field's caret
stop blinking first. --no-window measures the application alone, its floor. The history holds
1000 records (see tray_click_history_window.py; TAVLIN_SEED may name another build's seeder).
Prints: cpu_ms=X context_switches=N seconds=S
"""
import os
import subprocess
import sys
import tempfile
import time


def cpu_and_switches(pid):
    """CPU time in milliseconds and context switches, over all threads of the process."""
    ticks = os.sysconf("SC_CLK_TCK")
    cpu = 0.0
    switches = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
            cpu += (int(fields[11]) + int(fields[12])) * 1000.0 / ticks
        with open(f"/proc/{pid}/task/{task}/status") as status:
            for line in status:
                if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                    switches += int(line.split()[1])
    return cpu, switches


def main():
    build = os.path.abspath(sys.argv[1])
    arguments = [argument for argument in sys.argv[2:] if argument != "--no-window"]
    seconds = int(arguments[0]) if arguments else 60
    settle = float(arguments[1]) if len(arguments) > 1 else 5
    window = "--no-window" not in sys.argv
    display = ":%d" % (90 + os.getpid() % 100)
    with tempfile.TemporaryDirectory() as profile:
        home = os.path.join(profile, "home")
        runtime = os.path.join(profile, "run")
        os.makedirs(os.path.join(home, ".config/Tavlin"))
        os.makedirs(runtime, mode=0o700)
        seeder = os.environ.get("TAVLIN_SEED", os.path.join(build, "bench/tavlin_seed_history"))
        subprocess.run([seeder, os.path.join(home, ".local/share/Tavlin/history.sqlite"), "1000"], check=True,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen"), stderr=subprocess.DEVNULL)
        with open(os.path.join(home, ".config/Tavlin/org.tavlin.Tavlin.plist"), "w") as plist:
            plist.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>'
                        "<key>onboarding.completed</key><true/></dict></plist>\n")
        environment = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=home + "/.config",
                           XDG_DATA_HOME=home + "/.local/share", XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8")
        environment.pop("DBUS_SESSION_BUS_ADDRESS", None)
        server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"])
        time.sleep(1)
        manager = subprocess.Popen(["openbox"], env=environment)
        time.sleep(1)
        application = subprocess.Popen([os.path.join(build, "src/app/tavlin")], env=environment)
        try:
            time.sleep(3)
            # A second launch shows the running instance's history window.
            if window:
                subprocess.run([os.path.join(build, "src/app/tavlin")], env=environment, timeout=10)
            time.sleep(settle)
            cpu, switches = cpu_and_switches(application.pid)
            time.sleep(seconds)
            cpu_after, switches_after = cpu_and_switches(application.pid)
            print(f"cpu_ms={cpu_after - cpu:.1f} context_switches={switches_after - switches} seconds={seconds}")
        finally:
            for process in (application, manager, server):
                process.terminate()
                process.wait(10)


if __name__ == "__main__":
    main()
