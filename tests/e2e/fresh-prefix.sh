#!/usr/bin/env bash
# fresh-prefix.sh DIR PROGRAM: PROGRAM under Wine in DIR/wineprefix made afresh, so nothing installed before is there.
# With TAVISK_SIGNED_BY naming a certificate, it first checks that every file TAVISK_SIGNED lists (separated by ':')
# carries valid Authenticode signatures by it; osslsigncode is a Linux program, which a Wine program cannot start.
set -euo pipefail
if [ -n "${TAVISK_SIGNED_BY:-}" ]; then
  IFS=: read -ra signed <<<"$TAVISK_SIGNED"
  for file in "${signed[@]}"; do
    verified=0
    report=$(osslsigncode verify -CAfile "$TAVISK_SIGNED_BY" -in "$file" 2>&1) || verified=$?
    # A SHA-1 signature for Windows 2000 and XP, a SHA-256 one nested in it for later systems.
    digests=$(sed -n 's/^Message digest algorithm  *: //p' <<<"$report" | paste -sd' ')
    if [ "$verified" -ne 0 ] || [ "$digests" != "SHA1 SHA256" ]; then
      printf '%s\nfresh-prefix: %s lacks a SHA-1 and a SHA-256 signature by %s\n' "$report" "$file" "$TAVISK_SIGNED_BY" >&2
      exit 1
    fi
    echo "fresh-prefix: ${file##*/} signed ($digests) by $(sed -n '0,/Subject: /s/^[[:space:]]*Subject: //p' <<<"$report")"
  done
fi
rm -rf "$1/wineprefix"
exec bash "$(dirname "$0")/../../tools/wine-session.sh" "$1" wine "$2"
