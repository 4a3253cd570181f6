#!/usr/bin/env bash
# run-in-wine.sh STATE_DIR program [args...]
# A Windows program (*.exe) runs through the prefix's Wine loader; a host
# program or script runs as it is, with the prefix's environment.
set -euo pipefail
state=$1; shift
# shellcheck disable=SC1091
. "$state/env"
"$VXR_WINESERVER" -p 2>/dev/null || true
case "$1" in
*.exe|*.EXE) exec "$VXR_WINE" "$@" ;;
*) exec "$@" ;;
esac
