#!/usr/bin/env bash
# install_walk.sh PACKAGE DRIVER PRODUCT_DIR [SCREENSHOT_DIR]
# Installs PACKAGE under Wine as a person would, on a machine without the
# product, checks what it left against PRODUCT_DIR's files and then prints it.
# With SCREENSHOT_DIR, a screenshot of every step goes there.
# Runs with the prefix's environment (run-in-wine.sh).
set -uo pipefail
package=$1 driver=$2 product=$3 shots=${4:-}
# shellcheck source=tests/wine/e2e/install_lib.sh
. "$(dirname "$0")/install_lib.sh"
[ -z "$shots" ] || mkdir -p "$shots"

clean_machine
start_setup "$package"
walk_to_destination

# Change Dir, then Cancel: the default destination is not there yet, and the
# chooser shows the Windows drive instead; the destination stays what the
# wizard shows, and Next installs there.
must 'click "Change Dir"'
must 'window "Screen Recorder"'
drive 'expect "#1001" text c:'
must 'click Cancel'
must 'gone "Screen Recorder"'
must "window \"$title\""
drive "expect #1012 text \"$destination\""

# Next installs. Cancel, pressed right after it, waits until the installation
# next handles events (after taking out the main program); the question then
# holds the installation on its page.
must "click $next"
must "click $cancel"
must 'expect-box "Screen Recorder" "Do you want to cancel the installation?"'
drive "expect $status_line text \"$copying\""
drive "expect $file_line text \"$destination\\Screen Recorder.exe\""
drive "expect $back enabled 0"
drive "expect $next enabled 0"
drive "move-box below"
shot 4-installing
must "press 7"

watch_install
# Whatever the driver caught of the status line came in the installation's order.
order=$(printf '%s\n' "$copying" "Registry settings are being done..." "Temporary files are being deleted..." \
  "Shortcuts are being created..." "$completed")
awk -v order="$order" 'BEGIN { n = split(order, o, "\n") } NF { while (++i <= n && o[i] != $0) {} if (i > n) exit 1 }' \
  <<<"$seen" || fail "the status line came out of order"
seen=${seen%$'\n'}
echo "status line seen: ${seen//$'\n'/ | }"

drive "expect $status_line text \"$completed\""
drive "expect $file_line text \"\""
drive "expect $back enabled 0"
drive "expect $cancel enabled 0"
drive "expect $run_box visible 1"
drive "expect $run_box checked 0"
check_files "$product"
check_no_staging
check_registry
check_links
# The shell's window of the new group comes up over the wizard a few seconds
# after the installation made it.
close_group_window
shot 5-finished

# Finish with the run box ticked: the setup ends and the product comes up.
must "click $run_box"
drive "expect $run_box checked 1"
must "click $next"
must "gone \"$title\""
setup_ended_well
must "window \"$product_title\""
shot 6-product
drive close
drive "gone \"$product_title\""
stop_setup
trap - EXIT

print_installed
[ -z "$shots" ] || echo "screenshots in $shots"
[ "$failures" -eq 0 ]
