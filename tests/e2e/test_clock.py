"""The clock field's ticker on the real bar, at local times chosen through TZ."""
import datetime
import json
import re
import subprocess
import unittest

from harness import PROBE, BarTest, cp1252

CLOCK_FIELD = 135
WIDTH = 25  # characters the field shows at a time
BLANKS = b" " * WIDTH
SAMPLE_MS = 15  # well inside a tick of 150 ms
# Two samples this close apart have at most one tick between them; a longer gap may hide one.
ONE_TICK_GAP_MS = 75
MIN_STEPS = 100  # shifts to check before the scrolling counts as seen
WEEKDAYS = ["Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"]
DIGITAL = re.compile(rb"(\d\d):(\d\d):(\d\d)  (\w+), (\d\d)\.(\d\d)\.(\d{4})")


def tz_for(hour, minute):
    """A POSIX TZ under which this UTC minute reads hour:minute locally; and that offset."""
    now = datetime.datetime.now(datetime.timezone.utc)
    delta = (hour * 60 + minute - (now.hour * 60 + now.minute)) % (24 * 60)
    if delta > 12 * 60:
        delta -= 24 * 60
    # POSIX counts the offset westward: local = UTC + delta is "-delta".
    sign = "-" if delta >= 0 else "+"
    return "PNX%s%02d:%02d" % (sign, abs(delta) // 60, abs(delta) % 60), delta


def one_tick_later(a, b):
    """Whether the field may show `b` one tick after `a`."""
    if a == b"":
        return b == BLANKS  # a pass begins with the width's blanks
    if len(a) == 1:
        return b == b""  # the refill tick shows nothing
    return b == a[1:] or (len(a) == len(b) == WIDTH and b[:-1] == a[1:])


class Ticker:
    """What the clock field showed, sampled through the probe, one entry per change."""

    def __init__(self):
        self.windows = []  # (text, milliseconds since the sample before)

    def follow(self, enough, seconds=45):
        """Samples until `enough(self)` holds or `seconds` have passed."""
        count = seconds * 1000 // SAMPLE_MS
        process = subprocess.Popen(["wine", PROBE, "sample", str(CLOCK_FIELD), str(count),
                                    str(SAMPLE_MS)], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL)
        try:
            for line in process.stdout:
                sample = json.loads(line)
                self.windows.append((cp1252(sample["text"]), sample["gap"]))
                if enough(self):
                    break
        finally:
            process.kill()
            process.wait(10)
            process.stdout.close()

    def steps(self):
        """Consecutive windows (a, b) with at most one tick between them."""
        return [(a, b) for (a, _), (b, gap) in zip(self.windows, self.windows[1:])
                if gap < ONE_TICK_GAP_MS]

    def passes(self):
        """Clock texts of the whole passes seen, each rebuilt from its windows."""
        texts, current = [], None  # None: not inside a pass that can be rebuilt
        for text, gap in self.windows[1:]:
            if gap >= ONE_TICK_GAP_MS:
                current = None  # a tick may be missing here
            if text == b"":
                if current:
                    texts.append(current[WIDTH:])
                current = b""
            elif current == b"":
                current = text
            elif current is not None and len(text) == WIDTH:
                current += text[-1:]  # each tick brings one more character in at the right
        return texts


class Clock(BarTest):
    def start_at(self, hour, minute):
        """Starts the bar with its local time at hour:minute now; returns a Ticker for it."""
        tz, delta = tz_for(hour, minute)
        self.offset = datetime.timedelta(minutes=delta)
        self.bar.start(env={"TZ": tz})
        return Ticker()

    def local_now(self):
        return datetime.datetime.now(datetime.timezone.utc) + self.offset

    def test_ticker_scrolls_and_tells_a_quarter_past_two(self):
        ticker = self.start_at(14, 15)
        # A phrase without the greeting ends in a blank. The minute may roll over meanwhile.
        phrases = {b"Genau viertel Drei ", b"Eins nach viertel Drei "}

        def enough(t):
            passes = t.passes()
            return (phrases & set(passes) and any(DIGITAL.fullmatch(p) for p in passes)
                    and len(t.steps()) > MIN_STEPS)

        ticker.follow(enough)
        passes = ticker.passes()

        with self.subTest("one character per tick"):
            longest = max(ticker.windows, key=lambda w: len(w[0]))[0]
            self.assertLessEqual(len(longest), WIDTH, longest)
            steps = ticker.steps()
            self.assertGreater(len(steps), MIN_STEPS, "too few samples a tick apart")
            wrong = [(a, b) for a, b in steps if not one_tick_later(a, b)]
            self.assertEqual(wrong, [], "windows that are no one-character shift")
            # A pass ends with its last character alone, then the refill tick shows nothing.
            self.assertIn((b"", BLANKS), steps, "no pass boundary seen")

        with self.subTest("dialect phrase"):
            self.assertTrue(phrases & set(passes), f"passes: {passes}")

        with self.subTest("digital time and German date"):
            local = self.local_now()
            digital = [m for m in map(DIGITAL.fullmatch, passes) if m]
            self.assertTrue(digital, f"passes: {passes}")
            for m in digital:
                hour, minute, second, weekday, day, month, year = m.groups()
                self.assertIn((hour, minute), {(b"14", b"15"), (b"14", b"16")}, m.group(0))
                self.assertEqual(int(second) // 10 % 2, 1, f"digital at an even tens: {m.group(0)}")
                self.assertEqual(weekday.decode(), WEEKDAYS[local.weekday()], m.group(0))
                self.assertEqual((int(day), int(month), int(year)),
                                 (local.day, local.month, local.year), m.group(0))

    def test_lunchtime_greeting(self):
        ticker = self.start_at(12, 3)
        phrases = {"Drei nach Zwölf Mahlzeit!".encode("cp1252"),
                   "Vier nach Zwölf Mahlzeit!".encode("cp1252")}
        ticker.follow(lambda t: phrases & set(t.passes()))
        seen = phrases & set(ticker.passes())
        self.assertTrue(seen, f"passes: {ticker.passes()}")
        # 25 characters: the whole phrase fills the field for exactly one tick.
        self.assertIn(seen.pop(), [w for w, _ in ticker.windows])


if __name__ == "__main__":
    unittest.main()
