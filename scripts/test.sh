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
# The Windows tests share one Wine prefix per run; the builds whose programs
# this machine cannot run leave their Wine tests out at configure time.
for preset in win32 win64; do
  ctest --preset "$preset" || status=1
done
exit $status
