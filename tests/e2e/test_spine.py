"""Start-up with its splash, a second copy, the quit prompt, and the settings kept at a
confirmed quit and at a session's end."""
import subprocess
import unittest

from harness import (CLOCK_GROUP, EXE, IDNO, IDOK, IDS, IDYES, SC_CLOSE, WM_SYSCOMMAND, Bar,
                     BarTest, probe, prompt, reg_set, reg_values, run, wait_until)

SPLASH = "SplashScreenClass"
WM_QUERYENDSESSION, WM_ENDSESSION = 0x11, 0x16


def splash():
    got = probe("controls", SPLASH)
    return got[0] if got and got[0]["visible"] else None


def at_left(bar):
    left, top, right, bottom = bar.window()["rect"]
    return left == 0 and bottom - top > right - left


class Spine(BarTest):
    def test_start_second_copy_and_quit(self):
        reg_set("NOCLOCK", 1)
        reg_set("STARTPOSITON", "abc")  # not a number: the left edge
        reg_set("AUTOHIDE", 49, "REG_DWORD")  # not text, though its bytes read "1": off
        reg_set("HOTKEYS", "1" * 300)  # longer than any setting: off
        self.bar.launch()
        # Its caption is set just after it shows.
        shown = wait_until(lambda: (s := splash()) and s["text"] and s, 20, "the splash with its caption")
        width, height = map(int, run(["xdotool", "getdisplaygeometry"]).stdout.split())
        left, top, right, bottom = shown["rect"]
        self.assertEqual((shown["text"], abs(left + right - width) <= 1, abs(top + bottom - height) <= 1),
                         ("Pinnafex\nwww.quorvel.example", True, True))
        wait_until(lambda: not splash(), 10, "the splash to close by itself")
        self.bar.shown()
        self.assertTrue(at_left(self.bar))
        self.assertEqual({c["visible"] for i, c in self.bar.controls().items() if i in CLOCK_GROUP}, {0})

        second = subprocess.Popen(["wine", EXE], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: second.poll() is None and second.kill())
        box = prompt(60)
        self.assertEqual((box["text"], box["texts"], box["owner"]),
                         ("Quorvel_Pinnafex", ["Already running"], 0))
        self.assertIsNone(splash(), "the second copy closes its splash before it tells")
        probe("answer", IDOK)
        self.assertEqual(second.wait(30), 0)
        self.assertEqual(self.bar.window()["hwnd"], self.bar.hwnd)

        self.bar.command(IDS["IDM_SHOW_CLOCK"])
        wait_until(lambda: self.bar.controls()[CLOCK_GROUP[0]]["visible"], 10, "the clock shown")
        ways = {
            "EXIT button": lambda: self.bar.click(IDS["IDC_EXIT"]),
            "Escape": lambda: (self.bar.click(IDS["IDC_CLOCK_FIELD"]), run(["xdotool", "key", "Escape"])),
            "close box": lambda: probe("post", WM_SYSCOMMAND, SC_CLOSE, 0),
        }
        for way, act in ways.items():
            with self.subTest(way=way):
                act()
                box = prompt()
                self.assertEqual((box["text"], box["texts"], box["buttons"], box["owner"]),
                                 ("Quit Pinnafex", ["Really Quit?"], [IDYES, IDNO], self.bar.hwnd))
                probe("answer", IDNO)
                wait_until(lambda: not probe("box"), 10, "the prompt to close")
                self.assertIsNone(self.bar.process.poll(), "No keeps the bar")
        self.assertEqual(reg_values(), {"NOCLOCK": "1", "STARTPOSITON": "abc", "AUTOHIDE": "0x31",
                                        "HOTKEYS": "1" * 300}, "nothing written yet")
        self.assertEqual(self.bar.quit(), 0)
        self.assertEqual(reg_values(), {"NOCLOCK": "0", "STARTPOSITON": "0", "AUTOHIDE": "0",
                                        "HOTKEYS": "0", "KEEPSLOTS": "0", "SCREEN": "",
                                        "SCREENID": "", "LOCKEDSLOTS": "0"})

    def test_session_end_keeps_the_settings_and_never_asks(self):
        kept = {"AUTOHIDE": "0", "NOCLOCK": "1", "STARTPOSITON": "0", "HOTKEYS": "1", "KEEPSLOTS": "0",
                "SCREEN": "", "SCREENID": "", "LOCKEDSLOTS": "0"}
        for how in (0, 1):  # a logoff, then an installer's close request (ENDSESSION_CLOSEAPP)
            with self.subTest(how=how):
                self.bar.start()
                if how == 0:
                    for command in ("IDM_LEFT", "IDM_SHOW_CLOCK", "IDM_HOTKEYS"):
                        self.bar.command(IDS[command])
                wait_until(lambda: at_left(self.bar), 20, "the bar at the left")
                self.assertFalse(self.bar.controls()[CLOCK_GROUP[0]]["visible"])
                self.assertEqual(probe("send", WM_QUERYENDSESSION, 0, how), [{"answer": 1}])
                probe("send", WM_ENDSESSION, 1, how)
                self.assertIsNone(probe("box"), "a prompt came up")
                self.assertEqual(reg_values(), kept)
                if how:
                    self.assertEqual(self.bar.process.wait(30), 0)
                self.bar.stop()  # after a logoff the system ends the process
                self.bar = Bar()

    def test_start_with_windows(self):
        run_key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
        approved = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
        here = ('"Z:%s"' % EXE.replace("/", "\\")).lower()

        # Left by a folder moved since: unchecked, so choosing the item points the entry here.
        run(["wine", "reg", "add", run_key, "/v", "Pinnafex", "/d", r'"C:\old\pinnafex.exe"', "/f"])
        self.bar.start()
        for disabled, after in ((True, here), (False, None), (False, here), (True, here)):
            with self.subTest(disabled=disabled, after=after):
                if disabled:  # marked as Task Manager does, it shows unchecked: choosing it enables it
                    run(["wine", "reg", "add", approved, "/v", "Pinnafex", "/t", "REG_BINARY", "/d", "03" + "00" * 11, "/f"])
                self.bar.command(IDS["IDM_START_WITH_WINDOWS"])
                wait_until(lambda: (reg_values(run_key).get("Pinnafex", "").lower() or None) == after
                           and "Pinnafex" not in reg_values(approved), 10, f"the Run entry {after}")
        self.assertNotIn("Pinnafex", reg_values(r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"))


if __name__ == "__main__":
    unittest.main()
