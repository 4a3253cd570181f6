#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (run as root).
# Does nothing when they are all there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev clang libclang-rt-14-dev clang-format
  mingw-w64 wine wine64 wine32:i386 xvfb xauth imagemagick
  mscompress libmspack-dev osslsigncode openssl liblnk-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo_=""
[ "$(id -u)" -eq 0 ] || sudo_=sudo
# wine32 comes from the i386 architecture.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo_ dpkg --add-architecture i386
$sudo_ apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}"
