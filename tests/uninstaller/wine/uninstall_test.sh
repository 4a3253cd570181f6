#!/usr/bin/env bash
# uninstall_test.sh STUB DRIVER VXRPACK BUILD_DIR
# The demo's uninstaller under Wine, after installations of the demo package
# (packed by vxrpack from this stub) through the wizard, as a person installs
# it. Each time it is run from its uninstall entry as Windows runs it and
# answered through its boxes:
#   1. No changes nothing; then Yes removes it, and the registry and the files
#      of drive C: are as they were before the installation, apart from Wine's
#      own churn (below);
#   2. while the product runs it refuses, also on a Retry, and goes on once
#      the product is closed;
#   3. a user's own file in the installation stays, and so does its folder.
# Runs with the prefix's environment (run-in-wine.sh).
set -uo pipefail
stub=$1 driver=$2 vxrpack=$3 build=$4
# shellcheck source=tests/wine/e2e/install_lib.sh
. "$(dirname "$0")/../../wine/e2e/install_lib.sh"
rm -rf "$build"
work=$build/snapshots
mkdir -p "$work"
product_pid=""
after_setup() { [ -z "$product_pid" ] || kill "$product_pid" 2>/dev/null; clean_machine; }
question="Remove Tarvo's Screen Recorder and all of its components?"
removed="Tarvo's Screen Recorder was removed."
demo_package "$build"

# Through the wizard with its defaults; Finish with "Run VXR now." unticked.
install_with_setup() {
  start_setup "$build/VXRSetup.exe"
  walk_to_destination
  install_to_finish
  press_finish
}

# Wine's list of programs starts the entry's "UninstallString" as Windows
# does (CreateProcess with the stored command line) and waits for it.
start_uninstall() {
  "$VXR_WINE" uninstaller --remove ScreenRecorder >"$work/uninstaller.log" 2>&1 &
  uninstall_pid=$!
}
# answer_box TEXT-START BUTTON: the uninstaller's next box; its text (line
# breaks read as blanks) must start so. The text goes to $last_box.
answer_box() {
  must "box \"Tarvo's Screen Recorder - Uninstall\""
  last_box=${out#*$'\t'}
  last_box=${last_box%$'\n'}
  [[ $last_box == "$1"* ]] || fail "box: expected a text starting '$1', got '$last_box'"
  drive "press $2"
}
# The uninstaller hands over to a copy of itself in the temporary folder and
# ends at once; the copy's file goes when the copy ends.
finish_uninstall() {
  local rc=0 temp
  wait "$uninstall_pid" || rc=$?
  [ "$rc" -eq 0 ] || fail "Wine's uninstaller ended with $rc: $(cat "$work/uninstaller.log")"
  temp=$(unix_path "$temp_windows")
  for _ in $(seq 1 300); do
    compgen -G "$temp/vxu*.tmp" >/dev/null || return 0
    sleep 0.2
  done
  fail "the uninstaller's temporary copy is still there: $(ls "$temp")"
}

# Wine's own churn, left out of every comparison: keys Wine writes for its own
# bookkeeping whenever programs run, whatever the programs are:
#  - a display device for each desktop or window station it makes, also in
#    the current hardware profile;
#  - the Explorer view settings of its shell's folder window (Program
#    Manager's group window);
#  - the system parameters it keeps for the session only.
churn_keys=(
  'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Video\{'
  'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\System\CurrentControlSet\Control\Video\{'
  'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced'
  'HKEY_CURRENT_USER\Software\Wine\Temporary System Parameters'
)
# snapshot NAME: the whole registry (regedit's export, as text) and every
# file and folder of drive C:, into $work/NAME.reg and $work/NAME.files.
snapshot() {
  local export="$work/$1.export"
  "$VXR_WINE" regedit /E "Z:${export//\//\\}" || fail "regedit /E ended with $?"
  [ -s "$export" ] || { fail "regedit exported nothing"; return 1; }
  iconv -f UTF-16 -t UTF-8 "$export" | tr -d '\r' | sed 's/^\[HKEY_USERS\\S-1-5-21-[0-9-]*/[HKEY_CURRENT_USER/' |
    awk -v churn="$(printf '%s\n' "${churn_keys[@]}")" '
      BEGIN { n = split(churn, prefixes, "\n") }
      /^\[/ { skip = 0; for (i = 1; i <= n; i++) if (index($0, "[" prefixes[i]) == 1) skip = 1 }
      !skip && NF { print }' >"$work/$1.reg"
  rm -f "$export"
  (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -printf '%y %P\n' | LC_ALL=C sort) >"$work/$1.files"
}
# same_state A B WHEN: fails with the differences unless the snapshots agree.
same_state() {
  local kind
  for kind in reg files; do
    diff -u "$work/$1.$kind" "$work/$2.$kind" >"$work/diff" && continue
    fail "$3: the $kind differ from $1:"
    head -n 60 "$work/diff" >&2
  done
}

clean_machine
start_driver
# Wine registers its display devices the first time a program looks at the
# desktop: here, before the first snapshot, rather than between two.
must 'gone "no window has this title"'
snapshot before

echo "--- 1. No, then Yes"
install_with_setup
[[ $("$VXR_WINE" uninstaller --list 2>/dev/null) == *"ScreenRecorder|||$product_title"* ]] ||
  fail "Wine's list of programs lacks the product"
snapshot installed
start_uninstall
answer_box "$question" 7
finish_uninstall
snapshot after-no
same_state installed after-no "after the answer No"
start_uninstall
answer_box "$question" 6
answer_box "$removed" 1
[ "$last_box" = "$removed" ] || fail "the closing box said '$last_box'"
finish_uninstall
snapshot after-yes
same_state before after-yes "after installing and uninstalling"

echo "--- 2. the product running"
install_with_setup
"$VXR_WINE" "$destination\\Screen Recorder.exe" >/dev/null 2>&1 &
product_pid=$!
must "window \"$product_title\""
start_uninstall
answer_box "$question" 6
answer_box "Tarvo's Screen Recorder is currently running" 4
answer_box "Tarvo's Screen Recorder is currently running" 4
must "box \"Tarvo's Screen Recorder - Uninstall\""
# The user closes the product: both of its windows go.
must "window \"$product_title\""
must close
drive 'gone "Screen Recorder Settings"'
wait "$product_pid" || fail "the product ended with $?"
product_pid=""
drive "press 4"
answer_box "$removed" 1
finish_uninstall
snapshot after-running
same_state before after-running "after closing the product and removing it"

echo "--- 3. a user's file in the installation"
install_with_setup
echo "my notes" >"$dest_dir/My notes.txt"
start_uninstall
answer_box "$question" 6
answer_box "$removed" 1
[[ $last_box == *"left in place"*"$destination" ]] || fail "the closing box does not name the folder: '$last_box'"
finish_uninstall
snapshot after-user-file
# Exactly the folder and the user's file are left.
{ printf 'd %s\nf %s\n' "${destination#C:\\}" "${destination#C:\\}/My notes.txt" | tr '\\' /; cat "$work/before.files"; } |
  LC_ALL=C sort >"$work/expected.files"
cp "$work/before.reg" "$work/expected.reg"
same_state expected after-user-file "after removing beside a user's file"

[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
