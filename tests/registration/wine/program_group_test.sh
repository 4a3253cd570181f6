#!/usr/bin/env bash
# program_group_test.sh STEP.exe
# Runs the program-group step twice for each layout of the destination (help
# file and uninstaller present, absent, hidden or system): inside Wine's shell
# desktop, where Program Manager answers (and refuses the Movie Studio item,
# whose arguments follow the quoted path, so the setup makes the rest itself),
# and on a window station of its own, where no Program Manager answers at all
# (this Wine's default desktop answers DDE too). Each time the group must hold
# the right links, read back from Linux with lnkinfo.
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

run() {  # shell|no-shell layout
  rm -f "$result"
  while read -r old; do rm -rf "$old"; done < <(groups)
  if [ "$1" = shell ]; then
    timeout 90 "$VXR_WINE" explorer /desktop=shell,1024x768 'C:\vxr_registration_step.exe' group "$dir" "$2" 'C:\vxr-group-result.txt' >/dev/null 2>&1 &
    local shell_pid=$!
    for _ in $(seq 1 120); do [ -s "$result" ] && break; sleep 0.5; done
    wait "$shell_pid" 2>/dev/null
  else
    timeout 90 "$VXR_WINE" 'C:\vxr_registration_step.exe' isolated-group "$dir" "$2" 'C:\vxr-group-result.txt' >/dev/null 2>&1
  fi
}

for way in shell no-shell; do
  for layout in all nohelp none hidden; do
    scenario="$way/$layout"
    run "$way" "$layout"
    expected_answer=$([ "$way" = shell ] && echo yes || echo no)
    got=$(tr -d '\r\n' <"$result" 2>/dev/null)
    [ "$got" = "progman=$expected_answer done" ] || fail "the step reported '$got'"
    group=$(groups | head -n 1)
    if [ -z "$group" ]; then
      fail "no group folder"
      continue
    fi
    # name|target|arguments of each link the layout calls for
    links="Tarvo's Screen Recorder|$dir\\Screen Recorder.exe|
VXR Movie Studio|$dir\\Screen Recorder.exe|/moviestudio"
    [ "$layout" = all ] && links+=$'\n'"Screen Recorder Help|$dir\\VXR.chm|"
    [[ $layout = all || $layout = nohelp ]] && links+=$'\n'"Uninstall Screen Recorder|$dir\\Uninstall VXR.exe|"
    want=$(wc -l <<<"$links")
    count=$(find "$group" -maxdepth 1 -name '*.lnk' | wc -l)
    [ "$count" -eq "$want" ] || fail "$count links, expected $want: $(ls "$group" | tr '\n' ',')"
    while IFS='|' read -r name target arguments; do check_link "$name" "$target" "$arguments"; done <<<"$links"
  done
done

while read -r old; do rm -rf "$old"; done < <(groups)
rm -f "$result" "$drive_c/vxr_registration_step.exe"
[ "$failures" -eq 0 ] && echo "PASSED" || echo "FAILED ($failures)"
[ "$failures" -eq 0 ]
