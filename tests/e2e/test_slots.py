"""Clip slots on the real bar: exact bytes and any script through Push and Pop, the bound of the
listed lines, a held clipboard or a taken hotkey told in the clock field, and the hotkeys pasting
into Notepad."""
import datetime
import re
import struct
import subprocess
import time
import unittest

from harness import (CF_LOCALE, CF_TEXT, CF_UNICODETEXT, CLOCK_GROUP, COMBO, FRAME, IDS, POP, PUSH,
                     BarTest, clipboard_data, clipboard_set, probe, probe_lines, reg_set, run,
                     wait_until, x_clipboard_set)

SLOT = 3  # as the user numbers it
# A secret's privacy marks, each with the value its source gave.
MARKS = {"ExcludeClipboardContentFromMonitorProcessing": b"\x01",
         "CanIncludeInClipboardHistory": b"\0\0\0\0", "CanUploadToCloudClipboard": b"\0\0\0\0"}
SYNTHESIZED = {CF_TEXT, 7, CF_UNICODETEXT, CF_LOCALE}  # Wine's formats beside CF_TEXT alone
BOUND = 10000  # lines a slot's list shows at most
MODIFIERS, WM_HOTKEY = 7, 0x312  # Ctrl+Shift+Alt, as the slots' keys have them
PRIVATE, HISTORY, RTF = "Pinnafex Probe Private", "CanIncludeInClipboardHistory", "Rich Text Format"


def caption(size, slot=SLOT, unit="Byte"):
    return "Clip %2i  private" % slot if unit == "private" else "Clip %2i  %4i %s" % (slot, size, unit)


