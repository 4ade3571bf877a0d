"""Starts the bar in a private Xvfb session, takes screenshots of it at the top and at the
left, and quits it. Run by tools/run.sh when there is no display."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from harness import WM_COMMAND, Bar, probe, screenshot, wait_until, x_clipboard_set  # noqa: E402

shots = os.environ["PINNAFEX_SHOTS"]


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
    print("splash:", shot("splash.png"))
    wait_until(lambda: not probe("window", "*", "SplashScreenClass"), 10, "the splash to close")
    x_clipboard_set(b"Gr\xfc\xdfe aus Pinnafex\r\nzweite Zeile\r\n")
    wait_until(lambda: bar.controls()[102]["enabled"], 10, "Push to be enabled")
    for pushed in (102, 106, 109):
        bar.command(pushed)
    time.sleep(1.5)
    print("bar at the top:", shot("bar-top.png", "1024x110+0+0"))
    probe("post", WM_COMMAND, 1234, 0)  # "Left"
    time.sleep(1.5)
    print("bar at the left:", shot("bar-left.png", "180x768+0+0"))
    probe("post", WM_COMMAND, 1224, 0)  # back to the top for the next start
    time.sleep(0.5)
    print("exit code after Quit:", bar.quit())
finally:
    bar.stop()
