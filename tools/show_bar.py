"""Starts the bar in a private Xvfb session, takes screenshots of it at the top and at the
left, and quits it. Run by tools/run.sh when there is no display; PINNAFEX_DPI names the DPI
of the session's prefix (96 unless set), which scales the crops and names the files."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from harness import WM_COMMAND, Bar, probe, run, wait_until, x_clipboard_set  # noqa: E402

shots = os.environ["PINNAFEX_SHOTS"]
dpi = int(os.environ.get("PINNAFEX_DPI", "96"))
suffix = "" if dpi == 96 else f"-{dpi}"


def screenshot(path):
    run(["import", "-window", "root", path], check=True)
    return path


def px(v):
    return v * dpi // 96


def shot(name, crop=None):
    """A screenshot of the whole screen, cut to the bar's part of it when asked."""
    path = screenshot(os.path.join(shots, name))
    if crop:
        subprocess.run(["convert", path, "-crop", crop, "+repage", path], check=True)
    return path


bar = Bar()
process = bar.start()
try:
    time.sleep(0.4)  # the splash is shown for a second at start
    if not suffix:
        print("splash:", shot("splash.png"))
    wait_until(lambda: not probe("controls", "SplashScreenClass"), 10, "the splash to close")
    x_clipboard_set(b"Gr\xfc\xdfe aus Pinnafex\r\nzweite Zeile\r\n")
    wait_until(lambda: bar.controls()[102]["enabled"], 10, "Push to be enabled")
    for pushed in (102, 106, 109):
        bar.command(pushed)
    time.sleep(1.5)
    print("bar at the top:", shot(f"bar-top{suffix}.png", f"1024x{px(110)}+0+0"))
    probe("post", WM_COMMAND, 1234, 0)  # "Left"
    time.sleep(1.5)
    print("bar at the left:", shot(f"bar-left{suffix}.png", f"{px(180)}x768+0+0"))
    probe("post", WM_COMMAND, 1224, 0)  # back to the top for the next start
    time.sleep(0.5)
    print("exit code after Quit:", bar.quit())
finally:
    bar.stop()
