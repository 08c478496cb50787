#!/usr/bin/env bash
# bench.sh [--com] [Google Benchmark arguments...]
# Builds the benchmarks natively, optimised and without sanitizers, runs each
# benchmark beside its floor and prints one table of medians with the ratios and
# targets (tools/bench_report.py); the table is also written to build/bench/bench.json.
# With --com it also builds the Windows tree and, under Wine, times the page
# chooser's list on real controls (bench/ChooserListTiming.cpp, 20,000 pages) and
# the run through COM (bench/win32/ComRunBench.cpp) on a disk web of 2,000 pages.
# Exits 1 when a row is above its target. Not part of the test command.
#
# Environment: BENCH_REPETITIONS (default 12), BENCH_MIN_TIME (seconds per
# repetition, default 0.1), BENCH_COM_PAGES (default 2000), BENCH_COM_REPETITIONS
# (default 3). Extra arguments go to Google Benchmark, e.g.
#   bash tools/bench.sh --benchmark_filter='Queue.*pages:1000/'
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/bench"

if [ "${1:-}" = "--in-session" ]; then
  # Inside the Wine session: register the add-in, then let the host load it.
  windows=$2
  wine regsvr32 /s "$(winepath -w "$windows/addin/tavisk2002.dll")" </dev/null
  wine "$windows/bench/comrun_bench.exe" "${BENCH_COM_PAGES:-2000}" "$(winepath -w "$out/com-web")" \
    "$(winepath -w "$out/comrun_bench.json")" "${BENCH_COM_REPETITIONS:-3}" </dev/null
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
  cmake --build "$windows" -j"$(nproc)" --target comrun_bench chooser_list_timing >/dev/null
  echo "bench: the page chooser's list on real controls under Wine"
  bash "$root/tools/wine-session.sh" "$windows" wine "$windows/bench/chooser_list_timing.exe" 20000 </dev/null
  rm -f "$out/comrun_bench.json"
  if ! bash "$root/tools/wine-session.sh" "$windows" bash "$root/tools/bench.sh" --in-session "$windows" >"$out/comrun_bench.log" 2>&1 ||
    [ ! -s "$out/comrun_bench.json" ]; then
    tail -n 20 "$out/comrun_bench.log" >&2
    exit 2
  fi
  results+=("$out/comrun_bench.json")
fi

/usr/bin/python3 "$root/tools/bench_report.py" --out "$out/bench.json" "${results[@]}"
