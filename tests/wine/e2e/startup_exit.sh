#!/usr/bin/env bash
# startup_exit.sh SETUP_STUB DRIVER DEMO_PRODUCT SCREENSHOT_DIR
# The setup's start-up checks, its pages and its ways out, under Wine:
#   1. an earlier installation's directory (the 32-bit registry view) is proposed
#      on the destination page; Cancel and the close box on every page answered
#      No change nothing; Yes on page 3 ends the setup and leaves a staging
#      folder it did not make as it was (and 3. makes none);
#   2. beside the running demo product the setup shows its running-copy box over
#      the backdrop alone, and Cancel ends it without a question;
#   3. OK while the product still runs asks again; with the product closed, OK
#      starts the wizard, walked as a person would: welcome, licence (the
#      options gate Next), destination, back to the start; the close box
#      answered Yes ends it.
# Screenshots go to SCREENSHOT_DIR. Runs with the prefix's environment.
set -uo pipefail
stub=$1 driver=$2 product=$3 shots=$4
mkdir -p "$shots"
# shellcheck source=tests/wine/e2e/install_lib.sh
. "$(dirname "$0")/install_lib.sh"
settings="Screen Recorder Settings"
question="Do you want to cancel the installation?"
running="Tarvo's Screen Recorder is currently running, please close it before starting to install.    Press on OK button to continue..."
c_drive="$WINEPREFIX/drive_c"
product_pid=""
after_setup() {
  [ -z "$product_pid" ] || kill "$product_pid" 2>/dev/null
  reg delete "$vendor_key" /f >/dev/null
  reg delete 'HKLM\Software\Ambretton' /f >/dev/null
  rm -rf "$staging_dir" "$c_drive/Old VXR" "$c_drive/Other VXR"
}

# A second driver, for a window that must not show: it must fail to find it.
never_shows() {
  if "$VXR_WINE" "$driver" --timeout 3 window "$1" >/dev/null 2>&1; then fail "$1 showed"; fi
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
  drive "window \"$title\""
  drive "expect \"$control\" visible 1"
  drive "expect $cancel enabled 1"
}

start_driver
# A product left running by another test would stop every start here.
must "gone \"$settings\""

# ---- 1. An earlier installation; No on every page; Yes on page 3 ---------------------
mkdir -p "$c_drive/Old VXR" "$c_drive/Other VXR"
reg add "$product_key" /v Dizin /t REG_SZ /d 'C:\Old VXR' /f >/dev/null || fail "reg add"
# The 64-bit view is another program's: a 32-bit setup must not see it.
if [ "$view" != Software ]; then
  reg add 'HKLM\Software\Ambretton\VXR' /v Dizin /t REG_SZ /d 'C:\Other VXR' /f >/dev/null ||
    fail "reg add (64-bit view)"
fi
# A staging folder some other run or program left: never the setup's own.
rm -rf "$staging_dir"
mkdir -p "$staging_dir"
for name in VXR.EX_ VXR.CH_ BEEP.WA_; do echo SZDD >"$staging_dir/$name"; done
start_setup "$stub"
must "window \"$title\""
refuse_both_ways 1 "#1004"
drive "expect $back enabled 0"
drive "click $next"
drive 'click "Yes I Agree."'
refuse_both_ways 2 "Yes I Agree."
drive 'expect "Yes I Agree." checked 1'
drive "expect $next enabled 1"
drive "click $next"
drive "expect $dest_line text \"C:\\Old VXR\""
refuse_both_ways 3 "Change Dir"
drive "expect $dest_line text \"C:\\Old VXR\""
shot earlier-installation
drive "click $cancel"
expect_box "Screen Recorder" "$question"
drive 'press 6'
setup_ended_well "Yes on page 3"
left=$(cd "$staging_dir" 2>/dev/null && ls -A | tr '\n' ' ')
[ "$left" = "BEEP.WA_ VXR.CH_ VXR.EX_ " ] || fail "another's staging folder after Yes: '$left'"
rm -rf "$staging_dir"
reg delete "$vendor_key" /f >/dev/null || fail "reg delete"

# ---- 2. The product runs: Cancel ends the setup ------------------------------------------
"$VXR_WINE" "$product" &
product_pid=$!
must "window \"$product_title\""
start_setup "$stub"
expect_box "Screen Recorder" "$running" && shot running-product
never_shows "$title"
drive 'press 2'
setup_ended_well "Cancel beside the running product"
never_shows "$title"

# ---- 3. OK while it runs asks again; closed, the wizard starts --------------------------
start_setup "$stub"
expect_box "Screen Recorder" "$running"
drive 'press 1'
expect_box "Screen Recorder" "$running"
drive "window \"$product_title\""
drive close
drive "gone \"$product_title\""
drive "gone \"$settings\""
wait "$product_pid" 2>/dev/null || true
product_pid=""
drive 'press 1'

# The wizard as it first shows: welcome page, Back disabled, the default destination.
must "window \"$title\""
check_listed "the welcome page" $'1004\tStatic\t1\t1\tScreen Recorder is going to be installed in your computer. Please click on the \'Next\' button for determining a directory.
1005\tVxrContainer\t0\t1\t
1013\tButton\t0\t1\tChange Dir
1017\tButton\t0\t1\tRun VXR now.
1018\tButton\t1\t1\tCancel
1019\tButton\t1\t0\t<< Back
1020\tButton\t1\t1\tNext >>'
drive "expect $dest_line text \"$destination\""
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
[[ $(awk -F'\t' '$1 == 1007 { print $2 "|" $4 "|" $5 }' <<<"$out") == "Edit|1|LICENCE AGREEMENT"* ]] ||
  fail "the licence text box: $(grep $'^1007\t' <<<"$out" | cut -c1-80)"
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
drive "expect $dest_line text \"$destination\""
drive "expect $next enabled 1"
drive "expect $back enabled 1"
shot 3-destination

# Back to the licence: both options cleared again, Next disabled; and to the
# welcome page, where Back is disabled again.
drive "click $back"
drive 'expect "Yes I Agree." visible 1'
drive 'expect "Yes I Agree." checked 0'
drive "expect $next enabled 0"
drive "click $back"
drive 'expect #1004 visible 1'
drive "expect $back enabled 0"
drive "expect $next enabled 1"
shot 4-welcome-again

# The close box ends the program once the cancel is confirmed.
drive close
expect_box "Screen Recorder" "$question"
drive 'press 6'
drive "gone \"$title\""
setup_ended_well "Yes on page 1"
[ ! -e "$staging_dir" ] || fail "a staging folder after Yes on page 1"

stop_setup
trap - EXIT
after_setup
echo "screenshots in $shots"
[ "$failures" -eq 0 ]
