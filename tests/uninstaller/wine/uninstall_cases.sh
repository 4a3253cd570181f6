#!/usr/bin/env bash
# uninstall_cases.sh HAND_INSTALL DRIVER UNINSTALL.exe SCREEN_RECORDER.exe
# The demo's uninstaller, run from its uninstall entry as Windows runs it and
# answered through its boxes, after installations made with the setup's own
# registry and program-group steps (hand_install) and the demo's programs:
#   1. the answer No changes nothing;
#   2. while the product runs it refuses, also on a Retry, and goes on once
#      the product is closed; the prefix is then as it was before installing;
#   3. a user's own file in the installation stays with its folder.
set -uo pipefail
hand_install=$1 driver=$2 uninstaller=$3 recorder=$4
here=$(dirname "$0")
# shellcheck source=tests/wine/e2e/install_lib.sh
. "$here/../../wine/e2e/install_lib.sh"
# shellcheck source=tests/uninstaller/wine/uninstall_lib.sh
. "$here/uninstall_lib.sh"
work=$(mktemp -d)
dir=$destination
installed=$dest_dir
trap 'stop_driver; [ -n "${product_pid:-}" ] && kill "$product_pid" 2>/dev/null; rm -rf "$work"' EXIT

install_by_hand() {
  local said
  said=$("$VXR_WINE" "$hand_install" "$dir" 2>/dev/null) || fail "hand_install ended with $?"
  echo "installed by hand (${said//$'\r'/})"
  cp "$uninstaller" "$installed/Uninstall VXR.exe"
  cp "$recorder" "$installed/Screen Recorder.exe"
}
removed="Tarvo's Screen Recorder was removed."

# Other tests may have left an installation behind.
clean_machine
start_driver
warm_up
snapshot clean

echo "--- 1. the answer No"
install_by_hand
snapshot installed
start_uninstall
answer_box "Remove Tarvo's Screen Recorder and all of its components?" 7
finish_uninstall
snapshot after-no
same_state installed after-no "after the answer No"

echo "--- 2. the product running"
"$VXR_WINE" "$dir\\Screen Recorder.exe" >/dev/null 2>&1 &
product_pid=$!
drive "window \"Tarvo's Screen Recorder\""
start_uninstall
answer_box "Remove Tarvo's Screen Recorder and all of its components?" 6
answer_box "Tarvo's Screen Recorder is currently running" 4
# Still running: asked again.
answer_box "Tarvo's Screen Recorder is currently running" 4
drive "box \"$box_title\""
drive "window \"Tarvo's Screen Recorder\"" && drive close
drive "gone \"Tarvo's Screen Recorder\"" && drive 'gone "Screen Recorder Settings"'
wait "$product_pid" || fail "the product ended with $?"
product_pid=
drive "press 4"
answer_box "$removed" 1
[ "$last_box" = "$removed" ] || fail "the closing box said '$last_box'"
finish_uninstall
snapshot after-running
same_state clean after-running "after removing"

echo "--- 3. a user's file in the installation"
install_by_hand
echo "my notes" >"$installed/My notes.txt"
start_uninstall
answer_box "Remove Tarvo's Screen Recorder and all of its components?" 6
answer_box "$removed" 1
case $last_box in
*"left in place"*"$dir") ;;
*) fail "the closing box does not name the folder left in place: '$last_box'" ;;
esac
finish_uninstall
[ -f "$installed/My notes.txt" ] || fail "the user's file went"
snapshot after-user-file
# Exactly the folder and the user's file are left.
{ cat "$work/clean.files"; printf 'd %s\nf %s\n' "Program Files/Screen Recorder" "Program Files/Screen Recorder/My notes.txt"; } |
  LC_ALL=C sort >"$work/expected.files"
cp "$work/clean.reg" "$work/expected.reg"
same_state expected after-user-file "after removing beside a user's file"
rm -rf "$installed"

[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
