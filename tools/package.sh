#!/usr/bin/env bash
# package.sh [BUILD_DIR]
# Builds the Windows tree (build/windows unless given) and puts into dist/ what a
# user of the real editor needs: the setup package tavisk2002-<version>.msi, and
# tavisk2002-<version>.zip with the add-in's DLL, install.cmd, uninstall.cmd and
# INSTALL.txt for those who register it by hand. The DLL in both is the stripped
# one; its symbols stay in the build (packaging/tavisk2002.dll.debug). The version
# is the one the DLL's version resource carries.
#
# Signing: with TAVISK_SIGN_PFX naming a PKCS#12 certificate and its password in the
# file TAVISK_SIGN_PASSWORD_FILE names (or in TAVISK_SIGN_PASSWORD), the DLL (before it goes into the package and the archive) and the
# package are signed with Authenticode (packaging/sign.sh), timestamped by the server
# TAVISK_SIGN_TIMESTAMP_URL names, if any. Without a certificate both stay unsigned.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/windows}")

if [ -n "${TAVISK_SIGN_PFX:-}" ]; then
  if [ ! -f "$TAVISK_SIGN_PFX" ]; then
    echo "package: TAVISK_SIGN_PFX names no file: $TAVISK_SIGN_PFX" >&2
    exit 1
  fi
  if [ -n "${TAVISK_SIGN_PASSWORD_FILE:-}" ]; then
    if [ ! -f "$TAVISK_SIGN_PASSWORD_FILE" ]; then
      echo "package: TAVISK_SIGN_PASSWORD_FILE names no file: $TAVISK_SIGN_PASSWORD_FILE" >&2
      exit 1
    fi
    # Read by sign.sh inside the build, from the build's folder.
    TAVISK_SIGN_PASSWORD_FILE=$(realpath "$TAVISK_SIGN_PASSWORD_FILE")
    export TAVISK_SIGN_PASSWORD_FILE
  elif [ -z "${TAVISK_SIGN_PASSWORD+set}" ]; then
    echo "package: neither TAVISK_SIGN_PASSWORD_FILE nor TAVISK_SIGN_PASSWORD is set" \
      "(set TAVISK_SIGN_PASSWORD empty for a certificate without a password)" >&2
    exit 1
  fi
  # The build reads the certificate's path when it is configured, from its own folder.
  TAVISK_SIGN_PFX=$(realpath "$TAVISK_SIGN_PFX")
  export TAVISK_SIGN_PFX
  signed="signed with $TAVISK_SIGN_PFX (SHA-1 and SHA-256)"
  if [ -n "${TAVISK_SIGN_TIMESTAMP_URL:-}" ]; then
    signed+=", timestamped by $TAVISK_SIGN_TIMESTAMP_URL"
  else
    signed+=", without a timestamp: invalid once the certificate expires"
  fi
else
  signed="unsigned: no certificate given (TAVISK_SIGN_PFX, TAVISK_SIGN_PASSWORD_FILE)"
fi

bash "$root/tools/setup.sh"
bash "$root/tools/build-windows.sh" "$build"

dll="$build/packaging/tavisk2002.dll"
if [ ! -f "$dll" ]; then
  echo "package: the build made no $dll" >&2
  exit 1
fi

# FILEVERSION of the VS_FIXEDFILEINFO block (signature 0xFEEF04BD) in the DLL.
version=$(python3 - "$dll" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
if at < 0:
    sys.exit("package: the DLL has no version resource")
ms, ls = struct.unpack_from("<II", data, at + 8)
print(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
PY
)

name="tavisk2002-$version"
msi="$build/packaging/$name.msi"
if [ ! -f "$msi" ]; then
  echo "package: the build made no $msi" >&2
  exit 1
fi
stage=$(mktemp -d "${TMPDIR:-/tmp}/tavisk-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name"
cp "$dll" "$stage/$name/"
# Windows' command interpreter wants CR LF line endings.
for text in install.cmd uninstall.cmd INSTALL.txt; do
  sed -e "s/@VERSION@/$version/g" -e 's/\r*$/\r/' "$root/packaging/$text" >"$stage/$name/$text"
done

mkdir -p "$root/dist"
zip="$root/dist/$name.zip"
rm -f "$zip"
python3 - "$stage" "$name" "$zip" <<'PY'
import os, sys, zipfile
stage, name, target = sys.argv[1:]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
    for file in sorted(os.listdir(os.path.join(stage, name))):
        archive.write(os.path.join(stage, name, file), f"{name}/{file}")
PY
cp "$msi" "$root/dist/$name.msi"
echo "package: $zip"
python3 -m zipfile -l "$zip"
echo "package: $root/dist/$name.msi ($(stat -c %s "$msi") bytes)"
echo "package: the DLL and the package are $signed"
