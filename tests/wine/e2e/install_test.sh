#!/usr/bin/env bash
# install_test.sh SCENARIO STUB DRIVER VXRPACK WORK_DIR
# The setup stub packed by vxrpack (both run under Wine) and installed:
#   demo     the demo package, walked through by install_walk.sh
#   signed   the same, signed after packing, saved under another extension, with
#            a temporary folder of 200 characters whose VXRTMP links elsewhere
#   damaged  over earlier installations: on a full disk, then from a package
#            with a damaged piece into a deep folder, the group's place taken
#   cancel   Cancel answered Yes at a piece and at the group of a first
#            installation; No, then Yes, over an earlier one
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

# vxrpack's table of a package; it fails for a damaged one, which is no fault here.
listing() { pack list "$1" || true; }
# The compressed length of a piece, from vxrpack's table.
piece_length() { listing "$package" | awk -v name="$1" '$1 " " $2 == name || $1 == name { gsub(",", "", $0); print ($1 == name ? $3 : $4) }'; }
# A path as the setup sees it under Wine (the host's / is Z:).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# For the cancel scenario: the demo program with 24 MB behind it, half noise
# and half text, whose installation takes seconds, long enough to cancel.
enlarge() {
  { cat "$1/Screen Recorder.exe"; head -c 12000000 /dev/urandom; seq 1 1700000; } >"$work/big.exe"
  mv "$work/big.exe" "$1/Screen Recorder.exe"
}
demo_package "$work" "$([ "$scenario" = cancel ] && echo enlarge)"

# Cancel, heard when the installation next handles events, answered with
# button $1 (6 Yes, 7 No).
cancel_answered() {
  must "click $cancel"
  must 'expect-box "Screen Recorder" "Do you want to cancel the installation?"'
  must "press $1"
}
# Yes ended the setup before anything of it was left.
check_nothing_left() {
  must "gone \"$title\""
  wait_setup_end
  [ ! -e "$dest_dir" ] || fail "the destination is still there: $(ls -A "$dest_dir" | tr '\n' ' ')"
  check_no_staging
  check_not_registered
}

case $scenario in
demo)
  "$here/install_walk.sh" "$package" "$driver" "$product" "$work/screenshots" || fail "the walk failed"
  ;;
signed)
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=VXR Setup test" 2>/dev/null || { echo "openssl could not make a certificate" >&2; exit 1; }
  # Saved as a download that was never renamed: the setup reads itself by its own path.
  signed=$work/VXRSetup.exe.part
  osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "VXR Setup" -in "$package" \
    -out "$signed" >/dev/null || { echo "osslsigncode could not sign the package" >&2; exit 1; }
  [[ $(listing "$signed") == *"signed: the certificate table follows"* ]] ||
    { echo "the signed package does not read as signed" >&2; exit 1; }
  # A temporary folder longer than the 144 characters the setup once read,
  # whose VXRTMP is a link to somebody's folder.
  long_temp="$temp_windows\\$(printf 'T%.0s' $(seq 1 200))"
  long_host=$(unix_path "$long_temp")
  victim=$work/victim
  mkdir -p "$long_host" "$victim"
  echo "not the setup's" >"$victim/Stop.wa_"
  ln -s "$victim" "$long_host/VXRTMP"
  declare -A old
  for name in TEMP TMP; do old[$name]=$(reg query 'HKCU\Environment' /v $name | awk -v n=$name '$1 == n { print $3 }'); done
  set_temp() { for name in TEMP TMP; do reg add 'HKCU\Environment' /v $name /t REG_EXPAND_SZ /d "${1:-${old[$name]}}" /f >/dev/null; done; }
  restore_temp() { set_temp; rm -rf "${long_host:?}"; }
  after_setup() { restore_temp; clean_machine; }
  set_temp "$long_temp"
  [ "$("$VXR_WINE" cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r\n')" = "$long_temp" ] ||
    fail "a program started now does not get the long TEMP"
  "$here/install_walk.sh" "$signed" "$driver" "$product" || fail "the walk failed"
  [ "$(ls -A "$victim")" = Stop.wa_ ] && [ "$(cat "$victim/Stop.wa_")" = "not the setup's" ] ||
    fail "the linked folder was written to: $(ls -A "$victim" | tr '\n' ' ')"
  [ -L "$long_host/VXRTMP" ] || fail "the link VXRTMP is gone"
  left=$(ls -A "$long_host" | tr '\n' ' ')
  [ "$left" = "VXRTMP " ] || fail "the long temporary folder holds '$left'"
  for root in "$WINEPREFIX/drive_c" /; do [ ! -e "$root/VXRTMP" ] || fail "a staging folder at the root of $root"; done
  restore_temp
  ;;
