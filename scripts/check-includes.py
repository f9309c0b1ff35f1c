#!/usr/bin/env python3
"""Holds the includes of the source tree to the layering of its folders.

    core <- platform <- history <- design <- shell <- {historywindow, quickpanel, settings, onboarding} <- app

A folder (with its subfolders, such as shell/updates) includes headers of its own and of folders
to its left; the four window folders do not include each other. The Linux implementations in
src/platform/x11 are seen only by themselves and app (which chooses them). xcb, Xlib, xkbcommon and D-Bus headers belong to src/platform (and to
tests/platform, which tests it); widget headers to design and above; core uses QtCore alone.
Prints one line a fault, naming the file, the line and the include; exits 1 on any.

Usage: check-includes.py [repository root]
"""

import glob
import os
import re
import sys

LAYERS = ["core", "platform", "history", "design", "shell", "window", "app"]
WINDOW_FOLDERS = {"historywindow", "quickpanel", "settings", "onboarding"}
X11 = "platform/x11"
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# Headers of the desktop's own interfaces, by path prefix.
DESKTOP_PREFIXES = ("xcb/", "X11/", "xkbcommon/", "dbus/", "QtDBus/", "QDBus", "systemd/")


def layer(folder):
    if folder == X11:
        return LAYERS.index("platform")
    if folder in WINDOW_FOLDERS:
        return LAYERS.index("window")
    return LAYERS.index(folder)


def folder_of(path, src):
    relative = os.path.relpath(os.path.dirname(path), src).replace(os.sep, "/")
    return X11 if (relative + "/").startswith(X11 + "/") else relative.split("/")[0]


def qt_modules():
    """Header name -> Qt module (QtCore, QtWidgets...), from the installed Qt 6 headers."""
    modules = {}
    for root in glob.glob("/usr/include/*/qt6") + glob.glob("/usr/include/qt6"):
        for module_dir in glob.glob(os.path.join(root, "Qt*")):
            module = os.path.basename(module_dir)
            for header in os.listdir(module_dir):
                modules.setdefault(header, module)
    return modules


def sources(root, top):
    for directory, folders, files in os.walk(os.path.join(root, top)):
        folders.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(directory, name)


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as file:
        for number, line in enumerate(file, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1), match.group(2)


def layering_fault(folder, target):
    if target == folder:
        return None
    if target == X11 and folder != "app":
        return "the Linux implementations are chosen by app; use the platform interface"
    if folder in WINDOW_FOLDERS and target in WINDOW_FOLDERS:
        return "window folders do not include each other"
    if layer(target) >= layer(folder) and not (folder == X11 and target in ("core", "platform")):
        return "against the layer order core <- platform <- history <- design <- shell <- windows <- app"
    if folder == X11 and target not in ("core", "platform"):
        return "the platform layer includes only core and platform"
    return None


def module_fault(folder, module):
    if module == "QtDBus":
        return "D-Bus belongs to src/platform"
    if module == "QtWidgets" and layer(folder) < layer("design"):
        return "no widgets below design"
    if folder == "core" and module not in ("QtCore",):
        return "core uses QtCore only"
    return None


def check(root):
    src = os.path.join(root, "src")
    headers = {}
    faults = []
    for path in sources(root, "src"):
        name = os.path.basename(path)
        if name.endswith(".h") and name in headers:
            faults.append(f"{os.path.relpath(path, root)}: a second header named {name} (includes name headers alone)")
        headers.setdefault(name, folder_of(path, src))
    modules = qt_modules()

    for path in sources(root, "src"):
        folder = folder_of(path, src)
        shown = os.path.relpath(path, root)
        for number, kind, name in includes(path):
            closing = ">" if kind == "<" else '"'
            where = f"{shown}:{number}: #include {kind}{name}{closing}"
            if name.startswith(DESKTOP_PREFIXES) and folder not in ("platform", X11):
                faults.append(f"{where}: xcb, X11 and D-Bus headers belong to src/platform")
                continue
            target = headers.get(os.path.basename(name)) if kind == '"' else None
            if target:
                reason = layering_fault(folder, target)
                if reason:
                    faults.append(f"{where} ({target}): {reason}")
            module = modules.get(name.split("/")[-1]) if kind == "<" else None
            if module:
                reason = module_fault(folder, module)
                if reason and not (module == "QtDBus" and folder in ("platform", X11)):
                    faults.append(f"{where}: {reason}")

    for top in ("tests", "bench", "fuzz"):
        for path in sources(root, top):
            shown = os.path.relpath(path, root).replace(os.sep, "/")
            if shown.startswith("tests/platform/"):
                continue
            for number, kind, name in includes(path):
                if name.startswith(DESKTOP_PREFIXES) or (kind == "<" and modules.get(name) == "QtDBus"):
                    faults.append(f"{shown}:{number}: #include {name}: xcb, X11 and D-Bus tests belong to tests/platform")
    return faults


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    faults = check(root)
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"include check: {len(faults)} fault(s) against the layering", file=sys.stderr)
        return 1
    print("include check: the layering holds")
    return 0


if __name__ == "__main__":
    sys.exit(main())
