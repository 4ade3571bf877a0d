"""The start-up splash: centred, topmost, disabled, captioned, and gone by itself."""
import json
import os
import subprocess
import tempfile
import unittest

from harness import (EXE, PROBE, BarTest, probe, run, screenshot, wait_until, x_click)

SPLASH_CLASS = "SplashScreenClass"
ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "splash.bmp")
ART_SIZE = (328, 213)  # the bitmap's size is the window's outer size
CAPTION = "Pinnafex\nwww.quorvel.example"
CAPTION_BAND = 40  # the caption is drawn over the client area's bottom 40 pixels
WS_POPUP, WS_DISABLED = 0x80000000, 0x08000000
WS_EX_DLGMODALFRAME, WS_EX_TOPMOST = 0x1, 0x8


def screen_size():
    out = run(["xdotool", "getdisplaygeometry"], check=True)
    width, height = out.stdout.split()
    return int(width), int(height)


def pixels(image, left, top, width, height):
    """{(x, y): (r, g, b)} of a region of an image file, through ImageMagick."""
    out = run(["convert", image, "-crop", f"{width}x{height}+{left}+{top}", "+repage",
               "-depth", "8", "txt:-"], check=True)
    found = {}
    for line in out.stdout.decode().splitlines()[1:]:
        where, colour = line.split(":", 1)
        x, y = map(int, where.split(","))
        channels = colour.split("(")[1].split(")")[0].split(",")[:3]
        found[(x, y)] = tuple(int(float(v)) for v in channels)
    return found


def differing_pixels(image_a, image_b, width, height, at_a, at_b=(0, 0)):
    """How many pixels of two equal-sized regions differ (ImageMagick's compare)."""
    with tempfile.TemporaryDirectory() as folder:
        crops = []
        for i, (image, (x, y)) in enumerate(((image_a, at_a), (image_b, at_b))):
            crops.append(os.path.join(folder, f"{i}.png"))
            run(["convert", image, "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-type",
                 "TrueColor", crops[-1]], check=True)
        out = run(["compare", "-metric", "AE", *crops, os.path.join(folder, "diff.png")])
        return int(float(out.stderr.split()[0]))


