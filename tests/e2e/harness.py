"""Drives the real bar under Wine from outside: the probe, xdotool, xclip and wine reg."""
import json
import os
import subprocess
import time
import unittest

EXE = os.environ.get("PINNAFEX_EXE", "")
PROBE = os.environ.get("PINNAFEX_PROBE", "")
KEY = r"HKCU\Quorvel_Pinnafex"
SETTINGS = ("AUTOHIDE", "NOCLOCK", "STARTPOSITON", "HOTKEYS")
IDYES, IDNO, IDOK = 6, 7, 1
WM_COMMAND, WM_SYSCOMMAND, SC_CLOSE = 0x111, 0x112, 0xF060

# SlotControlTable, as the user numbers the slots 1 to 20.
POP = [101, 105, 108, 111, 114, 117, 120, 123, 137, 141, 145, 149, 153, 157, 161, 165, 169, 173, 177, 181]
PUSH = [102, 106, 109, 112, 115, 118, 121, 124, 138, 142, 146, 150, 154, 158, 162, 166, 170, 174, 178, 182]
FRAME = [103, 104, 107, 110, 113, 116, 119, 122, 136, 140, 144, 148, 152, 156, 160, 164, 168, 172, 176, 180]
COMBO = list(range(184, 204))
CLOCK_GROUP = (133, 134, 135)


