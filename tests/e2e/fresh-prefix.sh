#!/usr/bin/env bash
# fresh-prefix.sh DIR PROGRAM: PROGRAM under Wine in DIR/wineprefix made afresh, so nothing installed before is there.
rm -rf "$1/wineprefix"
exec bash "$(dirname "$0")/../../tools/wine-session.sh" "$1" wine "$2"
