#!/usr/bin/env bash
# program_group_test.sh STEP.exe
# Runs the program-group step the two ways it can go: inside Wine's shell
# desktop, where Program Manager answers (and refuses the Movie Studio item,
# whose arguments follow the quoted path, so the setup makes that one itself),
# and on a window station of its own, where no Program Manager answers at all
# (this Wine's default desktop answers DDE too). Each time the group must hold
# the four links, read back from Linux with lnkinfo. Which items a layout of
# the destination calls for is the headless tests' business.
set -uo pipefail
step=$1
dir='C:\Program Files\Screen Recorder Test'
failures=0

drive_c="$WINEPREFIX/drive_c"
cp "$step" "$drive_c/vxr_registration_step.exe"
result="$drive_c/vxr-group-result.txt"

fail() {
  echo "FAIL [$scenario] $*"
  failures=$((failures + 1))
}
groups() { find "$drive_c/users" -type d -name 'Screen Recorder' -path '*/Start Menu/Programs/*' 2>/dev/null; }

# lnkinfo's field, e.g. "Local path".
field() { lnkinfo "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p" | head -n 1; }

check_link() {  # name target arguments
  local link="$group/$1.lnk"
  if [ ! -f "$link" ]; then
    fail "no link '$1'"
    return
  fi
  local target arguments
  target=$(field "$link" 'Local path')
  arguments=$(field "$link" 'Command line arguments')
  [ "$target" = "$2" ] || fail "'$1' starts '$target', expected '$2'"
  [ "$arguments" = "$3" ] || fail "'$1' has arguments '$arguments', expected '$3'"
}

run() {  # shell|no-shell
  rm -f "$result"
  while read -r old; do rm -rf "$old"; done < <(groups)
  if [ "$1" = shell ]; then
    timeout 90 "$VXR_WINE" explorer /desktop=shell,1024x768 'C:\vxr_registration_step.exe' group "$dir" 'C:\vxr-group-result.txt' >/dev/null 2>&1 &
    local shell_pid=$!
    for _ in $(seq 1 120); do [ -s "$result" ] && break; sleep 0.5; done
    wait "$shell_pid" 2>/dev/null
  else
    timeout 90 "$VXR_WINE" 'C:\vxr_registration_step.exe' isolated-group "$dir" 'C:\vxr-group-result.txt' >/dev/null 2>&1
  fi
}

for way in shell no-shell; do
  scenario=$way
  run "$way"
  expected_answer=$([ "$way" = shell ] && echo yes || echo no)
  got=$(tr -d '\r\n' <"$result" 2>/dev/null)
  [ "$got" = "progman=$expected_answer done" ] || fail "the step reported '$got'"
  group=$(groups | head -n 1)
  if [ -z "$group" ]; then
    fail "no group folder"
    continue
  fi
  count=$(find "$group" -maxdepth 1 -name '*.lnk' | wc -l)
  [ "$count" -eq 4 ] || fail "$count links, expected 4: $(ls "$group" | tr '\n' ',')"
  check_link "Tarvo's Screen Recorder" "$dir\Screen Recorder.exe" ""
  check_link "VXR Movie Studio" "$dir\Screen Recorder.exe" "/moviestudio"
  check_link "Screen Recorder Help" "$dir\VXR.chm" ""
  check_link "Uninstall Screen Recorder" "$dir\Uninstall VXR.exe" ""
done

while read -r old; do rm -rf "$old"; done < <(groups)
rm -f "$result" "$drive_c/vxr_registration_step.exe"
[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
