#!/usr/bin/env bash
# bench/install/wine.sh [RUNS]
# The installation under Wine, with the shipped i686 setup in a 64-bit prefix of
# its own: the time from Next on the destination page until Next reads Finish,
# seen by the UI driver, for the demo package and for the 50 MB mixed product
# of install_bench, against a Windows program that copies the same installed
# files with a plain 64 KiB ReadFile/WriteFile loop in the same prefix. Medians
# of RUNS (default 3). The driver sees the finish page within about 0.1 s.
# Then the setup's own extraction and expansion of each package, timed alone.
# Builds the win32 and host-release presets first.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-3}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
for preset in win32 host-release; do
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
done
cmake --build --preset win32 -j "${VXR_JOBS:-2}" --target setup-stub vxr-driver vxrpack plain_copy install_steps >/dev/null
cmake --build --preset host-release -j "${VXR_JOBS:-2}" --target install_bench vxrpack >/dev/null

work=$PWD/build/win32/bench-install
rm -rf "$work"
mkdir -p "$work/demo" "$work/mixed"
build/host-release/vxrpack demo "$work/demo/product"
build/host-release/bench/install/install_bench --write-product "$work/mixed/product"
for product in demo mixed; do
  build/host-release/vxrpack build -q --stub build/win32/setup-stub.exe --product "$work/$product/product" \
    --output "$work/$product/VXRSetup.exe"
done

state=$PWD/build/win32/bench-wine
trap 'tests/wine/prefix.sh stop "$state"' EXIT
tests/wine/prefix.sh start "$state" win64 "$PWD/build/win32/vxr-driver.exe" >/dev/null
tests/wine/run-in-wine.sh "$state" bench/install/wine_runs.sh "$work" "$runs" \
  "$PWD/build/win32/vxr-driver.exe" "$PWD/build/win32/plain_copy.exe" "$PWD/build/win32/install_steps.exe"
