#!/usr/bin/env bash
# check-format.sh: fails, listing them, when tracked .cpp/.h files differ from what
# clang-format (Debian's, installed by tools/setup.sh) makes of them with the
# tree's .clang-format.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
files=()
while IFS= read -r -d '' file; do
  if [ -f "$file" ]; then files+=("$file"); fi
done < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h')
# One clang-format for all the files: a process per file costs most of the time.
status=0
output=$(clang-format --style=file --dry-run --Werror "${files[@]}" 2>&1) || status=$?
differ=()
if [ $status -ne 0 ]; then
  mapfile -t differ < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$output" | sort -u)
  if [ ${#differ[@]} -eq 0 ]; then
    echo "$output" >&2
    exit 1
  fi
fi
if [ ${#differ[@]} -gt 0 ]; then
  echo "check-format: these files differ from clang-format's output (run clang-format -i on them):"
  printf '  %s\n' "${differ[@]}"
  exit 1
fi
echo "check-format: every .cpp/.h file is formatted"
