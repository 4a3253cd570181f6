#!/usr/bin/env bash
# wine_lz32.sh engine_wine_tests.exe: the program writes its corpus into this
# run's prefix, mscompress compresses it on the host (name + "_"), then the
# program checks LZ32 and expand.exe on it.
set -euo pipefail
exe=$1
command -v mscompress >/dev/null || { echo "mscompress is not installed"; exit 1; }
dir="$WINEPREFIX/drive_c/lz32-corpus"
rm -rf "$dir"
"$VXR_WINE" "$exe" --write 'C:\lz32-corpus'
# mscompress mangles files under 16 bytes: the program leaves those out.
(cd "$dir" && find . -maxdepth 1 -type f -size +15c -exec mscompress {} \; >/dev/null)
"$VXR_WINE" "$exe" 'C:\lz32-corpus'
