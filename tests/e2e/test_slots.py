"""Clip slots on the real bar: Push and Pop through the clipboard, frame captions, drop-downs."""
import unittest

import json
import struct
import subprocess

from harness import (COMBO, FRAME, POP, PROBE, PUSH, BarTest, clipboard_clear, clipboard_data,
                     clipboard_get, clipboard_set, cp1252, utf16, wait_until, x_clipboard_set)

SLOT = 3  # as the user numbers it
CF_TEXT, CF_DIF, CF_UNICODETEXT, CF_LOCALE = 1, 5, 13, 16
EXCLUDE = "ExcludeClipboardContentFromMonitorProcessing"
CLOCK_FIELD = 135
# What Wine offers besides CF_TEXT when only CF_TEXT was set: OEM text, Unicode text, locale.
SYNTHESIZED_FROM_TEXT = {CF_TEXT, 7, 13, 16}
MAX_LISTED_LINES = 10000  # the drop-down lists no more lines than this (slots/slot_lines.h)


class Slots(BarTest):
    def setUp(self):
        super().setUp()
        self.bar.start()
        self.index = SLOT - 1

    def control(self, cid):
        return self.bar.controls()[cid]

    def entries(self):
        return [cp1252(e) for e in self.bar.combo(COMBO[self.index])["entries"]]

    def push_by_click(self, caption):
        """A real click on the slot's Push button, once the clipboard's text has enabled it."""
        wait_until(lambda: self.control(PUSH[self.index])["enabled"], 10, "Push enabled")
        self.bar.click(PUSH[self.index])
        wait_until(lambda: self.control(FRAME[self.index])["text"] == caption, 20,
                   f"frame caption {caption!r}")

    def pop_by_click(self, expected):
        """Clicks Pop and returns the clipboard's formats once its text is `expected`."""
        self.bar.click(POP[self.index])
        return wait_until(lambda: (got := clipboard_get())[0] == expected and got[1], 20,
                          "the popped text on the clipboard")

    def assert_only_this_slot_holds(self, caption):
        controls = self.bar.controls()
        for i in range(20):
            holds = i == self.index
            empty = "Clip %2i  %4i Byte" % (i + 1, 0)
            self.assertEqual(controls[FRAME[i]]["text"], caption if holds else empty,
                             f"slot {i + 1}")
            self.assertEqual(controls[POP[i]]["enabled"], int(holds), f"Pop of slot {i + 1}")
            self.assertEqual(controls[COMBO[i]]["enabled"], int(holds), f"combo of slot {i + 1}")

    def test_push_and_pop_through_slot_3(self):
        with self.subTest("ten bytes in three lines"):
            clipboard_set(b"ab\r\ncd\r\nef")
            caption = "Clip %2i  %4i Byte" % (SLOT, 15)
            self.assertEqual(caption, "Clip  3    15 Byte")
            self.push_by_click(caption)
            self.assert_only_this_slot_holds(caption)
            combo = self.bar.combo(COMBO[self.index])
            self.assertEqual(self.entries(), [b"ab", b"cd", b"ef", b""])
            self.assertEqual(combo["selected"], 0)
            self.assertEqual(self.control(COMBO[self.index])["text"], "ab", "the edit field")

        text = b"Gr\xfc\xdfe\tx\r\nzweite Zeile\r\n"
        with self.subTest("exact bytes back, and no format of before"):
            clipboard_set(text, extra=[(CF_DIF, b"vorher")])
            self.assertIn(CF_DIF, clipboard_get()[1], "the second format was not set up")
            self.push_by_click("Clip %2i  %4i Byte" % (SLOT, len(text) + 5))
            # The tab is not listed; the letters of the code page's upper half are, as they are.
            self.assertEqual(self.entries(), [b"Gr\xfc\xdfex", b"zweite Zeile", b"", b""])
            self.assertEqual(cp1252(self.control(COMBO[self.index])["text"]), b"Gr\xfc\xdfex")
            clipboard_set(b"something else", extra=[(CF_DIF, b"danach")])
            formats = self.pop_by_click(text)
            self.assertIn(CF_TEXT, formats)
            self.assertLessEqual(set(formats), SYNTHESIZED_FROM_TEXT, f"formats {formats}")
            # A second Pop hands over the same text again; the slot is unchanged.
            clipboard_set(b"third")
            self.pop_by_click(text)
            self.assert_only_this_slot_holds("Clip %2i  %4i Byte" % (SLOT, len(text) + 5))

        with self.subTest("through the X clipboard"):
            # Wine turns each bare LF into CR LF on the way in; the slot keeps what CF_TEXT gave.
            x_clipboard_set(b"eins\nzwei \xe4\xf6\x80")
            bridged = b"eins\r\nzwei \xe4\xf6\x80"
            self.push_by_click("Clip %2i  %4i Byte" % (SLOT, len(bridged) + 5))
            self.assertEqual(self.entries(), [b"eins", b"zwei \xe4\xf6\x80", b""])
            clipboard_set(b"something else")
            self.pop_by_click(bridged)

        with self.subTest("Push with no text empties the slot"):
            clipboard_clear()
            wait_until(lambda: not self.control(PUSH[self.index])["enabled"], 10, "Push disabled")
            # The button is disabled while the clipboard holds no text, so a click cannot reach
            # it; the command is what a click would send.
            self.bar.command(PUSH[self.index])
            empty = "Clip %2i  %4i Byte" % (SLOT, 0)
            wait_until(lambda: self.control(FRAME[self.index])["text"] == empty, 20, "empty slot")
            self.assertFalse(self.control(POP[self.index])["enabled"])
            self.assertFalse(self.control(COMBO[self.index])["enabled"])
            self.assertEqual(self.entries(), [])

    def test_long_slot_lists_to_the_bound_counts_the_rest_and_pops_whole(self):
        # 8 MB in 100,000 lines, the last without a line end.
        lines = [b"Zeile %06d \xe4" % n + b"x" * 64 for n in range(100000)]
        text = b"\r\n".join(lines)
        self.assertEqual(len(text), 8 * 1000 * 1000 - 2)
        clipboard_set(text)
        self.push_by_click("Clip %2i  %4i KB" % (SLOT, (len(text) + 5) // 1024))
        combo = self.bar.combo(COMBO[self.index], first=MAX_LISTED_LINES - 2)
        self.assertEqual(combo["count"], MAX_LISTED_LINES + 2)
        self.assertEqual([cp1252(e) for e in combo["entries"]],
                         lines[MAX_LISTED_LINES - 2:MAX_LISTED_LINES]
                         + [b"... 90,000 more lines not listed", b""])
        self.assertEqual(self.entries()[:3], lines[:3])
        clipboard_set(b"something else")
        self.pop_by_click(text)

    def test_any_script_comes_back_and_a_secret_keeps_its_mark(self):
        def wide_text(blob):
            return blob.decode("utf-16-le").split("\0")[0] if blob else None

        cases = [  # what, text, locale, the locale's code page (None: the slot keeps UTF-16)
            ("mixed scripts and emoji", "Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 \u2713 "
             "\u65e5\u672c\u8a9e \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \U0001f31f",
             1033, None),
            ("Russian under its own locale", "\u041f\u0440\u0438\u0432\u0435\u0442, "
             "\u043c\u0438\u0440!", 1049, "cp1251"),
        ]
        for what, text, locale, codec in cases:
            with self.subTest(what):
                clipboard_set(None, extra=[(CF_UNICODETEXT, utf16(text)),
                                           (CF_LOCALE, struct.pack("<I", locale))])
                # A single-byte code page gives each UTF-16 unit one byte.
                units = len(text.encode("utf-16-le")) // 2
                self.push_by_click("Clip %2i  %4i Byte" % (SLOT, units + 5))
                shown = self.bar.combo(COMBO[self.index], wide=True)["entries"]
                self.assertEqual(shown, [text, ""], "the drop-down shows the real characters")
                clipboard_set(b"something else")
                self.bar.click(POP[self.index])
                wait_until(lambda: wide_text(clipboard_data(CF_UNICODETEXT)[0]) == text, 20,
                           "the popped text as UTF-16")
                if codec:
                    self.assertEqual(clipboard_get()[0], text.encode(codec))
                self.assertEqual(clipboard_data(CF_LOCALE)[0][:4], struct.pack("<I", locale))

        with self.subTest("a secret is masked and keeps its mark"):
            clipboard_set(None, extra=[(CF_UNICODETEXT, utf16("hunter2\r\nline two")),
                                       (EXCLUDE, b"\x01")])
            self.push_by_click("Clip %2i  %4i Byte" % (SLOT, 22))
            entries = self.bar.combo(COMBO[self.index], wide=True)["entries"]
            self.assertEqual(entries, ["\u2022" * 8, ""])
            self.assertEqual(cp1252(self.control(COMBO[self.index])["text"]), b"\x95" * 8)
            clipboard_set(b"something else")
            self.bar.click(POP[self.index])
            wait_until(lambda: wide_text(clipboard_data(CF_UNICODETEXT)[0]) ==
                       "hunter2\r\nline two", 20, "the popped secret")
            self.assertEqual(clipboard_data(EXCLUDE)[0][:1], b"\x01")

    def test_a_held_clipboard_is_named_in_the_clock_field(self):
        clipboard_set(b"text")
        wait_until(lambda: self.control(PUSH[self.index])["enabled"], 10, "Push enabled")
        holder = subprocess.Popen(["wine", PROBE, "hold-clip", "8000"], stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        # The field's windows, one per change, for the next eight seconds.
        sampler = subprocess.Popen(["wine", PROBE, "sample", str(CLOCK_FIELD), "160", "50"],
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            self.assertIn(b"holding", holder.stdout.readline(), "the probe holds the clipboard")
            sampler.stdout.readline()  # sampling has begun
            self.bar.click(PUSH[self.index])
            shown = []
            for line in sampler.stdout:
                shown.append(json.loads(line)["text"])
                if "Clipboard held by probe.e" in shown and shown[-1] == "":
                    break  # the notice, then the clock's next pass
            self.assertIn("Clipboard held by probe.e", shown)
            after = shown[shown.index("Clipboard held by probe.e"):]
            self.assertIn("", after, "the clock goes on after the notice")
            self.assertEqual(self.control(FRAME[self.index])["text"], "Clip  3     0 Byte")
        finally:
            for process in (holder, sampler):
                process.kill()
                process.wait()
                process.stdout.close()

if __name__ == "__main__":
    unittest.main()
