#!/usr/bin/env bash
# check-format.sh: fails, listing them, when tracked .cpp/.h files differ from what
# clang-format (Debian's, installed by tools/setup.sh) makes of them with the
# tree's .clang-format.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
differ=()
while IFS= read -r -d '' file; do
  [ -f "$file" ] || continue
  if ! clang-format --style=file "$file" | cmp -s - "$file"; then
    differ+=("$file")
  fi
done < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h')
if [ ${#differ[@]} -gt 0 ]; then
  echo "check-format: these files differ from clang-format's output (run clang-format -i on them):"
  printf '  %s\n' "${differ[@]}"
  exit 1
fi
echo "check-format: every .cpp/.h file is formatted"
