"""A slot's own menu on the real bar, by mouse and keys: a name in any script that outlives the
bar, a lock that refuses a Push, Clear, and Clear All Slots sparing a locked slot."""
import unittest

from harness import (CF_TEXT, CLOCK_GROUP, FRAME, IDNO, IDS, IDYES, POP, PUSH, BarTest, clipboard_data,
                     clipboard_set, probe, probe_lines, prompt, reg_values, run, wait_until)

NAME = "\u0421\u0447\u0451\u0442 \u6771\u4eac"  # Cyrillic and CJK


class SlotMenu(BarTest):
    def menu(self, control_id, *keys):
        """A right-click on a control of the bar, then keys into the menu it opened."""
        self.bar.click(control_id, button=3)
        wait_until(lambda: (m := probe("controls", "#32768")) and m[0]["visible"], 10, "a menu")
        run(["xdotool", "key", *keys])

    def push(self, slot, text):
        clipboard_set((CF_TEXT, text))
        self.bar.command(PUSH[slot - 1])
        wait_until(lambda: self.bar.caption(slot) == "Clip %2i  %4i Byte" % (slot, len(text) + 5), 20, "a Push")

    def test_a_name_in_any_script_survives_a_new_start(self):
        self.bar.start()
        self.menu(FRAME[3], "n")
        box = prompt()
        self.assertEqual(box["text"], "Name Slot 4")
        probe("settext", "#32770", "Name Slot 4", IDS["IDC_NAME_SLOT_EDIT"], ("  " + NAME + " ").encode("utf-16-le").hex())
        run(["xdotool", "key", "Return"])
        wait_until(lambda: self.bar.caption(4) == "4 " + NAME, 10, "the named caption")
        self.menu(FRAME[3], "l")  # over a disabled Push: the clipboard is empty
        wait_until(lambda: reg_values().get("LOCKEDSLOTS") == "8", 10, "the lock stored")
        self.bar.quit()
        self.bar.start()
        self.assertEqual([self.bar.caption(n) for n in (3, 4)], ["Clip  3     0 Byte", "4 " + NAME])
        clipboard_set((CF_TEXT, b"text"))
        wait_until(lambda: self.bar.controls()[PUSH[2]]["enabled"], 10, "Push 3 enabled")
        self.assertFalse(self.bar.controls()[PUSH[3]]["enabled"], "slot 4 still locked")

    def test_lock_clear_and_clear_all(self):
        self.bar.start()
        for slot in (3, 4, 5):
            self.push(slot, b"slot %d" % slot)
        self.menu(PUSH[3], "l")
        wait_until(lambda: not self.bar.controls()[PUSH[3]]["enabled"], 10, "Push 4 disabled")
        clipboard_set((CF_TEXT, b"refused"))
        sampler, shown = probe_lines("sample", CLOCK_GROUP[2], 60, 50)
        self.addCleanup(lambda: (sampler.kill(), sampler.wait(), sampler.stdout.close()))
        next(shown)
        self.bar.command(PUSH[3])
        self.assertTrue(any("Slot 4 is locked" in s["text"] for s in shown), "no notice")
        self.assertEqual(self.bar.caption(4), "Clip  4    11 Byte")

        self.bar.command(POP[4])  # the clipboard holds slot 5's text until it is cleared
        wait_until(lambda: clipboard_data(CF_TEXT)[1].startswith(b"slot 5\0"), 10, "Pop")
        self.menu(POP[4], "c")
        wait_until(lambda: self.bar.caption(5) == "Clip  5     0 Byte", 10, "slot 5 cleared")
        self.assertEqual(clipboard_data()[0], [], "the popped text is taken back")
        self.assertFalse(self.bar.controls()[POP[4]]["enabled"])

        for answer, kept in ((IDNO, "Clip  3    11 Byte"), (IDYES, "Clip  3     0 Byte")):
            self.menu(CLOCK_GROUP[0], "Up", "Up", "Return")  # the item above Exit
            box = prompt()
            self.assertEqual((box["text"], box["texts"]), ("Clear Slots", ["Clear all unlocked slots?"]))
            probe("answer", answer)
            wait_until(lambda: self.bar.caption(3) == kept, 10, kept)
        self.assertEqual(self.bar.caption(4), "Clip  4    11 Byte", "the locked slot is kept")


if __name__ == "__main__":
    unittest.main()
