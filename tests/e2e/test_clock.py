"""The clock field's ticker on the real bar, at a local time chosen through TZ."""
import datetime
import unittest

from harness import CLOCK_GROUP, BarTest, probe_lines

WIDTH = 25  # characters the field shows at a time
ONE_TICK_MS = 75  # samples this close have at most one tick of 150 ms between them


def tz_for(hour, minute):
    """A POSIX TZ under which this UTC minute reads hour:minute locally."""
    now = datetime.datetime.now(datetime.timezone.utc)
    delta = (hour * 60 + minute - (now.hour * 60 + now.minute)) % (24 * 60)
    delta -= 24 * 60 if delta > 12 * 60 else 0
    return "PNX%s%02d:%02d" % ("-" if delta >= 0 else "+", abs(delta) // 60, abs(delta) % 60)


def one_tick_later(a, b):
    if a == "":
        return b == " " * WIDTH  # a pass begins with the width's blanks
    if len(a) == 1:
        return b == ""  # the refill tick shows nothing
    return b == a[1:] or (len(a) == len(b) == WIDTH and b[:-1] == a[1:])


class Clock(BarTest):
    def test_ticker_shifts_one_character_a_tick_and_tells_a_quarter_past_two(self):
        self.bar.start(env={"TZ": tz_for(14, 15)})
        phrases = {"Genau viertel Drei ", "Eins nach viertel Drei "}  # the minute may roll over
        sampler, samples = probe_lines("sample", CLOCK_GROUP[2], 3000, 15)
        self.addCleanup(lambda: (sampler.kill(), sampler.wait(), sampler.stdout.close()))
        steps, passes, current = [], [], None  # current: the pass being rebuilt, if whole so far
        for sample in samples:
            text, whole = sample["text"], sample["gap"] < ONE_TICK_MS
            if whole and sample["gap"]:
                steps.append((previous, text))
            current = current if whole else None
            if text == "":
                passes += [current[WIDTH:]] if current else []
                current = ""
            elif current == "" or (current and len(text) == WIDTH):
                current += text if current == "" else text[-1]  # one more character at the right
            previous = text
            if len(steps) > 100 and phrases & set(passes):
                break
        self.assertLessEqual(max(len(b) for _, b in steps), WIDTH)
        self.assertEqual([s for s in steps if not one_tick_later(*s)], [], "no one-character shift")
        self.assertIn(("", " " * WIDTH), steps, "no pass boundary seen")
        self.assertTrue(phrases & set(passes), f"passes: {passes}")


if __name__ == "__main__":
    unittest.main()