class Watcher:
    """The probe following the splash window: its states in order, then whether it closed."""

    def __init__(self, timeout_ms=10000):
        self.process = subprocess.Popen(["wine", PROBE, "watch", SPLASH_CLASS, str(timeout_ms)],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.states = []
        self.gone = None
        if "watching" not in self.next_line():
            raise AssertionError("the probe did not start watching")

    def next_line(self):
        line = self.process.stdout.readline()
        return json.loads(line) if line else {"gone": None}

    def until(self, check):
        """Reads states until `check(state)` holds; returns it, or None once the window is gone."""
        while self.gone is None:
            line = self.next_line()
            if "gone" in line:
                self.gone = line["gone"]
                return None
            state = dict(line["window"], ms=line["ms"])  # ms since it was first seen
            self.states.append(state)
            if check(state):
                return state
        return None

    def finish(self):
        self.until(lambda state: False)
        self.stop()
        return self.gone

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(10)
        self.process.stdout.close()


class Splash(BarTest):
    def setUp(self):
        super().setUp()
        # A splash left over from another test's start would be taken for this one.
        wait_until(lambda: not probe("window", "*", SPLASH_CLASS), 20, "no splash on screen")
        self.watcher = Watcher()
        self.addCleanup(self.watcher.stop)

    def launch(self):
        self.bar.process = subprocess.Popen(["wine", EXE], stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)

    def test_splash_shows_centred_disabled_with_caption_and_closes_by_itself(self):
        width, height = screen_size()
        left, top = (width - ART_SIZE[0]) // 2, (height - ART_SIZE[1]) // 2
        self.launch()
        shown = self.watcher.until(lambda s: s["visible"] and s["title"] == CAPTION)
        self.assertIsNotNone(shown, f"the splash never showed its caption: {self.watcher.states}")
        # A click on the disabled window goes nowhere; the picture taken after it still shows
        # the splash.
        centre = (left + ART_SIZE[0] // 2, top + ART_SIZE[1] // 2)
        x_click(*centre)
        shot = screenshot(os.path.join(os.environ["PINNAFEX_SESSION"], "splash.png"))
        self.assertEqual(self.watcher.finish(), 1, "the splash did not close by itself in 10 s")

        with self.subTest("window"):
            self.assertEqual(shown["rect"], [left, top, left + ART_SIZE[0], top + ART_SIZE[1]])
            self.assertTrue(shown["style"] & WS_POPUP, hex(shown["style"]))
            self.assertTrue(shown["style"] & WS_DISABLED, hex(shown["style"]))
            self.assertEqual(shown["exstyle"] & (WS_EX_DLGMODALFRAME | WS_EX_TOPMOST),
                             WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, hex(shown["exstyle"]))
            # Every state it went through had the same place: it is centred before it shows.
            for state in self.watcher.states:
                if state["visible"]:
                    self.assertEqual(state["rect"], shown["rect"], state)

        client_width, client_height = shown["client"][2], shown["client"][3]
        origin = shown["origin"]
        band_top = client_height - CAPTION_BAND
        with self.subTest("picture, after the click"):
            # The image is drawn from the client area's origin, cut by the frame.
            self.assertEqual(differing_pixels(shot, ART, client_width, band_top, origin), 0)

        with self.subTest("caption in two centred lines"):
            band = pixels(shot, origin[0], origin[1] + band_top, client_width, CAPTION_BAND)
            art_band = pixels(ART, 0, band_top, client_width, CAPTION_BAND)
            # Black text, smoothed at its edges: every changed pixel is darker than the art's.
            changed = {xy for xy, rgb in band.items() if rgb != art_band[xy]}
            self.assertTrue(changed, "nothing drawn over the caption band")
            lighter = [xy for xy in changed if sum(band[xy]) > sum(art_band[xy])]
            self.assertEqual(lighter, [], "caption pixels lighter than the picture")
            text = {xy for xy in changed if max(band[xy]) < 0x40}
            self.assertTrue(text, "no black pixels in the caption band")
            rows = sorted({y for _, y in text})
            lines, start = [], rows[0]
            for previous, row in zip(rows, rows[1:] + [None]):
                if row != previous + 1:
                    lines.append((start, previous))
                    start = row
            self.assertEqual(len(lines), 2, f"rows of the caption: {rows}")
            self.assertLessEqual(lines[0][0], 4, "the first line starts at the band's top")
            widths = []
            for first, last in lines:
                xs = [x for x, y in text if first <= y <= last]
                widths.append(max(xs) - min(xs) + 1)
                middle = (min(xs) + max(xs) + 1) / 2
                self.assertAlmostEqual(middle, client_width / 2, delta=2.5,
                                       msg=f"line {first}..{last} spans {min(xs)}..{max(xs)}")
            self.assertGreater(widths[1], widths[0], "the web address is the longer line")

        wait_until(lambda: (w := self.bar.window()) and w["visible"], 60, "the bar to appear")

    def test_a_second_copy_closes_its_splash_before_already_running(self):
        self.watcher.stop()
        self.bar.start()
        first = self.bar.window()
        wait_until(lambda: not probe("window", "*", SPLASH_CLASS), 20, "the first splash gone")
        self.watcher = Watcher()
        second = subprocess.Popen(["wine", EXE], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: second.poll() is None and second.kill())
        seen = self.watcher.until(lambda s: True)
        self.assertIsNotNone(seen, "the second copy showed no splash")
        self.assertNotEqual(seen["pid"], first["pid"])
        box = self.bar.prompt(60)
        self.assertEqual(box["pid"], seen["pid"])
        self.assertEqual(self.box_text(box), ["Already running"])
        # Its own timer would keep the splash up for a second, well past the box's coming;
        # closed before the box, it is hidden (or gone) by now.
        splash = probe("window", "*", SPLASH_CLASS)
        self.assertFalse(splash and splash[0]["visible"], f"splash still shown: {splash}")
        probe("answer", 1)
        self.assertEqual(second.wait(30), 0)
        self.assertEqual(self.watcher.finish(), 1)
        self.assertEqual(self.bar.window()["hwnd"], first["hwnd"])


if __name__ == "__main__":
    unittest.main()
