#!/usr/bin/env bash
# program_group_test.sh STEP.exe
# The program-group step where no Program Manager answers (registration_step.cpp):
# the step makes all four links itself, read back from Linux with lnkinfo.
# Where Program Manager answers, the installations of the e2e scripts check
# the same links. Which items a layout of the destination calls for is the
# headless tests' business.
set -uo pipefail
step=$1
# shellcheck source=tests/wine/e2e/install_lib.sh
. "$(dirname "$0")/../../wine/e2e/install_lib.sh"
destination='C:\Program Files\Screen Recorder Test'
remove_groups
timeout 90 "$VXR_WINE" "$step" "$destination" >/dev/null 2>&1
rc=$?
[ "$rc" -eq 0 ] || fail "the step ended with $rc (3 no desktop of its own, 4 no destination, 5 Program Manager answered)"
check_links
remove_groups
rm -rf "$(unix_path "$destination")"
[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
