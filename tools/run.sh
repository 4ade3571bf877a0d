#!/usr/bin/env bash
# Builds the bar and starts it under Wine: on the current display when there is one,
# otherwise on a private Xvfb, saving screenshots of the running bar.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/install-deps.sh

# The shipped program is the i686 build; where this kernel runs no 32-bit code,
# Wine can only start the x86_64 build of the same source.
arch=i686
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  arch=x86_64
  echo "note: this kernel runs no 32-bit code; starting the x86_64 build"
fi
cmake -S "$root" -B "$root/build/run-$arch" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$arch.cmake" >/dev/null
cmake --build "$root/build/run-$arch" --target pinnafex probe -j"$(nproc)" >/dev/null
exe="$root/build/run-$arch/bin/pinnafex.exe"
probe="$root/build/run-$arch/bin/probe.exe"
wine_loader=wine
[ "$arch" = x86_64 ] && wine_loader=/usr/lib/wine/wine64

if [ -n "${DISPLAY:-}" ]; then
  echo "starting $exe on $DISPLAY"
  WINEDEBUG=-all exec "$wine_loader" "$exe"
fi

shots="$root/build/screenshots"
mkdir -p "$shots"
export PINNAFEX_EXE="$exe" PINNAFEX_PROBE="$probe" PINNAFEX_SHOTS="$shots"
tools/wine-session.sh --keepalive "$probe" python3 tools/show_bar.py
# The same at 150 %, in a prefix of its own that says 144 DPI before the bar starts.
PINNAFEX_DPI=144 tools/wine-session.sh --keepalive "$probe" --dpi 144 python3 tools/show_bar.py
