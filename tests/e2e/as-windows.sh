#!/usr/bin/env bash
# as-windows.sh WINE_RUN NAME NUMBER PROGRAM...: PROGRAM under Wine (WINE_RUN, the build's
# wine-run.sh) while the prefix reports Windows NAME (winecfg's, as `winecfg -v NAME` sets
# it), version NUMBER; its default comes back afterwards. Fails unless Wine reports NUMBER.
set -u
run=$1 name=$2 number=$3
shift 3
"$run" reg add 'HKCU\Software\Wine' /v Version /d "$name" /f >/dev/null
trap '"$run" reg delete "HKCU\\Software\\Wine" /v Version /f >/dev/null' EXIT
ver=$("$run" cmd /c ver | tr -d '\r')
echo "$ver"
[[ "$ver" == *" $number."* ]] || { echo "as-windows: Wine does not report Windows $number" >&2; exit 1; }
"$run" "$@"
