"""Keep Slots on the real bar: texts in several scripts with their locales kept across a quit and
a start, a secret never kept, nothing in the clear on disk, a file held by another program at
start, a kill during a save, the setting lost, turning it off."""
import glob
import os
import struct

from harness import (CF_LOCALE, CF_TEXT, CF_UNICODETEXT, IDS, KEY, POP, PUSH, Bar, BarTest,
                     clipboard_data, clipboard_set, probe_lines, reg_set, reg_values, run,
                     wait_until)

TEXTS = {3: ("Za\u017c\u00f3\u0142\u0107 \u2713 \u65e5\u672c\u8a9e \u0395\u03bb\u03bb\u03b7\u03bd "
             "\U0001f31f", 1033),
         5: ("\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440!\r\n", 1049),
         7: ("Gr\u00fc\u00dfe\tzwei", 1031)}  # slot: text, locale


def kept(name="*"):
    """{name: bytes} of the files in the bar's folder, or the paths of those named."""
    paths = glob.glob(os.path.join(os.environ["PINNAFEX_SESSION"], "prefix", "drive_c", "users",
                                   "*", "AppData", "Local", "Pinnafex", name))
    return paths if name != "*" else {os.path.basename(p): b for p in paths if (b := read(p)) is not None}


def read(path):
    """The file's bytes, or None when it went meanwhile."""
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


class Keep(BarTest):
    def push(self, slot, caption, *pairs):
        clipboard_set(*pairs)
        self.bar.command(PUSH[slot - 1])
        wait_until(lambda: self.bar.caption(slot) == caption, 60, caption)

    def popped(self, slot):
        clipboard_set((CF_TEXT, b"other"))
        self.bar.command(POP[slot - 1])
        return wait_until(lambda: (d := clipboard_data(CF_UNICODETEXT, CF_LOCALE))[1] !=
                          "other\0".encode("utf-16-le") and d[1:], 20, "the popped slot")

    def test_kept_across_quit_start_and_kill(self):
        reg_set("KEEPSLOTS", 1)
        self.bar.start()
        for slot, (text, locale) in TEXTS.items():
            self.push(slot, "Clip %2i  %4i Byte" % (slot, len(text.encode("utf-16-le")) // 2 + 5),
                      (CF_UNICODETEXT, text.encode("utf-16-le") + b"\0\0"),
                      (CF_LOCALE, struct.pack("<I", locale)))
        self.push(9, "Clip  9    11 Byte", (CF_TEXT, b"vorher\0"))
        self.push(9, "Clip  9  private", (CF_TEXT, b"hunter2\0"),  # its file goes at once
                  ("ExcludeClipboardContentFromMonitorProcessing", b"\1"))
        names = {"slot-03.kept", "slot-05.kept", "slot-07.kept"}
        files = wait_until(lambda: (k := kept()) and set(k) == names and k, 20, "three kept files")
        for blob in [t.encode(c) for t, _ in TEXTS.values() for c in ("utf-16-le", "utf-8")]:
            self.assertFalse(any(blob[:12] in data for data in files.values()), blob)
        self.assertEqual(self.bar.quit(), 0)
        self.assertEqual(reg_values().get("KEEPSLOTS"), "1")

        # Held without sharing by another program at start: slot 5 comes back once it is freed.
        holder, lines = probe_lines("hold", "Z:" + kept("slot-05.kept")[0], 8000)
        next(lines)
        self.bar = Bar().start()
        wait_until(lambda: self.bar.caption(3) != "Clip  3     0 Byte", 20, "slot 3")
        if holder.poll() is None:
            self.assertEqual(self.bar.caption(5), "Clip  5     0 Byte", "restored while held")
        holder.wait(20)
        for slot, (text, locale) in TEXTS.items():
            wait_until(lambda: self.bar.caption(slot) != "Clip %2i     0 Byte" % slot, 20, f"slot {slot}")
            unicode, kept_locale = self.popped(slot)
            self.assertEqual((unicode.decode("utf-16-le").split("\0")[0], kept_locale[:4]),
                             (text, struct.pack("<I", locale)), f"slot {slot}")
        self.assertEqual(self.bar.caption(9), "Clip  9     0 Byte", "the secret was never kept")

        # Killed while a 16 MB text is being saved: the slot holds the old text or the new.
        big = b"0123456789abcdef" * (1 << 20)
        clipboard_set((CF_TEXT, big))
        self.bar.command(PUSH[6])
        wait_until(lambda: "slot-07.kept.tmp" in kept(), 30, "the save under way", pause=0)
        self.bar.process.kill()
        self.bar.stop()
        run(["wine", "reg", "delete", KEY, "/v", "KEEPSLOTS", "/f"])  # lost: the files win
        self.bar = Bar().start()
        wait_until(lambda: self.bar.caption(7) in ("Clip  7    15 Byte", "Clip  7  16384 KB"), 20, "slot 7")
        unicode = self.popped(7)[0].decode("utf-16-le").split("\0")[0]
        self.assertIn(unicode, (TEXTS[7][0], big.decode()), "slot 7 torn")
        wait_until(lambda: not any(n.endswith(".tmp") for n in kept()), 20, "no temporary file")

        self.assertEqual(reg_values().get("KEEPSLOTS"), "1")
        # Turned off: every file goes at once, the texts stay.
        self.bar.command(IDS["IDM_KEEP_SLOTS"])
        wait_until(lambda: not kept(), 20, "no kept file")
        self.assertEqual(reg_values().get("KEEPSLOTS"), "0")
        self.assertNotEqual(self.bar.caption(3), "Clip  3     0 Byte")
