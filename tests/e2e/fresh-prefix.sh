#!/usr/bin/env bash
# fresh-prefix.sh DIR PROGRAM: PROGRAM under Wine in DIR/wineprefix made afresh, so nothing installed before is there.
# First each file TAVISK_SIGNED lists (':' between) must carry a SHA-1 and a nested SHA-256 Authenticode signature by
# the certificate TAVISK_SIGNED_BY: osslsigncode checks them here, as a Wine program cannot start it.
set -euo pipefail
IFS=: read -ra signed <<<"${TAVISK_SIGNED:-}"
for file in "${signed[@]}"; do
  report=$(osslsigncode verify -CAfile "$TAVISK_SIGNED_BY" -in "$file" 2>&1) || { echo "$report" >&2 && exit 1; }
  digests=$(sed -n 's/^Message digest algorithm  *: //p' <<<"$report" | paste -sd' ')
  echo "fresh-prefix: ${file##*/}: $digests by $(grep -m1 -o '/CN=.*' <<<"$report"): $(tail -1 <<<"$report")"
  [ "$digests" = "SHA1 SHA256" ]
done
rm -rf "$1/wineprefix"
exec bash "$(dirname "$0")/../../tools/wine-session.sh" "$1" wine "$2"
