# install_lib.sh: sourced by the scripts that install a package under Wine.
# Needs the prefix's environment (run-in-wine.sh) and $driver, the UI driver.
# shellcheck shell=bash

title="Tarvo's Screen Recorder - Install"
product_title="Tarvo's Screen Recorder"
# Control ids: 1000 + the control's place in the wizard's design table.
dest_line='#1012' status_line='#1015' file_line='#1016' run_box='#1017' cancel='#1018' back='#1019' next='#1020'
copying="Files are being copied into temporary folder and are being expanded into install directory..."
completed="Installation of Screen Recorder has been successfully completed! You can run VXR from the Start Menu."
destination='C:\Program Files\Screen Recorder'
# The installed names, in the order the setup installs them.
product_files=("Screen Recorder.exe" Stop.wav Start.wav Shot.wav Click.wav Beep.wav "Uninstall VXR.exe" VXR.chm)
# A 32-bit program's view of HKLM\Software in a 64-bit prefix.
view='Software\Wow6432Node'
[ "${WINEARCH:-win64}" = win32 ] && view='Software'
vendor_key="HKLM\\$view\\Ambretton"
product_key="$vendor_key\\VXR"
uninstall_key="HKLM\\$view\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ScreenRecorder"

# shellcheck source=tests/wine/e2e/driver_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/driver_lib.sh"

