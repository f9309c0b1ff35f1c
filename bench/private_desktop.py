"""What the benches that run the real application share: a private Xvfb with openbox and trayer,
as the end-to-end tests start them, and waiting for a condition."""
import contextlib
import os
import subprocess
import time

# A session bus no program reaches. Given none, the application and its helpers on the private
# display would autolaunch one each (dbus-launch), which outlives them and leaves its socket in /tmp.
NO_SESSION_BUS = "unix:path=/dev/null"


def wait_for(predicate, timeout, step=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(step)
    return False


@contextlib.contextmanager
def private_desktop():
    """Yields the DISPLAY of a private Xvfb with a window manager and a tray, ended on leaving."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                              pass_fds=(write,))
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        number += os.read(read, 16)
    os.close(read)
    display = ":" + number.decode().strip()
    env = dict(os.environ, DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=NO_SESSION_BUS)
    helpers = [subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL),
               subprocess.Popen(["trayer", "--edge", "top", "--align", "left", "--widthtype", "request",
                                 "--height", "32", "--SetDockType", "true"], env=env, stderr=subprocess.DEVNULL)]
    time.sleep(1.5)
    try:
        yield display
    finally:
        for helper in helpers:
            helper.kill()
        server.kill()