def tz_for(hour, minute):
    """A POSIX TZ under which this UTC minute reads hour:minute locally."""
    now = datetime.datetime.now(datetime.timezone.utc)
    delta = (hour * 60 + minute - (now.hour * 60 + now.minute)) % (24 * 60)
    delta -= 24 * 60 if delta > 12 * 60 else 0
    return "PNX%s%02d:%02d" % ("-" if delta >= 0 else "+", abs(delta) // 60, abs(delta) % 60)


def utf16(text):
    return text.encode("utf-16-le") + b"\0\0"


def wide(blob):
    return blob.decode("utf-16-le").split("\0")[0]


class Slots(BarTest):
    def setUp(self):
        super().setUp()
        reg_set("HOTKEYS", 1)
        self.bar.start(env={"TZ": tz_for(14, 15)})  # the clock's local time

    def push(self, size, slot=SLOT, unit="Byte"):
        """A real click on a slot's Push, once the clipboard's text has enabled every Push."""
        wait_until(lambda: {c["enabled"] for i, c in self.bar.controls().items() if i in PUSH}
                   == {1}, 10, "every Push enabled")
        (self.bar.click if slot == SLOT else self.bar.command)(PUSH[slot - 1])
        wait_until(lambda: self.bar.caption(slot) == caption(size, slot, unit), 20, caption(size, slot, unit))
        return self.bar.combo(COMBO[slot - 1])

    def pop(self, *formats):
        """Pop over other data: the formats offered, CF_TEXT and the data of `formats`."""
        clipboard_set((CF_TEXT, b"other"), (5, b"other"))
        self.bar.click(POP[SLOT - 1])
        got = wait_until(lambda: (d := clipboard_data(CF_TEXT, *formats))[1] not in (None, b"other\0")
                         and d, 20, "the popped clipboard")
        return got[0], got[1].split(b"\0")[0], *got[2:]

    def test_round_trips(self):
        text = b"Gr\xfc\xdfe\tx\r\nzweite Zeile\r\n"
        clipboard_set((CF_TEXT, text), (5, b"vorher"))
        combo = self.push(len(text) + 5)
        # The tab is not listed; the code page's upper half shows as it is.
        self.assertEqual((combo["entries"], combo["selected"]), (["Gr\xfc\xdfex", "zweite Zeile", "", ""], 0))
        controls = self.bar.controls()
        self.assertEqual(controls[COMBO[SLOT - 1]]["text"], "Gr\xfc\xdfex")
        for i in range(20):  # only this slot holds text
            self.assertEqual([controls[FRAME[i]]["text"] == caption(0, i + 1),
                              controls[POP[i]]["enabled"], controls[COMBO[i]]["enabled"]],
                             [i != SLOT - 1, i == SLOT - 1, i == SLOT - 1], f"slot {i + 1}")
        for _ in range(2):  # exactly the bytes, no format of before, and again
            formats, got = self.pop()
            self.assertEqual(got, text)
            self.assertLessEqual(set(formats), SYNTHESIZED)

        # Wine turns each bare LF from X into CR LF; the slot keeps what CF_TEXT gave.
        x_clipboard_set(b"eins\nzwei \xe4\xf6\x80")
        self.assertEqual(self.push(19)["entries"], ["eins", "zwei \xe4\xf6\u20ac", ""])
        self.assertEqual(self.pop()[1], b"eins\r\nzwei \xe4\xf6\x80")

        cases = [  # text, locale, the locale's code page (None: the slot keeps UTF-16), secret
            ("Za\u017c\u00f3\u0142\u0107 \u2713 \u65e5\u672c\u8a9e \u0395\u03bb\u03bb\u03b7\u03bd "
             "\U0001f31f", 1033, None, False),
            ("\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440!", 1049, "cp1251", False),
            ("\u65e5\u672c\u8a9e\u306e\u6587", 1041, "cp932", False),  # two bytes a letter
            ("hunter2\r\nline two", 1033, None, True),
        ]
        for text, locale, codec, secret in cases:
            with self.subTest(text=text):
                extra = list(MARKS.items()) if secret else []
                clipboard_set((CF_UNICODETEXT, utf16(text)), (CF_LOCALE, struct.pack("<I", locale)), *extra)
                size = len(text.encode(codec or "utf-16-le")) // (1 if codec else 2)  # bytes or units
                listed = self.push(size + 5, unit="private" if secret else "Byte")["entries"]
                self.assertEqual(listed, ["\u2022" * 8, ""] if secret else text.split("\r\n") + [""])
                if secret:  # the edit field's narrow text: bullets of code page 1252
                    self.assertEqual(self.bar.controls()[COMBO[SLOT - 1]]["text"], "\x95" * 8)
                _, got, unicode, kept_locale, *marks = self.pop(CF_UNICODETEXT, CF_LOCALE, *MARKS)
                self.assertEqual((wide(unicode), kept_locale[:4]), (text, struct.pack("<I", locale)))
                self.assertEqual([m and m[:len(v)] for m, v in zip(marks, MARKS.values())],
                                 list(MARKS.values()) if secret else [None] * 3)
                if codec:
                    self.assertEqual(got, text.encode(codec))
                popped = time.monotonic()
        # The secret popped last leaves the clipboard after its time, untouched meanwhile.
        wait_until(lambda: clipboard_data()[0] == [], 25, "the secret gone", pause=0.5)
        self.assertGreater(time.monotonic() - popped, 13)

        clipboard_set()  # Push with no text empties the slot (a click cannot reach it now)
        wait_until(lambda: not self.bar.controls()[PUSH[0]]["enabled"], 10, "Push disabled")
        self.bar.command(PUSH[SLOT - 1])
        wait_until(lambda: self.bar.caption(SLOT) == caption(0), 20, "empty")
        self.assertEqual(self.bar.combo(COMBO[SLOT - 1])["entries"], [])
        controls = self.bar.controls()
        self.assertEqual((controls[POP[SLOT - 1]]["enabled"], controls[COMBO[SLOT - 1]]["enabled"]), (0, 0))

    def test_long_text_and_a_held_clipboard(self):
        # 8 MB in 100,000 lines, the last without a line end.
        lines = [b"Zeile %06d \xe4" % n + b"x" * 64 for n in range(100000)]
        text = b"\r\n".join(lines)
        clipboard_set((CF_TEXT, text))
        kb = (len(text) + 5) // 1024
        self.push(kb, unit="KB")
        combo = self.bar.combo(COMBO[SLOT - 1], first=BOUND - 2)
        self.assertEqual(combo["count"], BOUND + 2)
        self.assertEqual(combo["entries"], [line.decode("cp1252") for line in lines[BOUND - 2:BOUND]]
                         + ["... 90,000 more lines not listed", ""])
        self.assertEqual(self.pop()[1], text)

        holder, held = probe_lines("clip-set", CF_TEXT, b"held".hex(), "hold", 30000)
        sampler, shown = probe_lines("sample", CLOCK_GROUP[2], 600, 50)  # for thirty seconds
        self.addCleanup(lambda: [(p.kill(), p.wait(), p.stdout.close()) for p in (holder, sampler)])
        self.assertIn("holding", next(held))
        next(shown)  # sampling has begun
        self.bar.click(PUSH[SLOT - 1])
        # "Clipboard held by probe.exe" scrolls a character a tick (a busy machine may hide a tick
        # from the sampler, so any of its first windows will do), runs out, and then the clock
        # comes back at a quarter past two in the bar's time zone, told or in digits.
        texts, notice = [], None
        for sample in shown:
            texts.append(sample["text"])
            if notice is None and "held by pr" in texts[-1]:
                notice = len(texts) - 1
            if notice is not None and re.search("viertel Drei|14:1", texts[-1]):
                break
        self.assertIsNotNone(notice, f"no notice in {texts}")
        self.assertIn(texts[notice][:12], "Clipboard held by probe.exe")
        self.assertIn("", texts[notice:], "the notice ran out")
        self.assertRegex(texts[-1], "viertel Drei|14:1", "the local time never showed")
        self.assertEqual(max(map(len, texts)), 25, "the field's width in characters")
        self.assertEqual(self.bar.caption(SLOT), caption(kb, unit="KB"),
                         "the slot keeps what it held")

    def notepad(self):
        """Wine's Notepad in front; its text (code page 1252) through the function returned."""
        subprocess.Popen(["wine", "notepad"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(run, ["wine", "taskkill", "/f", "/im", "notepad.exe"])
        text = lambda: next((c["text"] for c in (probe("controls", "Notepad") or [{}])[1:] if c["class"] == "Edit"), None)
        wait_until(lambda: text() == "", 60, "Notepad")
        # Wine delivers hotkeys only while one of its own windows has the keyboard focus.
        run(["xdotool", "search", "--name", "Notepad", "windowfocus", "--sync"])
        return text

    def test_hotkeys_paste_into_notepad_while_held(self):
        three, fifteen = "drei\r\nZeilen \xe4", "f\xfcnfzehn "
        for slot, text in ((3, three), (15, fifteen)):
            clipboard_set((CF_TEXT, text.encode("cp1252")))
            self.push(len(text) + 5, slot)  # 15 may lie off the bar
        self.assertEqual(self.bar.caption(3), caption(len(three) + 5), "slot 3 kept")
        # The bar lets its keys go when told; one another program then takes is told of when the
        # bar takes its keys again.
        self.bar.command(IDS["IDM_HOTKEYS"])
        wait_until(lambda: probe("hotkey", MODIFIERS, ord("3"), 0), 10, "the bar's keys let go")
        holder, held = probe_lines("hotkey", MODIFIERS, ord("2"), 60000)
        sampler, shown = probe_lines("sample", CLOCK_GROUP[2], 600, 50)
        self.addCleanup(lambda: [(p.kill(), p.wait(), p.stdout.close()) for p in (holder, sampler)])
        self.assertIn("holding", next(held))
        self.bar.command(IDS["IDM_HOTKEYS"])
        self.assertTrue(any("Hotkeys taken by" in s["text"] for s in shown), "no notice")

        notepad = self.notepad()
        mine = b"mine" * (1 << 20)  # the user's own clipboard, large enough to go back as an offer
        clipboard_set((CF_TEXT, mine), (PRIVATE, b"\x00\x01\xfe"))
        run(["xdotool", "keydown", "ctrl+shift+alt"])  # held, 3 pastes once; slot 1 is empty
        for bad_id in (0, 22, -1):  # ids of no key, which only another program sends
            probe("post", WM_HOTKEY, bad_id, 0)
        for key, pasted, hold in (("3", three, 1.5), ("1", three, 0), ("F5", three + fifteen, 0)):
            run(["xdotool", "keydown", key]), time.sleep(hold), run(["xdotool", "keyup", key])
            wait_until(lambda: notepad() == pasted, 20, f"the slot of {key} pasted")
        run(["xdotool", "keyup", "ctrl+shift+alt"])
        run(["xdotool", "key", "x"])  # a plain x: no modifier stuck, no menu entered
        wait_until(lambda: notepad() == three + fifteen + "x", 20, "a plain x typed")
        # Three quick presses injected by another program paste three times.
        started = time.monotonic()
        probe("keys", "a2", "a0", "a4", *["33", "^33"] * 3, "^a4", "^a0", "^a2")
        wait_until(lambda: notepad() == three + fifteen + "x" + 3 * three, 20, "three pastes")
        wait_until(lambda: clipboard_data(PRIVATE)[1], 10, "the clipboard back")
        self.assertLess(time.monotonic() - started, 5, "Notepad's reads not told apart: 2 s each")
        # Whole, marked as in the histories already, and written out as the bar ends.
        self.bar.quit()
        self.assertTrue(clipboard_data(CF_TEXT, PRIVATE, HISTORY)[1:] == (mine + b"\0", b"\x00\x01\xfe\0",
                                                                       b"\0\0\0\0"), "the clipboard lost")

    def test_paste_key_gives_wordpad_its_bold_text_back(self):
        clipboard_set((CF_TEXT, b"slot"))
        self.push(9)
        subprocess.Popen(["wine", r"C:\Program Files\Windows NT\Accessories\wordpad.exe"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(run, ["wine", "taskkill", "/f", "/im", "wordpad.exe"])
        wait_until(lambda: run(["xdotool", "search", "--name", "Wordpad", "windowfocus", "--sync"]).returncode == 0,
                   60, "WordPad")
        run(["xdotool", "type", "fett"]), run(["xdotool", "key", "ctrl+a", "ctrl+b", "ctrl+c"])
        rtf = wait_until(lambda: clipboard_data(RTF)[1], 10, "the bold text copied")
        run(["xdotool", "key", "End", "ctrl+b", "ctrl+shift+alt+3"])  # the slot not bold
        wait_until(lambda: clipboard_data(RTF)[1] == rtf, 10, "the bold text back")
        run(["xdotool", "key", "ctrl+v", "ctrl+a", "ctrl+c"])
        got = wait_until(lambda: (d := clipboard_data(RTF)[1]) != rtf and d, 10, "WordPad's text")
        self.assertRegex(got.decode("latin-1"), r"fett\\b0 slot\\b fett", "the paste bold again")

    def test_copy_key_fills_a_slot_from_notepad(self):
        text = "Gr\xfc\xdfe \u03a9\u03bc\u03ad\u03b3\u03b1 \u041f\u0440\u0438\u0432\u0435\u0442 \u65e5\u672c\u8a9e \U0001f31f\r\nzwei"
        notepad, field = self.notepad(), lambda: self.bar.controls()[CLOCK_GROUP[2]]["text"]
        probe("send", 0x7E, 0, 0)  # a display change lays the bar out again, Notepad left in front
        clipboard_set((CF_UNICODETEXT, utf16(text))), run(["xdotool", "key", "ctrl+v", "ctrl+a"])
        wait_until(lambda: (notepad() or "").endswith("zwei"), 20, "the text")  # narrow: "?" for most
        for notice in ("Copied into slot 4", "Nothing was copied"):  # the second with no selection
            clipboard_set((CF_TEXT, b"other"))
            run(["xdotool", "keydown", "ctrl+shift+alt"]), run(["xdotool", "key", "Insert"])
            wait_until(lambda: field() == "Copy into which slot?", 10, "the prompt")
            run(["xdotool", "key", "4"]), run(["xdotool", "keyup", "ctrl+shift+alt"])
            wait_until(lambda: notice[-8:] in field(), 10, notice)  # scrolling out to the left
            wait_until(lambda: clipboard_data(CF_TEXT)[1] == b"other\0", 10, "the clipboard back")
            self.assertEqual(self.bar.caption(4), caption(len(utf16(text)) // 2 + 4, 4))
            # Wine without a window manager stacks Notepad's X window over the topmost bar.
            run(["xdotool", "search", "--name", "^Pinnafex$", "windowraise"]), self.bar.click(POP[3])
            self.assertEqual(probe("front")[0]["text"], "Untitled - Notepad", "Pop took the focus")
            self.assertEqual(wait_until(lambda: (d := wide(clipboard_data(CF_UNICODETEXT)[1] or b"")) != "other" and d, 20, "Pop"), text)
            run(["xdotool", "key", "ctrl+End"])
        probe("send", 0x111, IDS["IDM_HOTKEYS"], 0), clipboard_set((CF_TEXT, b"other"))  # off
        self.assertEqual(probe("send", 0x312, 4, 0), [{"answer": 0}])  # a WM_HOTKEY still queued
        self.assertEqual(clipboard_data(CF_TEXT)[1], b"other\0", "slot 4 popped")


if __name__ == "__main__":
    unittest.main()
