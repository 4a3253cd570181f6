#!/usr/bin/env bash
# install_uninstall.sh STUB DRIVER VXRPACK WORK_DIR
# The loop a user of the demo goes through, under Wine: the demo package
# (packed by vxrpack from this stub) installed through the wizard as a person
# would, then removed through its uninstall entry, run as Windows runs it, with
# the answer Yes. Afterwards the registry and the files of drive C: are as they
# were before the installation, apart from Wine's own churn (uninstall_lib.sh).
# Runs with the prefix's environment (run-in-wine.sh).
set -uo pipefail
stub=$1 driver=$2 vxrpack=$3 build=$4
here=$(dirname "$0")
# shellcheck source=tests/wine/e2e/install_lib.sh
. "$here/../../wine/e2e/install_lib.sh"
# shellcheck source=tests/uninstaller/wine/uninstall_lib.sh
. "$here/uninstall_lib.sh"
rm -rf "$build"
# The snapshots and the uninstaller's messages go here.
work=$build/snapshots
mkdir -p "$work"
trap 'stop_setup; rm -rf "$work"' EXIT
setup_pid=""

pack() { "$VXR_WINE" "$vxrpack" "$@" 2>&1 | tr -d '\r'; }
pack demo "$build/product" >/dev/null
pack build --stub "$stub" --product "$build/product" --output "$build/VXRSetup.exe" -q >/dev/null
[ -f "$build/VXRSetup.exe" ] || { echo "vxrpack did not build the package" >&2; exit 1; }

listed_programs() { "$VXR_WINE" uninstaller --list 2>/dev/null | tr -d '\r'; }

clean_machine
start_driver
warm_up
snapshot before

echo "--- installing"
"$VXR_WINE" "$build/VXRSetup.exe" &
setup_pid=$!
walk_to_destination
must "click $next"
drive "timeout 120"
must "expect $next text Finish"
drive "timeout 60"
check_registry
close_group_window
# Finish, "Run VXR now." left unticked: the setup ends.
must "click $next"
must "gone \"$title\""
wait_setup_end && { [ "$setup_code" = 0 ] || fail "the setup ended with code $setup_code"; }
grep -qx "ScreenRecorder|||$product_title" <<<"$(listed_programs)" || fail "Wine's list of programs lacks the product"

echo "--- uninstalling"
start_uninstall
answer_box "Remove Tarvo's Screen Recorder and all of its components?" 6
answer_box "Tarvo's Screen Recorder was removed." 1
[ "$last_box" = "Tarvo's Screen Recorder was removed." ] || fail "the closing box said '$last_box'"
finish_uninstall
grep -q ScreenRecorder <<<"$(listed_programs)" && fail "Wine's list of programs still has the product"
snapshot after
same_state before after "after installing and uninstalling"

[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
