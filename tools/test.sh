#!/usr/bin/env bash
# Builds everything and runs every test: native (ASan/UBSan, TSan, libFuzzer) and, under Wine
# in a private Xvfb session, the Windows-side and end-to-end tests. Ends with "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/install-deps.sh

jobs=$(nproc)
log=$root/build/test-logs
mkdir -p "$log"

configure() {  # dir, cmake args...
  local dir=$1; shift
  cmake -S "$root" -B "$root/build/$dir" -G Ninja "$@" >"$log/$dir.configure.log" 2>&1 \
    || { cat "$log/$dir.configure.log"; echo "configure of $dir failed"; exit 1; }
}
build() {
  cmake --build "$root/build/$1" -j"$jobs" >"$log/$1.build.log" 2>&1 \
    || { tail -50 "$log/$1.build.log"; echo "build of $1 failed"; exit 1; }
}

echo "== building"
configure native -DCMAKE_BUILD_TYPE=Debug -DPINNAFEX_SANITIZE=address,undefined
configure tsan -DCMAKE_BUILD_TYPE=Debug -DPINNAFEX_SANITIZE=thread
configure fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPINNAFEX_FUZZ=ON \
  -DPINNAFEX_SANITIZE=address,undefined
configure i686 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake"
configure x86_64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake"
for dir in native tsan fuzz i686 x86_64; do build "$dir"; done

passed=0
failed=0
skipped=0
run_ctest() {  # name, ctest args...
  local name=$1; shift
  echo "== $name"
  ctest --output-on-failure --timeout 600 "$@" 2>&1 | tee "$log/$name.ctest.log" | grep -vE '^ +Start |Test +#[0-9]+: .* Passed' 
  local summary total fails skips
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log/$name.ctest.log" | tail -1)
  if [ -z "$summary" ]; then
    echo "$name: ctest gave no summary"
    failed=$((failed + 1))
    return
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  fails=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$summary")
  skips=$(grep -cE '\((Skipped|Not Run|Disabled)\)' "$log/$name.ctest.log")
  passed=$((passed + total - fails - skips))
  failed=$((failed + fails))
  skipped=$((skipped + skips))
}

run_ctest native --test-dir build/native -j"$jobs"
run_ctest tsan --test-dir build/tsan -j"$jobs"
run_ctest fuzz --test-dir build/fuzz -R '^fuzz_' -j"$jobs"

# Each architecture gets a session of its own: Wine's appbar service outlives the bars a test
# ends by force, and a registration left by one build's tests would push the other's bar aside.
wine_tests() {  # arch
  local arch=$1
  if [ "$arch" = i686 ] && [ "$PINNAFEX_WINE32" != 1 ]; then
    echo "== win-i686: built, not run: this kernel executes no 32-bit code, so Wine runs the x86_64 build"
  elif [ "$arch" = x86_64 ] && [ "$PINNAFEX_WINE32" = 1 ]; then
    run_ctest win-x86_64 --test-dir build/x86_64 -E '^e2e\.'  # end to end on the shipped i686 only
  else
    run_ctest "win-$arch" --test-dir "build/$arch"
  fi
  echo "$passed $failed $skipped" >"$log/wine-counts"
}
# The template test also reads the shipped i686 exe (a resource-only load works across architectures).
export PINNAFEX_SHIPPED_EXE="Z:$root/build/i686/bin/pinnafex.exe"
export -f run_ctest wine_tests
export log
for arch in i686 x86_64; do
  export passed failed skipped
  tools/wine-session.sh --keepalive "$root/build/x86_64/bin/probe.exe" bash -c "wine_tests $arch"
  if [ -f "$log/wine-counts" ]; then
    read -r passed failed skipped <"$log/wine-counts"
    rm -f "$log/wine-counts"
  else
    failed=$((failed + 1))
  fi
done

echo
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
