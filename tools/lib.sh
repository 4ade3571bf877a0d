# shellcheck shell=bash
# Sourced by the scripts in tools/: where build trees, logs and outputs go, which Windows build
# Wine can start on this machine, and quiet configure and build steps.
# Sets: root (the repository), builds (PINNAFEX_BUILD_ROOT, default <repo>/build, absolute),
# logs (where configure and build logs go; a script may point it elsewhere), jobs.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Absolute, so it holds after a cd and in the Wine sessions and ctest runs the scripts start.
builds=$(realpath -m "${PINNAFEX_BUILD_ROOT:-$root/build}")
export PINNAFEX_BUILD_ROOT=$builds
logs=$builds/logs
jobs=$(nproc)

# i686 where the kernel runs 32-bit code, else x86_64: some sandboxes refuse every 32-bit ELF,
# so Wine's 32-bit loader cannot start and only the x86_64 build of the same source can run.
wine_arch() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
}

# Prints the end of a failed step's log and stops the script.
fail_with_log() {  # log, message
  tail -50 "$1"
  echo "$2 (log: $1)" >&2
  exit 1
}

# Configures the tree $builds/NAME with Ninja; its output goes to $logs/NAME.configure.log.
configure() {  # name, cmake args...
  local name=$1 log=$logs/$1.configure.log
  shift
  mkdir -p "$logs"
  cmake -S "$root" -B "$builds/$name" -G Ninja "$@" >"$log" 2>&1 \
    || fail_with_log "$log" "configure of $name failed"
}

# The same for a MinGW-w64 tree of one architecture and build type.
configure_windows() {  # name, arch (i686 or x86_64), build type, cmake args...
  local name=$1 arch=$2 type=$3
  shift 3
  configure "$name" -DCMAKE_BUILD_TYPE="$type" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$arch.cmake" "$@"
}

# Builds the named targets of a configured tree, or all of it; output to $logs/NAME.build.log.
build() {  # name, targets...
  local name=$1 log=$logs/$1.build.log
  shift
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  mkdir -p "$logs"
  cmake --build "$builds/$name" "${targets[@]}" -j"$jobs" >"$log" 2>&1 \
    || fail_with_log "$log" "build of $name failed"
}
