"""Docking, layout and autohide of the real bar beside a taskbar, on whatever screen and DPI its
session has (registered for 1024x768, 800x600 and 144 DPI)."""
import itertools
import json
import re
import subprocess
import time
import unittest

from harness import (CLOCK_GROUP, COMBO, EDIT, FRAME, IDS, POP, PROBE, PUSH, Bar, BarTest, probe,
                     reg_values, run, wait_until, x_move)

SLOT_GROUPS = list(zip(FRAME, POP, PUSH, COMBO))


def session():
    """The screen's size and the prefix's DPI."""
    width, height = map(int, run(["xdotool", "getdisplaygeometry"]).stdout.split())
    out = run(["wine", "reg", "query", r"HKCU\Control Panel\Desktop", "/v", "LogPixels"])
    dpi = re.search(rb"REG_DWORD\s+0x([0-9a-f]+)", out.stdout, re.I)
    return width, height, int(dpi[1], 16) if dpi else 96


def scale(v, dpi):
    return (abs(v) * dpi + 48) // 96 * (1 if v >= 0 else -1)


def docked(shape, width, height, dpi):
    """The bar's rectangle: 90 pixels high at the top or the bottom, 120 wide at the left or the
    right, its caption's 20 pixels above the screen or, at the bottom, above its claim (at 96 DPI)."""
    above, high, wide = scale(-20, dpi), scale(90, dpi), scale(120, dpi)
    return {"top": [0, above, width, above + high], "bottom": [0, height - high, width, height],
            "left": [0, above, wide, height], "right": [width - wide, above, width, height]}[shape]


def hidden(shape, rect, dpi):
    """What of a hidden bar shows: a strip of 2 pixels (at 96 DPI) at its edge. Its window stays."""
    (left, top, right, bottom), strip = rect[:1] + [rect[1] + scale(20, dpi)] + rect[2:], scale(2, dpi)
    return {"top": [left, top, right, top + strip], "bottom": [left, bottom - strip, right, bottom],
            "left": [left, top, left + strip, bottom], "right": [right - strip, top, right, bottom]}[shape]


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


