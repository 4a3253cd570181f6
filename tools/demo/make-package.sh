#!/usr/bin/env bash
# Packs the demo product behind a setup stub:
#   tools/demo/make-package.sh [STUB [OUTPUT [--demo|--demo-x64]]]
# By default the shipped stub build/win32/setup-stub.exe into
# build/demo/VXRSetup.exe. --demo-x64 takes x86_64 demo programs, for a stub
# from the win64 preset run under a Wine that runs only 64-bit programs.
# Builds vxrpack (host-release preset) first when needed.
set -euo pipefail
cd "$(dirname "$0")/../.."
stub=${1:-build/win32/setup-stub.exe}
output=${2:-build/demo/VXRSetup.exe}
demo=${3:---demo}
[ -f build/host-release/build.ninja ] || cmake --preset host-release >/dev/null
cmake --build build/host-release --target vxrpack -j "${VXR_JOBS:-2}" >/dev/null
exec build/host-release/vxrpack build --stub "$stub" "$demo" --output "$output"
