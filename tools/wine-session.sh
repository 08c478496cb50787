#!/usr/bin/env bash
# wine-session.sh BUILD_DIR COMMAND...
# Runs COMMAND with one X display (Xvfb unless one is given) and one persistent
# wineserver for the build's private Wine prefix, prepared on first use as a
# virtual desktop. Every Wine program of the session must start under that display.
set -euo pipefail
build=$(cd "$1" && pwd)
shift

if [ -z "${TAVISK_IN_SESSION:-}" ] && [ -z "${DISPLAY:-}" ]; then
  exec env TAVISK_IN_SESSION=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$@"
fi

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$WINEPREFIX/.tavisk-ready" ]; then
  echo "wine-session: preparing the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  # A program that crashes ends at once instead of waiting in Wine's debugger.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tavisk-ready"
fi

wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
"$@"
