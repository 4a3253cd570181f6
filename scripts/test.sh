#!/usr/bin/env bash
# Installs what is needed, builds every preset and runs all the tests: the host
# unit tests (sanitizers) and the Windows tests of the shipped i686 build under
# Wine. Fails when any of them cannot run here; it never passes with fewer.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=${VXR_JOBS:-2}
# The x86_64 build only has to compile: what ships, and what the tests run, is i686.
for preset in host win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

if [ "$(scripts/wine-arch.sh)" != win32 ]; then
  echo "test.sh: Wine cannot run 32-bit programs on this machine, so the shipped setup cannot be tested" >&2
  echo "         (scripts/install-deps.sh sets up qemu-user for kernels without 32-bit support)" >&2
  exit 1
fi

status=0
ctest --preset host -j "$jobs" || status=1
ctest --preset win32 || status=1
exit $status