class Dock(BarTest):
    def laid_out(self, rect, clock):
        """The controls once the bar is at `rect` with the clock shown or not, and settled."""
        def settled():  # the same places twice running (the clock's text changes meanwhile)
            first, again = self.bar.controls(), self.bar.controls()
            places = [{i: (c["rect"], c["visible"]) for i, c in got.items()} for got in (first, again)]
            ok = self.bar.window()["rect"] == rect and first[CLOCK_GROUP[0]]["visible"] == clock
            return ok and places[0] == places[1] and first
        return wait_until(settled, 20, f"the layout in {rect}, clock {clock}")

    def check_layout(self, controls, label):
        """Groups are shown whole, the shown ones first; they lie inside the bar, apart, and fill
        it: one more would not fit. Returns how many slot groups are shown."""
        client, rect = self.bar.window()["client"], lambda i: controls[i]["rect"]
        shown = [{controls[i]["visible"] for i in group} for group in SLOT_GROUPS]
        count = shown.count({1})
        self.assertEqual(shown, [{1}] * count + [{0}] * (20 - count), f"{label}: groups shown")
        groups = SLOT_GROUPS[:count] + ([CLOCK_GROUP] if controls[CLOCK_GROUP[0]]["visible"] else [])
        for i in (i for group in groups for i in group):
            self.assertTrue(min(rect(i)[:2]) >= 0 and rect(i)[2] <= client[2] and rect(i)[3] <= client[3],
                            f"{label}: control {i} at {rect(i)} outside {client}")
        for a, b in itertools.combinations(groups, 2):
            self.assertFalse(any(overlap(rect(i), rect(j)) for i, j in itertools.product(a, b)), f"{label}: {a}, {b}")
        for i in EDIT + [IDS["IDC_SPARE_COMBO"]]:
            self.assertFalse(overlap(rect(i), client), f"{label}: unused {i} shows")
        dx, dy = (second - first for first, second in zip(rect(FRAME[0])[:2], rect(FRAME[1])[:2]))
        _, _, r, b = rect(FRAME[count - 1])
        self.assertTrue(count == 20 or r + dx > client[2] or b + dy > client[3], f"{label}: room left")
        return count

    def test_layouts_and_autohide(self):
        width, height, dpi = session()
        taskbar = subprocess.Popen(["wine", PROBE, "taskbar", "3", "60"], stdout=subprocess.PIPE)  # first
        height, hwnd = (lambda w: (w["rect"][1], w["hwnd"]))(json.loads(taskbar.stdout.readline()))
        self.addCleanup(lambda: (taskbar.kill(), taskbar.wait(), taskbar.stdout.close(), probe("appbar-remove", hwnd)))
        centre = (width // 2, height // 2)
        self.bar.start()
        for shape in ("top", "left", "right", "bottom"):
            self.bar.command(IDS["IDM_" + shape.upper()])
            rect = docked(shape, width, height, dpi)
            with_clock = self.laid_out(rect, 1)
            self.assertEqual(self.bar.window()["topmost"], 1, "a layout makes the bar topmost")
            count = self.check_layout(with_clock, f"{shape}, clock shown")
            self.bar.command(IDS["IDM_SHOW_CLOCK"])
            without = self.laid_out(rect, 0)
            self.assertEqual(self.check_layout(without, f"{shape}, clock hidden"), count + 1)
            self.assertEqual(without[FRAME[0]]["rect"], with_clock[CLOCK_GROUP[0]]["rect"],
                             "slot 1 takes the clock's place")
            self.bar.command(IDS["IDM_SHOW_CLOCK"])
            again = self.laid_out(rect, 1)
            self.assertEqual([again[i]["rect"] for i in again], [with_clock[i]["rect"] for i in again])

        x_move(*centre)
        self.bar.command(IDS["IDM_AUTOHIDE"])
        self.bar.at(rect, "hidden above the taskbar", hidden("bottom", rect, dpi))
        x_move(centre[0], height + 30), time.sleep(1)  # on the taskbar: the bar stays hidden
        self.assertEqual(self.bar.window()["shows"], hidden("bottom", rect, dpi))
        strips = {"bottom": [(centre[0], height - 1), (centre[0], height - 2)],
                  "right": [(width - 1, centre[1]), (width - 2, centre[1])],
                  "left": [(0, centre[1]), (2, centre[1])], "top": [(centre[0], 0), (centre[0], 1)]}
        for shape, edges in strips.items():
            self.bar.command(IDS["IDM_" + shape.upper()])
            rect = docked(shape, width, height, dpi)
            shown = rect[:1] + [rect[1] + scale(20, dpi)] + rect[2:]  # never the caption
            self.bar.at(rect, f"hidden at the {shape}", hidden(shape, rect, dpi))
            for edge in edges:  # the strip's pixels show the bar; it stays while the pointer rests
                x_move(*edge)
                self.bar.at(rect, f"shown by the pointer at {edge}", shown)
                time.sleep(0.6)
                self.assertEqual(self.bar.window()["shows"], shown, f"stays with the pointer at {edge}")
                x_move(*centre)
                self.bar.at(rect, f"hidden at the {shape} again", hidden(shape, rect, dpi))

        self.assertEqual(self.bar.quit(), 0)
        self.assertEqual((reg_values()["AUTOHIDE"], reg_values()["STARTPOSITON"]), ("1", "1"))
        self.bar = Bar().start()
        self.bar.at(rect, "hidden at the top after a restart", hidden("top", rect, dpi))
        x_move(centre[0], 0)
        self.check_layout(self.laid_out(rect, 1), "top after a restart")


if __name__ == "__main__":
    unittest.main()
