#!/usr/bin/env bash
# settings_test.sh STEP.exe
# Runs the registry step in Wine over a machine without and with an earlier
# installation and reads the result back with Wine's reg.exe. This build is
# 64-bit, so the values must appear under Software\Wow6432Node: the 32-bit
# view a 32-bit product reads.
set -uo pipefail
step=$1
product='HKLM\Software\Wow6432Node\Ambretton'
uninstall='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\ScreenRecorder'
failures=0

reg() { "$VXR_WINE" reg "$@" 2>/dev/null | tr -d '\r'; }
clean() {
  reg delete "$product" /f >/dev/null
  reg delete "$uninstall" /f >/dev/null
}
# "TYPE DATA" of one value as reg.exe lists it, or "missing".
value() {
  local line
  line=$(reg query "$1" | awk -F '    ' -v name="$2" '$2 == name { print $3 " " $4; found = 1 } END { if (!found) print "missing" }')
  printf '%s' "$line"
}
expect() {
  local got
  got=$(value "$1" "$2")
  if [ "$got" != "$3" ]; then
    echo "FAIL [$scenario] $1 $2: expected '$3', got '$got'"
    failures=$((failures + 1))
  fi
}
run_step() {
  if ! "$VXR_WINE" "$step" settings "$1"; then
    echo "FAIL [$scenario] the step did not finish"
    failures=$((failures + 1))
  fi
}

scenario="first installation"
clean
run_step 'C:\Program Files\Screen Recorder   '
expect "$product\\VXR" Dizin 'REG_SZ C:\Program Files\Screen Recorder'
expect "$product\\VXR" Version 'REG_DWORD 0xa'
expect "$product\\VXR" IncCur 'REG_DWORD 0x1'
expect "$product\\VXR" dwKFE 'REG_DWORD 0xa'
expect "$product\\VXR" FullDesktopRate missing
expect "$uninstall" DisplayName "REG_SZ Tarvo's Screen Recorder"
expect "$uninstall" UninstallString 'REG_SZ C:\Program Files\Screen Recorder\Uninstall VXR.exe'
if reg query 'HKLM\Software\Ambretton' | grep -q .; then
  echo "FAIL [$scenario] the settings reached the 64-bit view"
  failures=$((failures + 1))
fi

scenario="earlier installation"
clean
reg add "$product\\VXR" /v Dizin /t REG_SZ /d 'D:\Old' /f >/dev/null
reg add "$product\\VXR" /v Version /t REG_DWORD /d 9 /f >/dev/null
reg add "$product\\VXR" /v dwKFE /t REG_DWORD /d 25 /f >/dev/null
reg add "$product\\VXR" /v FullDesktopRate /t REG_DWORD /d 70 /f >/dev/null
reg add "$product\\VXR" /v LastFolder /t REG_SZ /d 'D:\Movies' /f >/dev/null
reg add "$uninstall" /v Publisher /t REG_SZ /d Ambretton /f >/dev/null
run_step 'D:\VXR Test'
expect "$product\\VXR" Dizin 'REG_SZ D:\VXR Test'
expect "$product\\VXR" Version 'REG_DWORD 0xa'
expect "$product\\VXR" IncCur 'REG_DWORD 0x1'
expect "$product\\VXR" dwKFE 'REG_DWORD 0x19'
expect "$product\\VXR" FullDesktopRate 'REG_DWORD 0x64'
expect "$product\\VXR" LastFolder 'REG_SZ D:\Movies'
expect "$uninstall" UninstallString 'REG_SZ D:\VXR Test\Uninstall VXR.exe'
expect "$uninstall" Publisher 'REG_SZ Ambretton'

scenario="settings stored as text or as other numbers"
clean
reg add "$product\\VXR" /v dwKFE /t REG_SZ /d 25 /f >/dev/null
reg add "$product\\VXR" /v FullDesktopRate /t REG_SZ /d 70 /f >/dev/null
run_step 'C:\VXR'
expect "$product\\VXR" dwKFE 'REG_DWORD 0xa'
expect "$product\\VXR" FullDesktopRate 'REG_SZ 70'
clean
reg add "$product\\VXR" /v dwKFE /t REG_DWORD /d 0 /f >/dev/null
reg add "$product\\VXR" /v FullDesktopRate /t REG_DWORD /d 50 /f >/dev/null
run_step 'C:\VXR'
expect "$product\\VXR" dwKFE 'REG_DWORD 0xa'
expect "$product\\VXR" FullDesktopRate 'REG_DWORD 0x32'

clean
[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
