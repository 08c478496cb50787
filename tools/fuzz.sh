#!/usr/bin/env bash
# fuzz.sh SECONDS [BUILD_DIR]
# Builds the page editor's fuzz target with clang and libFuzzer (AddressSanitizer
# and UndefinedBehaviorSanitizer on) and runs it for SECONDS, starting from the
# sample web's pages. Not part of the test command. Findings (inputs that crash or
# break an invariant) are written to BUILD_DIR/findings and make the command fail;
# the corpus grows in BUILD_DIR/corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:?usage: fuzz.sh SECONDS [BUILD_DIR]}
build=${2:-$root/build/fuzz}

need=()
for p in clang libclang-rt-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "fuzz: installing ${need[*]}"
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" </dev/null
fi

mkdir -p "$build/corpus" "$build/findings"
build=$(cd "$build" && pwd)
# The target and its sources are fuzz/CMakeLists.txt's; the libraries it links are
# instrumented too.
cmake -S "$root" -B "$build/cmake" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1 -g" -DTAVISK_FUZZ=ON >/dev/null
cmake --build "$build/cmake" --target page_editor_fuzz -j"$(nproc)"
cp "$build/cmake/fuzz/page_editor_fuzz" "$build/page_editor_fuzz"

# Seeds: every page of the sample web, with a last byte 0 for "no edits".
find "$root/samples/web" -type f \( -iname '*.htm' -o -iname '*.html' -o -iname '*.asp' \) -print0 |
  while IFS= read -r -d '' page; do
    name=$(basename "$page")
    { cat "$page"; printf '\0'; } >"$build/corpus/seed-$name"
  done

cd "$build"
"$build/page_editor_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -dict="$root/fuzz/page.dict" -artifact_prefix="$build/findings/" -print_final_stats=1 "$build/corpus"
