#!/usr/bin/env bash
# build-windows.sh [BUILD_DIR]
# Configures and builds the Windows tree (build/windows unless given) with the
# mingw-w64 cross compiler.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows}
source "$root/tools/build-env.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
