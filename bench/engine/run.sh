#!/usr/bin/env bash
# Builds the expander benchmark in host-release and runs it: ours, libmspack
# (memory and files), msexpand and a plain 64 KiB copy on the same files.
# bench/engine/run.sh [BUILD_DIR] [SECONDS_PER_MEASUREMENT]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/host-release}
cmake --preset host-release -B "$build" >/dev/null
cmake --build "$build" -j2 --target szdd_bench >/dev/null
"$build/bench/engine/szdd_bench" "${2:-0.5}"
