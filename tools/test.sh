#!/usr/bin/env bash
# The project's test command: installs what is missing, builds natively and for
# Windows, and runs every test (natively, then under Wine inside Xvfb). Prints the
# time of each stage at its end, also when a stage fails: the wall-clock time and
# the processor time it took (user and system, of all its processes), which says
# more than the first when others share the machine.
#
# The two trees build at the same time, each given all the cores, and the Wine
# prefix is prepared beside them: each build alone leaves cores idle while it
# waits on its precompiled headers and its links, and the prefix mostly waits.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

mkdir -p build
now() { date +%s.%N; }
# Sets cpu to the processor time of this shell's finished children so far. `times`
# runs here, not in a subshell, which would count only its own children.
read_cpu() {
  local file="build/.cpu-$BASHPID"
  times >"$file"
  cpu=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%.1f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$file")
  rm -f "$file"
}
# Sets elapsed to "<wall>s (<cpu>s cpu)" since the wall-clock and processor times given.
elapsed_since() {
  read_cpu
  elapsed=$(awk -v wall="$1" -v was="$2" -v now="$(now)" -v cpu="$cpu" \
    'BEGIN { printf "%7.1fs (%6.1fs cpu)", now - wall, cpu - was }')
}
read_cpu
test_start=$(now) test_cpu=$cpu
times=()
parts=()
stage=""
begin() {
  stage=$1
  read_cpu
  stage_start=$(now) stage_cpu=$cpu
  echo "== $stage"
}
finish() {
  elapsed_since "$stage_start" "$stage_cpu"
  times+=("$(printf '%-22s %s' "$stage" "$elapsed")")
  stage=""
}
report() {
  local status=$? line
  if [ -n "$stage" ]; then
    elapsed_since "$stage_start" "$stage_cpu"
    times+=("$(printf '%-22s %s (failed)' "$stage" "$elapsed")" "${parts[@]}")
  fi
  echo "== stage times"
  for line in "${times[@]}"; do echo "  $line"; done
  elapsed_since "$test_start" "$test_cpu"
  printf '  %-22s %s\n' total "$elapsed"
  exit $status
}
trap report EXIT

begin packages
bash tools/setup.sh
finish

# After setup.sh: Ninja and ccache, with ccache's cache in build/.
source tools/build-env.sh

begin format
bash tools/check-format.sh
finish

# A build run in the background: its output goes to LOG, its time to LOG.time.
background() {
  local log=$1
  shift
  (
    read_cpu
    start=$(now) start_cpu=$cpu
    status=0
    "$@" >"$log" 2>&1 || status=$?
    elapsed_since "$start" "$start_cpu"
    echo "$elapsed" >"$log.time"
    exit $status
  ) &
}
# Waits for the background job PID and keeps its time for the report, below the
# stage it ran in; shows its log when it failed.
collect() {
  local pid=$1 name=$2 log=$3 status=0
  wait "$pid" || status=$?
  parts+=("$(printf '  %-20s %s' "$name" "$(cat "$log.time" 2>/dev/null || echo '?')")")
  if [ $status -ne 0 ]; then
    echo "== $name failed:"
    cat "$log"
    parts[-1]+=" (failed)"
  fi
  return $status
}

begin "builds (together)"
echo "native: g++, AddressSanitizer, UndefinedBehaviorSanitizer (log: build/native-build.log)"
echo "Windows: mingw-w64 i686 (log: build/windows-build.log)"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
background build/native-build.log cmake --build build/native -j"$jobs"
native_build=$!
background build/windows-build.log bash tools/build-windows.sh
windows_build=$!
# The prefix lives in the Windows tree, which build-windows.sh creates first.
while [ ! -f build/windows/CMakeCache.txt ] && kill -0 "$windows_build" 2>/dev/null; do sleep 1; done
background build/wine-prefix.log bash tools/wine-session.sh build/windows true
wine_prefix=$!
failed=0
collect "$native_build" "native build" build/native-build.log || failed=1
collect "$windows_build" "Windows build" build/windows-build.log || failed=1
collect "$wine_prefix" "Wine prefix" build/wine-prefix.log || failed=1
[ $failed -eq 0 ] || exit 1
finish
times+=("${parts[@]}")

begin "native tests"
ctest --test-dir build/native --output-on-failure -j"$jobs"
finish

begin "Wine tests"
bash tools/wine-session.sh build/windows ctest --test-dir build/windows --output-on-failure
finish
