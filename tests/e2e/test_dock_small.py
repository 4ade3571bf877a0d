"""The bar on an 800x600 screen: fewer slot groups fit, the rectangles follow the screen, and the
hidden strips lie at its edges. Registered with a session of its own at that size."""
import os
import unittest

from harness import BarTest, x_move
from test_dock import (CMD_AUTOHIDE, CMD_LEFT, CMD_TOP, DockChecks, docked_rect, strip_rect)


class DockSmall(DockChecks, BarTest):
    SCREEN = (800, 600)

    def setUp(self):
        super().setUp()
        self.check_screen()

    def test_layouts_and_strips_follow_the_screen(self):
        self.bar.start()
        shots = os.environ.get("PINNAFEX_SHOTS", os.environ.get("PINNAFEX_SESSION", "/tmp"))
        with self.subTest("top"):
            self.check_shape("top", "top at 800", os.path.join(shots, "dock-small-top.png"))
        self.bar.command(CMD_LEFT)
        with self.subTest("left"):
            self.check_shape("left", "left at 600", os.path.join(shots, "dock-small-left.png"))

        x_move(*self.centre())
        self.bar.command(CMD_AUTOHIDE)
        for shape, command, edge_point in (("left", None, (0, 300)), ("top", CMD_TOP, (400, 0))):
            with self.subTest("autohide", shape=shape):
                if command:
                    self.bar.command(command)
                self.wait_rect(strip_rect(shape, self.SCREEN), f"hidden at the {shape}")
                x_move(*edge_point)
                self.wait_rect(docked_rect(shape, self.SCREEN), f"shown at the {shape}")
                x_move(*self.centre())
                self.wait_rect(strip_rect(shape, self.SCREEN), f"hidden at the {shape} again")


if __name__ == "__main__":
    unittest.main()
