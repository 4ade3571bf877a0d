#!/usr/bin/env bash
# Builds the bar and starts it under Wine: on the current display when there is one,
# otherwise on a private Xvfb, saving screenshots of the running bar under
# PINNAFEX_BUILD_ROOT (default build/)/screenshots.
set -euo pipefail
# shellcheck source=tools/lib.sh
source "$(dirname "$0")/lib.sh"
cd "$root"
bash tools/install-deps.sh

# The shipped program is the i686 build; where this kernel runs no 32-bit code,
# Wine can only start the x86_64 build of the same source.
arch=$(wine_arch)
[ "$arch" = i686 ] || echo "note: this kernel runs no 32-bit code; starting the x86_64 build"
configure_windows "run-$arch" "$arch" MinSizeRel
build "run-$arch" pinnafex probe
exe="$builds/run-$arch/bin/pinnafex.exe"
probe="$builds/run-$arch/bin/probe.exe"
wine_loader=wine
[ "$arch" = x86_64 ] && wine_loader=/usr/lib/wine/wine64

if [ -n "${DISPLAY:-}" ]; then
  echo "starting $exe on $DISPLAY"
  WINEDEBUG=-all exec "$wine_loader" "$exe"
fi

shots="$builds/screenshots"
mkdir -p "$shots"
export PINNAFEX_EXE="$exe" PINNAFEX_PROBE="$probe" PINNAFEX_SHOTS="$shots"
tools/wine-session.sh --keepalive "$probe" python3 tools/show_bar.py
# The same at 150 %, in a prefix of its own that says 144 DPI before the bar starts.
PINNAFEX_DPI=144 tools/wine-session.sh --keepalive "$probe" --dpi 144 python3 tools/show_bar.py
