#!/usr/bin/env bash
# Builds the benchmarks natively, optimised and without sanitizers, and runs them;
# then builds the page chooser's timing program for Windows and runs it under Wine.
# --files=N sets the size of the chooser's generated web (100000 unless given; its
# root folder holds N/5 pages, which the Wine comparison lists). Other arguments go
# to Google Benchmark (e.g. --benchmark_filter=Queue).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"

files=100000
args=()
for arg in "$@"; do
  case "$arg" in
    --files=*) files=${arg#--files=} ;;
    *) args+=("$arg") ;;
  esac
done

cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DTAVISK_SANITIZE=OFF -DTAVISK_BENCH=ON >/dev/null
cmake --build "$root/build/bench" -j"$(nproc)" --target margins_bench chooser_bench
"$root/build/bench/bench/margins_bench" "${args[@]}"
"$root/build/bench/bench/chooser_bench" --files="$files" "${args[@]}"

echo "== the page chooser's list on real controls (Wine)"
win="$root/build/bench-windows"
cmake -S "$root" -B "$win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DTAVISK_BENCH=ON >/dev/null
cmake --build "$win" -j"$(nproc)" --target chooser_list_timing
bash "$root/tools/wine-session.sh" "$win" wine "$win/bench/chooser_list_timing.exe" "$((files / 5))"