# The host path of a path on drive C: or the small drive S: (tests/wine/drives.sh).
unix_path() {
  local root rest=${1:2}
  case ${1:0:2} in
  [Cc]:) root=$WINEPREFIX/drive_c ;;
  [Ss]:) root=$WINEPREFIX/drives/small ;;
  *) echo "unix_path: no such drive in $1" >&2; return 1 ;;
  esac
  printf '%s' "$root${rest//\\//}"
}
dest_dir=$(unix_path "$destination")
temp_windows=$("$VXR_WINE" cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r\n')
[ -n "$temp_windows" ] || { echo "cannot tell the prefix's temporary directory" >&2; exit 1; }
staging_dir=$(unix_path "$temp_windows\\VXRTMP")

reg() { "$VXR_WINE" reg "$@" 2>/dev/null | tr -d '\r'; }
# The Start-menu group folders named "Screen Recorder", of any user.
groups() { find "$WINEPREFIX/drive_c/users" -type d -name 'Screen Recorder' -path '*/Start Menu/Programs/*' 2>/dev/null; }
remove_groups() { local group; while read -r group; do rm -rf "$group"; done < <(groups); }

# A machine on which the product was never installed.
clean_machine() {
  local staging
  rm -rf "$dest_dir"
  # A link named like a staging folder is a test's own.
  for staging in "$staging_dir"*; do [ -L "$staging" ] || rm -rf "$staging"; done
  reg delete "$vendor_key" /f >/dev/null
  reg delete "$uninstall_key" /f >/dev/null
  remove_groups
}

# start_driver: the driver in script mode beside the script, ended with it.
start_driver() {
  coproc DRIVER { "$VXR_WINE" "$driver" --timeout 60 - 2>/dev/null; }
  driver_pid=$DRIVER_PID
  trap 'stop_setup; after_setup' EXIT
}
# start_setup PACKAGE: runs it, with a driver beside it unless one runs.
start_setup() {
  "$VXR_WINE" "$1" &
  setup_pid=$!
  [ -n "${driver_pid:-}" ] || start_driver
}
# What a script does when it ends while a setup runs; nothing unless it says.
after_setup() { :; }
stop_setup() {
  end_driver
  kill "${setup_pid:-}" 2>/dev/null || true
  wait "${driver_pid:-}" 2>/dev/null || true
  driver_pid=""
}
# Waits up to 60 s for the setup to end by itself; its exit code goes to $setup_code.
wait_setup_end() {
  local _
  setup_code=""
  for _ in $(seq 1 600); do kill -0 "$setup_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$setup_pid" 2>/dev/null; then
    fail "the setup is still running"
    return 1
  fi
  setup_code=0
  wait "$setup_pid" || setup_code=$?
}
# setup_ended_well [WHEN]: the setup ends by itself, with exit code 0.
setup_ended_well() { wait_setup_end && { [ "$setup_code" = 0 ] || fail "${1:-}: the setup ended with code $setup_code"; }; }

# vxrpack under Wine ($vxrpack), its messages on standard output.
pack() { "$VXR_WINE" "$vxrpack" "$@" 2>&1 | tr -d '\r'; }
# demo_package DIR [EDIT]: the demo product in DIR/product (changed by the
# command EDIT, if given) and its package DIR/VXRSetup.exe, built from $stub.
demo_package() {
  pack demo "$1/product" >/dev/null
  [ -z "${2:-}" ] || "$2" "$1/product"
  pack build --stub "$stub" --product "$1/product" --output "$1/VXRSetup.exe" -q >/dev/null
  [ -f "$1/VXRSetup.exe" ] || { echo "vxrpack did not build the package" >&2; exit 1; }
}
# Next on the destination page installs, to Finish; Finish, the run box as it
# is, ends the setup.
install_to_finish() { must "click $next"; drive "timeout 120"; must "expect $next text Finish"; drive "timeout 60"; }
press_finish() { close_group_window; must "click $next"; must "gone \"$title\""; setup_ended_well; }

# Program Manager shows a group it creates in a folder window, which would
# outlive the setup; closed so that the next run starts from a bare desktop.
# Not every shell opens one. The wizard is the current window again afterwards.
close_group_window() {
  close_folder_window
  must "window \"$title\""
}
# The same, when the setup has ended: a stray window of that title would be
# taken for the chooser by the next test.
close_folder_window() {
  drive "timeout 10"
  if attempt 'window "Screen Recorder"'; then
    drive close
    drive 'gone "Screen Recorder"'
  fi
  drive "timeout 60"
}

# A control's caption in the driver's last list.
listed() { awk -F'\t' -v id="${1#\#}" '$1 == id { print $5 }' <<<"$out"; }
# check_listed WHAT EXPECTED: the driver's list of the current window has the
# lines of EXPECTED (id, class, visible, enabled, caption) for EXPECTED's ids.
check_listed() {
  local got
  drive list || return
  got=$(grep -E "^($(cut -f1 <<<"$2" | paste -sd'|'))"$'\t' <<<"$out" | sort)
  [ "$got" = "$(sort <<<"$2")" ] || fail "$1:"$'\n'"$got"
}

# Welcome, licence (accepted), destination page showing DIR (the default
# destination unless given).
walk_to_destination() {
  must "window \"$title\""
  shot 1-welcome
  must "click $next"
  must 'expect "Yes I Agree." visible 1'
  must 'click "Yes I Agree."'
  must "expect $next enabled 1"
  shot 2-licence
  must "click $next"
  must 'expect "Change Dir" visible 1'
  drive "expect $dest_line text \"${1:-$destination}\""
  shot 3-destination
}

# watch_install: the status line's captions, each once, as the driver sees them
# until Next reads Finish (in $seen, one a line). The setup answers only while
# it handles events, so a busy installation shows just some of them.
watch_install() {
  local status last="" _
  seen=""
  for _ in $(seq 1 600); do
    drive list || return 1
    status=$(listed "$status_line")
    [ -z "$status" ] || [ "$status" = "$last" ] || { seen+="$status"$'\n'; last=$status; }
    [ "$(listed "$next")" = Finish ] && return 0
    sleep 0.1
  done
  fail "the installation did not finish"
  return 1
}

shot() {
  [ -n "${shots:-}" ] || return 0
  # A repaint may still be on its way after the last state change.
  sleep 0.5
  import -window root -display "$DISPLAY" "$shots/$1.png"
}

# check_files PRODUCT_DIR: the destination holds every product file, each
# equal to the product's own.
check_files() {
  local name
  for name in "${product_files[@]}"; do
    cmp -s "$1/$name" "$dest_dir/$name" || fail "installed $name is missing or differs from the product's"
  done
}

# No staging folder of the setup's is left (VXRTMP, VXRTMP1, ...).
check_no_staging() {
  local left
  left=$(find "$(dirname "$staging_dir")" -maxdepth 1 -name 'VXRTMP*' ! -type l)
  [ -z "$left" ] || fail "a staging folder is still there: $left"
}

# An earlier installation in DIR (a Windows path): every product file holding
# "earlier NAME", settings of its own (a frame setting, a desktop rate of 70,
# the one the setup raises, a folder of the user's) and an uninstall entry
# that only names it. One reg.exe run: each is a Wine process.
fake_earlier() {
  local dir name file=$WINEPREFIX/drive_c/vxr-earlier.reg
  dir=$(unix_path "$1")
  mkdir -p "$dir"
  for name in "${product_files[@]}"; do printf 'earlier %s' "$name" >"$dir/$name"; done
  printf '%s\n' REGEDIT4 "[${product_key/HKLM/HKEY_LOCAL_MACHINE}]" "\"Dizin\"=\"${1//\\/\\\\}\"" \
    '"Version"=dword:00000009' '"dwKFE"=dword:00000019' '"FullDesktopRate"=dword:00000046' \
    '"LastFolder"="D:\\Movies"' "[${uninstall_key/HKLM/HKEY_LOCAL_MACHINE}]" '"DisplayName"="Earlier"' \
    '"Publisher"="Ambretton"' >"$file"
  reg import 'C:\vxr-earlier.reg' || fail "reg import of the earlier installation failed"
  rm -f "$file"
}
# check_earlier DIR [PRODUCT_DIR KEPT]: the earlier installation in DIR is as
# fake_earlier left it; with PRODUCT_DIR, its file KEPT only, the others
# equal to PRODUCT_DIR's.
check_earlier() {
  local dir name
  dir=$(unix_path "$1")
  for name in "${product_files[@]}"; do
    if [ -n "${2:-}" ] && [ "$name" != "$3" ]; then
      cmp -s "$2/$name" "$dir/$name" || fail "$name is not the new one"
    else
      [ "$(cat "$dir/$name" 2>/dev/null)" = "earlier $name" ] || fail "$name is not the earlier installation's"
    fi
  done
  [ "$(ls -A "$dir" | wc -l)" -eq 8 ] || fail "files beside the installation's: $(ls -A "$dir" | tr '\n' ' ')"
}
check_earlier_registry() {
  expect_values "$product_key" Dizin "REG_SZ $1" Version 'REG_DWORD 0x9' IncCur missing dwKFE 'REG_DWORD 0x19' \
    FullDesktopRate 'REG_DWORD 0x46' LastFolder 'REG_SZ D:\Movies'
  expect_values "$uninstall_key" DisplayName 'REG_SZ Earlier' UninstallString missing Publisher 'REG_SZ Ambretton'
  [ -z "$(groups)" ] || fail "a Start-menu group was made"
}

# expect_values KEY NAME 'TYPE DATA'|missing...: as reg.exe lists the key's values.
# Asked again for a moment: Wine's reg.exe was seen to miss a value just written.
expect_values() {
  local key=$1 names=() expected="" got _
  shift
  for (( ; $# >= 2; )); do names+=("$1") expected+="$1: $2"$'\n'; shift 2; done
  for _ in 1 2 3 4 5; do
    got=$(reg query "$key" | awk -F '    ' -v names="${names[*]}" '{ value[$2] = $3 " " $4 }
      END { n = split(names, name, " "); for (i = 1; i <= n; i++) print name[i] ": " (name[i] in value ? value[name[i]] : "missing") }')
    [ "$got"$'\n' = "$expected" ] && return 0
    sleep 0.3
  done
  fail "$key: expected"$'\n'"$expected"'got'$'\n'"$got"
}

# check_registry [earlier]: the installation's values in the 32-bit view, and
# only there; over fake_earlier's installation the product's own settings
# stay, but for the desktop rate of 70, raised to 100.
check_registry() {
  local kfe='REG_DWORD 0xa' rate=missing folder=missing publisher=missing
  [ -z "${1:-}" ] || kfe='REG_DWORD 0x19' rate='REG_DWORD 0x64' folder='REG_SZ D:\Movies' publisher='REG_SZ Ambretton'
  expect_values "$product_key" Dizin "REG_SZ $destination" Version 'REG_DWORD 0xa' IncCur 'REG_DWORD 0x1' \
    dwKFE "$kfe" FullDesktopRate "$rate" LastFolder "$folder"
  # Quoted: Windows runs it as a command line, and the path may have blanks.
  expect_values "$uninstall_key" DisplayName "REG_SZ $product_title" Publisher "$publisher" \
    UninstallString "REG_SZ \"$destination\\Uninstall VXR.exe\""
  [ "$view" = Software ] || expect_absent 'HKLM\Software\Ambretton'
}

# expect_absent KEY: its parent lists no such subkey; a reg.exe that fails is no answer.
expect_absent() {
  local parent
  parent=$(reg query "${1%\\*}") || { fail "reg query ${1%\\*} failed"; return; }
  ! grep -qi "\\\\${1##*\\}\$" <<<"$parent" || fail "$1 was written"
}
check_not_registered() {
  expect_absent "$vendor_key"
  expect_absent "$uninstall_key"
  [ -z "$(groups)" ] || fail "a Start-menu group was made"
}

# lnkinfo's field of a link, e.g. "Local path".
link_field() { lnkinfo "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p" | head -n 1; }
# The Start-menu group's entries, "name|target|arguments" a line.
group_links() {
  local group link
  group=$(groups | head -n 1)
  [ -n "$group" ] || return 0
  for link in "$group"/*; do
    echo "$(basename "$link")|$(link_field "$link" 'Local path')|$(link_field "$link" 'Command line arguments')"
  done
}
check_links() {
  local got
  got=$(group_links)
  [ "$got" = "Screen Recorder Help.lnk|$destination\\VXR.chm|
$product_title.lnk|$destination\\Screen Recorder.exe|
Uninstall Screen Recorder.lnk|$destination\\Uninstall VXR.exe|
VXR Movie Studio.lnk|$destination\\Screen Recorder.exe|/moviestudio" ] || fail "the Start-menu group holds:"$'\n'"${got:-nothing}"
}

# What the installation left, for a person to read.
print_installed() {
  echo "== Installed files ($destination)"
  (cd "$dest_dir" 2>/dev/null && stat -c '%12s  %n' -- *)
  echo "== Registry"
  reg query "$product_key" | sed '/^$/d'
  reg query "$uninstall_key" | sed '/^$/d'
  echo "== Start menu: $(groups | head -n 1 | sed "s|^$WINEPREFIX/drive_c||")"
  group_links
}
