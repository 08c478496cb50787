#!/usr/bin/env bash
# fresh-prefix.sh DIR PROGRAM: PROGRAM under Wine in DIR/wineprefix, made afresh as
# tools/wine-session.sh makes the build's own, so that nothing registered or
# installed before is there. The output goes through a file (see tools/wine-run.sh.in).
rm -rf "$1/wineprefix"
exec bash "$(dirname "$0")/../../tools/wine-session.sh" "$1" bash -c \
  'out=$(mktemp); wine "$0" >"$out" 2>&1 </dev/null; rc=$?; cat "$out"; rm -f "$out"; exit $rc' "$2"
