#!/usr/bin/env bash
# Builds what the packages hold and makes them with CPack (cmake/Packaging.cmake):
#   build/packages/vxr-setup-tools_<version>_amd64.deb   vxrpack, the stub, the manual page
#   build/packages/vxr-setup-tools-<version>-win32.zip   vxrpack.exe beside the stub, PACKING.txt
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=${VXR_JOBS:-2}
# Only what is packed: the shipped stub and the Windows vxrpack, the host
# vxrpack and its manual page (the host install takes the stub from build/win32).
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs" --target setup-stub vxrpack
cmake --preset host-release >/dev/null
cmake --build --preset host-release -j "$jobs" --target vxrpack vxrpack_manual

# Both land in build/packages (CPACK_PACKAGE_DIRECTORY), beside CPack's staging folder.
(cd build/host-release && cpack -G DEB)
(cd build/win32 && cpack -G ZIP)
rm -rf build/packages/_CPack_Packages
ls -l build/packages
