#!/usr/bin/env bash
# bench.sh [--com] [Google Benchmark arguments...]
# Builds the benchmarks natively, optimised and without sanitizers, runs each
# benchmark beside its floor and prints one table of medians with the ratios and
# targets (tools/bench_report.py); the table is also written to build/bench/bench.json.
# With --com it also builds the Windows tree and, under Wine, times the page
# chooser's list on real controls (bench/ChooserListTiming.cpp, 20,000 pages), the
# run through COM (bench/win32/ComRunBench.cpp) on a disk web of 2,000 pages, the
# stand-in host's cost per page over flat disk webs of 100 to 100,000 pages
# (bench/win32/StandInBench.cpp; the webs are written once by bench/make_disk_web.py
# under build/bench/disk-webs) and the host process's peak memory with the page
# chooser open on the largest of them and all its pages queued
# (bench/win32/HostMemoryBench.cpp). Exits 1 when a row is above its target. Not
# part of the test command.
#
# The progress window's share of a run is judged in instructions, counted under
# callgrind (skipped when Google Benchmark arguments are given).
#
# Environment: BENCH_REPETITIONS (default 12), BENCH_MIN_TIME (seconds per
# repetition, default 0.1), BENCH_COM_PAGES (default 2000), BENCH_COM_REPETITIONS
# (default 3), BENCH_STANDIN_SIZES (default "100 1000 10000 100000"),
# BENCH_STANDIN_SAMPLE (pages per pass, default 100), BENCH_STANDIN_REPETITIONS
# (default 7: a flush to this machine's disk varies from 4 to 12 ms). Extra
# arguments go to Google Benchmark, e.g.
#   bash tools/bench.sh --benchmark_filter='Queue.*pages:1000/'
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/bench"

webs="$out/disk-webs"
standin_sizes=${BENCH_STANDIN_SIZES:-100 1000 10000 100000}

if [ "${1:-}" = "--in-session" ]; then
  # Inside the Wine session: register the add-in, then let the host load it.
  windows=$2
  wine regsvr32 /s "$(winepath -w "$windows/addin/tavisk2002.dll")" </dev/null
  echo "bench: the run through COM"
  wine "$windows/bench/comrun_bench.exe" "${BENCH_COM_PAGES:-2000}" "$(winepath -w "$out/com-web")" \
    "$(winepath -w "$out/comrun_bench.json")" "${BENCH_COM_REPETITIONS:-3}" </dev/null

  echo "bench: the stand-in host's cost per page"
  folders=()
  for n in $standin_sizes; do folders+=("$(winepath -w "$webs/pages-$n")"); done
  wine "$windows/bench/standin_bench.exe" "$(winepath -w "$out/standin_bench.json")" \
    "${BENCH_STANDIN_REPETITIONS:-7}" "${BENCH_STANDIN_SAMPLE:-100}" "${folders[@]}" </dev/null

  # The host process's memory: after each step the program waits for its VmHWM and
  # VmRSS lines read here from /proc. `wine` ends in the Windows process itself
  # (it execs), so $! is that process's pid.
  echo "bench: the host process's peak memory"
  handshake="$out/memory-handshake"
  rm -rf "$handshake"
  mkdir -p "$handshake"
  largest=$(printf '%s\n' $standin_sizes | sort -n | tail -n 1)
  wine "$windows/bench/host_memory_bench.exe" "$(winepath -w "$webs/pages-$largest")" \
    "$(winepath -w "$out/host_memory_bench.json")" "$(winepath -w "$handshake")" </dev/null &
  pid=$!
  deadline=$((SECONDS + 900))  # a message box the program does not expect would hold it for ever
  while kill -0 "$pid" 2>/dev/null; do
    if [ $SECONDS -gt $deadline ]; then
      echo "bench: the memory benchmark did not finish in 15 minutes" >&2
      kill "$pid"
      break
    fi
    for stage in "$handshake"/stage-*; do
      [ -e "$stage" ] || continue
      answer="$handshake/outside-${stage##*/stage-}"
      [ -e "$answer" ] && continue
      grep -E '^(VmHWM|VmRSS):' "/proc/$pid/status" >"$answer.part" && mv "$answer.part" "$answer"
    done
    sleep 0.1
  done
  wait "$pid"
  exit 0
