#!/usr/bin/env bash
# Measures footprint and speed in one run and prints one table: the shipped exe's size, the
# native benchmarks (line splitter, clock texts), and under Wine in a private session the line
# splitter of the build Wine runs, the slot transfers and refresh, the idle bar's CPU share and
# its start-up time.
# Environment: PINNAFEX_BUILD_ROOT (where the build trees go, default build/),
# PINNAFEX_IDLE_SECONDS (the idle measurement, default 60), PINNAFEX_STARTS (default 5).
set -euo pipefail
# shellcheck source=tools/lib.sh
source "$(dirname "$0")/lib.sh"
cd "$root"
bash tools/install-deps.sh

results=$builds/bench-results
mkdir -p "$results"
rm -f "$results"/*
logs=$results

# The shipped program is the i686 build; where this kernel runs no 32-bit code, Wine runs
# the x86_64 build of the same source with the same flags.
arch=$(wine_arch)

echo "== building"
configure bench-native -DCMAKE_BUILD_TYPE=Release -DPINNAFEX_BENCH=ON
build bench-native pinnafex_bench
configure_windows release-i686 i686 MinSizeRel
build release-i686 pinnafex
configure_windows "bench-$arch" "$arch" MinSizeRel
build "bench-$arch" pinnafex pinnafex_win_bench probe

echo "== native benchmarks"
"$builds/bench-native/bin/pinnafex_bench" --benchmark_out="$results/native.json" \
  --benchmark_out_format=json >"$results/native.txt" 2>&1

export PINNAFEX_BAR_EXE="$builds/bench-$arch/bin/pinnafex.exe"
export PINNAFEX_WIN_BENCH="$builds/bench-$arch/bin/pinnafex_win_bench.exe"
export PINNAFEX_PROBE="$builds/bench-$arch/bin/probe.exe"
export PINNAFEX_RESULTS="$results"
export PINNAFEX_IDLE_SECONDS=${PINNAFEX_IDLE_SECONDS:-60}
export PINNAFEX_STARTS=${PINNAFEX_STARTS:-5}

# Run inside the Wine session: everything the Windows side measures.
wine_benches() {
  set -uo pipefail
  local out=$PINNAFEX_RESULTS/win.tsv
  echo "== the line splitter under Wine, on the build it runs"
  wine "$PINNAFEX_WIN_BENCH" split >>"$out"
  echo "== slot transfers and refresh under Wine"
  wine "$PINNAFEX_WIN_BENCH" slots >>"$out"
  echo "== transfers from CF_TEXT and Unicode sources, and memory, under Wine"
  wine "$PINNAFEX_WIN_BENCH" transfers >>"$out"
  echo "== a paste key's clipboard kept and given back under Wine"
  wine "$PINNAFEX_WIN_BENCH" borrow >>"$out"
  echo "== one tick of the bar under Wine"
  wine "$PINNAFEX_WIN_BENCH" tick >>"$out"
  echo "== start-up under Wine ($PINNAFEX_STARTS starts after a first one)"
  local exe_path=${PINNAFEX_BAR_EXE//\//\\}  # Wine's drive Z: is the root
  wine "$PINNAFEX_WIN_BENCH" startup "Z:$exe_path" "$PINNAFEX_STARTS" >>"$out"
  echo "== Keep Slots under Wine: a 32 MB save, a Push beside it, start-up with 20 kept slots"
  wine "$PINNAFEX_WIN_BENCH" keep >>"$out"
  wine "$PINNAFEX_WIN_BENCH" keep-startup "Z:$exe_path" "$PINNAFEX_STARTS" >>"$out"
  echo "== idle bar under Wine for ${PINNAFEX_IDLE_SECONDS} s"
  measure_idle >>"$out"
  echo "== a bare window with the same timer, for ${PINNAFEX_IDLE_SECONDS} s"
  measure_floor >>"$out"
}

# utime + stime of a process in clock ticks (fields 14 and 15; the name may hold blanks).
cpu_ticks() {
  sed -E 's/^.*\) //' "/proc/$1/stat" | awk '{print $12 + $13}'
}

# The pid of this session's process with a command line argument matching $1, or nothing.
session_pid() {
  local dir pid
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/cmdline" | grep -qE -- "$1" || continue
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    echo "$pid"
    return
  done
}

# CPU shares of one core over the idle period: the process $2 and, apart, the wineserver and
# the X server that serve it. Printed as "$1.seconds", "$1.percent", "$1.wineserver_percent"...
sample_cpu() {
  local name=$1 pid=$2 server xserver hz t0 p0 s0 x0 t1 p1 s1 x1
  server=$(session_pid '(^|/)wineserver(32|64)?$')
  xserver=$(pgrep -f "^Xvfb ${DISPLAY} " | head -1)
  if [ -z "$pid" ] || [ -z "$server" ] || [ -z "$xserver" ]; then
    printf '%s.no_process\t1\n' "$name"
    return
  fi
  hz=$(getconf CLK_TCK)
  t0=$(date +%s.%N) p0=$(cpu_ticks "$pid") s0=$(cpu_ticks "$server") x0=$(cpu_ticks "$xserver")
  sleep "$PINNAFEX_IDLE_SECONDS"
  t1=$(date +%s.%N) p1=$(cpu_ticks "$pid") s1=$(cpu_ticks "$server") x1=$(cpu_ticks "$xserver")
  awk -v name="$name" -v t0="$t0" -v t1="$t1" -v hz="$hz" -v p=$((p1 - p0)) -v s=$((s1 - s0)) \
    -v x=$((x1 - x0)) 'BEGIN {
      t = t1 - t0
      printf "%s.seconds\t%.3f\n", name, t
      printf "%s.percent\t%.4f\n", name, 100 * p / hz / t
      printf "%s.wineserver_percent\t%.4f\n", name, 100 * s / hz / t
      printf "%s.xserver_percent\t%.4f\n", name, 100 * x / hz / t
    }'
}

# The bar, started, left alone once start-up is over, and quit as a user does.
measure_idle() {
  wine "$PINNAFEX_BAR_EXE" >/dev/null 2>&1 &
  local launcher=$! deadline=$((SECONDS + 60))
  until wine "$PINNAFEX_PROBE" bar 2>/dev/null | grep -q '"visible":1'; do
    [ $SECONDS -lt $deadline ] || { printf 'idle.no_bar\t1\n'; kill "$launcher"; return; }
    sleep 0.2
  done
  sleep 3  # the splash has closed itself after a second; start-up is over
  sample_cpu idle "$(session_pid '(^|[\\/])pinnafex\.exe$')"
  wine "$PINNAFEX_PROBE" post 273 2 0 >/dev/null 2>&1  # WM_COMMAND IDCANCEL: "Really Quit?"
  deadline=$((SECONDS + 20))
  until wine "$PINNAFEX_PROBE" answer 6 >/dev/null 2>&1; do  # IDYES
    [ $SECONDS -lt $deadline ] || break
    sleep 0.2
  done
  for _ in $(seq 1 100); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.2; done
  kill "$launcher" 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
}

# The floor beneath it: a bare window with the same timer writing the same kind of text.
measure_floor() {
  wine "$PINNAFEX_WIN_BENCH" idle-floor $((PINNAFEX_IDLE_SECONDS + 10)) >/dev/null 2>&1 &
  local launcher=$!
  sleep 3
  sample_cpu floor "$(session_pid '(^|[\\/])pinnafex_win_bench\.exe$')"
  wait "$launcher" 2>/dev/null || true
}
export -f wine_benches cpu_ticks session_pid sample_cpu measure_idle measure_floor

tools/wine-session.sh --keepalive "$PINNAFEX_PROBE" bash -c wine_benches

echo
python3 bench/report.py --native "$results/native.json" --win "$results/win.tsv" \
  --exe "$builds/release-i686/bin/pinnafex.exe" --wine-arch "$arch" | tee "$results/table.md"
