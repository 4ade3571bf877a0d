"""The bar at 144 DPI: its rectangles, the groups' places and pitch scale by one and a half,
fewer groups fit, and every shown control lies inside the bar. Registered with a session of
its own whose prefix says 144 DPI."""
import os
import unittest

from harness import BarTest
from test_dock import CMD_LEFT, DockChecks

# Slot groups shown (clock shown, clock hidden) on the 1024 x 768 screen at 144 DPI.
SHOWN_AT_144 = {"top": (5, 6), "left": (6, 7)}


class DockAt144(DockChecks, BarTest):
    DPI = 144

    def setUp(self):
        super().setUp()
        self.check_screen()

    def shown_count(self, shape, clock_shown):
        return SHOWN_AT_144[shape][0 if clock_shown else 1]

    def test_layouts_scale_with_the_dpi(self):
        self.bar.start()
        shots = os.environ.get("PINNAFEX_SHOTS", os.environ.get("PINNAFEX_SESSION", "/tmp"))
        with self.subTest("top"):
            self.check_shape("top", "top at 144 DPI", os.path.join(shots, "dpi144-top.png"))
        self.bar.command(CMD_LEFT)
        with self.subTest("left"):
            self.check_shape("left", "left at 144 DPI", os.path.join(shots, "dpi144-left.png"))


if __name__ == "__main__":
    unittest.main()