fi

com=0
if [ "${1:-}" = "--com" ]; then
  com=1
  shift
fi

bash "$root/tools/setup.sh"
cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release -DTAVISK_SANITIZE=OFF -DTAVISK_BENCH=ON >/dev/null
cmake --build "$out" -j"$(nproc)" --target margins_bench chooser_bench >/dev/null

reps=${BENCH_REPETITIONS:-12}
echo "bench: margins_bench, $reps repetitions, interleaved (Google Benchmark's output: $out/margins_bench.log)"
# Repetitions of a row and its floor are interleaved at random, so both see the
# same load on a shared machine.
if ! "$out/bench/margins_bench" \
  --benchmark_repetitions="$reps" \
  --benchmark_min_time="${BENCH_MIN_TIME:-0.1}" \
  --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/margins_bench.json" --benchmark_out_format=json \
  "$@" >"$out/margins_bench.log" 2>&1; then
  tail -n 20 "$out/margins_bench.log" >&2
  exit 2
fi
results=("$out/margins_bench.json")

if [ $# -eq 0 ]; then
  # The progress window's share of a run, in instructions (see bench/ApplyMarginsBench.cpp).
  echo "bench: margins_bench under callgrind, the progress window's instructions (about three minutes)"
  rm -rf "$out/instructions"
  mkdir -p "$out/instructions"
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/instructions/callgrind.out" \
    "$out/bench/margins_bench" --count-instructions >"$out/instructions.log" 2>&1 ||
    { tail -n 20 "$out/instructions.log" >&2; exit 2; }
  results+=("$out"/instructions/callgrind.out.*)
fi

echo "bench: chooser_bench, $reps repetitions, interleaved (Google Benchmark's output: $out/chooser_bench.log)"
if ! "$out/bench/chooser_bench" \
  --benchmark_repetitions="$reps" \
  --benchmark_min_time="${BENCH_MIN_TIME:-0.1}" \
  --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/chooser_bench.json" --benchmark_out_format=json \
  "$@" >"$out/chooser_bench.log" 2>&1; then
  tail -n 20 "$out/chooser_bench.log" >&2
  exit 2
fi
results+=("$out/chooser_bench.json")

if [ $com -eq 1 ]; then
  windows="$root/build/windows"
  echo "bench: comrun_bench under Wine, ${BENCH_COM_PAGES:-2000} pages, ${BENCH_COM_REPETITIONS:-3} repetitions (log: $out/comrun_bench.log)"
  cmake -S "$root" -B "$windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DTAVISK_BENCH=ON >/dev/null
  cmake --build "$windows" -j"$(nproc)" --target comrun_bench chooser_list_timing standin_bench \
    host_memory_bench >/dev/null
  # The disk webs are written natively, once: 100,000 files under Wine take minutes.
  for n in $standin_sizes; do /usr/bin/python3 "$root/bench/make_disk_web.py" "$webs/pages-$n" "$n"; done
  echo "bench: the page chooser's list on real controls under Wine"
  bash "$root/tools/wine-session.sh" "$windows" wine "$windows/bench/chooser_list_timing.exe" 20000 </dev/null
  com_results=("$out/comrun_bench.json" "$out/standin_bench.json" "$out/host_memory_bench.json")
  rm -f "${com_results[@]}"
  echo "bench: under Wine: the run through COM, the stand-in's cost per page, the host's memory (log: $out/comrun_bench.log)"
  if ! bash "$root/tools/wine-session.sh" "$windows" bash "$root/tools/bench.sh" --in-session "$windows" >"$out/comrun_bench.log" 2>&1; then
    tail -n 20 "$out/comrun_bench.log" >&2
    exit 2
  fi
  for result in "${com_results[@]}"; do
    [ -s "$result" ] || { tail -n 20 "$out/comrun_bench.log" >&2; exit 2; }
  done
  grep -E '^(opened|empty|model|web|chooser|queued) ' "$out/comrun_bench.log" || true
  results+=("${com_results[@]}")
fi

/usr/bin/python3 "$root/tools/bench_report.py" --out "$out/bench.json" "${results[@]}"
