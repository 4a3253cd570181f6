#!/usr/bin/env bash
# product_start.sh START_PROBE DRIVER DEMO_PRODUCT
# Starting the product after Finish, through the platform's start as the setup
# calls it:
#   - the direct start, used where no desktop shell answers, starts the right
#     program from a path with blanks even with a decoy "C:\VXR.exe" in the way;
#   - a missing or damaged program file is refused with its error on either
#     route, before anything is started;
#   - the start as the user starts the product by whichever route answers.
#     (Wine's explorer answers the desktop-shell route while the explorer
#     process that registered its shell windows lives.)
# Runs with the prefix's environment (run-in-wine.sh).
set -euo pipefail
probe=$1 driver=$2 product=$3
main="Tarvo's Screen Recorder"
settings="Screen Recorder Settings"
c_drive="$WINEPREFIX/drive_c"
dir='C:\VXR Start Test'
# shellcheck source=tests/wine/e2e/driver_lib.sh
. "$(dirname "$0")/driver_lib.sh"
# Wine programs write to a file, never into a pipe: a Wine process they start
# (explorer's desktop) would inherit the pipe and keep it open.
out=$(mktemp)
trap 'rm -rf "$c_drive/VXR Start Test" "$c_drive/VXR.exe" "$out"' EXIT
mkdir -p "$c_drive/VXR Start Test"
cp "$product" "$c_drive/VXR Start Test/Screen Recorder.exe"
echo "not a program" >"$c_drive/VXR Start Test/Damaged.exe"
# What a path with blanks would start if its first word were taken for the program.
cp "$probe" "$c_drive/VXR.exe"

# start as-user|direct PROGRAM: the probe's answer goes to $got.
start() { "$VXR_WINE" "$probe" "$@" "$dir" >"$out" 2>/dev/null || fail "the probe failed: $*"; got=$(tr -d '\r' <"$out"); }
# expect_start ANSWER as-user|direct PROGRAM
expect_start() { start "${@:2}"; [ "$got" = "$1" ] || fail "${*:2}: expected '$1', got '$got'"; }
# driver COMMAND...: the driver's answers on Wine's own desktop, one a line, go to $got.
driver() {
  printf '%s\n' "$@" | "$VXR_WINE" "$driver" --desktop Default --timeout 60 - >"$out" 2>/dev/null || true
  got=$(tr -d '\r' <"$out")
}
# The product's window shows; it is closed again.
product_runs() {
  driver "window \"$main\"" close "gone \"$settings\""
  [ "$got" = $'ok\nok\nok' ] || fail "the product did not run: ${got//$'\n'/ | }"
}

# A product left running by another test would make two of them.
driver "gone \"$settings\""
[ "$got" = ok ] || { fail "the product is running already"; exit 1; }

expect_start 'error 0 shell 0' direct "$dir\\Screen Recorder.exe"
product_runs
for route in as-user direct; do
  expect_start 'error 2 shell 0' $route "$dir\\Missing.exe"
  expect_start 'error 193 shell 0' $route "$dir\\Damaged.exe"
done
start as-user "$dir\\Screen Recorder.exe"
[[ $got == 'error 0 shell '[01] ]] || fail "start as the user: '$got'"
product_runs

# The decoy must never have run: its window would be up.
if "$VXR_WINE" "$driver" --timeout 3 window "Start probe" >/dev/null 2>&1; then
  fail "C:\\VXR.exe ran instead of the product"
fi
[ "$failures" -eq 0 ]
