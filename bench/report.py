"""Prints the one table of tools/bench.sh from the figures of one run: the shipped exe's
sections, the native Google Benchmark results and the Windows-side figures (name<TAB>value)."""
import argparse
import json
import os
import platform
import struct
import subprocess


def pe_sections(path):
    """{name: raw bytes in the file} of a PE image."""
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path} is no PE image")
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional
    sections = {}
    for i in range(count):
        name, _, _, raw_size = struct.unpack_from("<8sIII", data, table + 40 * i)
        sections[name.rstrip(b"\0").decode("ascii", "replace")] = raw_size
    return sections


def kb(n):
    return f"{n / 1024:.1f} KB"


def ms(value):
    if value < 0.01:
        return f"{value * 1000:.2f} µs"
    return f"{value:.3g} ms" if value < 100 else f"{value:.0f} ms"


def ns(value):
    return f"{value:.3g} ns" if value < 1000 else f"{value / 1000:.3g} µs"


def ratio(value):
    return f"{value:.2g}×" if value < 10 else f"{value:,.0f}×"


class Table:
    def __init__(self):
        self.rows = []

    def add(self, what, figure, baseline="", times="", goal="", met=None):
        status = "" if met is None else ("met" if met else "**missed**")
        self.rows.append((what, figure, baseline, times, goal, status))

    def against(self, what, figure, baseline, times, limit):
        """A row whose goal is a ratio to its baseline of at most `limit`."""
        self.add(what, figure, baseline, ratio(times), f"≤ {limit:g}×", times <= limit)

    def section(self, title):
        self.rows.append((f"*{title}*", "", "", "", "", ""))

    def print(self):
        print("| Measure | Figure | Baseline (same run) | Ratio | Goal | |")
        print("|---|---:|---|---:|---|---|")
        for row in self.rows:
            print("| " + " | ".join(row) + " |")


def footprint(table, exe):
    table.section("Footprint: i686 pinnafex.exe, MinSizeRel, stripped")
    size = os.path.getsize(exe)
    rsrc = pe_sections(exe).get(".rsrc", 0)
    table.add("exe with its resources", kb(size), goal="≤ 256 KB", met=size <= 256 * 1024)
    table.add("its code and data (all but .rsrc)", kb(size - rsrc), goal="< 100 KB",
              met=size - rsrc < 100 * 1024)
    table.add("its resources (.rsrc: two bitmaps, icon, dialog, version, manifest)", kb(rsrc))


def native(table, path):
    with open(path) as f:
        runs = {b["name"]: b for b in json.load(f)["benchmarks"] if b.get("run_type") != "aggregate"}

    def cpu_ns(name):
        b = runs[name]
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
        return b["cpu_time"] * scale

    table.section("Native logic (Release, this machine)")
    for length in (40, 200, 4096):
        split = runs[f"BM_SplitSlotLines/{length}"]["bytes_per_second"] / 1e9
        base = runs[f"BM_MemchrLines/{length}"]["bytes_per_second"] / 1e9
        table.against(f"line splitter, 1 MB of {length}-byte lines", f"{split:.2f} GB/s",
                      f"memchr line by line {base:.2f} GB/s", base / split, 4)
        wide = runs[f"BM_SplitSlotLines16/{length}"]["bytes_per_second"] / 1e9
        table.add(f"… the same lines as UTF-16 (GB/s of the 8-bit text)", f"{wide:.2f} GB/s",
                  f"memchr line by line {base:.2f} GB/s", ratio(base / wide))
    for arg, where in ((0, "at the head of the text"), (1, "inside lines, LF every 4 KB")):
        flood = cpu_ns(f"BM_SplitTabFlood/{arg}")
        base = cpu_ns(f"BM_MemchrFlood/{arg}")
        table.against(f"line splitter, 100 MB of tabs {where}", ms(flood / 1e6),
                      f"one memchr over it {ms(base / 1e6)}", flood / base, 2)
    copy = cpu_ns("BM_Copy40Bytes")
    for name, what in (("BM_TickerText25", "TickerText(25), per call, refills included"),
                       ("BM_TickerWindowOnly25", "TickerText(25), a window alone"),
                       ("BM_MakeClockText", "MakeClockText, per call, reading the clock"),
                       ("BM_MakeClockTextFixedTime", "MakeClockText, the formatting alone")):
        t = cpu_ns(name)
        table.add(what, ns(t), f"memcpy of 40 bytes {ns(copy)}", ratio(t / copy))
    tick = cpu_ns("BM_TickerText25")
    table.add("TickerText's share of one core at a tick per 150 ms",
              f"{100 * tick / 150e6:.6f} %")


