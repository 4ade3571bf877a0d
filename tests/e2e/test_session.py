"""A logoff and an installer's close request keep the settings and never ask."""
import unittest

from harness import BarTest, probe, reg_values, wait_until
from test_dock import CMD_HOTKEYS, CMD_LEFT, CMD_SHOW_CLOCK, docked_rect

KEPT = {"AUTOHIDE": ("REG_SZ", "0"), "NOCLOCK": ("REG_SZ", "1"), "STARTPOSITON": ("REG_SZ", "0"),
        "HOTKEYS": ("REG_SZ", "1")}


class SessionEnd(BarTest):
    def test_logoff_and_close_request_keep_the_settings(self):
        for how in (0, 1):  # a logoff, then ENDSESSION_CLOSEAPP
            with self.subTest(how=how):
                self.bar.start()
                if how == 0:
                    self.bar.command(CMD_LEFT)
                    self.bar.command(CMD_SHOW_CLOCK)
                    self.bar.command(CMD_HOTKEYS)
                wait_until(lambda: self.bar.window()["rect"] == docked_rect("left", (1024, 768)),
                           20, "the bar at the left")
                self.assertFalse(self.bar.controls()[133]["visible"], "the clock is shown")
                self.assertEqual(probe("end-session", how), [{"query": 1}])
                self.assertIsNone(probe("box"), "a prompt came up")
                self.assertEqual(reg_values(), KEPT)
                if how:
                    self.assertEqual(self.bar.process.wait(30), 0)
                self.bar.stop()  # after a logoff the system ends the process


if __name__ == "__main__":
    unittest.main()
