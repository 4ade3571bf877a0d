"""The end of a Windows session: a logoff and an installer's close request keep the settings
and never ask."""
import unittest

from harness import BarTest, probe, reg_values, wait_until
from test_dock import CMD_LEFT, CMD_SHOW_CLOCK, docked_rect

ENDSESSION_CLOSEAPP = 1
LEFT_NO_CLOCK = {"AUTOHIDE": ("REG_SZ", "0"), "NOCLOCK": ("REG_SZ", "1"),
                 "STARTPOSITON": ("REG_SZ", "0")}


class SessionEnd(BarTest):
    def start_left_without_clock(self):
        self.bar.start()
        self.bar.command(CMD_LEFT)
        self.bar.command(CMD_SHOW_CLOCK)
        wait_until(lambda: self.bar.window()["rect"] == docked_rect("left", (1024, 768)), 20,
                   "the bar at the left")

    def end_session(self, how):
        answers = probe("end-session", how)
        self.assertTrue(answers and any(a["bar"] for a in answers), answers)
        for answer in answers:
            if answer["sent"] or answer["bar"]:  # the splash may close meanwhile
                self.assertEqual(answer["query"], 1, f"{answer['class']} held the session up")
        self.assertIsNone(probe("box"), "a prompt came up")

    def test_logoff_keeps_the_settings_for_the_next_start(self):
        self.start_left_without_clock()
        self.end_session(0)
        self.assertEqual(reg_values(), LEFT_NO_CLOCK)
        self.bar.stop()  # the system ends the process after a logoff

        self.bar.start()
        wait_until(lambda: self.bar.window()["rect"] == docked_rect("left", (1024, 768)), 20,
                   "the bar back at the left")
        self.assertFalse(self.bar.controls()[133]["visible"], "the clock is back")

    def test_close_request_ends_the_program_with_code_0(self):
        self.start_left_without_clock()
        self.end_session(ENDSESSION_CLOSEAPP)
        self.assertEqual(self.bar.process.wait(30), 0)
        self.assertEqual(reg_values(), LEFT_NO_CLOCK)


if __name__ == "__main__":
    unittest.main()
