#!/usr/bin/env bash
# settings_test.sh STEP.exe
# Runs the registry step in Wine over a machine without and with an earlier
# installation and reads the result back with Wine's reg.exe. The values must
# land in the 32-bit view that the 32-bit product reads: Software\Wow6432Node
# on 64-bit Windows, whichever build the step is.
set -uo pipefail
step=$1
view='Software\Wow6432Node'
[ "${WINEARCH:-win64}" = win32 ] && view='Software'
product="HKLM\\$view\\Ambretton\\VXR"
uninstall="HKLM\\$view\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ScreenRecorder"
failures=0

# Fails when reg.exe does: a key that cannot be read is never taken for a missing value.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
reg() { "$VXR_WINE" reg "$@" 2>"$errors" | tr -d '\r'; }
fail() {
  echo "FAIL [$scenario] $*"
  failures=$((failures + 1))
}
# listing KEY: reg.exe's listing of KEY, which must exist. In a new prefix a
# key just written was seen missing for a moment now and then: asked again.
listing() {
  local out
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    out=$(reg query "$1") && { printf '%s\n' "$out"; return 0; }
    sleep 0.5
  done
  echo "$out" >"$errors"
  return 1
}
# expect KEY NAME 'TYPE DATA' or missing, as reg.exe lists the value of the existing KEY.
expect() {
  local listing got
  listing=$(listing "$1") || { fail "reg query $1 failed ($?): $(cat "$errors")"; return; }
  got=$(awk -F '    ' -v name="$2" '$2 == name { print $3 " " $4; found = 1 } END { if (!found) print "missing" }' <<<"$listing")
  [ "$got" = "$3" ] || fail "$1 $2: expected '$3', got '$got'"
}
# absent KEY: its parent lists no such subkey.
absent() {
  local listing
  listing=$(listing "${1%\\*}") || { fail "reg query ${1%\\*} failed ($?): $(cat "$errors")"; return; }
  if grep -qi "\\\\${1##*\\}\$" <<<"$listing"; then fail "$1 exists"; fi
}
# run INSTALL-DIR [KEY NAME TYPE DATA]...: a clean registry, the given values, then the step.
run() {
  local dir=$1
  shift
  clean
  while [ $# -ge 4 ]; do
    reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null || fail "reg add $1 $2 failed: $(cat "$errors")"
    shift 4
  done
  "$VXR_WINE" "$step" settings "$dir" || fail "the step did not finish"
}
clean() {
  reg delete "${product%\\VXR}" /f >/dev/null
  reg delete "$uninstall" /f >/dev/null
  absent "${product%\\VXR}"
  absent "$uninstall"
}

scenario="first installation"
run 'C:\Program Files\Screen Recorder'
expect "$product" Dizin 'REG_SZ C:\Program Files\Screen Recorder'
expect "$product" Version 'REG_DWORD 0xa'
expect "$product" IncCur 'REG_DWORD 0x1'
expect "$product" dwKFE 'REG_DWORD 0xa'
expect "$product" FullDesktopRate missing
expect "$uninstall" DisplayName "REG_SZ Tarvo's Screen Recorder"
expect "$uninstall" UninstallString 'REG_SZ "C:\Program Files\Screen Recorder\Uninstall VXR.exe"'
[ "$view" != Software ] && absent 'HKLM\Software\Ambretton'

scenario="earlier installation"
run 'D:\VXR Test' "$product" Dizin REG_SZ 'D:\Old' "$product" Version REG_DWORD 9 \
  "$product" dwKFE REG_DWORD 25 "$product" FullDesktopRate REG_DWORD 70 \
  "$product" LastFolder REG_SZ 'D:\Movies' "$uninstall" Publisher REG_SZ Ambretton
expect "$product" Dizin 'REG_SZ D:\VXR Test'
expect "$product" Version 'REG_DWORD 0xa'
expect "$product" IncCur 'REG_DWORD 0x1'
expect "$product" dwKFE 'REG_DWORD 0x19'
expect "$product" FullDesktopRate 'REG_DWORD 0x64'
expect "$product" LastFolder 'REG_SZ D:\Movies'
expect "$uninstall" UninstallString 'REG_SZ "D:\VXR Test\Uninstall VXR.exe"'
expect "$uninstall" Publisher 'REG_SZ Ambretton'

scenario="settings stored as text"
run 'C:\VXR' "$product" dwKFE REG_SZ 25 "$product" FullDesktopRate REG_SZ 70
expect "$product" dwKFE 'REG_DWORD 0xa'
expect "$product" FullDesktopRate 'REG_SZ 70'

scenario="clean-up"
clean
[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