CASES = (("1k_few", "1 KB, 4 lines"), ("1k_many", "1 KB, 40-byte lines"),
         ("1m_few", "1 MB, 4 lines"), ("1m_many", "1 MB, 40-byte lines"),
         ("32m_few", "32 MB, 4 lines"), ("32m_many", "32 MB, 40-byte lines"),
         ("8m_lines", "8 MB, 78-byte lines"))


def wine(table, path, arch):
    figures = {}
    with open(path) as f:
        for line in f:
            name, _, value = line.strip().partition("\t")
            if value:
                figures[name] = float(value)

    def get(name):
        return figures.get(name)

    table.section(f"Under Wine ({arch} build, MinSizeRel)")
    splitter(table, get, arch)
    for key, what in CASES:
        copy = get(f"{key}.memcpy_ms")
        if copy is None or get(f"{key}.push_ms") is None:
            table.add(f"{what}: not measured", "")
            continue
        for op, label in (("push", "Push"), ("pop", "Pop"), ("refresh", "refresh, one slot holding it")):
            t = get(f"{key}.{op}_ms")
            is_goal = op == "push" and key.startswith("32m")
            table.add(f"{label}, {what}", ms(t), f"memcpy {ms(copy)}", ratio(t / copy),
                      "≤ 3×" if is_goal else "", (t / copy <= 3) if is_goal else None)
        if key.startswith("32m"):
            for op, label in (("clipread", "the clipboard's read alone (Wine)"),
                              ("clipwrite", "the clipboard's write alone (Wine)"),
                              ("fresh", "memcpy into a freshly allocated block")):
                t = get(f"{key}.{op}_ms")
                table.add(f"{what}: {label}", ms(t), f"memcpy {ms(copy)}", ratio(t / copy))
    big_push, big_refresh = get("8m_lines.push_ms"), get("8m_lines.refresh_ms")
    if big_push is not None:
        t = big_push + big_refresh
        table.add("Push and refresh, 8 MB in 100,000 lines", ms(t),
                  f"memcpy {ms(get('8m_lines.memcpy_ms'))}", ratio(t / get("8m_lines.memcpy_ms")),
                  "< 1 s", t < 1000)
    listed = get("list10k.slot_ms")
    if listed is not None:
        bare = get("list10k.bare_ms")
        table.add(f"drop-down of 10,000 lines ({get('list10k.entries'):,.0f} entries), refresh of "
                  "its slot", ms(listed), f"bare combo, same strings {ms(bare)}",
                  ratio(listed / bare), "≤ 0.1 s", listed <= 100)
        table.add("… the bare combo with CB_INITSTORAGE first", ms(get("list10k.bare_init_ms")))
    beside = get("push_beside.long_ms")
    if beside is not None:
        empty = get("push_beside.empty_ms")
        table.add("small Push and its refresh beside a slot listing 10,000 lines", ms(beside),
                  f"the same in an empty bar {ms(empty)}", ratio(beside / empty), "< 150 ms",
                  beside < 150)
    for key, what in (("slot_menu", "a slot's menu opened and painted"),
                      ("rename", "a rename: caption fitted, screen readers' names, registry")):
        t, bare = get(f"{key}.open_ms") or get(f"{key}.slot_ms"), get(f"{key}.bare_ms")
        if t is None or bare is None:
            table.add(f"{what}: not measured", "")
            continue
        floor = "bare menu of the same items" if key == "slot_menu" else "the frame's caption set alone"
        table.add(what, ms(t), f"{floor} {ms(bare)}", ratio(t / bare), "< 16 ms", t < 16)
    transfers(table, get, arch)
    kept(table, get)
    borrowed(table, get)
    tick = get("tick.whole_ms")
    if tick is not None:
        table.add("one tick of the bar, its timer message sent to it",
                  f"{ms(tick)} = {get('tick.core_percent'):.2f} % of a core at 150 ms")
        for key, what in (("clock_field", "its clock field: ticker text and repaint"),
                          ("combo_check", "its check of the twenty lists for an open one"),
                          ("push_enable", "twenty Push buttons looked up and enabled")):
            table.add(f"… {what}", ms(get(f"tick.{key}_ms")))
    bar = get("idle.percent")
    if bar is not None:
        seconds = get("idle.seconds")
        table.add(f"idle bar, CPU share of one core over {seconds:.0f} s: its process", f"{bar:.3f} %",
                  goal="< 0.5 %", met=bar < 0.5)
        rest = get("idle.wineserver_percent") + get("idle.xserver_percent")
        table.add("… with the wineserver and Xvfb serving it", f"{bar + rest:.3f} %")
    else:
        table.add("idle bar: not measured", "")
    floor = get("floor.percent")
    if floor is not None:
        rest = get("floor.wineserver_percent") + get("floor.xserver_percent")
        table.add("a bare window, one edit written by the same 150 ms timer: its process",
                  f"{floor:.3f} %")
        table.add("… with the wineserver and Xvfb serving it", f"{floor + rest:.3f} %")
    if get("startup.bar_ms") is not None:
        runs = get("startup.runs")
        table.add(f"start-up to the splash (median of {runs:.0f})", ms(get("startup.splash_ms")))
        table.add("start-up to the visible bar, splash included", ms(get("startup.bar_ms")))
        table.add("start-up to the visible bar, splash excluded (from the splash's appearance)",
                  ms(get("startup.bar_after_splash_ms")))
        table.add("… of which the dialog manager builds the bar's template (in process)",
                  ms(get("startup.template_ms")))
        table.add("first start of the program in the session, to the visible bar",
                  ms(get("startup.first_bar_ms")))


