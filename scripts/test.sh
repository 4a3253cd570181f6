#!/usr/bin/env bash
# Installs what is needed, builds every preset and runs all the tests:
# the host unit tests (sanitizers) and the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=${VXR_JOBS:-2}
for preset in host win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

status=0
ctest --preset host -j "$jobs" || status=1
# The Windows tests share one Wine prefix per run. The shipped i686 build's
# run only where the kernel runs 32-bit programs; the x86_64 build's always.
if [ "$(scripts/wine-arch.sh)" = win32 ]; then
  ctest --preset win32 || status=1
fi
ctest --preset win64 || status=1
exit $status
