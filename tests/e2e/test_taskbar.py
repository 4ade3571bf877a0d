"""The bar beside a stand-in taskbar (another program's appbar) and beside the window in front."""
import json
import subprocess
import time
import unittest

from harness import CF_TEXT, IDS, PROBE, PUSH, BarTest, clipboard_set, probe, run, wait_until, x_move
import test_dock  # its layout checks; imported whole so that its tests do not run here too
from test_dock import docked, hidden, session

WM_DISPLAYCHANGE = 0x7E


class Taskbar(BarTest):
    def taskbar(self, edge, thickness):
        """A taskbar at `edge` (0 left .. 3 bottom) until the test ends; its rectangle."""
        process = subprocess.Popen(["wine", PROBE, "taskbar", str(edge), str(thickness)],
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = json.loads(process.stdout.readline())
        # A killed program never takes its claim off the shell.
        self.addCleanup(lambda: (process.kill(), process.wait(), process.stdout.close(),
                                 probe("appbar-remove", line["hwnd"])))
        return line["rect"]

    def test_autohide_and_groups_beside_a_bottom_taskbar(self):
        width, height, dpi = session()
        top = self.taskbar(3, 60)[1]
        self.assertEqual(top, height - 60)
        x_move(width // 2, height // 2)
        self.bar.start().command(IDS["IDM_LEFT"])
        rect = docked("left", width, top, dpi)
        frames = test_dock.Dock.laid_out(self, rect, 1)
        count = test_dock.Dock.check_layout(self, frames, "left above the taskbar")
        self.assertEqual(count, (top - 2) // 66 - 1, "the groups that fit above the taskbar")
        self.bar.command(IDS["IDM_BOTTOM"])
        self.bar.command(IDS["IDM_AUTOHIDE"])
        shown = docked("bottom", width, top, dpi)
        self.bar.at(hidden("bottom", shown, dpi), "hidden against the taskbar")
        x_move(width // 2, top + 30)  # on the taskbar: the bar stays hidden
        time.sleep(1)
        self.assertEqual(self.bar.window()["rect"], hidden("bottom", shown, dpi))
        x_move(width // 2, top - 1)
        self.bar.at(shown, "shown from its strip, above the taskbar")
        x_move(width // 2, height // 2)
        self.bar.at(hidden("bottom", shown, dpi), "hidden again")

    def test_the_window_in_front_stays_in_front(self):
        width, height, dpi = session()
        self.bar.start().at(docked("top", width, height, dpi), "the bar laid out")
        subprocess.Popen(["wine", "notepad"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(run, ["wine", "taskkill", "/f", "/im", "notepad.exe"])
        wait_until(lambda: probe("controls", "Notepad"), 60, "Notepad")
        run(["xdotool", "search", "--name", "Notepad", "windowfocus", "--sync"])
        front = lambda: (probe("front") or [{}])[0].get("text")
        wait_until(lambda: front() == "Untitled - Notepad", 20, "Notepad in front")
        probe("send", WM_DISPLAYCHANGE, 32, height << 16 | width)  # returns once handled
        self.assertEqual(front(), "Untitled - Notepad", "after a display change")
        clipboard_set((CF_TEXT, b"pushed"))
        empty = self.bar.caption(1)
        self.bar.click(PUSH[0])
        wait_until(lambda: self.bar.caption(1) != empty, 20, "the click on Push pressed it")
        self.assertEqual(front(), "Untitled - Notepad", "after a click on Push")


if __name__ == "__main__":
    unittest.main()
