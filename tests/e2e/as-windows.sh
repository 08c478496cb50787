#!/usr/bin/env bash
# as-windows.sh WINE_RUN VERSION PROGRAM...: PROGRAM under Wine (WINE_RUN, the build's
# wine-run.sh) while the prefix reports Windows VERSION (winecfg's name, win2k),
# the value `winecfg -v VERSION` sets; the prefix reports its default again afterwards,
# also when PROGRAM fails. Fails when Wine does not report that version.
set -u
run=$1 version=$2
shift 2
declare -A reported=([win2k]="5.0")
"$run" reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null
trap '"$run" reg delete "HKCU\\Software\\Wine" /v Version /f >/dev/null' EXIT
ver=$("$run" cmd /c ver | tr -d '\r')
echo "$ver"
case "$ver" in
*" ${reported[$version]:-?}."*) ;;
*) echo "as-windows: Wine does not report Windows $version (${reported[$version]:-unknown})" >&2; exit 1 ;;
esac
"$run" "$@"
