# install_lib.sh: sourced by the scripts that install a package under Wine.
# Needs the prefix's environment (run-in-wine.sh) and $driver, the UI driver.
# shellcheck shell=bash

title="Tarvo's Screen Recorder - Install"
product_title="Tarvo's Screen Recorder"
# Control ids: 1000 + the control's place in the wizard's design table.
status_line='#1015' file_line='#1016' run_box='#1017' cancel='#1018' back='#1019' next='#1020'
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
staging_windows="$temp_windows\\VXRTMP"
staging_dir=$(unix_path "$staging_windows")

reg() { "$VXR_WINE" reg "$@" 2>/dev/null | tr -d '\r'; }
# The Start-menu group folders named "Screen Recorder", of any user.
groups() { find "$WINEPREFIX/drive_c/users" -type d -name 'Screen Recorder' -path '*/Start Menu/Programs/*' 2>/dev/null; }

# A machine on which the product was never installed.
clean_machine() {
  local staging
  rm -rf "$dest_dir"
  # A link named like a staging folder is a test's own.
  for staging in "$staging_dir"*; do [ -L "$staging" ] || rm -rf "$staging"; done
  reg delete "$vendor_key" /f >/dev/null
  reg delete "$uninstall_key" /f >/dev/null
  local group
  while read -r group; do rm -rf "$group"; done < <(groups)
}

# ---- The setup and the driver --------------------------------------------------------

# start_setup PACKAGE: runs it and a driver in script mode beside it.
start_setup() {
  "$VXR_WINE" "$1" &
  setup_pid=$!
  coproc DRIVER { "$VXR_WINE" "$driver" --timeout 60 - 2>/dev/null; }
  driver_pid=$DRIVER_PID
  trap 'stop_setup; after_setup' EXIT
}
# What a script does when it ends while a setup runs; nothing unless it says.
after_setup() { :; }
stop_setup() {
  end_driver
  kill "$setup_pid" 2>/dev/null || true
  wait "$driver_pid" 2>/dev/null || true
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
  drive "expect #1012 text \"${1:-$destination}\""
  shot 3-destination
}

