"""The bar at 144 DPI, in a session of its own: rectangles, places and pitch scale by 1.5,
fewer groups fit, every shown control lies inside the bar."""
import os
import unittest

from harness import BarTest
from test_dock import CMD_LEFT, DockChecks


class DockAt144(DockChecks, BarTest):
    DPI = 144

    def shown_count(self, shape, clock_shown):
        return {"top": (5, 6), "left": (6, 7)}[shape][0 if clock_shown else 1]

    def test_layouts_scale_with_the_dpi(self):
        self.check_screen()
        self.bar.start()
        shots = os.environ.get("PINNAFEX_SHOTS", os.environ.get("PINNAFEX_SESSION", "/tmp"))
        self.check_shape("top", "top at 144 DPI", os.path.join(shots, "dpi144-top.png"))
        self.bar.command(CMD_LEFT)
        self.check_shape("left", "left at 144 DPI", os.path.join(shots, "dpi144-left.png"))


if __name__ == "__main__":
    unittest.main()