def splitter(table, get, arch):
    """The line splitter on the build Wine ran, with the scans the bar chooses at start-up."""
    if get("split.40.chosen_ms") is None:
        table.add(f"line splitter on the {arch} build: not measured", "")
        return
    path = "SSE2" if get("split.sse2") else "plain loops"
    for length in (40, 200, 4096):
        name = f"split.{length}"
        gbs = {k: 1.048576 / get(f"{name}.{k}_ms") for k in ("chosen", "chosen16", "plain", "memchr")}
        base = f"memchr line by line {gbs['memchr']:.2f} GB/s"
        table.against(f"line splitter ({arch}, {path} chosen at run time), 1 MB of {length}-byte lines",
                      f"{gbs['chosen']:.2f} GB/s", base, gbs["memchr"] / gbs["chosen"], 2)
        table.add(f"… the same lines as UTF-16 ({arch}, GB/s of the 8-bit text)",
                  f"{gbs['chosen16']:.2f} GB/s", base, ratio(gbs["memchr"] / gbs["chosen16"]))
        table.add(f"… the plain loops, as a processor without SSE2 runs them ({arch})",
                  f"{gbs['plain']:.2f} GB/s", base, ratio(gbs["memchr"] / gbs["plain"]))


def transfers(table, get, arch):
    """Push and Pop against the clipboard's own read or write of the format used plus one copy."""
    for key, what in (("text32", "32 MB of ASCII copied as CF_TEXT"),
                      ("ascii32", "32 MB of ASCII copied as CF_UNICODETEXT"),
                      ("cyrillic32", "32 MB of Cyrillic (locale 1049) copied as CF_UNICODETEXT")):
        name = f"xfer.{key}"
        if get(f"{name}.push_ms") is None:
            table.add(f"transfers ({arch}), {what}: not measured", "")
            continue
        copy = get(f"{name}.copy_ms")
        for op, floor_op, label in (("push", "read", "Push"), ("pop", "write", "Pop")):
            t, floor = get(f"{name}.{op}_ms"), get(f"{name}.{floor_op}_ms") + copy
            table.against(f"{label} ({arch}), {what}", ms(t),
                          f"clipboard {floor_op} {ms(get(f'{name}.{floor_op}_ms'))} + copy {ms(copy)}",
                          t / floor, 1.2)
            if op == "push" and get(f"{name}.refresh_ms") is not None:
                table.add(f"… the view's refresh after it, on top ({arch})",
                          ms(get(f"{name}.refresh_ms")))
    empty = get("mem.empty.working_set_mb")
    if empty is None:
        return
    table.add("working set, all slots empty", f"{empty:.1f} MB")
    for key, what in (("ascii1", "1 MB of ASCII"), ("cyrillic1", "1 MB of Cyrillic (1049)"),
                      ("cjk1", "1 MB of CJK characters (1033: kept as UTF-16)"),
                      ("ascii32", "32 MB of ASCII")):
        slots = get(f"mem.{key}.slots")
        table.add(f"working set, {slots:.0f} slots of {what}",
                  f"{get(f'mem.{key}.working_set_mb'):.1f} MB")


