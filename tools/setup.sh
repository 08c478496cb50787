#!/usr/bin/env bash
# Installs everything the native and Windows builds and their tests need on a
# Debian 12 machine. Idempotent: returns at once when every package is present.
set -euo pipefail

packages=(
  cmake g++ make ninja-build ccache googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 gcc-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
  libwine-dev wine wine32:i386 fonts-wine fonts-ipafont-gothic xvfb xauth x11-utils imagemagick clang-format valgrind
  python3 chromium-headless-shell wixl msitools osslsigncode openssl robin-map-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
