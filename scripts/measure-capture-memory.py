#!/usr/bin/env python3
"""Resident memory of the running application while it reads large copies, on a private Xvfb.

Usage: scripts/measure-capture-memory.py [TAVLIN_BINARY]   (default: build/src/app/tavlin)

Starts the application in a profile of its own, once for each copy made with xclip:
  - a 20 MB text, which is over the size a text record may have and so is not kept;
  - a 10 MB PNG, which is kept.
For each it prints the growth of resident memory over the idle figure at its peak (the kernel's
high-water mark, reset before the copy), as a multiple of the copy's size, and for the text the
resident figure three seconds later. Needs Xvfb and xclip; run as the user the binary runs as.
"""
import os
import random
import select
import shutil
import sqlite3
import struct
import subprocess
import sys
import tempfile
import time
import zlib

MB = 1024 * 1024


def status_kib(pid, field):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise RuntimeError(f"no {field} for {pid}")


def reset_peak(pid):
    with open(f"/proc/{pid}/clear_refs", "w") as refs:
        refs.write("5")


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return False


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", "1024x768x24"],
                            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while select.select([read_end], [], [], 20)[0]:
        byte = os.read(read_end, 1)
        if not byte or byte == b"\n":
            break
        number += byte
    os.close(read_end)
    if not number:
        xvfb.kill()
        sys.exit("cannot start Xvfb")
    return xvfb, ":" + number.decode()


def png(width, height, seed=7):
    """An RGB picture of noise, which PNG cannot shrink: about 3 bytes a pixel."""
    generator = random.Random(seed)
    rows = b"".join(b"\0" + generator.randbytes(width * 3) for _ in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 1)) + chunk(b"IEND", b"")


class Application:
    """The application on a private Xvfb, in a profile of its own, until closed."""

    def __init__(self, binary):
        self.folder = tempfile.mkdtemp(prefix="tavlin-memory-")
        home = os.path.join(self.folder, "home")
        runtime = os.path.join(self.folder, "run")
        os.makedirs(os.path.join(home, ".config/Tavlin"))
        os.makedirs(runtime, mode=0o700)
        with open(os.path.join(home, ".config/Tavlin/org.tavlin.Tavlin.plist"), "w") as preferences:
            preferences.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>'
                              "<key>onboarding.completed</key><true/></dict></plist>\n")
        self.database = os.path.join(home, ".local/share/Tavlin/history.sqlite")
        self.xvfb, display = start_xvfb()
        # A session bus the application cannot reach: given none, it would autolaunch one
        # (dbus-launch), which outlives it and leaves its socket in /tmp.
        self.environment = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=home + "/.config",
                                XDG_DATA_HOME=home + "/.local/share", XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb",
                                DBUS_SESSION_BUS_ADDRESS="unix:path=/dev/null")
        self.environment.pop("WAYLAND_DISPLAY", None)
        self.process = subprocess.Popen([binary], env=self.environment, stderr=subprocess.PIPE,
                                        stdout=subprocess.DEVNULL)
        os.set_blocking(self.process.stderr.fileno(), False)
        self.log = b""
        self.copies = []
        if not wait_until(lambda: os.path.exists(os.path.join(runtime, "org.tavlin.Tavlin.socket")), 20):
            self.close()
            sys.exit("the application did not start")
        time.sleep(2)  # settle: fonts, the tray, the first page
        self.idle = self.resident()

    def resident(self):
        return status_kib(self.process.pid, "VmRSS")

    def peak_since_reset(self):
        return status_kib(self.process.pid, "VmHWM")

    def read_log(self):
        self.log += self.process.stderr.read() or b""
        return self.log

    def copy(self, data, target):
        path = os.path.join(self.folder, f"copy-{len(self.copies)}")
        with open(path, "wb") as file:
            file.write(data)
        reset_peak(self.process.pid)
        self.copies.append(subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-t", target, "-i", path],
                                            env=self.environment, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL))

    def records(self):
        if not os.path.exists(self.database):
            return 0
        try:
            with sqlite3.connect(f"file:{self.database}?mode=ro", uri=True) as connection:
                return connection.execute("SELECT COUNT(*) FROM clips").fetchone()[0]
        except sqlite3.Error:
            return 0

    def close(self):
        for process in self.copies:
            process.kill()
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        self.xvfb.terminate()
        self.xvfb.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def main():
    binary = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/src/app/tavlin")
    for tool in ("Xvfb", "xclip"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is needed")

    application = Application(binary)
    try:
        application.copy((b"All work and no play makes Jack a dull boy. " * (20 * MB // 44 + 1))[: 20 * MB],
                         "UTF8_STRING")
        refused = wait_until(lambda: b"is not kept" in application.read_log(), 10)
        time.sleep(0.5 if refused else 3)  # without a refusal logged, leave time for two looks
        peak = application.peak_since_reset() - application.idle
        time.sleep(3)
        after = application.resident()
        idle = application.idle
        print(f"refused 20 MiB text: idle {idle / 1024:.1f} MiB, peak growth {peak / 1024:.1f} MiB = "
              f"{peak / (20 * 1024):.2f}x, 3 s later {after / 1024:.1f} MiB ({100 * (after - idle) / idle:+.1f}% of idle)"
              + ("" if refused else " [no refusal logged]"))
    finally:
        application.close()

    application = Application(binary)
    try:
        data = png(1870, 1870)
        application.copy(data, "image/png")
        kept = wait_until(lambda: application.records() >= 1, 20)
        time.sleep(0.5)
        peak = application.peak_since_reset() - application.idle
        size = len(data) / MB
        print(f"kept {size:.1f} MiB PNG: idle {application.idle / 1024:.1f} MiB, peak growth {peak / 1024:.1f} MiB = "
              f"{peak / 1024 / size:.2f}x" + ("" if kept else " [not stored]"))
    finally:
        application.close()


if __name__ == "__main__":
    main()
