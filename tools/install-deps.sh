#!/usr/bin/env bash
# Installs what building, running and testing the bar need on Debian 12.
# Idempotent: prints nothing much when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-tidy clang-format libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 fonts-wine
  libgnutls30 libgnutls30:i386  # the system cryptography (bcrypt) of Wine
  xvfb xdotool xclip x11-utils imagemagick
  zip unzip file valgrind procps
  gcc-multilib
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >/dev/null
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
