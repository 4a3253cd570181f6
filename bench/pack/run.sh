#!/usr/bin/env bash
# Builds vxrpack and its peers in host-release and measures them as whole
# processes: expand against libmspack and a plain copy, compress against
# mscompress, and vxrpack's peak memory from 1 to 500 MB.
# bench/pack/run.sh [BUILD_DIR] [process_bench options: --rounds N --sizes MB,...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/host-release
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then build=$1; shift; fi
cmake --preset host-release -B "$build" >/dev/null
cmake --build "$build" -j2 --target process_bench >/dev/null
exec "$build/bench/pack/process_bench" "$@"
