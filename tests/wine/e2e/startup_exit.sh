#!/usr/bin/env bash
# startup_exit.sh SETUP_STUB DRIVER DEMO_PRODUCT SCREENSHOT_DIR
# The setup's start-up checks and its ways out, under Wine:
#   1. an earlier installation's directory (the 32-bit registry view) is proposed
#      on the destination page; Cancel and the close box on every page answered
#      No change nothing; Yes on page 3 ends the setup and leaves a staging
#      folder it did not make as it was;
#   2. beside the running demo product the setup shows its running-copy box over
#      the backdrop alone, and Cancel ends it without a question;
#   3. OK while the product still runs asks again; with the product closed, OK
#      starts the wizard; the close box answered Yes ends it.
# Runs with the prefix's environment (run-in-wine.sh).
set -euo pipefail
stub=$1 driver=$2 product=$3 shots=$4
mkdir -p "$shots"
wizard="Tarvo's Screen Recorder - Install"
main="Tarvo's Screen Recorder"
settings="Screen Recorder Settings"
question="Do you want to cancel the installation?"
running="Tarvo's Screen Recorder is currently running, please close it before starting to install.    Press on OK button to continue..."
# Control ids: 1000 + the control's place in the wizard's design table.
label10='#1012' cancel='#1018' back='#1019' next='#1020'

view='Software\Wow6432Node'
[ "${WINEARCH:-win64}" = win32 ] && view='Software'
vendor="HKLM\\$view\\Ambretton"
c_drive="$WINEPREFIX/drive_c"
# The staging folder, under the temporary folder Windows gives the setup.
# (Into a file, not a pipe: a Wine process they start would keep a pipe open.)
answer=$(mktemp)
"$VXR_WINE" cmd /c echo '%TMP%' >"$answer" 2>/dev/null
tmp=$(tr -d '\r\n' <"$answer")
"$VXR_WINE" winepath -u "$tmp\\VXRTMP" >"$answer" 2>/dev/null
staging_host=$(tr -d '\r\n' <"$answer")
rm -f "$answer"
[ -n "$tmp" ] && [ -n "$staging_host" ] || { echo "FAILED: no temporary folder in the prefix" >&2; exit 1; }

# shellcheck source=tests/wine/e2e/driver_lib.sh
. "$(dirname "$0")/driver_lib.sh"
stub_pid="" driver_pid="" product_pid=""
cleanup() {
  [ -n "$driver_pid" ] && { end_driver; wait "$driver_pid" 2>/dev/null || true; }
  for pid in $stub_pid $product_pid; do kill "$pid" 2>/dev/null || true; done
  "$VXR_WINE" reg delete "$vendor" /f >/dev/null 2>&1 || true
  "$VXR_WINE" reg delete 'HKLM\Software\Ambretton' /f >/dev/null 2>&1 || true
  rm -rf "$staging_host" "$c_drive/Old VXR" "$c_drive/Other VXR"
}
trap cleanup EXIT

coproc DRIVER { "$VXR_WINE" "$driver" --timeout 60 - 2>/dev/null; }
driver_pid=$DRIVER_PID
shot() {
  sleep 0.5  # a repaint may still be on its way
  import -window root -display "$DISPLAY" "$shots/$1.png"
}
# A second driver, for a window that must not show: it must fail to find it.
never_shows() {
  if "$VXR_WINE" "$driver" --timeout 3 window "$1" >/dev/null 2>&1; then fail "$1 showed"; fi
}
start_stub() {
  "$VXR_WINE" "$stub" &
  stub_pid=$!
}
# The setup has ended, with exit code 0.
expect_end() {
  local rc=0 i
  for i in $(seq 1 300); do kill -0 "$stub_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$stub_pid" 2>/dev/null; then
    fail "$1: the setup is still running"
    kill "$stub_pid" 2>/dev/null || true
  fi
  wait "$stub_pid" || rc=$?
  [ "$rc" -eq 0 ] || fail "$1: the setup ended with exit code $rc"
  stub_pid=""
}
# A staging folder some other run or program left: never the setup's own.
make_staging() {
  rm -rf "$staging_host"
  mkdir -p "$staging_host"
  for name in VXR.EX_ VXR.CH_ BEEP.WA_; do echo SZDD >"$staging_host/$name"; done
}
# No to the question leaves the page as it was: $1 the page's own control.
refuse_both_ways() {
  local page=$1 control=$2
  drive "click $cancel"
  expect_box "Screen Recorder" "$question" && shot "question-page$page"
  drive 'press 7'
  drive close
  expect_box "Screen Recorder" "$question"
  drive 'press 7'
  drive "window \"$wizard\""
  drive "expect \"$control\" visible 1"
  drive "expect $cancel enabled 1"
}