damaged)
  # 1. A full disk: the main program cannot be written over the earlier one.
  small='S:\Screen Recorder'
  mountpoint -q "$WINEPREFIX/drives/small" || { echo "FAILED: no small drive S: (mounting it needs root)" >&2; exit 1; }
  clean_machine
  fake_earlier "$small"
  cat /dev/zero >"$WINEPREFIX/drives/small/filler" 2>/dev/null
  start_setup "$package"
  walk_to_destination "$small"
  must "click $next"
  drive 'expect-box "ExpandFiles - Hata!" "Hedef dosyaya yazılamıyor!"'
  drive "press 1"
  must "gone \"$title\""
  wait_setup_end
  check_earlier "$small"
  check_earlier_registry "$small"
  check_no_staging
  stop_setup
  rm -rf "${WINEPREFIX:?}"/drives/small/*

  # 2. A damaged piece over an earlier installation in a deep folder, the group's place taken.
  # Stop.wa_ lies just before the main program, which ends the file.
  main=$(piece_length "Screen Recorder.ex_") stop=$(piece_length Stop.wa_)
  [ -n "$main" ] && [ -n "$stop" ] || { echo "cannot read the package's table" >&2; exit 1; }
  at=$(($(stat -c %s "$package") - main - stop / 2))
  byte=$(od -An -tu1 -j "$at" -N1 "$package" | tr -d ' ')
  printf "\\$(printf %03o $((byte ^ 0x5A)))" | dd of="$package" bs=1 seek="$at" conv=notrunc status=none
  grep -q '^Stop.wa_ .*CRC-32 mismatch' <<<"$(listing "$package")" || { echo "the damage did not take" >&2; exit 1; }

  deep="C:\\Deep $(printf 'd%.0s' $(seq 1 70))\\$(printf 'e%.0s' $(seq 1 70))\\Screen Recorder"
  destination=$deep dest_dir=$(unix_path "$deep")
  programs=$(find "$WINEPREFIX/drive_c/users" -maxdepth 7 -type d -path '*/Start Menu/Programs' | head -n 1)
  [ -n "$programs" ] || { echo "no Start-menu Programs folder in the prefix" >&2; exit 1; }
  clean_machine
  fake_earlier "$deep"
  echo "somebody's file" >"$programs/Screen Recorder"
  after_setup() { rm -f "$programs/Screen Recorder"; clean_machine; rm -rf "$WINEPREFIX/drive_c/Deep "*; }
  start_setup "$package"
  walk_to_destination "$deep"
  must "click $next"
  drive "expect-box Error \"The setup file '$(windows_path "$package")' is damaged. Please download it again.\""
  drive "press 1"
  drive "expect-box \"Screen Recorder\" \"File 'Stop.wav' could not be extracted!\""
  drive "press 1"
  drive "timeout 120"
  expect_box "Screen Recorder" "These shortcuts of the Start Menu group 'Screen Recorder' could not be created:    Tarvo's Screen Recorder  VXR Movie Studio  Screen Recorder Help  Uninstall Screen Recorder    Screen Recorder is installed in $deep."
  drive "press 1"
  drive "expect $next text Finish"
  drive "expect $status_line text \"Installation of Screen Recorder has been successfully completed!\""
  check_earlier "$deep" "$product" Stop.wav
  # Nothing at a path cut short on the way.
  [ "$(cd "$WINEPREFIX/drive_c" && ls -d Deep* | wc -l)" -eq 1 ] || fail "another folder beside the deep one"
  check_registry earlier
  [ "$(cat "$programs/Screen Recorder")" = "somebody's file" ] || fail "the file in the group's place changed"
  check_no_staging
  must "click $next"
  wait_setup_end
  ;;
cancel)
  # Yes at a piece of a first installation: nothing is left.
  clean_machine
  start_setup "$package"
  walk_to_destination
  must "click $next"
  cancel_answered 6
  check_nothing_left
  stop_setup

  # Yes at the program group's moment: its links and the registry go too.
  clean_machine
  start_setup "$package"
  walk_to_destination
  must "click $next"
  drive "timeout 120"
  must "expect $status_line text \"Shortcuts are being created...\""
  drive "timeout 60"
  cancel_answered 6
  check_nothing_left
  close_folder_window
  stop_setup

  # Over an earlier installation: No at a piece lets it go on; Yes after the
  # main program was replaced sets everything back.
  clean_machine
  fake_earlier "$destination"
  start_setup "$package"
  walk_to_destination
  must "click $next"
  cancel_answered 7
  # Heard at the next piece, once the main program is being replaced.
  for _ in $(seq 1 600); do
    [ -e "$dest_dir/Screen Recorder.exe.vxr-new" ] || [ -e "$dest_dir/Screen Recorder.exe.vxr-old" ] && break
    sleep 0.05
  done
  cancel_answered 6
  must "gone \"$title\""
  wait_setup_end
  check_earlier "$destination"
  check_earlier_registry "$destination"
  check_no_staging
  ;;
*) echo "unknown scenario $scenario" >&2; exit 2 ;;
esac
[ -z "${setup_pid:-}" ] || stop_setup
trap - EXIT
# The prefix is shared with the other tests: it is left without the product.
after_setup
[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
