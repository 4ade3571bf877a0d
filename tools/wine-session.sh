#!/usr/bin/env bash
# Runs a command inside a private Wine session: its own Xvfb display, its own WINEPREFIX,
# a small Wine process kept alive for the whole session, and everything ended afterwards.
# Usage: tools/wine-session.sh [--keepalive EXE] [--screen WxHxD] [--dpi N]
#          [--monitors WxH+X+Y,WxH+X+Y...] COMMAND...
# --monitors makes the one Xvfb screen (sized to hold every head)
# look like several monitors to Wine, through a stand-in libXinerama built by
# ../shared/tools/fake-monitors.sh beside the repository (PINNAFEX_FAKE_MONITORS names another
# copy). Without it the session runs with one monitor and PINNAFEX_MONITORS stays unset, so the
# tests that need several skip.
set -uo pipefail
# shellcheck source=tools/lib.sh
source "$(dirname "$0")/lib.sh"

keepalive=""
screen="1024x768x24"
dpi=""
monitors=""
while [ $# -gt 0 ]; do
  case "$1" in
    --keepalive) keepalive="$2"; shift 2 ;;
    --screen) screen="$2"; shift 2 ;;
    --dpi) dpi="$2"; shift 2 ;;
    --monitors) monitors="$2"; shift 2 ;;
    *) break ;;
  esac
done

session=$(mktemp -d /tmp/pinnafex-wine.XXXXXX)
fake=${PINNAFEX_FAKE_MONITORS:-$root/../shared/tools/fake-monitors.sh}
if [ -n "$monitors" ] && [ -f "$fake" ]; then
  # The smallest screen that holds every head.
  screen=$(tr ',' '\n' <<<"$monitors" | awk -F'[x+]' \
    '{ if ($1 + $3 > w) w = $1 + $3; if ($2 + $4 > h) h = $2 + $4 } END { print w "x" h "x24" }')
  # Wine's desktop process, which asks for the heads, is 64-bit in a prefix beside wine64; a
  # 32-bit-only Wine needs the 32-bit build (gcc-multilib). The loader takes the one that fits.
  eval "$(bash "$fake" "$session/xinerama64" win64 "$monitors")" || exit 1
  if [ "$(wine_arch)" = i686 ]; then
    eval "$(bash "$fake" "$session/xinerama32" win32 "$monitors" 2>/dev/null)"
  fi
  export PINNAFEX_MONITORS=$monitors
elif [ -n "$monitors" ]; then
  echo "wine-session: SKIP of several monitors: no $fake" >&2
fi
display=""
for n in $(seq 90 250); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "wine-session: no free X display" >&2; exit 1; }

Xvfb ":$display" -screen 0 "$screen" -nolisten tcp >"$session/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
export WINEPREFIX="$session/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export PINNAFEX_SESSION="$session"

# Where the kernel runs no 32-bit code, only the 64-bit loader can start anything;
# a shim keeps `wine` working for 64-bit programs, and PINNAFEX_WINE32=0 tells the tests.
export PINNAFEX_WINE32=1
if [ "$(wine_arch)" = x86_64 ]; then
  export PINNAFEX_WINE32=0
  mkdir -p "$session/bin"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$session/bin/wine"
  chmod +x "$session/bin/wine"
  export PATH="$session/bin:$PATH"
fi

keep_pid=""
cleanup() {
  [ -n "$keep_pid" ] && kill "$keep_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$session"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
wine wineboot -i >"$session/wineboot.log" 2>&1
# Wine would ask XRandR, which sees one monitor, before Xinerama.
if [ -n "${PINNAFEX_MONITORS:-}" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -k  # the desktop process asks again when it next starts
fi
# Wine reads the DPI from both places when a program starts.
if [ -n "$dpi" ]; then
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  done
fi
if [ -n "$keepalive" ]; then
  wine "$keepalive" idle >/dev/null 2>&1 &
  keep_pid=$!
fi
"$@"
