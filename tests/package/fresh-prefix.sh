#!/usr/bin/env bash
# fresh-prefix.sh PREFIX PROGRAM [ARGS...]
# Runs a Windows program under Wine in PREFIX, made afresh (emptied, booted, a
# virtual desktop as the build's own prefix is) so that nothing registered or
# installed before is there; under the session's X display, with a wineserver of
# its own that ends with it.
set -uo pipefail
prefix=$1
shift
rm -rf "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f >/dev/null 2>&1
wineserver -w
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# Wine's background processes outlive the program and must not hold the caller's
# pipes open (see tools/wine-run.sh.in): the output goes through a file.
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
