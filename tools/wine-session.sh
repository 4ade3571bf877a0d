#!/usr/bin/env bash
# Runs a command inside a private Wine session: its own Xvfb display, its own WINEPREFIX,
# a small Wine process kept alive for the whole session, and everything ended afterwards.
# Usage: tools/wine-session.sh [--keepalive EXE] [--screen WxHxD] [--dpi N] COMMAND...
set -uo pipefail
# shellcheck source=tools/lib.sh
source "$(dirname "$0")/lib.sh"

keepalive=""
screen="1024x768x24"
dpi=""
while [ $# -gt 0 ]; do
  case "$1" in
    --keepalive) keepalive="$2"; shift 2 ;;
    --screen) screen="$2"; shift 2 ;;
    --dpi) dpi="$2"; shift 2 ;;
    *) break ;;
  esac
done

session=$(mktemp -d /tmp/pinnafex-wine.XXXXXX)
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