# watch_install: the status line's captions, each once, as the driver sees them
# until Next reads Finish (in $seen, one a line). The setup answers only while
# it handles events, so a busy installation shows just some of them.
watch_install() {
  local status caption last="" _
  seen=""
  for _ in $(seq 1 600); do
    drive list || return 1
    status=$(listed "$status_line")
    caption=$(listed "$next")
    if [ -n "$status" ] && [ "$status" != "$last" ]; then
      seen+="$status"$'\n'
      last=$status
    fi
    [ "$caption" = Finish ] && return 0
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

# ---- What the installation left ------------------------------------------------------

# check_files PRODUCT_DIR [NAME...]: the destination holds every product file
# (or only the NAMEs), each equal to the product's own.
check_files() {
  local product=$1 name
  shift
  local names=("$@")
  [ ${#names[@]} -gt 0 ] || names=("${product_files[@]}")
  for name in "${names[@]}"; do
    if [ ! -f "$dest_dir/$name" ]; then
      fail "not installed: $name"
    elif ! cmp -s "$product/$name" "$dest_dir/$name"; then
      fail "installed $name differs from the product's"
    fi
  done
}

# No staging folder of the setup's is left (VXRTMP, VXRTMP1, ...).
check_no_staging() {
  local left
  left=$(find "$(dirname "$staging_dir")" -maxdepth 1 -name 'VXRTMP*' ! -type l)
  [ -z "$left" ] || fail "a staging folder is still there: $left"
}

# The small drive S: that tests fill up (tests/wine/drives.sh).
need_small_drive() {
  mountpoint -q "$WINEPREFIX/drives/small" || { echo "FAILED: no small drive S: (mounting it needs root)" >&2; exit 1; }
}

# An earlier installation in DIR (a Windows path): every product file holding
# "earlier NAME", settings of its own and an uninstall entry that only names it.
fake_earlier() {
  local dir name
  dir=$(unix_path "$1")
  mkdir -p "$dir"
  for name in "${product_files[@]}"; do printf 'earlier %s' "$name" >"$dir/$name"; done
  reg add "$product_key" /v Dizin /t REG_SZ /d "$1" /f >/dev/null
  reg add "$product_key" /v Version /t REG_DWORD /d 9 /f >/dev/null
  reg add "$uninstall_key" /v DisplayName /t REG_SZ /d Earlier /f >/dev/null
}
# The earlier installation in DIR is exactly as fake_earlier left it, but for
# the files named after DIR, which must equal PRODUCT_DIR's:
# check_earlier DIR [PRODUCT_DIR NAME...]
check_earlier() {
  local dir name expected
  dir=$(unix_path "$1")
  local product=${2:-} replaced=("${@:3}")
  for name in "${product_files[@]}"; do
    if [[ " ${replaced[*]} " == *" $name "* ]]; then
      cmp -s "$product/$name" "$dir/$name" || fail "$name is not the new one"
    else
      expected="earlier $name"
      [ "$(cat "$dir/$name" 2>/dev/null)" = "$expected" ] || fail "$name is not the earlier installation's"
    fi
  done
  [ "$(ls -A "$dir" | wc -l)" -eq 8 ] || fail "files beside the installation's: $(ls -A "$dir" | tr '\n' ' ')"
}
check_earlier_registry() {
  expect_value "$product_key" Dizin "REG_SZ $1"
  expect_value "$product_key" Version 'REG_DWORD 0x9'
  expect_value "$product_key" IncCur missing
  expect_value "$uninstall_key" DisplayName 'REG_SZ Earlier'
  expect_value "$uninstall_key" UninstallString missing
  [ -z "$(groups)" ] || fail "a Start-menu group was made"
}

# expect_value KEY NAME 'TYPE DATA' | missing: as reg.exe lists the value.
# Asked again for a moment: Wine's reg.exe was seen to miss a value just written.
expect_value() {
  local got _
  for _ in 1 2 3 4 5; do
    got=$(reg query "$1" | awk -F '    ' -v name="$2" '$2 == name { print $3 " " $4; found = 1 } END { if (!found) print "missing" }')
    [ "$got" = "$3" ] && return 0
    sleep 0.3
  done
  fail "$1 $2: expected '$3', got '$got'"
}

check_registry() {
  expect_value "$product_key" Dizin "REG_SZ $destination"
  expect_value "$product_key" Version 'REG_DWORD 0xa'
  expect_value "$product_key" IncCur 'REG_DWORD 0x1'
  expect_value "$product_key" dwKFE 'REG_DWORD 0xa'
  expect_value "$uninstall_key" DisplayName "REG_SZ $product_title"
  expect_value "$uninstall_key" UninstallString "REG_SZ \"$destination\\Uninstall VXR.exe\""
}

# Each key's parent must list no such subkey: a reg.exe that fails is no answer.
check_not_registered() {
  local key parent
  for key in "$vendor_key" "$uninstall_key"; do
    parent=$(reg query "${key%\\*}") || { fail "reg query ${key%\\*} failed"; continue; }
    grep -qi "\\\\${key##*\\}\$" <<<"$parent" && fail "$key was written"
  done
  [ -z "$(groups)" ] || fail "a Start-menu group was made"
}

# lnkinfo's field of a link, e.g. "Local path".
link_field() { lnkinfo "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p" | head -n 1; }

check_links() {
  local group count
  group=$(groups | head -n 1)
  if [ -z "$group" ]; then
    fail "no Start-menu group"
    return
  fi
  count=$(find "$group" -maxdepth 1 -name '*.lnk' | wc -l)
  [ "$count" -eq 4 ] || fail "$count links in the group, expected 4"
  local name target arguments link
  while IFS='|' read -r name target arguments; do
    link="$group/$name.lnk"
    if [ ! -f "$link" ]; then
      fail "no link '$name'"
      continue
    fi
    [ "$(link_field "$link" 'Local path')" = "$target" ] || fail "'$name' starts '$(link_field "$link" 'Local path')'"
    [ "$(link_field "$link" 'Command line arguments')" = "$arguments" ] ||
      fail "'$name' has arguments '$(link_field "$link" 'Command line arguments')'"
  done <<EOF
$product_title|$destination\\Screen Recorder.exe|
VXR Movie Studio|$destination\\Screen Recorder.exe|/moviestudio
Screen Recorder Help|$destination\\VXR.chm|
Uninstall Screen Recorder|$destination\\Uninstall VXR.exe|
EOF
}

# What the installation left, for a person to read.
print_installed() {
  echo "== Installed files ($destination)"
  (cd "$dest_dir" 2>/dev/null && for f in *; do printf '%12s  %s\n' "$(stat -c %s "$f")" "$f"; done)
  echo "== Registry"
  reg query "$product_key" | sed '/^$/d'
  reg query "$uninstall_key" | sed '/^$/d'
  echo "== Start menu"
  local group link
  group=$(groups | head -n 1)
  echo "${group#"$WINEPREFIX/drive_c"}"
  for link in "$group"/*.lnk; do
    [ -f "$link" ] || continue
    printf '  %s -> %s %s\n' "$(basename "$link" .lnk)" "$(link_field "$link" 'Local path')" \
      "$(link_field "$link" 'Command line arguments')"
  done
}
