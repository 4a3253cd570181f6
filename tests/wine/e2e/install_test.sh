#!/usr/bin/env bash
# install_test.sh SCENARIO STUB DRIVER VXRPACK WORK_DIR
# The setup stub packed by vxrpack (both run under Wine) and installed on a
# machine without the product:
#   demo     the demo package, walked through by install_walk.sh
#   signed   the same, signed with osslsigncode after packing
#   damaged  a package whose Stop.wav piece was damaged after packing: its
#            messages, then the installation finishes without that file
#   cancel   a product with a large main program: Cancel while it installs,
#            answered Yes (the setup ends, what was written stays, nothing is
#            registered) and then, in a new run, No (it finishes)
# Runs with the prefix's environment (run-in-wine.sh). Leaves the prefix
# without the product, as it found it.
set -uo pipefail
scenario=$1 stub=$2 driver=$3 vxrpack=$4 work=$5
here=$(dirname "$0")
# shellcheck source=tests/wine/e2e/install_lib.sh
. "$here/install_lib.sh"
rm -rf "$work"
mkdir -p "$work"
# A script ended early leaves the prefix without the product too.
after_setup() { clean_machine; }
product=$work/product
package=$work/VXRSetup.exe

pack() { "$VXR_WINE" "$vxrpack" "$@" 2>&1 | tr -d '\r'; }
# vxrpack's table of a package; it fails for a damaged one, which is no fault here.
listing() { pack list "$1" || true; }
# The compressed length of a piece, from vxrpack's table.
piece_length() { listing "$package" | awk -v name="$1" '$1 " " $2 == name || $1 == name { gsub(",", "", $0); print ($1 == name ? $3 : $4) }'; }

pack demo "$product" >/dev/null
[ -f "$product/Screen Recorder.exe" ] || { echo "vxrpack did not write the demo product" >&2; exit 1; }
if [ "$scenario" = cancel ]; then
  # The demo program with 24 MB behind it, half noise and half text: its
  # installation takes seconds, long enough to cancel while it runs.
  { cat "$product/Screen Recorder.exe"; head -c 12000000 /dev/urandom; seq 1 1700000; } >"$work/big.exe"
  mv "$work/big.exe" "$product/Screen Recorder.exe"
fi
pack build --stub "$stub" --product "$product" --output "$package" -q >/dev/null
[ -f "$package" ] || { echo "vxrpack did not build the package" >&2; exit 1; }

# cancel_while_installing ANSWER: a fresh run, Cancel while the files are
# copied, the question answered with button ANSWER (6 Yes, 7 No).
cancel_while_installing() {
  clean_machine
  start_setup "$package"
  walk_to_destination
  must "click $next"
  # The driver hears back only when the installation handles events.
  must "expect $status_line text \"$copying\""
  must "click $cancel"
  must 'expect-box "Screen Recorder" "Do you want to cancel the installation?"'
  must "press $1"
}

case $scenario in
demo)
  "$here/install_walk.sh" "$package" "$driver" "$product" "$work/screenshots" || fail "the walk failed"
  ;;
signed)
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=VXR Setup test" 2>/dev/null || { echo "openssl could not make a certificate" >&2; exit 1; }
  osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "VXR Setup" -in "$package" \
    -out "$work/VXRSetup-signed.exe" >/dev/null || { echo "osslsigncode could not sign the package" >&2; exit 1; }
  [[ $(listing "$work/VXRSetup-signed.exe") == *"signed: the certificate table follows"* ]] ||
    { echo "the signed package does not read as signed" >&2; exit 1; }
  "$here/install_walk.sh" "$work/VXRSetup-signed.exe" "$driver" "$product" || fail "the walk failed"
  ;;
damaged)
  # Stop.wa_ lies just before the main program, which ends the file.
  main=$(piece_length "Screen Recorder.ex_") stop=$(piece_length Stop.wa_)
  [ -n "$main" ] && [ -n "$stop" ] || { echo "cannot read the package's table" >&2; exit 1; }
  at=$(($(stat -c %s "$package") - main - stop / 2))
  byte=$(od -An -tu1 -j "$at" -N1 "$package" | tr -d ' ')
  printf "\\$(printf %03o $((byte ^ 0x5A)))" | dd of="$package" bs=1 seek="$at" conv=notrunc status=none
  grep -q '^Stop.wa_ .*CRC-32 mismatch' <<<"$(listing "$package")" || { echo "the damage did not take" >&2; exit 1; }

  clean_machine
  start_setup "$package"
  walk_to_destination
  must "click $next"
  drive "expect-box Error \"File '$staging_windows\\Stop.wa_' could not be written!\""
  drive "press 1"
  drive "expect-box \"Screen Recorder\" \"File 'Stop.wav' could not be extracted!\""
  drive "press 1"
  drive "timeout 120"
  drive "expect $next text Finish"
  drive "expect $status_line text \"$completed\""
  check_files "$product" "Screen Recorder.exe" Start.wav Shot.wav Click.wav Beep.wav "Uninstall VXR.exe" VXR.chm
  # The expansion that follows a failed extraction finds the staging file empty.
  [ -f "$dest_dir/Stop.wav" ] && [ ! -s "$dest_dir/Stop.wav" ] || fail "Stop.wav should be there and empty"
  check_no_staging
  check_registry
  check_links
  close_group_window
  must "click $next"
  wait_setup_end
  ;;
cancel)
  # Yes: the setup ends where it stands.
  cancel_while_installing 6
  must "gone \"$title\""
  wait_setup_end
  check_no_staging
  check_not_registered
  # What was expanded before the cancel stays, in the order of installation.
  expanded=0
  for name in "${product_files[@]}"; do
    [ -e "$dest_dir/$name" ] || break
    expanded=$((expanded + 1))
  done
  [ "$expanded" -lt 8 ] || fail "every file was installed before the cancel took effect"
  [ "$expanded" -eq 0 ] || check_files "$product" "${product_files[@]:0:$expanded}"
  left=$(find "$dest_dir" -type f 2>/dev/null | wc -l)
  [ "$left" -eq "$expanded" ] || fail "$left files in the destination, expected the first $expanded"
  echo "cancelled after $expanded of 8 files"
  stop_setup

  # No: the installation goes on to its end.
  cancel_while_installing 7
  drive "timeout 120"
  drive "expect $next text Finish"
  check_files "$product"
  check_no_staging
  check_registry
  check_links
  close_group_window
  must "click $next"
  wait_setup_end
  ;;
*)
  echo "unknown scenario $scenario" >&2
  exit 2
  ;;
esac
[ -z "${setup_pid:-}" ] || stop_setup
trap - EXIT
# The prefix is shared with the other tests: it is left without the product.
clean_machine
[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
