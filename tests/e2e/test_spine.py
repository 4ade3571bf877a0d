"""Start-up, single instance, the template's controls, the Push buttons and the quit prompt."""
import subprocess
import unittest

from harness import (CLOCK_GROUP, COMBO, FRAME, IDNO, IDOK, IDYES, POP, PUSH, SC_CLOSE,
                     SETTINGS, WM_SYSCOMMAND, Bar, BarTest, clipboard_clear, probe, reg_set,
                     reg_values, wait_until, x_clipboard_set, x_click, x_key)

EDITS = [125, 126, 127, 128, 129, 130, 131, 132, 139, 143, 147, 151, 155, 159, 163, 167, 171,
         175, 179, 183]


class Spine(BarTest):
    def test_bar_shows_the_templates_104_controls(self):
        self.bar.start()
        controls = self.bar.controls()
        self.assertEqual(sorted(controls), list(range(101, 205)))
        expected_class = {**{i: "Button" for i in POP + PUSH + FRAME + [133, 134]},
                          **{i: "Edit" for i in EDITS + [135]},
                          **{i: "ComboBox" for i in COMBO + [204]}}
        for cid, cls in expected_class.items():
            self.assertEqual(controls[cid]["class"].lower(), cls.lower(), f"control {cid}")
        for slot in range(20):
            self.assertEqual(controls[POP[slot]]["text"], "Pop")
            self.assertEqual(controls[PUSH[slot]]["text"], "Push")
            self.assertEqual(controls[FRAME[slot]]["text"], "Clip %2i  %4i Byte" % (slot + 1, 0))
            self.assertFalse(controls[POP[slot]]["enabled"], f"Pop of empty slot {slot + 1}")
            self.assertFalse(controls[COMBO[slot]]["enabled"], f"combo of empty slot {slot + 1}")
            # The slot edits are never addressed: they keep the template's texts and states.
            self.assertEqual(controls[EDITS[slot]]["text"], "Edit%d" % min(slot + 1, 8))
            self.assertFalse(controls[EDITS[slot]]["enabled"])
        self.assertEqual(controls[134]["text"], "EXIT")
        self.assertEqual(controls[133]["text"], "")
        # The spare combo is never addressed. (Wine's drop-down combo does not take the
        # template's text as its edit text, so only its state is checked.)
        self.assertTrue(controls[204]["enabled"])
        self.assertTrue(controls[204]["visible"])

    def test_second_start_says_already_running_and_leaves_the_first(self):
        self.bar.start()
        first = self.bar.window()
        reg_set("NOCLOCK", 7)  # the second copy must neither read nor write the settings
        second = subprocess.Popen(["wine", self.bar_exe()], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        box = wait_until(lambda: (b := probe("box")) and b[0]["pid"] != first["pid"] and b[0],
                         60, "the second copy's message box")
        self.assertEqual(box["caption"], "Quorvel_Pinnafex")
        self.assertEqual(self.box_text(box), ["Already running"])
        self.assertEqual(box["owner"], 0)
        probe("answer", IDOK)
        self.assertEqual(second.wait(30), 0)
        self.assertEqual(self.bar.window()["hwnd"], first["hwnd"])
        self.assertEqual(reg_values(), {"NOCLOCK": ("REG_SZ", "7")})

    def test_push_buttons_follow_the_clipboard(self):
        self.bar.start()

        def push_states():
            controls = self.bar.controls()
            return {controls[p]["enabled"] for p in PUSH}

        x_clipboard_set(b"some text")
        wait_until(lambda: push_states() == {1}, 10, "all Push buttons enabled")
        clipboard_clear()
        wait_until(lambda: push_states() == {0}, 10, "all Push buttons disabled")

    def test_every_way_to_quit_asks_and_no_keeps_the_bar(self):
        self.bar.start()
        window = self.bar.window()
        ways = {
            "EXIT button": lambda: self.bar.click(134),
            "Escape": lambda: (self.bar.click(135), x_key("Escape")),
            "Enter": lambda: (self.bar.click(135), x_key("Return")),
            "close box": lambda: probe("post", WM_SYSCOMMAND, SC_CLOSE, 0),
            "menu Exit": lambda: self.bar.command(2),
        }
        for way, act in ways.items():
            with self.subTest(way=way):
                act()
                box = self.bar.prompt()
                self.assertEqual(box["caption"], "Quit Pinnafex")
                self.assertEqual(self.box_text(box), ["Really Quit?"])
                self.assertEqual(self.box_buttons(box), [IDYES, IDNO])
                self.assertEqual(box["owner"], window["hwnd"])
                probe("answer", IDNO)
                wait_until(lambda: not probe("box"), 10, "the prompt to close")
                self.assertIsNone(self.bar.process.poll(), f"bar still running after No ({way})")
        self.assertEqual(reg_values(), {}, "settings are written only at a confirmed quit")

    def test_yes_writes_the_settings_and_exits_0(self):
        self.bar.start()
        self.assertEqual(self.bar.quit(), 0)
        values = reg_values()
        self.assertEqual(sorted(values), sorted(SETTINGS))
        self.assertEqual(values["STARTPOSITON"], ("REG_SZ", "1"))
        self.assertEqual(values["NOCLOCK"], ("REG_SZ", "0"))
        self.assertEqual(values["AUTOHIDE"], ("REG_SZ", "0"))

    def test_stored_settings_are_read_at_start_and_written_back(self):
        rows = [  # stored (NOCLOCK, AUTOHIDE, STARTPOSITON) -> clock shown, written back
            (("1", "0", "0"), False, ("1", "0", "0")),
            (("0", "0", "1"), True, ("0", "0", "1")),
            (("0", "0", "abc"), True, ("0", "0", "0")),  # not a number: 0, the left edge
            (("0", "0", "-1"), True, ("0", "0", "0")),  # any edge but top ends at the left
        ]
        for stored, clock_shown, written in rows:
            with self.subTest(stored=stored):
                for name, value in zip(("NOCLOCK", "AUTOHIDE", "STARTPOSITON"), stored):
                    reg_set(name, value)
                self.bar.start()
                controls = self.bar.controls()
                for cid in CLOCK_GROUP:
                    self.assertEqual(bool(controls[cid]["visible"]), clock_shown, f"control {cid}")
                self.assertEqual(self.bar.quit(), 0)
                values = reg_values()
                self.assertEqual(tuple(values[n][1] for n in ("NOCLOCK", "AUTOHIDE", "STARTPOSITON")),
                                 written)
                self.bar = Bar()

    def bar_exe(self):
        from harness import EXE
        return EXE


if __name__ == "__main__":
    unittest.main()
