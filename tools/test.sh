#!/usr/bin/env bash
# The project's test command: installs what is missing, builds natively and for
# Windows, and runs every test (natively, then under Wine inside Xvfb). Prints the
# time of each stage at its end, also when a stage fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

stage_names=()
stage_times=()
stage=""
stage_start=0
now() { date +%s.%N; }
begin() {
  stage=$1
  stage_start=$(now)
  echo "== $stage"
}
finish() {
  [ -n "$stage" ] || return 0
  stage_names+=("$stage")
  stage_times+=("$(echo "$(now) $stage_start" | awk '{printf "%.1f", $1 - $2}')")
  stage=""
}
report() {
  local status=$? i
  [ -z "$stage" ] || { finish; stage_times[-1]+=" (failed)"; }
  echo "== stage times (seconds)"
  for i in "${!stage_names[@]}"; do printf '  %-14s %s\n' "${stage_names[$i]}" "${stage_times[$i]}"; done
  printf '  %-14s %s\n' total "$(echo "$(now) $test_start" | awk '{printf "%.1f", $1 - $2}')"
  exit $status
}
test_start=$(now)
trap report EXIT

begin packages
bash tools/setup.sh
finish

# After setup.sh: Ninja and ccache, with ccache's cache in build/.
source tools/build-env.sh

begin format
bash tools/check-format.sh
finish

begin "native build"
echo "(g++, AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
finish

begin "native tests"
ctest --test-dir build/native --output-on-failure -j"$jobs"
finish

begin "Windows build"
echo "(mingw-w64 i686)"
bash tools/build-windows.sh
finish

begin "Wine tests"
bash tools/wine-session.sh build/windows ctest --test-dir build/windows --output-on-failure
finish
