#!/usr/bin/env bash
# Builds everything and runs every test: native (ASan/UBSan, TSan, libFuzzer) and, under Wine
# in a private Xvfb session, the Windows-side and end-to-end tests. Ends with "N passed, N failed,
# N skipped". Trees, logs and results go under PINNAFEX_BUILD_ROOT (default build/).
set -uo pipefail
# shellcheck source=tools/lib.sh
source "$(dirname "$0")/lib.sh"
cd "$root" || exit 1
bash tools/install-deps.sh

logs=$builds/test-logs
rm -rf "$logs"
mkdir -p "$logs"
arch=$(wine_arch)

echo "== building"
configure native -DCMAKE_BUILD_TYPE=Debug -DPINNAFEX_SANITIZE=address,undefined
configure tsan -DCMAKE_BUILD_TYPE=Debug -DPINNAFEX_SANITIZE=thread
configure fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPINNAFEX_FUZZ=ON \
  -DPINNAFEX_SANITIZE=address,undefined
configure_windows i686 i686 Release
configure_windows x86_64 x86_64 Release
for tree in native tsan fuzz i686 x86_64; do build "$tree"; done

# Runs one ctest COMMAND as the run NAME: the whole output to NAME.log, the results to
# NAME.xml (JUnit) and ctest's exit status to NAME.status; the console shows what did not pass.
runs=()
run_ctest() {  # name, command...
  local name=$1
  shift
  runs+=("$name")
  echo "== $name"
  "$@" --output-on-failure --timeout 600 --no-tests=error --output-junit "$logs/$name.xml" 2>&1 \
    | tee "$logs/$name.log" | grep --line-buffered -vE '^ +Start |Test +#[0-9]+: .* Passed'
  echo "${PIPESTATUS[0]}" >"$logs/$name.status"
}

run_ctest native ctest --test-dir "$builds/native" -j"$jobs"
run_ctest tsan ctest --test-dir "$builds/tsan" -j"$jobs"
run_ctest fuzz ctest --test-dir "$builds/fuzz" -R '^fuzz_' -j"$jobs"

# Each architecture gets a session of its own: Wine's appbar service outlives the bars a test
# ends by force, and a registration left by one build's tests would push the other's bar aside.
# The template test also reads the shipped i686 exe (a resource-only load works across
# architectures).
export PINNAFEX_SHIPPED_EXE="Z:$builds/i686/bin/pinnafex.exe"
session=(tools/wine-session.sh --keepalive "$builds/x86_64/bin/probe.exe")
if [ "$arch" = i686 ]; then
  run_ctest win-i686 "${session[@]}" ctest --test-dir "$builds/i686"
  # End to end on the shipped i686 only.
  run_ctest win-x86_64 "${session[@]}" ctest --test-dir "$builds/x86_64" -E '^e2e\.'
else
  echo "== win-i686: built, not run: this kernel executes no 32-bit code, so Wine runs the x86_64 build"
  run_ctest win-x86_64 "${session[@]}" ctest --test-dir "$builds/x86_64"
fi

# The counts come from each run's JUnit file. A test ctest could not start is a failure, as ctest
# counts it; a run that failed without a failing test in its file (no file, no tests, a crash)
# counts as one failure.
echo
python3 - "$logs" "${runs[@]}" <<'EOF'
import os, sys
import xml.etree.ElementTree as ET

logs, runs = sys.argv[1], sys.argv[2:]
passed = failed = skipped = 0
for run in runs:
    with open(os.path.join(logs, run + ".status")) as f:
        status = int(f.read())
    run_failed = 0
    try:
        cases = ET.parse(os.path.join(logs, run + ".xml")).getroot().iter("testcase")
    except (OSError, ET.ParseError):
        cases = []
        print(f"{run}: no results from ctest")
    for case in cases:
        state = case.get("status")
        skip = case.find("skipped")
        if state == "run":
            passed += 1
        elif state == "disabled" or (skip is not None and skip.get("message", "").startswith("SKIP_")):
            skipped += 1
        else:
            run_failed += 1
    if status != 0 and run_failed == 0:
        print(f"{run}: ctest exited with {status}")
        run_failed = 1
    failed += run_failed
print(f"{passed} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed else 0)
EOF
