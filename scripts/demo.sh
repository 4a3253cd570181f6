#!/usr/bin/env bash
# The main job: builds everything, packs the demo product into
# build/demo/VXRSetup.exe, then runs the setup under Wine (on the screen when
# there is a display, otherwise under Xvfb) and installs the demo product
# through the whole wizard; Finish starts the installed product. Screenshots of
# every page, the installing page, the finished page and the started product go
# to build/demo/screenshots/; at the end it lists what was installed: the
# files with their sizes, the registry values and the Start-menu links, and
# shows the command that uninstalls it.
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
x64=()
if [ "$arch" = win32 ]; then
  package=build/demo/VXRSetup.exe
else
  x64=(--demo-x64)
  echo "demo.sh: Wine cannot run 32-bit programs on this machine (see scripts/install-deps.sh)," >&2
  echo "         so it runs the x86_64 build of the same setup instead of the shipped one" >&2
  tools/demo/make-package.sh build/win64/setup-stub.exe build/demo/VXRSetup64.exe --demo-x64
  package=build/demo/VXRSetup64.exe
fi

state=$PWD/build/demo/wine
shots=$PWD/build/demo/screenshots
trap 'tests/wine/prefix.sh stop "$state"' EXIT
VXR_USE_DISPLAY=1 tests/wine/prefix.sh start "$state" win64 "$PWD/build/$arch/vxr-driver.exe"
# The product's own files, to hold the installed ones against.
rm -rf build/demo/product
build/host-release/vxrpack demo "${x64[@]}" build/demo/product
tests/wine/run-in-wine.sh "$state" tests/wine/e2e/install_walk.sh "$PWD/$package" \
  "$PWD/build/$arch/vxr-driver.exe" "$PWD/build/demo/product" "$shots"
echo "package: build/demo/VXRSetup.exe ($(stat -c %s build/demo/VXRSetup.exe) bytes); screenshots: $shots"
# How a user removes it again: the command of its uninstall entry, which
# Windows runs from its list of installed programs (Wine's: `wine uninstaller`).
entry='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\ScreenRecorder'
uninstall=$(tests/wine/run-in-wine.sh "$state" sh -c '"$VXR_WINE" reg query "$1" /v UninstallString' sh "$entry" |
  tr -d '\r' | sed -n 's/^ *UninstallString *REG_SZ *//p')
[ -n "$uninstall" ] || { echo "demo.sh: the installation left no uninstall entry" >&2; exit 1; }
echo "uninstall: $uninstall"
