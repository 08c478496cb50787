#!/usr/bin/env bash
# sign.sh FILE: signs FILE (the DLL or the setup package) in place with Authenticode
# through osslsigncode, with the PKCS#12 certificate TAVISK_SIGN_PFX names and its
# password: the first line of the file TAVISK_SIGN_PASSWORD_FILE names, or
# TAVISK_SIGN_PASSWORD (empty for none); timestamped by the server
# TAVISK_SIGN_TIMESTAMP_URL names, if any.
#
# Two signatures, the second nested in the first: SHA-1, the only digest Windows 2000
# and XP before SP3 can check, and SHA-256 for every later Windows. The SHA-1 one is
# timestamped the Authenticode way, which those systems read; the SHA-256 one by
# RFC 3161. A timestamp keeps the signature valid after the certificate expires.
# Those systems check the SHA-1 signature only up to a certificate chain they can
# check too: one issued under a SHA-256 authority, as every one issued today is,
# they cannot.
set -euo pipefail
file=$1
if [ -z "${TAVISK_SIGN_PFX:-}" ]; then
  echo "sign: TAVISK_SIGN_PFX names no certificate" >&2
  exit 1
fi
if [ -n "${TAVISK_SIGN_PASSWORD_FILE:-}" ] && [ -n "${TAVISK_SIGN_PASSWORD+set}" ]; then
  echo "sign: both TAVISK_SIGN_PASSWORD_FILE and TAVISK_SIGN_PASSWORD are set; set one" >&2
  exit 1
fi
if [ -n "${TAVISK_SIGN_PASSWORD_FILE:-}" ] && [ ! -r "$TAVISK_SIGN_PASSWORD_FILE" ]; then
  echo "sign: TAVISK_SIGN_PASSWORD_FILE names no file that can be read: $TAVISK_SIGN_PASSWORD_FILE" >&2
  exit 1
fi
if [ -z "${TAVISK_SIGN_PASSWORD_FILE:-}" ] && [ -z "${TAVISK_SIGN_PASSWORD+set}" ]; then
  echo "sign: neither TAVISK_SIGN_PASSWORD_FILE nor TAVISK_SIGN_PASSWORD is set" \
    "(set TAVISK_SIGN_PASSWORD empty for a certificate without a password)" >&2
  exit 1
fi

# The password goes through a file only this user can read, never the command line:
# the password file's first line without its line end, as openssl reads one.
password=$(mktemp)
trap 'rm -f "$password" "$file.sha1" "$file.signed"' EXIT
if [ -n "${TAVISK_SIGN_PASSWORD_FILE:-}" ]; then
  line=
  IFS= read -r line <"$TAVISK_SIGN_PASSWORD_FILE" || true
  printf '%s' "${line%$'\r'}" >"$password"
else
  printf '%s' "$TAVISK_SIGN_PASSWORD" >"$password"
fi

sign() {
  local digest=$1 timestamp=$2
  shift 2
  local args=(sign -pkcs12 "$TAVISK_SIGN_PFX" -readpass "$password" -h "$digest" -n "Tavisk 2002")
  if [ -n "${TAVISK_SIGN_TIMESTAMP_URL:-}" ]; then args+=("$timestamp" "$TAVISK_SIGN_TIMESTAMP_URL"); fi
  if ! output=$(osslsigncode "${args[@]}" "$@" 2>&1); then
    printf 'sign: osslsigncode could not sign %s:\n%s\n' "$file" "$output" >&2
    exit 1
  fi
}
sign sha1 -t -in "$file" -out "$file.sha1"
sign sha256 -ts -nest -in "$file.sha1" -out "$file.signed"
mv -f "$file.signed" "$file"
