#!/usr/bin/env bash
# The project's test command: installs what is missing, builds natively and for
# Windows, and runs every test (natively, then under Wine inside Xvfb). Prints the
# time of each stage at its end, also when a stage fails: the wall-clock time and
# the processor time it took (user and system, of all its processes), which says
# more than the first when others share the machine.
#
# The two trees build at the same time, each given all the cores, beside the
# format check and the Wine prefix's preparation: each build alone leaves cores
# idle while it waits on its precompiled headers and its links, and the prefix
# mostly waits. The native tests then run beside the Wine tests, which mostly wait
# too. Each job's output is kept in build/ and shown when it ends.
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
  times+=("$(printf '%-30s %s' "$stage" "$elapsed")")
  stage=""
}
report() {
  local status=$? line
  if [ -n "$stage" ]; then
    elapsed_since "$stage_start" "$stage_cpu"
    times+=("$(printf '%-30s %s (failed)' "$stage" "$elapsed")" "${parts[@]}")
  fi
  echo "== stage times"
  for line in "${times[@]}"; do echo "  $line"; done
  elapsed_since "$test_start" "$test_cpu"
  printf '  %-30s %s\n' total "$elapsed"
  exit $status
}
trap report EXIT

begin packages
bash tools/setup.sh
finish

# After setup.sh: Ninja and ccache, with ccache's cache in build/.
source tools/build-env.sh

# A job run in the background: its output goes to LOG, its time to LOG.time.
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
# collect PID NAME LOG [show]: waits for the background job PID and keeps its time
# for the report, below the stage it ran in; shows its log when it failed, or
# always with "show".
collect() {
  local pid=$1 name=$2 log=$3 show=${4:-} status=0
  wait "$pid" || status=$?
  parts+=("$(printf '  %-28s %s' "$name" "$(cat "$log.time" 2>/dev/null || echo '?')")")
  if [ $status -ne 0 ]; then
    echo "== $name failed:"
    parts[-1]+=" (failed)"
  elif [ -n "$show" ]; then
    echo "== $name"
  fi
  [ $status -eq 0 ] && [ -z "$show" ] || cat "$log"
  return $status
}
# Ends a stage of background jobs: its time, then theirs.
finish_together() {
  finish
  times+=("${parts[@]}")
  parts=()
}

begin "format and builds (together)"
echo "format: clang-format (log: build/format.log)"
echo "native: g++, AddressSanitizer, UndefinedBehaviorSanitizer (log: build/native-build.log)"
echo "Windows: mingw-w64 i686 (log: build/windows-build.log)"
background build/format.log bash tools/check-format.sh
format=$!
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
collect "$format" "format" build/format.log show || failed=1
collect "$native_build" "native build" build/native-build.log || failed=1
collect "$windows_build" "Windows build" build/windows-build.log || failed=1
collect "$wine_prefix" "Wine prefix" build/wine-prefix.log || failed=1
[ $failed -eq 0 ] || exit 1
finish_together

# The Wine tests mostly wait on windows and processes; the native ones use the
# cores meanwhile.
begin "tests (together)"
echo "native: under the sanitizers (log: build/native-tests.log)"
echo "Wine: inside Xvfb (log: build/wine-tests.log)"
background build/native-tests.log ctest --test-dir build/native --output-on-failure -j"$jobs"
native_tests=$!
background build/wine-tests.log bash tools/wine-session.sh build/windows ctest --test-dir build/windows --output-on-failure
wine_tests=$!
failed=0
collect "$native_tests" "native tests" build/native-tests.log show || failed=1
collect "$wine_tests" "Wine tests" build/wine-tests.log show || failed=1
[ $failed -eq 0 ] || exit 1
finish_together
