#!/usr/bin/env bash
# chooser_walk.sh SETUP_STUB DRIVER SCREENSHOT_DIR
# The destination chooser of the setup under Wine, worked as a person would, on
# the prefix's test drives (tests/wine/drives.sh): a: diskette, r: CD,
# n: network, f: a second fixed disk labelled DATA. The setup is started in
# F:\Projects, which is thereby F:'s current folder. Refused drives bring their
# messages and the lists return; F: opens its current folder; a new folder is
# made on disk and becomes the wizard's destination; the close box gives the
# wizard back. Screenshots of the chooser go to SCREENSHOT_DIR.
set -euo pipefail
stub=$1 driver=$2 shots=$3
mkdir -p "$shots"
wizard="Tarvo's Screen Recorder - Install"
chooser="Screen Recorder"
# Control ids: 1000 + the place in the design tables. Wizard: Next 1020,
# the destination label 1012. Chooser: folder list 1000, drive list 1001,
# free space 1006.
next='#1020' destination='#1012' folders='#1000' drives='#1001' free='#1006'

data="$WINEPREFIX/drives/data"
if [ ! -d "$data/Projects" ]; then
  echo "FAILED: the prefix has no test drives (tests/wine/drives.sh did not run)" >&2
  exit 1
fi
find "$data/Projects" -mindepth 1 -delete  # what an earlier run in this prefix made

(cd "$data/Projects" && exec "$VXR_WINE" "$stub") >/dev/null 2>&1 &
stub_pid=$!
coproc DRIVER { "$VXR_WINE" "$driver" --timeout 30 - 2>/dev/null; }
driver_pid=$DRIVER_PID
trap 'exec {DRIVER[1]}>&- 2>/dev/null || true; kill $stub_pid 2>/dev/null || true; wait $driver_pid 2>/dev/null || true' EXIT

failures=0
# drive COMMAND...: one driver command; its output goes to $out, a failure is counted.
drive() {
  local line
  out=""
  printf '%s\n' "$*" >&"${DRIVER[1]}"
  while IFS= read -r line <&"${DRIVER[0]}"; do
    case $line in
    ok) return 0 ;;
    fail:*) echo "FAILED: $* -> $line" >&2; failures=$((failures + 1)); return 1 ;;
    *) out+="$line"$'\n' ;;
    esac
  done
  echo "FAILED: $* -> the driver stopped" >&2
  exit 1
}
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
shot() {
  sleep 0.5  # a repaint may still be on its way
  import -window root -display "$DISPLAY" "$shots/$1.png"
}
# A refused drive: its message, then both lists back on the destination.
refused() {
  drive "select $drives $1"
  drive "expect-box Driver \"$2\"" || return 0
  if [ -n "${3:-}" ]; then shot "$3"; fi
  drive 'press 1'
  drive "expect $drives text c:"
  drive "expect $folders selected C:\\"
}

# To the destination page, and Change Dir.
drive "window \"$wizard\"" || exit 1
drive "click $next"
drive 'expect "Yes I Agree." visible 1'
drive 'click "Yes I Agree."'
drive "expect $next enabled 1"
drive "click $next"
drive "expect $destination text \"C:\\\\Program Files\\\\Screen Recorder\""
drive 'click "Change Dir"'
drive "window \"$chooser\"" || exit 1
drive "window \"$wizard\""
drive 'expect . enabled 0' # out of use while the chooser is open
drive "window \"$chooser\""

# The default destination does not exist yet: the lists open the Windows
# drive's current folder, its root here.
drive list
listing=$out
expected_controls=$'1000\tListBox\t1\t1\t
1001\tComboBox\t1\t1\tc:
1002\tButton\t1\t1\t&New Folder
1003\tButton\t1\t1\t&Ok
1004\tStatic\t1\t1\tSelect a destination for Screen Recorder
1005\tStatic\t1\t1\tFree Space in Drive
1007\tButton\t1\t1\tCancel'
got_controls=$(grep -v $'^1006\t' <<<"${listing%$'\n'}" || true)
[ "$got_controls" = "$expected_controls" ] || fail "chooser controls:"$'\n'"$got_controls"
drive "expect $folders selected C:\\"
# Free space in KB with the locale's commas, against what the host says of
# drive_c's file system (others write to it meanwhile: within 2 %).
figure=$(awk -F'\t' '$1 == 1006 { print $5 }' <<<"$listing")
if [[ ! $figure =~ ^[0-9]{1,3}(,[0-9]{3})*\ KB$ ]]; then
  fail "free space reads '$figure'"
else
  shown=${figure//,/}
  shown=${shown% KB}
  host=$(df -k --output=avail "$WINEPREFIX/drive_c" | tail -1 | tr -d ' ')
  if [ $((shown * 50 < host * 49 || shown * 50 > host * 51)) -eq 1 ]; then
    fail "free space $shown KB, the host says $host KB"
  fi
fi
drive "items $drives"
for entry in a: c: 'f: [DATA]' n: r:; do
  grep -qxF "$entry" <<<"$out" || fail "the drive list has no line '$entry':"$'\n'"$out"
done
shot chooser-1-opened

# Refused drives: each says why, then the lists are back.
refused r: "Screen Recorder can not be installed into a CD driver." chooser-2-cd-refused
refused n: "Screen Recorder can not be installed into a network driver."
refused a: "Screen Recorder can not be installed into a diskette driver."

# Another fixed drive: no message, its current folder.
drive "select $drives f:"
drive "expect $folders selected Projects"
drive "expect $drives text \"f: [DATA]\""
drive "expect $free visible 1"
shot chooser-3-other-drive

# A new folder under it, made on disk and opened.
drive 'click "&New Folder"'
drive 'expect-box "New Folder" "Enter a name for new folder :'$'\r\r''F:\\Projects\\"'
drive 'type "Recorder Target"'
drive 'press 1'
drive "expect $folders selected \"Recorder Target\""
[ -d "$data/Projects/Recorder Target" ] || fail "the new folder is not on disk"
# A name Windows refuses: a message, and the chooser goes on.
drive 'click "&New Folder"'
drive 'box "New Folder"'
drive 'type "a<b"'
drive 'press 1'
drive 'expect-box Error "F:\\Projects\\Recorder Target\\a<b could not be created!"'
drive 'press 1'
drive "expect $folders selected \"Recorder Target\""

# Ok: the wizard shows the new destination and is back in use.
drive 'click "&Ok"'
drive "gone \"$chooser\""
drive "window \"$wizard\""
drive 'expect . enabled 1'
drive "expect $destination text \"F:\\\\Projects\\\\Recorder Target\""
shot chooser-4-destination-chosen

# Opened again it starts afresh on the destination; the close box gives the
# wizard back and changes nothing.
drive 'click "Change Dir"'
drive "window \"$chooser\""
drive "expect $drives text \"f: [DATA]\""
drive "expect $folders selected \"Recorder Target\""
drive "select $drives c:"
drive "expect $folders selected C:\\"
drive close
drive "gone \"$chooser\""
drive "window \"$wizard\""
drive 'expect . enabled 1'
drive "expect $destination text \"F:\\\\Projects\\\\Recorder Target\""
drive 'expect "Change Dir" enabled 1'

# Leaving: the wizard asks, Yes ends the setup.
drive close
drive 'expect-box "Screen Recorder" "Do you want to cancel the installation?"'
drive 'press 6'
drive "gone \"$wizard\""
echo "screenshots in $shots"
[ "$failures" -eq 0 ]
