#!/usr/bin/env bash
# wizard_walk.sh SETUP_STUB DRIVER SCREENSHOT_DIR
# Starts the setup stub under Wine and walks its wizard as a person would:
# welcome, licence (the options gate Next), destination, back to the start,
# then the close box, which ends the program. A screenshot of every page goes
# to SCREENSHOT_DIR. Runs with the prefix's environment (run-in-wine.sh).
set -euo pipefail
stub=$1 driver=$2 shots=$3
mkdir -p "$shots"
title="Tarvo's Screen Recorder - Install"
# Control ids: 1000 + the control's place in the wizard's design table.
cancel='#1018' back='#1019' next='#1020'

"$VXR_WINE" "$stub" &
stub_pid=$!
coproc DRIVER { "$VXR_WINE" "$driver" --timeout 30 - 2>/dev/null; }
driver_pid=$DRIVER_PID
trap 'end_driver; kill $stub_pid 2>/dev/null || true; wait $driver_pid 2>/dev/null || true' EXIT

# shellcheck source=tests/wine/e2e/driver_lib.sh
. "$(dirname "$0")/driver_lib.sh"
# refused COMMAND REASON: the driver must refuse COMMAND, saying "fail: REASON"
# (a lost window or a wrong id is a failure of its own, not a refusal).
refused() {
  local line
  printf '%s\n' "$1" >&"${DRIVER[1]}"
  IFS= read -r line <&"${DRIVER[0]}" || { echo "FAILED: $1 -> the driver stopped" >&2; exit 1; }
  if [ "$line" != "fail: $2" ]; then
    echo "FAILED: $1: expected the refusal 'fail: $2', got '$line'" >&2
    failures=$((failures + 1))
  fi
}
shot() {
  # A repaint may still be on its way after the last state change.
  sleep 0.5
  import -window root -display "$DISPLAY" "$shots/$1.png"
}
# control_line ID: the driver's list line of control ID, without the id.
control_line() { awk -F'\t' -v id="$1" '$1 == id { print $2 "|" $3 "|" $4 "|" $5 }' <<<"$out"; }
check_control() {
  local got
  got=$(control_line "$1")
  if [ "$got" != "$2" ]; then
    echo "FAILED: control $1: expected '$2', got '$got'" >&2
    failures=$((failures + 1))
  fi
}

# The wizard, as it first shows: welcome page, Back disabled.
drive 'window "'"$title"'"' || exit 1
drive list
check_control 1004 "Static|1|1|Screen Recorder is going to be installed in your computer. Please click on the 'Next' button for determining a directory."
check_control 1018 "Button|1|1|Cancel"
check_control 1019 "Button|1|0|<< Back"
check_control 1020 "Button|1|1|Next >>"
check_control 1005 "VxrContainer|0|1|"
check_control 1013 "Button|0|1|Change Dir"
check_control 1017 "Button|0|1|Run VXR now."
shot 1-welcome
refused "click $back" "$back is disabled"

# Licence: Next waits for "Yes I Agree."; "No I Do Not Agree." takes it back.
drive "click $next"
drive 'expect "Please read before you continue :" visible 1'
drive "expect $next enabled 0"
drive "expect $back enabled 1"
drive 'expect "Yes I Agree." checked 0'
drive 'expect "No I Do Not Agree." checked 0'
drive 'expect #1007 visible 1'
drive list
licence=$(control_line 1007)
case $licence in
Edit\|1\|1\|LICENCE\ AGREEMENT*) ;;
*) echo "FAILED: licence text box: $licence" >&2; failures=$((failures + 1)) ;;
esac
drive 'click "Yes I Agree."'
drive "expect $next enabled 1"
drive 'expect "Yes I Agree." checked 1'
shot 2-licence
drive 'click "No I Do Not Agree."'
drive "expect $next enabled 0"
refused "click $next" "$next is disabled"
drive 'expect "Yes I Agree." checked 0'
drive 'click "Yes I Agree."'
drive "expect $next enabled 1"

# Destination: the default folder on the Windows drive.
drive "click $next"
drive 'expect "Change Dir" visible 1'
drive 'expect #1012 text "C:\\Program Files\\Screen Recorder"'
drive "expect $next enabled 1"
drive "expect $back enabled 1"
shot 3-destination

# Back to the licence: both options cleared again, Next disabled.
drive "click $back"
drive 'expect "Yes I Agree." visible 1'
drive 'expect "Yes I Agree." checked 0'
drive "expect $next enabled 0"
# And to the welcome page, where Back is disabled again.
drive "click $back"
drive 'expect #1004 visible 1'
drive "expect $back enabled 0"
drive "expect $next enabled 1"
shot 4-welcome-again

# The close box ends the program once the cancel is confirmed.
drive close
drive 'expect-box "Screen Recorder" "Do you want to cancel the installation?"'
drive 'press 6'
drive 'gone "'"$title"'"'
for _ in $(seq 1 100); do kill -0 $stub_pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $stub_pid 2>/dev/null; then
  echo "FAILED: the setup is still running after its window closed" >&2
  failures=$((failures + 1))
fi

echo "screenshots in $shots"
[ "$failures" -eq 0 ]
