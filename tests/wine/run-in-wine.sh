#!/usr/bin/env bash
# run-in-wine.sh STATE_DIR program [args...]
# A Windows program (*.exe) runs through the prefix's Wine loader; a host
# program or script runs as it is, with the prefix's environment.
set -euo pipefail
state=$1; shift
# shellcheck disable=SC1091
. "$state/env"
"$VXR_WINESERVER" -p >/dev/null 2>&1 || true
# Wine leaves processes behind (explorer.exe /desktop, winedevice.exe) that
# inherit the output; through a pipe ctest would wait for them until its
# time-out. They get a file instead, shown when the command is done.
log=$(mktemp)
set +e
case "$1" in
*.exe|*.EXE) "$VXR_WINE" "$@" >"$log" 2>&1 ;;
*) "$@" >"$log" 2>&1 ;;
esac
rc=$?
cat "$log"
rm -f "$log"
exit $rc
