"""The bar on another monitor, on two monitors made by the stand-in Xinerama of
tools/wine-session.sh --monitors: Next Screen, a new start, and a start with that monitor gone."""
import os
import re
import unittest

from harness import IDS, Bar, BarTest, reg_values, run, wait_until


def heads():
    """The session's monitors as rectangles, the primary first."""
    found = re.findall(r"(\d+)x(\d+)\+(\d+)\+(\d+)", os.environ.get("PINNAFEX_MONITORS", ""))
    return [[x, y, x + w, y + h] for w, h, x, y in ([int(v) for v in head] for head in found)]


class Screens(BarTest):
    def setUp(self):
        if len(heads()) < 2:
            self.skipTest("SKIP: needs tools/wine-session.sh --monitors with ../shared/tools beside the repository")
        super().setUp()

    def at_bottom_of(self, head, what):
        """Waits for the bar docked at the bottom of `head`, wholly inside it."""
        left, top, right, bottom = head
        wait_until(lambda: self.bar.window()["rect"] == [left, bottom - 90, right, bottom], 20, what)

    def test_next_screen_is_kept_and_falls_back_to_the_primary(self):
        primary, second = heads()[:2]
        self.bar.start()
        self.bar.command(IDS["IDM_BOTTOM"])
        self.at_bottom_of(primary, "the bottom of the primary")
        self.bar.command(IDS["IDM_NEXT_SCREEN"])
        self.at_bottom_of(second, "the bottom of the second monitor after Next Screen")
        self.assertEqual(self.bar.quit(), 0)
        self.assertEqual((reg_values()["SCREEN"], reg_values()["STARTPOSITON"]), (r"\\.\DISPLAY2", "3"))

        self.bar = Bar().start()
        self.at_bottom_of(second, "the second monitor after a new start")
        self.assertEqual(self.bar.quit(), 0)

        # The second monitor unplugged while the bar was not running.
        self.addCleanup(os.environ.__setitem__, "FAKE_XINERAMA", os.environ["FAKE_XINERAMA"])
        run(["wineserver", "-k"])
        run(["wineserver", "-w"])
        os.environ["FAKE_XINERAMA"] = "{}x{}+0+0".format(primary[2], primary[3])
        self.bar = Bar().start()
        self.at_bottom_of(primary, "the primary with the second monitor gone")
        self.assertEqual(self.bar.quit(), 0)
        self.assertEqual(reg_values()["SCREEN"], r"\\.\DISPLAY2", "the chosen monitor is kept")


if __name__ == "__main__":
    unittest.main()