# A product left running by another test would stop every start here.
drive "gone \"$settings\"" || exit 1

# ---- 1. An earlier installation; No on every page; Yes on page 3 ---------------------
mkdir -p "$c_drive/Old VXR" "$c_drive/Other VXR"
"$VXR_WINE" reg add "$vendor\\VXR" /v Dizin /t REG_SZ /d 'C:\Old VXR' /f >/dev/null 2>&1 || fail "reg add"
# The 64-bit view is another program's: a 32-bit setup must not see it.
if [ "$view" != Software ]; then
  "$VXR_WINE" reg add 'HKLM\Software\Ambretton\VXR' /v Dizin /t REG_SZ /d 'C:\Other VXR' /f >/dev/null 2>&1 ||
    fail "reg add (64-bit view)"
fi
make_staging
start_stub
drive "window \"$wizard\"" || exit 1
refuse_both_ways 1 "#1004"
drive "expect $back enabled 0"
drive "click $next"
drive 'click "Yes I Agree."'
refuse_both_ways 2 "Yes I Agree."
drive 'expect "Yes I Agree." checked 1'
drive "expect $next enabled 1"
drive "click $next"
drive "expect $label10 text \"C:\\\\Old VXR\""
refuse_both_ways 3 "Change Dir"
drive "expect $label10 text \"C:\\\\Old VXR\""
shot earlier-installation
drive "click $cancel"
expect_box "Screen Recorder" "$question"
drive 'press 6'
expect_end "Yes on page 3"
left=$(cd "$staging_host" 2>/dev/null && ls -A | tr '\n' ' ')
[ "$left" = "BEEP.WA_ VXR.CH_ VXR.EX_ " ] || fail "another's staging folder after Yes: '$left'"
"$VXR_WINE" reg delete "$vendor" /f >/dev/null 2>&1 || fail "reg delete"

# ---- 2. The product runs: Cancel ends the setup ------------------------------------------
"$VXR_WINE" "$product" &
product_pid=$!
drive "window \"$main\"" || exit 1
start_stub
expect_box "Screen Recorder" "$running" && shot running-product
never_shows "$wizard"
drive 'press 2'
expect_end "Cancel beside the running product"
never_shows "$wizard"

# ---- 3. OK while it runs asks again; closed, the wizard starts --------------------------
start_stub
expect_box "Screen Recorder" "$running"
drive 'press 1'
expect_box "Screen Recorder" "$running"
drive "window \"$main\""
drive close
drive "gone \"$main\""
drive "gone \"$settings\""
wait "$product_pid" 2>/dev/null || true
product_pid=""
drive 'press 1'
drive "window \"$wizard\""
drive 'expect "#1004" visible 1'
drive "expect $next enabled 1"
drive "expect $label10 text \"C:\\\\Program Files\\\\Screen Recorder\""
shot wizard-after-product-closed
drive close
expect_box "Screen Recorder" "$question"
drive 'press 6'
expect_end "Yes on page 1"

echo "screenshots in $shots"
[ "$failures" -eq 0 ]
