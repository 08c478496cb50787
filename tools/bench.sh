#!/usr/bin/env bash
# Builds the benchmarks natively, optimised and without sanitizers, and runs them.
# Extra arguments go to Google Benchmark (e.g. --benchmark_filter=Queue).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DTAVISK_SANITIZE=OFF -DTAVISK_BENCH=ON >/dev/null
cmake --build "$root/build/bench" -j"$(nproc)" --target margins_bench
"$root/build/bench/bench/margins_bench" "$@"
