#!/usr/bin/env bash
# real_stub.sh VXRPACK.exe SETUP_STUB.exe
# The stub as it ships, linked and stripped, packed by vxrpack as a vendor on
# Windows packs it: vxrpack finds the payload table in the stub's .vxrpay
# section (it refuses a stub without one) and rewrites it, and its check then
# finds each of the eight pieces where the table says, whole and expandable.
set -euo pipefail
vxrpack=$1 stub=$2
dir="$WINEPREFIX/drive_c/vxr-real-stub"
rm -rf "$dir"
mkdir -p "$dir"
cp "$stub" "$dir/setup-stub.exe"
trap 'rm -rf "$dir"' EXIT
"$VXR_WINE" "$vxrpack" build --stub 'C:\vxr-real-stub\setup-stub.exe' --demo --output 'C:\vxr-real-stub\VXRSetup.exe'
listing=$("$VXR_WINE" "$vxrpack" list 'C:\vxr-real-stub\VXRSetup.exe' | tr -d '\r')
echo "$listing"
oks=$(grep -c '  ok$' <<<"$listing" || true)
if [ "$oks" -ne 8 ]; then
  echo "FAILED: $oks of the 8 pieces check out" >&2
  exit 1
fi
