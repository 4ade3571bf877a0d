"""The bar on two monitors of tools/wine-session.sh --monitors: a shared edge, Next Screen, restarts."""
import os
import re
import subprocess
import time
import unittest

from harness import IDS, KEY, PROBE, Bar, BarTest, probe, reg_set, reg_values, run, x_move

HEADS = [[x, y, x + w, y + h] for w, h, x, y in
         (map(int, head) for head in re.findall(r"(\d+)x(\d+)\+(\d+)\+(\d+)", os.environ.get("PINNAFEX_MONITORS", "")))]


class Screens(BarTest):
    def setUp(self):
        if len(HEADS) < 2:
            self.skipTest("SKIP: needs tools/wine-session.sh --monitors and ../shared/tools beside the repository")
        super().setUp()

    def at_bottom_of(self, head, what):
        self.bar.at([head[0], head[3] - 90, head[2], head[3]], what)  # wholly inside `head`

    def test_next_screen_is_kept_and_falls_back_to_the_primary(self):
        (primary, second), (right, bottom) = HEADS[:2], HEADS[0][2:]
        self.bar.start().command(IDS["IDM_RIGHT"])  # the edge the primary shares with the second
        x_move(100, 300)
        self.bar.command(IDS["IDM_AUTOHIDE"])
        self.bar.at([right - 120, -20, right, bottom], "hidden on its own monitor", [right - 2, 0, right, bottom])
        x_move(right + 1, 300)
        time.sleep(1)
        self.assertEqual(self.bar.window()["shows"], [right - 2, 0, right, bottom], "shown from the second monitor")
        laid_out = [c["rect"] for c in probe("controls")]
        self.assertEqual(probe("send", 0x02E0, 192 * 0x10001, 0), [{"answer": 0}])  # another monitor's DPI
        self.assertEqual([c["rect"] for c in probe("controls")], laid_out, "laid out at another DPI")
        x_move(right - 1, 300)
        self.bar.at([right - 120, -20, right, bottom], "shown from its strip", [right - 120, 0, right, bottom])
        self.bar.command(IDS["IDM_AUTOHIDE"])
        self.bar.command(IDS["IDM_BOTTOM"])
        self.at_bottom_of(primary, "the bottom of the primary")
        self.bar.command(IDS["IDM_NEXT_SCREEN"])
        self.at_bottom_of(second, "the bottom of the second monitor after Next Screen")
        self.assertEqual(self.bar.quit(), 0)
        saved = reg_values()
        self.assertEqual((saved["SCREEN"], saved["STARTPOSITON"], saved["SCREENID"][:12]), (r"\\.\DISPLAY2", "3", r"\\?\DISPLAY#"))
        # By the output's name only with no identity saved; an identity not present: the primary.
        for screen_id, head in ((None, second), (r"\\?\DISPLAY#gone", primary), (saved["SCREENID"], second)):
            run(["wine", "reg", "delete", KEY, "/v", "SCREENID", "/f"]) if screen_id is None else reg_set("SCREENID", screen_id)
            self.bar = Bar().start()
            self.at_bottom_of(head, f"the monitor for {screen_id} after a new start")
            self.assertEqual(self.bar.quit(), 0)
            self.assertEqual(reg_values()["SCREENID"], screen_id or saved["SCREENID"])
        # The second monitor unplugged while the bar was not running.
        self.addCleanup(os.environ.__setitem__, "FAKE_XINERAMA", os.environ["FAKE_XINERAMA"])
        run(["sh", "-c", "wineserver -k; wineserver -w"])
        os.environ["FAKE_XINERAMA"] = f"{right}x{bottom}+0+0"
        # The new wineserver must be started without our pipes, or a probe's output never ends.
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        self.addCleanup(subprocess.Popen(["wine", PROBE, "idle"], **quiet).kill)
        subprocess.run(["wine", PROBE, "bar"], timeout=60, **quiet)
        self.bar = Bar().start()
        self.at_bottom_of(primary, "the primary with the second monitor gone")
        self.assertEqual(self.bar.quit(), 0)
        self.assertEqual(reg_values()["SCREEN"], r"\\.\DISPLAY2", "the chosen monitor is kept")


if __name__ == "__main__":
    unittest.main()
