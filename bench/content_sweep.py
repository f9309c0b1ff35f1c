#!/usr/bin/python3
"""What users really copy, from small to the limit, in the real application: each content is copied
(xclip, or the test clipboard owner where a program offers several formats at once), selected
with its preview in the history window and copied back from it (Ctrl+C), found in the Quick Panel
by a word it holds and copied back again; the bytes put back are compared with those copied.
Throughout, the main thread is pinged (_NET_WM_PING) and the longest round trip of each step is
reported. A private Xvfb with openbox and trayer, as the end-to-end tests start them.

Usage: bench/content_sweep.py BUILD_DIR OUT_DIR list|cards [NAME_FILTER[,NAME_FILTER...]]
Prints one line a content: its longest round trips in milliseconds (copy, window, select,
copyback-window, quickpanel, copyback-panel) and "ok" or what went wrong; OUT_DIR gets a
screenshot of the window and of the Quick Panel for each, and the application's log.
"""
import base64
import os
import sqlite3
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from netwm_ping import Pinger, windows_of  # noqa: E402
from Xlib import X, display as xdisplay  # noqa: E402



def encode_png(width, height, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 6)) + chunk(b"IEND", b""))


def png(width, height, seed=0):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows += bytes(((x * 7 + seed) % 256, (y * 13 + x) % 256, (x * y + seed * 31) % 256))
    return encode_png(width, height, bytes(rows))


