#!/usr/bin/env bash
# Builds the benchmarks natively, optimised and without sanitizers, runs each
# benchmark beside its floor and prints one table of medians with the ratios and
# targets (tools/bench_report.py); the table is also written to build/bench/bench.json.
# Exits 1 when a row is above its target. Not part of the test command.
#
# Environment: BENCH_REPETITIONS (default 12), BENCH_MIN_TIME (seconds per
# repetition, default 0.1). Extra arguments go to Google Benchmark, e.g.
#   bash tools/bench.sh --benchmark_filter='Queue.*pages:1000/'
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/bench"
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release -DTAVISK_SANITIZE=OFF -DTAVISK_BENCH=ON >/dev/null
cmake --build "$out" -j"$(nproc)" --target margins_bench >/dev/null

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

/usr/bin/python3 "$root/tools/bench_report.py" --out "$out/bench.json" "$out/margins_bench.json"
