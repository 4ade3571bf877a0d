"""Drives the real bar under Wine from outside: the probe, xdotool, xclip and wine reg."""
import json
import os
import re
import subprocess
import time
import unittest

EXE, PROBE = os.environ.get("PINNAFEX_EXE", ""), os.environ.get("PINNAFEX_PROBE", "")
KEY = r"HKCU\Quorvel_Pinnafex"
IDYES, IDNO, IDOK = 6, 7, 1
WM_COMMAND, WM_SYSCOMMAND, SC_CLOSE = 0x111, 0x112, 0xF060
CF_TEXT, CF_UNICODETEXT, CF_LOCALE = 1, 13, 16

with open(os.path.join(os.path.dirname(__file__), "..", "..", "base", "control_ids.h")) as f:
    IDS = {name: int(v) for name, v in re.findall(r"^#define\s+(ID[CM]_\w+)\s+(\d+)", f.read(), re.M)}
# The slot controls as the user numbers the slots: index 0 is slot 1.
SLOTS = range(1, 1 + sum(name.endswith("_POP") for name in IDS))
POP, PUSH, FRAME, EDIT, COMBO = ([IDS[f"IDC_SLOT_{n}_{part}"] for n in SLOTS]
                                 for part in ("POP", "PUSH", "FRAME", "EDIT", "COMBO"))
CLOCK_GROUP = [IDS[name] for name in ("IDC_CLOCK_FRAME", "IDC_EXIT", "IDC_CLOCK_FIELD")]


def run(args, check=False, data=None):
    return subprocess.run(args, capture_output=True, timeout=60, check=check, input=data)


def probe(*args, data=None):
    """The probe's JSON lines, or None when it found nothing; `data` goes to its stdin."""
    out = run(["wine", PROBE, *map(str, args)], data=data)
    return [json.loads(line) for line in out.stdout.decode().splitlines()] if not out.returncode else None


def probe_lines(*args):
    """A probe left running, and its JSON lines as they come."""
    process = subprocess.Popen(["wine", PROBE, *map(str, args)], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    return process, (json.loads(line) for line in process.stdout)


def wait_until(check, timeout=20.0, what="condition", pause=0.1):
    """Polls `check` until it returns something true; fails the test after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while not (value := check()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(pause)
    return value


def reg_set(name, value, kind="REG_SZ"):
    run(["wine", "reg", "add", KEY, "/v", name, "/t", kind, "/d", str(value), "/f"], check=True)


def reg_values(key=KEY):
    """{name: data as reg prints it} of a key's values, {} when the key is missing."""
    out = run(["wine", "reg", "query", key]).stdout.decode("latin-1")
    return dict(re.findall(r"^[ \t]*(\S+)[ \t]+REG_\w+[ \t]*(.*?)\s*$", out, re.M))


def clipboard_set(*pairs):
    """Empties the clipboard and sets each (format, bytes), a format by number or registered
    name. The first goes through stdin: a command line would not hold megabytes."""
    args = [x for i, (fmt, blob) in enumerate(pairs) for x in (fmt, blob.hex() if i else "-")]
    probe("clip-set", *args, data=pairs[0][1].hex().encode() if pairs else b"")


def clipboard_data(*formats):
    """The offered formats, then the whole data of each format asked for (None: not offered)."""
    got = probe("clip-get", *formats)[0]
    return got["formats"], *[bytes.fromhex(d) if d else None for d in got["data"].values()]


def x_clipboard_set(data: bytes):
    """Offers the bytes (code page 1252) on the X clipboard as UTF8_STRING; Wine bridges it."""
    # xclip stays behind to serve the selection: it must not hold our pipes open.
    subprocess.run(["xclip", "-selection", "clipboard", "-t", "UTF8_STRING", "-i"],
                   input=data.decode("cp1252").encode(), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=30, check=True)


def x_move(x, y):
    # --sync waits for the pointer to move, which it never does when it is there already.
    if not {f"X={x}", f"Y={y}"} <= set(run(["xdotool", "getmouselocation", "--shell"]).stdout.decode().split()):
        run(["xdotool", "mousemove", "--sync", str(x), str(y)])


def prompt(timeout=20):
    """A message box beside the bar: its caption, pid, owner, texts and button ids."""
    box, *children = wait_until(lambda: probe("box"), timeout, "a message box")
    box["texts"] = [c["text"] for c in children if c["id"] == 65535]
    box["buttons"] = sorted(c["id"] for c in children if c["class"].lower() == "button")
    return box


class Bar:
    """One run of the program; `start` waits for the bar, `quit` answers the prompt."""
    process = hwnd = None

    def launch(self, env=None):
        """`env` adds variables to the program's environment (e.g. TZ for its local time)."""
        self.process = subprocess.Popen(["wine", EXE], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, env={**os.environ, **(env or {})})

    def start(self, env=None):
        self.launch(env)
        return self.shown()

    def shown(self):
        self.hwnd = wait_until(lambda: (w := self.window()) and w["visible"] and w, 60, "the bar")["hwnd"]
        return self

    def window(self):
        return (probe("bar") or [None])[0]

    def at(self, rect, what, shows=None):  # shows: what its region lets show on the screen
        wait_until(lambda: (w := self.window())["rect"] == rect and shows in (None, w["shows"]), 20, f"{what}: {rect}, {shows}")

    def controls(self):
        return {c["id"]: c for c in (probe("controls") or [None])[1:]}

    def caption(self, slot):
        return self.controls().get(FRAME[slot - 1], {}).get("wtext")  # None while a window goes

    def combo(self, control_id, first=0):
        return probe("combo", control_id, first)[0]

    def command(self, control_id):
        probe("post", WM_COMMAND, control_id, 0)

    def click(self, control_id, button=1):
        """A real click on the centre of a control."""
        (ox, oy), (left, top, right, bottom) = self.window()["origin"], self.controls()[control_id]["rect"]
        x_move(ox + (left + right) // 2, oy + (top + bottom) // 2)
        run(["xdotool", "click", str(button)])

    def quit(self):
        self.command(2)
        prompt()
        probe("answer", IDYES)
        return self.process.wait(60)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(10)
        # A message box left behind would block the next start; a killed bar never took its
        # claim off the shell, and Wine would clip every later bar against it.
        run(["wine", "taskkill", "/f", "/im", os.path.basename(EXE)])
        if self.hwnd:
            probe("appbar-remove", self.hwnd)


class BarTest(unittest.TestCase):
    """Each test starts from a clean registry key and an empty clipboard and ends the bar."""

    def setUp(self):
        # A session runs one architecture's build: i686 where Wine can, else x86_64.
        if not EXE or not os.environ.get("PINNAFEX_SESSION"):
            self.skipTest("needs tools/wine-session.sh and PINNAFEX_EXE")
        with open(EXE, "rb") as exe:
            head = exe.read(4096)
        pe = int.from_bytes(head[0x3C:0x40], "little")
        if (head[pe + 4:pe + 6] == b"\x4c\x01") != (os.environ.get("PINNAFEX_WINE32") == "1"):
            self.skipTest("this session drives the other architecture's build")
        run(["wine", "reg", "delete", KEY, "/f"])
        try:
            clipboard_set()
        except subprocess.TimeoutExpired:  # a fresh session's first clipboard call, under load
            clipboard_set()
        self.bar = Bar()
        self.addCleanup(lambda: self.bar.stop())