def kept(table, get):
    """Keep Slots: a save, the Push beside it and start-up, each against its floor."""
    save, floor = get("keep.save_32m_ms"), get("keep.save_floor_ms")
    if save is None or floor is None:
        table.add("Keep Slots: not measured", "")
        return
    table.against("Keep Slots: save of a 32 MB slot", ms(save),
                  f"CNG AES-GCM of the same bytes in one call, written and flushed {ms(floor)}",
                  save / floor, 1.5)
    table.add("… the protection alone (CNG AES-GCM, a message per 1 MB chunk)",
              f"{get('keep.protect_mb_s'):.0f} MB/s")
    quit, floors = get("keep.quit_20x32m_ms"), get("keep.quit_floor_ms")
    if quit is not None and floors is not None:
        table.against("Keep Slots: quit with 20 slots of 32 MB pending", ms(quit),
                      f"20 save floors {ms(floors)}", quit / floors, 1.2)
        answer = get("keep.quit_answer_max_ms")
        table.add("… the bar's longest wait for an answer meanwhile", ms(answer), "", "",
                  "≤ 100 ms", answer <= 100)
    on, off = get("keep.push_32m_on_ms"), get("keep.push_32m_off_ms")
    table.against("Keep Slots: the bar's busy time during a 32 MB Push", ms(on),
                  f"Keep Slots off {ms(off)}", on / off, 1.2)
    start, none = get("keep.startup_20x1m_ms"), get("keep.startup_none_ms")
    if start is not None and none is not None:
        table.against("start-up to the visible bar, 20 kept slots of 1 MB", ms(start),
                      f"none kept {ms(none)}", start / none, 1.2)


def borrowed(table, get):
    """A paste key over the user's clipboard, against the system's own copy and restore."""
    paste, floor = get("borrow.paste_1m_ms"), get("borrow.paste_floor_ms")
    if paste is None or floor is None:
        table.add("paste key over the user's clipboard: not measured", "")
        return
    table.against("paste key, 1 MB clipboard kept and given back, 1 MB slot offered and read", ms(paste),
                  f"the clipboard copied and restored, the slot written and read {ms(floor)}",
                  paste / floor, 1.2)
    base = get("borrow.busy_32m_floor_ms")
    # The read is another program's: the lender writes the offer then, off the bar's thread.
    for key, what, goal in (("keep", "keeping a 32 MB clipboard", True),
                            ("give_back", "giving back a 32 MB clipboard", True),
                            ("read_given", "while another program reads it", False)):
        busy = get(f"borrow.busy_{key}_32m_ms")
        if busy is None or not base:
            continue
        table.add(f"… the bar's longest busy stretch {what}", ms(busy),
                  f"a thread copying and restoring it plainly {ms(base)}", ratio(busy / base),
                  "≤ 100 ms" if goal else "", busy <= 100 if goal else None)


def machine():
    cpu = "?"
    try:
        with open("/proc/cpuinfo") as f:
            cpu = next(l.split(":", 1)[1].strip() for l in f if l.startswith("model name"))
    except (OSError, StopIteration):
        pass
    try:
        wine_version = subprocess.run(["/usr/lib/wine/wine64", "--version"], capture_output=True, text=True,
                                      timeout=30).stdout.strip()
    except OSError:
        wine_version = "wine ?"
    return f"{cpu}, {os.cpu_count()} cores, Linux {platform.release()}, {wine_version}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--native", required=True)
    parser.add_argument("--win", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--wine-arch", default="i686")
    args = parser.parse_args()
    table = Table()
    footprint(table, args.exe)
    native(table, args.native)
    wine(table, args.win, args.wine_arch)
    print(f"Measured on {machine()}.")
    if args.wine_arch != "i686":
        print("This kernel runs no 32-bit code: Wine ran the x86_64 build of the same source, so "
              "every figure under Wine is the x86_64 build's and the goals for the shipped i686 "
              "exe could not be measured here; the sizes are the i686 build's.")
    print()
    table.print()


if __name__ == "__main__":
    main()
