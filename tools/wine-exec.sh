#!/usr/bin/env bash
# ctest's emulator for the Windows builds: runs the exe under Wine in the current session,
# or in a session of its own when none is open.
if [ -z "${PINNAFEX_SESSION:-}" ]; then
  exec "$(dirname "$0")/wine-session.sh" wine "$@"
fi
exec wine "$@"
