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

# Wine's own fonts (Debian's fonts-wine: the bitmap "MS Sans Serif" the dialogs are
# laid out for, Tahoma, Marlett for the title bar's buttons) are not copied into a new
# prefix, and Wine finds fonts only in the prefix's windows\Fonts and through
# fontconfig. Without them the dialogs' text falls back to a wider face and clips, and
# the close box shows an "r". They are linked in at every session, so that a prefix
# made by an older run gets them too; Wine reads that folder at each program's start.
wine_fonts=/usr/share/wine/fonts
link_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
  for font in sserife.fon marlett.ttf tahoma.ttf; do
    if [ ! -f "$wine_fonts/$font" ]; then
      echo "wine-session: $wine_fonts/$font is missing: install fonts-wine (bash tools/setup.sh)" >&2
      exit 1
    fi
  done
  mkdir -p "$fonts"
  for font in "$wine_fonts"/*; do
    [ -e "$fonts/${font##*/}" ] || ln -sfn "$font" "$fonts/${font##*/}"
  done
}

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
link_wine_fonts

# A Japanese Windows draws its dialogs' Japanese text in MS UI Gothic: "MS Shell Dlg"
# is substituted by it there, and linked to it behind Tahoma elsewhere, as in Wine.
# Here Debian's IPA Gothic (fonts-ipafont-gothic, found through fontconfig) stands in
# under that name; without it the Japanese captions show boxes and measure wrong.
if [ ! -f "$WINEPREFIX/.tavisk-japanese-font" ]; then
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d IPAGothic /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tavisk-japanese-font"
fi

wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
"$@"
