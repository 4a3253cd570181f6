#!/usr/bin/env bash
# The main job: builds everything, packs the demo product into
# build/demo/VXRSetup.exe, then runs the setup under Wine (on the screen when
# there is a display, otherwise under Xvfb) and walks its wizard's pages,
# saving a screenshot of each in build/demo/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=${VXR_JOBS:-2}
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" >/dev/null
done

# The shipped package: the i686 stub with the demo product.
tools/demo/make-package.sh build/win32/setup-stub.exe build/demo/VXRSetup.exe --demo

# Which package this machine's Wine can run: the shipped one where the kernel runs
# 32-bit programs, else the same setup built for x86_64 with x86_64 demo programs.
arch=$(scripts/wine-arch.sh)
if [ "$arch" = win32 ]; then
  package=build/demo/VXRSetup.exe
else
  echo "demo.sh: Wine cannot run 32-bit programs on this machine (see scripts/install-deps.sh)," >&2
  echo "         so it runs the x86_64 build of the same setup instead of the shipped one" >&2
  tools/demo/make-package.sh build/win64/setup-stub.exe build/demo/VXRSetup64.exe --demo-x64
  package=build/demo/VXRSetup64.exe
fi

state=$PWD/build/demo/wine
shots=$PWD/build/demo/screenshots
trap 'tests/wine/prefix.sh stop "$state"' EXIT
VXR_USE_DISPLAY=1 tests/wine/prefix.sh start "$state" win64 "$PWD/build/$arch/vxr-driver.exe"
tests/wine/run-in-wine.sh "$state" tests/wine/e2e/wizard_walk.sh "$PWD/$package" \
  "$PWD/build/$arch/vxr-driver.exe" "$shots"
echo "package: build/demo/VXRSetup.exe ($(stat -c %s build/demo/VXRSetup.exe) bytes); screenshots: $shots"
