#!/usr/bin/env bash
# fresh-prefix.sh DIR PROGRAM: PROGRAM under Wine in DIR/wineprefix made afresh, so nothing installed before is there.
# First each file TAVISK_SIGNED lists (':' between) must carry a SHA-1 and a nested SHA-256 Authenticode signature
# by the certificate TAVISK_SIGNED_BY names: osslsigncode checks them here, as a Wine program cannot start it.
set -euo pipefail
IFS=: read -ra signed <<<"${TAVISK_SIGNED:-}"
for file in "${signed[@]}"; do
  verified=0
  osslsigncode verify -CAfile "$TAVISK_SIGNED_BY" -in "$file" >"$1/verify.txt" 2>&1 || verified=$?
  digests=$(sed -n 's/^Message digest algorithm  *: //p' "$1/verify.txt" | paste -sd' ')
  echo "fresh-prefix: ${file##*/}: $digests, $(grep -m1 'Subject:' "$1/verify.txt" | tr -d '\t'), $(tail -1 "$1/verify.txt")"
  [ "$verified" = 0 ] && [ "$digests" = "SHA1 SHA256" ] || { cat "$1/verify.txt" >&2 && exit 1; }
done
rm -rf "$1/wineprefix"
exec bash "$(dirname "$0")/../../tools/wine-session.sh" "$1" wine "$2"
