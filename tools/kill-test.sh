#!/usr/bin/env bash
# kill-test.sh [PAGES] [KILLS] [SEED]
# Kills a stand-in host process with SIGKILL at random moments of a margin run over
# a web of 1,000 pages on disk (5 kills unless told otherwise), and checks by hashes that
# every page file holds either its old or its new content. Native, Linux only;
# not part of the test command. Fails (exit status 1) on any partial page.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh
source tools/build-env.sh
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$(nproc)" --target kill_run
build/native/tests/reliability/kill_run "$@"
