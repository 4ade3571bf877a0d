#!/usr/bin/env bash
# Builds the shipped program (i686, optimised for size, stripped) and packs
# release/pinnafex-<version>-win32.zip under PINNAFEX_BUILD_ROOT (default build/) with
# pinnafex.exe, README.txt and LICENSE.
# The version is the project's (CMakeLists.txt), the one place it is stated.
set -euo pipefail
# shellcheck source=tools/lib.sh
source "$(dirname "$0")/lib.sh"
cd "$root"
bash tools/install-deps.sh

tree=$builds/release-i686
out=$builds/release
configure_windows release-i686 i686 MinSizeRel
build release-i686 pinnafex

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$tree/CMakeCache.txt")
[ -n "$version" ] || { echo "release: no project version in $tree/CMakeCache.txt" >&2; exit 1; }
name=pinnafex-$version-win32
stage=$out/$name
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage"
cp "$tree/bin/pinnafex.exe" "$stage/pinnafex.exe"

# What a user's Windows needs of it: a 32-bit GUI exe with its resources that loads only
# system DLLs (the compiler's runtime is linked in); stripped when linked (MinSizeRel: -s).
exe=$stage/pinnafex.exe
headers=$(i686-w64-mingw32-objdump -p -h "$exe")
fail() { echo "release: $exe $1" >&2; exit 1; }
i686-w64-mingw32-nm "$exe" 2>&1 | grep -q 'no symbols' || fail "is not stripped"
grep -q 'file format pei-i386' <<<"$headers" || fail "is no 32-bit Windows exe"
grep -qE '^Subsystem\s+0*2\s' <<<"$headers" || fail "is no GUI program"
grep -qE '^\s+[0-9]+\s+\.rsrc\s' <<<"$headers" || fail "carries no resources"
if grep -iE 'DLL Name: (lib|mingw)' <<<"$headers"; then fail "needs DLLs of the compiler's runtime"; fi
# A small, fast tool: a thread-safe static or a stray table once doubled it unnoticed.
size=$(stat -c %s "$exe")
[ "$size" -le $((256 * 1024)) ] || fail "is $size bytes, over 256 KB"

# Windows text files: CR LF line ends.
sed 's/$/\r/' >"$stage/README.txt" <<EOF
Pinnafex $version

Twenty pieces of clipboard text at hand, on a bar docked at the top or the
left edge of the screen.

Start pinnafex.exe. Nothing is installed; to remove the program, delete it and
the registry key HKEY_CURRENT_USER\\Quorvel_Pinnafex.

- Copy text anywhere. The Push buttons are enabled while the clipboard holds
  text.
- Push on a slot stores the text; the frame shows the slot's number and the
  size of its block.
- The slot's drop-down lists the text's lines.
- Pop puts the slot's text back on the clipboard, as often as you like.
- Right-click the bar for its menu: Autohide, Top, Left, Show Clock, Exit.
- Right-click a slot for its own menu: Name, Lock, Clear.

The slots live in memory only. The settings (autohide, clock, edge) are kept
under HKEY_CURRENT_USER\\Quorvel_Pinnafex and written when you quit.

Pinnafex is free software under the MIT licence: see LICENSE.
EOF
sed 's/$/\r/' LICENSE >"$stage/LICENSE"

# The files carry the time of the commit they were built from, so the same commit packs the
# same zip.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
touch -d "@$stamp" "$stage"/*
(cd "$stage" && zip -q -X "$out/$name.zip" pinnafex.exe README.txt LICENSE)

echo "$out/$name.zip"
unzip -l "$out/$name.zip" | sed 's/^/  /'
rsrc=$(i686-w64-mingw32-objdump -h "$exe" | awk '$2 == ".rsrc" {print $3}')
printf '  pinnafex.exe: %d bytes, of which resources %d bytes\n' "$(stat -c %s "$exe")" "$((16#$rsrc))"
