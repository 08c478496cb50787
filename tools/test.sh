#!/usr/bin/env bash
# The project's test command: installs what is missing, builds natively and for
# Windows, and runs every test (natively, then under Wine inside Xvfb).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

bash tools/setup.sh

echo "== format (clang-format)"
bash tools/check-format.sh

echo "== native build (g++, AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

echo "== Windows build (mingw-w64 i686)"
bash tools/build-windows.sh

echo "== Windows tests (Wine)"
bash tools/wine-session.sh build/windows ctest --test-dir build/windows --output-on-failure