def picture_rows(width, height, seed, noise):
    """Raw RGB rows: a shifting gradient, or (noise) bytes no compression shrinks."""
    if noise:
        return [os.urandom(width * 3) for _ in range(height)]
    base = bytes((x * 7 + seed + (x // 97) * 50) % 256 for x in range(width * 3 + 768))
    return [base[(y * 3) % 768:(y * 3) % 768 + width * 3] for y in range(height)]


def big_png(width, height, seed=0, noise=False):
    return encode_png(width, height, b"".join(b"\0" + row for row in picture_rows(width, height, seed, noise)))


def jpeg(width, height, seed=0, quality=90):
    """A JPEG as a camera or a browser would offer it; cjpeg (libjpeg-turbo-progs) encodes it."""
    ppm = b"P6 %d %d 255\n" % (width, height) + b"".join(picture_rows(width, height, seed, False))
    return subprocess.run(["cjpeg", "-quality", str(quality)], input=ppm, capture_output=True, check=True).stdout


EMOJI = ["\U0001F600", "\U0001F44D\U0001F3FD", "\U0001F680", "\u2764\ufe0f", "\U0001F468\u200d\U0001F469\u200d\U0001F467",
         "\U0001F1E9\U0001F1EA", "\U0001F389", "\U0001F602", "\U0001F64F\U0001F3FB", "\U0001F9D1\u200d\U0001F4BB",
         # Skin tones inside ZWJ sequences, a four-person family, a flag sequence and a keycap.
         "\U0001F469\U0001F3FE\u200d\u2764\ufe0f\u200d\U0001F48B\u200d\U0001F468\U0001F3FB",
         "\U0001F468\u200d\U0001F469\u200d\U0001F467\u200d\U0001F466", "\U0001F3F3\ufe0f\u200d\U0001F308",
         "\U0001F9D1\U0001F3FF\u200d\U0001F91D\u200d\U0001F9D1\U0001F3FC", "1\ufe0f\u20e3",
         "\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F"]


def chat(emoji, word):
    words = ("ok so the release is moving to thursday " + word + " can everyone check their part").split()
    parts = []
    for i in range(emoji):
        parts.append(words[i % len(words)])
        parts.append(EMOJI[i % len(EMOJI)])
    if word not in parts:
        parts.append(word)
    return " ".join(parts)


def html_page(size, word):
    image = base64.b64encode(png(24, 24, 3)).decode()
    html = ["<html><head><meta charset=\"utf-8\"><style>td{border:1px solid #ccc}</style></head><body>",
            f"<h1>Release notes {word}</h1>"]
    text = [f"Release notes {word}"]
    n = 0
    while sum(map(len, html)) < size - 400:
        n += 1
        if n % 5 == 0:
            html.append(f"<p><img src=\"data:image/png;base64,{image}\" width=24 height=24 alt=\"icon {n}\"></p>")
        if n % 3 == 0:
            html.append("<table><tr><th>Version</th><th>Change</th><th>Owner</th></tr>"
                        + "".join(f"<tr><td>1.{n}.{r}</td><td>Fixed crash number {r} in the importer</td>"
                                  f"<td>Ana Łukasiewicz</td></tr>" for r in range(4)) + "</table>")
            text.append("Version\tChange\tOwner")
        sentence = (f"Paragraph {n}: the <b>importer</b> now handles <a href=\"https://example.org/{n}\">large "
                    f"files</a> and <i>Ünïcödé</i> names — quickly.")
        html.append(f"<p style=\"color:#335\">{sentence}</p>")
        text.append(f"Paragraph {n}: the importer now handles large files and Ünïcödé names — quickly.")
    html.append("</body></html>")
    return "\n".join(html).encode(), "\n".join(text).encode()


def rtf_document(size, word, unicode=False):
    picture = png(32, 32, 5).hex()
    out = ["{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl"]
    out += [f"{{\\f{f}\\fnil\\fcharset0 {name};}}" for f, name in
            enumerate(["Liberation Serif", "DejaVu Sans", "Noto Sans", "Courier New", "Arial"])]
    out.append("}{\\colortbl;\\red200\\green0\\blue0;\\red0\\green100\\blue0;\\red0\\green0\\blue180;}\n")
    out.append(f"\\pard\\f0\\fs36\\b Quarterly {word} report\\b0\\par\n")
    text = [f"Quarterly {word} report"]
    n = 0
    while sum(map(len, out)) < size - 300:
        n += 1
        if n % 7 == 0:
            out.append("{\\pict\\pngblip\\picw32\\pich32\\picwgoal480\\pichgoal480 " + picture + "}\\par\n")
        if n % 4 == 0:
            out.append("\\trowd\\cellx2000\\cellx4000\\cellx6000 \\intbl Region\\cell Sales\\cell Growth\\cell\\row\n"
                       f"\\trowd\\cellx2000\\cellx4000\\cellx6000 \\intbl North {n}\\cell 1{n}00\\cell {n % 9}%\\cell\\row\n"
                       "\\pard\n")
            text.append(f"Region\tSales\tGrowth\nNorth {n}\t1{n}00\t{n % 9}%")
        out.append(f"\\pard\\f{n % 5}\\fs{20 + n % 4 * 2}\\cf{n % 3 + 1} Paragraph {n}: revenue grew in "
                   f"{{\\b every}} region, {{\\i see}} the table.\\par\n")
        text.append(f"Paragraph {n}: revenue grew in every region, see the table.")
        if unicode and n % 2 == 0:
            # As word processors write what cp1252 lacks: \\u with a signed 16-bit code and a fallback.
            line = f"Z\u00fcrich {n}: \u20ac 12, \u6771\u4eac, \u05e9\u05dc\u05d5\u05dd, \U0001F600 done"
            escaped = "".join(c if ord(c) < 128 else "".join(
                f"\\u{u if u < 32768 else u - 65536}?" for u in struct.unpack(
                    "<%dH" % (len(c.encode("utf-16-le")) // 2), c.encode("utf-16-le"))) for c in line)
            out.append("\\pard\\uc1 " + escaped + "\\par\n")
            text.append(line)
    out.append("}")
    return "".join(out).encode(), "\n".join(text).encode()


def cjk(count, word):
    base = "东京的天气今天很好我们去公园散步吧。日本語のテキストも混ざっています。한국어 문장도 있습니다。"
    body = (base * (count // len(base) + 1))[:count - len(word) - 1]
    return (body[:len(body) // 2] + " " + word + body[len(body) // 2:]).encode()


def cjk_latin(size, word):
    """CJK mixed with Latin words, as in a note between colleagues."""
    base = ("会议在 Monday 10:00 开始，请带上 laptop 和 report.pdf。東京オフィスの Wi-Fi パスワードは tavlin-2026 です。"
            "서울 팀은 Slack 채널 #release 에서 확인해 주세요. ")
    body = (base * (size // len(base.encode()) + 1)).encode()
    return cut(word.encode() + b" " + body, size)


def long_url(size, word):
    """One URL, no spaces, as a tracking link or a data-laden query."""
    head = f"https://shop.example.com/search?q={word}&session="
    tail = "".join(f"&p{i}=%E2%9C%93{i:06x}" for i in range(size // 16 + 1))
    return (head + tail)[:size].encode()


def rtl(word, repeat=20):
    lines = ["مرحبا بالعالم — this is mixed with English and numbers 2026 في النص",
             "שלום עולם, hello world (בדיקה) 123 ואז עוד טקסט",
             f"{word}: ملف report.pdf أرسله إلى dana@example.org اليوم",
             "עברית ← English → العربية"]
    return ("\n".join(lines * repeat)).encode()


def code(word):
    lines = []
    for i in range(300):
        lines.append("\tif (config.get(\"option_%d\") != nullptr && config.get(\"option_%d\")->value().toString()"
                     ".contains(QStringLiteral(\"%s\"))) {" % (i, i, word if i == 150 else "x" * (i % 40)))
        lines.append("\t\t\treturn process(config, \"" + "long argument " * (i % 30) + "\");\t// tab\tseparated")
        lines.append("\t}")
    return "\n".join(lines).encode()


def uri_list(word, count=1000):
    files = [f"file:///home/user/Pictures/{word}/{word}_{i:05d}%20copy.jpg" for i in range(count)]
    return ("\r\n".join(files) + "\r\n").encode(), "\n".join(f"/home/user/Pictures/{word}/{word}_{i:05d} copy.jpg"
                                                           for i in range(count)).encode()


def cut(data, size):
    """The first `size` bytes of UTF-8, less the end of a character they would split."""
    return data[:size].decode("utf-8", "ignore").encode()


def contents():
    """(name, [(target, bytes)], search word or None)"""
    items = []
    for n in (1, 10, 50, 200, 500, 5000):
        word = f"emojiword{n}"
        items.append((f"chat-{n}-emoji", [("UTF8_STRING", chat(n, word).encode())], word))
    for label, size in (("5k", 5000), ("50k", 50000), ("500k", 500000), ("2mib", 2 << 20)):
        word = f"pageword{label}"
        html, text = html_page(size, word)
        items.append((f"html-{label}", [("text/html", html), ("text/plain;charset=utf-8", text),
                                        ("UTF8_STRING", text)], word))
    for label, size in (("10k", 10000), ("100k", 100000), ("1mib", 1 << 20), ("2mib", 2 << 20)):
        word = f"rtfword{label}"
        rtf, text = rtf_document(size, word)
        items.append((f"rtf-{label}", [("text/rtf", rtf), ("text/plain;charset=utf-8", text)], word))
    rtf, _ = rtf_document(1 << 20, "rtfonlyword")
    items.append(("rtf-only-1mib", [("text/rtf", rtf)], "rtfonlyword"))
    for label, size in (("3k", 3000), ("300k", 300000), ("1900k", 1900000)):
        word = f"rtfuniword{label}"
        rtf, text = rtf_document(size, word, unicode=True)
        items.append((f"rtf-unicode-{label}", [("text/rtf", rtf), ("text/plain;charset=utf-8", text)], word))
    for label, size in (("200", 200), ("20k", 20000), ("1mib", 1 << 20)):
        word = f"mixword{label}"
        items.append((f"cjk-latin-{label}", [("UTF8_STRING", cjk_latin(size, word))], word))
    for repeat in (1, 400, 3700):
        items.append((f"rtl-mixed-x{repeat}", [("UTF8_STRING", rtl(f"rtlword{repeat}", repeat))], f"rtlword{repeat}"))
    for label, size in (("2k", 2000), ("64k", 65536), ("1mib", 1 << 20)):
        word = f"urlword{label}"
        items.append((f"url-{label}", [("UTF8_STRING", long_url(size, word))], word))
    for n in (1, 10, 100):
        word = f"fewfiles{n}"
        uris, paths = uri_list(word, n)
        items.append((f"uri-list-{n}", [("text/uri-list", uris), ("UTF8_STRING", paths)], word if n == 1 else None))
    for count in (100, 1000, 10000, 50000):
        word = f"cjkword{count}"
        items.append((f"cjk-{count}", [("UTF8_STRING", cjk(count, word))], word))
    items.append(("rtl-mixed", [("UTF8_STRING", rtl("rtlword"))], "rtlword"))
    line = b"lineword " + b"abcdefghij" * ((1 << 20) // 10)
    items.append(("one-line-1mib", [("UTF8_STRING", line[:1 << 20])], "lineword"))
    items.append(("code-tabs", [("UTF8_STRING", code("codeword"))], "codeword"))
    uris, paths = uri_list("filesword")
    items.append(("uri-list-1000", [("text/uri-list", uris), ("UTF8_STRING", paths)], None))
    uris, paths = uri_list("fileswordmany", 10000)
    items.append(("uri-list-10000", [("text/uri-list", uris), ("UTF8_STRING", paths)], None))
    # At the limit of a text record, and one byte past it (not kept).
    emoji = ("limitword " + "".join(EMOJI)).encode()
    items.append(("emoji-1mib", [("UTF8_STRING", cut(emoji * ((1 << 20) // len(emoji) + 1), 1 << 20))],
                  "limitword"))
    items.append(("text-over-limit", [("UTF8_STRING", b"overword " + b"y" * ((1 << 20) - 8))], None))
    html, text = html_page(8 << 20, "bigpageword")
    items.append(("html-8mib", [("text/html", html), ("UTF8_STRING", cut(text, 1 << 20))], "bigpageword"))
    # Shapes that are hard on text layout: many short lines, blank lines, stacked combining marks.
    items.append(("short-lines-1mib", [("UTF8_STRING", cut(b"shortword\n" + b"a\n" * (1 << 19), 1 << 20))],
                  "shortword"))
    items.append(("blank-lines-1mib", [("UTF8_STRING", cut(b"blankword\n" + b"\n" * (1 << 20), 1 << 20))],
                  "blankword"))
    zalgo = "".join(c + "\u0301\u0316\u0327\u0353\u0361\u035c" for c in "zalgo text ") * 2000
    items.append(("combining-200k", [("UTF8_STRING", ("combword " + zalgo).encode())], "combword"))
    # One user-perceived character as long as a record may be, and one that follows a word.
    cluster = "e" + "\u0301" * 524286
    items.append(("one-cluster-1mib", [("UTF8_STRING", cluster.encode())], None))
    items.append(("word-cluster-1mib", [("UTF8_STRING", ("clusterword " + cluster[:-6]).encode())], "clusterword"))
    # The same in rich text, as a word processor and a browser offer it.
    accents = "e" + "\u0301" * 170000
    items.append(("rtf-cluster-1mib", [("text/rtf", ("{\\rtf1\\ansi\\uc1 rtfclusterword " + "e" + "\\u769?" * 170000
                                                     + "\\par}").encode()),
                                       ("text/plain;charset=utf-8", ("rtfclusterword " + accents).encode())],
                  "rtfclusterword"))
    items.append(("html-cluster-1mib", [("text/html", ("<meta charset=\"utf-8\"><p>htmlclusterword " + accents
                                                       + "</p>").encode()),
                                        ("UTF8_STRING", ("htmlclusterword " + accents).encode())], "htmlclusterword"))
    # Text with Windows line endings, trailing blanks and a tab, as an editor on another system writes it.
    items.append(("crlf-text", [("UTF8_STRING", b"crlfword first line  \r\n\tsecond line\r\n\r\nlast line \r\n")],
                  "crlfword"))
    # A browser's "Copy Image": the picture and the markup that shows it.
    items.append(("browser-image", [("image/png", big_png(640, 480, 2)),
                                    ("text/html", b'<meta charset="utf-8"><img src="https://example.org/cat.png" '
                                                  b'alt="browserimageword">')], None))
    # A file manager's copy: its own list of files beside the standard one.
    uris, paths = uri_list("managerword", 3)
    items.append(("file-manager-3", [("x-special/gnome-copied-files", b"copy\n" + uris.replace(b"\r\n", b"\n").strip()),
                                     ("text/uri-list", uris), ("UTF8_STRING", paths)], None))
    items.append(("png-1x1", [("image/png", png(1, 1))], None))
    items.append(("png-10000x100", [("image/png", png(10000, 100, 9))], None))
    for width, height in ((64, 64), (800, 600), (1920, 1080), (4000, 3000)):
        items.append((f"png-{width}x{height}", [("image/png", big_png(width, height, 4))], None))
    items.append(("png-3000x3000-noise", [("image/png", big_png(3000, 3000, noise=True))], None))
    for width, height in ((64, 64), (800, 600), (1920, 1080), (4000, 3000), (6000, 4000)):
        items.append((f"jpeg-{width}x{height}", [("image/jpeg", jpeg(width, height, 6))], None))
    return items


SHORTCUT = "<key>quickPanel.shortcut</key><data>eyJrZXlDb2RlIjo0MCwibW9kaWZpZXJzIjo2MTQ0fQ==</data>"


def wait_for(predicate, timeout=10.0, step=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(step)
    return False


class Pings(threading.Thread):
    def __init__(self, name, pid):
        super().__init__(daemon=True)
        self.connection = xdisplay.Display(name)
        windows = []
        wait_for(lambda: windows.extend(windows_of(self.connection, pid)) or windows, 10)
        self.pinger = Pinger(self.connection, windows[0])
        self.phase = "start"
        self.worst = {}
        self.stop = False

    def run(self):
        while not self.stop:
            phase = self.phase
            rtt = self.pinger.round_trip(30)
            rtt = 30.0 if rtt is None else rtt
            self.worst[phase] = max(self.worst.get(phase, 0), rtt)
            time.sleep(0.02)


helpers = []
owners = []


def main():
    build, out, mode = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3]
    only = sys.argv[4] if len(sys.argv) > 4 else ""
    os.makedirs(out, exist_ok=True)
    scratch = tempfile.mkdtemp()
    home, runtime = scratch + "/home", scratch + "/run"
    os.makedirs(home + "/.config/Tavlin")
    os.makedirs(runtime, mode=0o700)
    with open(home + "/.config/Tavlin/org.tavlin.Tavlin.plist", "w") as plist:
        plist.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>'
                    "<key>onboarding.completed</key><true/><key>history.showPreview</key><true/>"
                    f"<key>history.viewMode</key><string>{mode}</string>{SHORTCUT}</dict></plist>\n")
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                              pass_fds=(write,))
    os.close(write)
    helpers.append(server)
    number = b""
    while not number.endswith(b"\n"):
        number += os.read(read, 16)
    name = ":" + number.decode().strip()
    # A session bus no program reaches: given none, each would autolaunch one (dbus-launch), which
    # outlives it and leaves its socket in /tmp.
    env = dict(os.environ, DISPLAY=name, HOME=home, XDG_CONFIG_HOME=home + "/.config",
               XDG_DATA_HOME=home + "/.local/share", XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8",
               DBUS_SESSION_BUS_ADDRESS="unix:path=/dev/null")
    env.pop("QT_QPA_PLATFORM", None)
    helpers.append(subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL))
    helpers.append(subprocess.Popen(["trayer", "--edge", "top", "--align", "left", "--widthtype", "request",
                                     "--height", "32", "--SetDockType", "true"], env=env, stderr=subprocess.DEVNULL))
    time.sleep(1.5)
    log = open(out + f"/app-{mode}.log", "w")
    app = subprocess.Popen([build + "/src/app/tavlin"], env=env, stderr=log)
    helpers.append(app)
    x = xdisplay.Display(name)
    clipboard = x.intern_atom("CLIPBOARD")
    database = home + "/.local/share/Tavlin/history.sqlite"

    def run(*args, **kw):
        return subprocess.run(list(args), env=env, capture_output=True, timeout=kw.get("timeout", 30))

    def count():
        try:
            with sqlite3.connect(f"file:{database}?mode=ro", uri=True, timeout=5) as db:
                return db.execute("SELECT COUNT(*) FROM clips").fetchone()[0]
        except sqlite3.Error:
            return -1

    def owner():
        return x.get_selection_owner(clipboard)

    def focused():
        return run("xdotool", "getwindowfocus", "getwindowname").stdout.decode().strip()

    def click_tray():
        tray = run("xdotool", "search", "--classname", "^panel$").stdout.decode().split()[0]
        run("xdotool", "mousemove", "--window", tray, "10", "12", "click", "1")

    def shot(file):
        root = x.screen().root
        geometry = root.get_geometry()
        width, height = geometry.width, geometry.height
        rows = bytearray()
        # In bands, so that no single request outgrows what the server takes at once.
        for top in range(0, height, 100):
            band = min(100, height - top)
            pixels = root.get_image(0, top, width, band, X.ZPixmap, 0xFFFFFFFF).data
            for y in range(band):
                line = pixels[y * width * 4:(y + 1) * width * 4]
                rgb = bytearray(width * 3)
                rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
                rows += b"\0" + rgb
        with open(f"{out}/{file}.png", "wb") as f:
            f.write(encode_png(width, height, bytes(rows)))

    def copy(targets, tag):
        before = count()
        if len(targets) == 1:
            target, data = targets[0]
            path = f"{scratch}/{tag}"
            with open(path, "wb") as f:
                f.write(data)
            taken = owner()
            owners.append(subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-t", target, "-i", path],
                                           env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            wait_for(lambda: owner() != taken, 10)
        else:
            args = []
            for i, (target, data) in enumerate(targets):
                path = f"{scratch}/{tag}-{i}"
                with open(path, "wb") as f:
                    f.write(data)
                args.append(f"{target}=@{path}")
            p = subprocess.Popen([build + "/tests/platform/tavlin_test_clipboard_owner", "serve"] + args, env=env,
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            p.stdout.readline()
            owners.append(p)
        return wait_for(lambda: count() > before, 20)

    def compare(targets):
        wrong = []
        for target, data in targets:
            got = run("xclip", "-o", "-selection", "clipboard", "-t", target).stdout
            if got != data:
                first = next((i for i, (a, b) in enumerate(zip(got, data)) if a != b), min(len(got), len(data)))
                wrong.append(f"{target}: {len(got)} bytes for {len(data)}, first difference at {first}")
        if wrong:
            offered = run("xclip", "-o", "-selection", "clipboard", "-t", "TARGETS").stdout.decode().split()
            wrong.append("offered " + " ".join(offered))
        return wrong

    time.sleep(3)
    pings = Pings(name, app.pid)
    pings.start()
    report = []
    for index, (label, targets, word) in enumerate(contents()):
        if only and not any(part in label for part in only.split(",")):
            continue
        notes = []
        pings.phase = label + ":copy"
        if not copy(targets, label):
            time.sleep(2)
            worst = round(pings.worst.get(label + ":copy", 0) * 1000)
            alive = "" if app.poll() is None else f", APPLICATION ENDED {app.returncode}"
            print(f"{label}: pings {{'copy': {worst}}} not stored{alive}", flush=True)
            continue
        time.sleep(1)
        # The history window, newest record selected, preview on.
        pings.phase = label + ":window"
        wait_for(lambda: click_tray() or focused() == "Tavlin", 3, 1.0)
        if focused() != "Tavlin":
            notes.append("window not focused: " + focused())
        time.sleep(2.5)
        shot(f"{mode}-{index:02d}-{label}-window")
        before = owner()
        # The first row or card, clicked, then copied with Ctrl+C.
        pings.phase = label + ":select"
        run("xdotool", "getactivewindow", "mousemove", "--window", "%1", "300", "150", "click", "1")
        time.sleep(1.0)
        pings.phase = label + ":copyback-window"
        run("xdotool", "key", "ctrl+c")
        if not wait_for(lambda: owner() != before, 5):
            notes.append("window copy-back did not take the clipboard")
        else:
            time.sleep(0.3)
            notes += ["window copy-back " + w for w in compare(targets)]
        if focused() == "Tavlin":
            run("xdotool", "key", "Escape")
            time.sleep(0.5)
        if focused() == "Tavlin":
            click_tray()
            time.sleep(0.8)
        if focused() == "Tavlin":
            notes.append("window did not hide")
        # A copy made since, then the Quick Panel finds the record again.
        copy([("UTF8_STRING", f"sentinel {label}".encode())], label + "-sentinel")
        time.sleep(0.5)
        pings.phase = label + ":quickpanel"
        before = owner()
        run("xdotool", "key", "ctrl+alt+k")
        time.sleep(1.2)
        panel = focused()
        if word:
            run("xdotool", "type", "--delay", "40", word)
        else:
            run("xdotool", "key", "Down")
        time.sleep(1.5)
        shot(f"{mode}-{index:02d}-{label}-quickpanel")
        pings.phase = label + ":copyback-panel"
        run("xdotool", "key", "Return")
        if not wait_for(lambda: owner() != before, 5):
            notes.append("panel copy-back did not take the clipboard")
        else:
            time.sleep(0.3)
            notes += ["panel copy-back " + w for w in compare(targets)]
        time.sleep(0.5)
        if app.poll() is not None:
            notes.append(f"APPLICATION ENDED {app.returncode}")
        worst = {k.split(":")[1]: round(v * 1000) for k, v in pings.worst.items() if k.startswith(label + ":")}
        line = f"{label}: pings {worst} panel={panel!r} " + ("; ".join(notes) if notes else "ok")
        print(line, flush=True)
        report.append(line)
        if app.poll() is not None:
            break
    pings.stop = True
    started = time.monotonic()
    app.terminate()
    try:
        app.wait(10)
        print(f"SIGTERM obeyed in {time.monotonic() - started:.2f} s")
    except subprocess.TimeoutExpired:
        print("SIGTERM NOT OBEYED")
        app.kill()
    for p in owners:
        p.kill()
    with open(f"{out}/report-{mode}.txt", "w") as f:
        f.write("\n".join(report) + "\n")


if __name__ == "__main__":
    try:
        main()
    finally:
        for process in owners + helpers[::-1]:
            process.kill()
            process.wait()
