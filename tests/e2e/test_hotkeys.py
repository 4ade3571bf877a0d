"""Hotkeys on the real bar: keys paste their slots into Wine's Notepad with the modifiers held."""
import subprocess
import unittest

from harness import (FRAME, PUSH, BarTest, clipboard_get, clipboard_set, cp1252, probe, reg_set,
                     run, wait_until)

THREE, FIFTEEN = b"drei\r\nZeilen \xe4", b"f\xfcnfzehn "


def notepad_text():
    got = [c for c in probe("controls", "Notepad") or [] if c["class"].lower() == "edit"]
    return cp1252(got[0]["text"]) if got else None


class Hotkeys(BarTest):
    def test_keys_paste_their_slots_into_notepad_while_held(self):
        reg_set("HOTKEYS", 1)
        self.bar.start()
        for slot, text in ((3, THREE), (15, FIFTEEN)):
            clipboard_set(text)
            self.bar.command(PUSH[slot - 1])
            caption = "Clip %2i  %4i Byte" % (slot, len(text) + 5)
            wait_until(lambda: self.bar.controls()[FRAME[slot - 1]]["text"] == caption, 20, caption)
        subprocess.Popen(["wine", "notepad"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(run, ["wine", "taskkill", "/f", "/im", "notepad.exe"])
        wait_until(lambda: notepad_text() == b"", 60, "Notepad")
        # Wine delivers hotkeys only while one of its own windows has the keyboard focus.
        run(["xdotool", "search", "--name", "Notepad", "windowfocus", "--sync"])
        run(["xdotool", "keydown", "ctrl+shift+alt"])
        for key, pasted in (("3", THREE), ("1", THREE), ("F5", THREE + FIFTEEN)):  # slot 1 empty
            run(["xdotool", "key", key])
            wait_until(lambda: notepad_text() == pasted, 20, f"the slot of {key} pasted")
        run(["xdotool", "keyup", "ctrl+shift+alt"])
        run(["xdotool", "key", "x"])  # a plain x: no modifier stuck, no menu entered
        wait_until(lambda: notepad_text() == THREE + FIFTEEN + b"x", 20, "a plain x typed")
        self.assertEqual(clipboard_get()[0], FIFTEEN)


if __name__ == "__main__":
    unittest.main()