def _is_32bit(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    pe = int.from_bytes(data[0x3C:0x40], "little")
    return int.from_bytes(data[pe + 4:pe + 6], "little") == 0x14C


def skip_unless_runnable():
    """The session runs one architecture's build end to end: i686 where Wine can, else x86_64."""
    if not EXE or not os.environ.get("PINNAFEX_SESSION"):
        raise unittest.SkipTest("needs tools/wine-session.sh and PINNAFEX_EXE")
    wine32 = os.environ.get("PINNAFEX_WINE32") == "1"
    if _is_32bit(EXE) != wine32:
        raise unittest.SkipTest("this session drives the other architecture's build")


def run(args, timeout=30, check=False, data=None):
    return subprocess.run(args, capture_output=True, timeout=timeout, check=check, input=data)


def probe(*args, timeout=30, data=None):
    """The probe's JSON lines, or None when it found nothing; `data` goes to its stdin."""
    out = run(["wine", PROBE, *map(str, args)], timeout=timeout, data=data)
    if out.returncode != 0:
        return None
    return [json.loads(line) for line in out.stdout.decode("latin-1").splitlines() if line.strip()]


def wait_until(check, timeout=20.0, what="condition"):
    """Polls `check` until it returns something true; fails the test after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.1)


def cp1252(text):
    """Probe strings carry bytes of code page 1252 as \\u00XX escapes."""
    return text.encode("latin-1")


# Registry ----------------------------------------------------------------------------------

def reg_delete_key():
    run(["wine", "reg", "delete", KEY, "/f"])


def reg_set(name, value, kind="REG_SZ"):
    run(["wine", "reg", "add", KEY, "/v", name, "/t", kind, "/d", str(value), "/f"], check=True)


def reg_values():
    """{name: (type, text)} of the program's key, or {} when it is missing."""
    out = run(["wine", "reg", "query", KEY])
    values = {}
    for line in out.stdout.decode("latin-1").splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
    return values


# Clipboard ---------------------------------------------------------------------------------

def x_clipboard_set(data: bytes):
    """Offers the bytes (code page 1252) on the X clipboard as UTF8_STRING; Wine bridges it."""
    # xclip stays behind to serve the selection: it must not hold our pipes open.
    subprocess.run(["xclip", "-selection", "clipboard", "-t", "UTF8_STRING", "-i"],
                   input=data.decode("cp1252").encode("utf-8"), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=30, check=True)


def clipboard_set(data, extra=()):
    """Sets CF_TEXT from inside Wine, byte for byte (None: no CF_TEXT), and each (format, bytes)
    of `extra`, a format by number or by registered name."""
    pairs = [str(x) for fmt, blob in extra for x in (fmt, blob.hex())]
    if data is None:
        probe("clip-set", "none", *pairs)
        return
    # The text goes through stdin: a command line would not hold megabytes.
    probe("clip-set", "-", *pairs, data=data.hex().encode("ascii"))


def clipboard_clear():
    probe("clip-set")


def clipboard_get():
    got = probe("clip-get")
    if not got:
        return None, []
    text = got[0]["text"]
    return (bytes.fromhex(text) if text is not None else None), got[0]["formats"]


def clipboard_data(*formats):
    """The whole data of each format (by number or registered name), None where not offered."""
    got = probe("clip-get", *[str(f) for f in formats])
    data = got[0]["data"] if got else {}
    return [bytes.fromhex(data[str(f)]) if data.get(str(f)) else None for f in formats]


def utf16(text):
    """UTF-16 text as the clipboard holds it, terminator included."""
    return text.encode("utf-16-le") + b"\0\0"


# X input -----------------------------------------------------------------------------------

def x_click(x, y, button=1):
    x_move(x, y)
    run(["xdotool", "click", str(button)])


def x_move(x, y):
    # --sync waits for the pointer to move, which it never does when it is there already
    # (xdotool then gives up after about 15 s).
    here = run(["xdotool", "getmouselocation", "--shell"]).stdout.decode().split()
    if {"X=%d" % x, "Y=%d" % y} <= set(here):
        return
    run(["xdotool", "mousemove", "--sync", str(x), str(y)])


def x_key(key):
    run(["xdotool", "key", key])


def screenshot(path):
    run(["import", "-window", "root", path], check=True)
    return path


# The bar -----------------------------------------------------------------------------------

class Bar:
    """One run of the program; `start` waits for the bar, `quit` answers the prompt."""

    def __init__(self):
        self.process = None
        self.hwnd = None

    def start(self, env=None):
        """`env` adds variables to the program's environment (e.g. TZ for its local time)."""
        self.process = subprocess.Popen(["wine", EXE], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL,
                                        env={**os.environ, **(env or {})})
        shown = wait_until(lambda: (w := self.window()) and w["visible"] and w, 60,
                           "the bar to appear")
        self.hwnd = shown["hwnd"]
        return self

    def window(self):
        got = probe("bar")
        return got[0] if got else None

    def controls(self):
        return {c["id"]: c for c in probe("controls") or []}

    def combo(self, control_id, wide=False, first=0):
        """The combo's entries from `first` on (2000 at most) as code page 1252 bytes, or with
        `wide` as their real text."""
        return probe("combo", control_id, *(["wide"] if wide else []), first)[0]

    def command(self, control_id):
        probe("post", WM_COMMAND, control_id, 0)

    def screen_point(self, control_id):
        """The centre of a control in screen coordinates."""
        window = self.window()
        left, top, right, bottom = self.controls()[control_id]["rect"]
        ox, oy = window["origin"]
        return ox + (left + right) // 2, oy + (top + bottom) // 2

    def click(self, control_id):
        x_click(*self.screen_point(control_id))

    def prompt(self, timeout=20):
        return wait_until(lambda: (b := probe("box")) and b[0], timeout, "a message box")

    def quit(self, timeout=60):
        self.command(2)
        self.prompt()
        probe("answer", IDYES)
        return self.process.wait(timeout)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(10)
        # A message box left behind by a failed test would block the next start.
        run(["wine", "taskkill", "/f", "/im", os.path.basename(EXE)])
        # A killed bar never removed itself from the shell, and Wine's appbar service would
        # clip every later bar against its last claim (a bar that quit has gone already).
        if self.hwnd:
            probe("appbar-remove", self.hwnd)


class BarTest(unittest.TestCase):
    """Each test starts from a clean registry key and an empty clipboard and ends the bar."""

    def setUp(self):
        skip_unless_runnable()
        reg_delete_key()
        clipboard_clear()
        self.bar = Bar()

    def tearDown(self):
        self.bar.stop()

    def box_text(self, box):
        return [c["text"] for c in box["children"] if c and c["id"] == 65535]

    def box_buttons(self, box):
        return sorted(c["id"] for c in box["children"] if c and c["class"].lower() == "button")
