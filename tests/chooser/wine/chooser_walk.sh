#!/usr/bin/env bash
# chooser_walk.sh STUB DRIVER VXRPACK WORK_DIR
# The destination chooser of the setup under Wine, worked as a person would on
# the prefix's test drives (tests/wine/drives.sh: a: diskette, r: CD,
# n: network, f: a second fixed disk labelled DATA), the demo package started
# in F:\Projects, thereby F:'s current folder; the installation into the folder
# chosen there; a last run with a folder the code page cannot name.
# Screenshots go to WORK_DIR/screenshots. Leaves the prefix without the product.
set -uo pipefail
stub=$1 driver=$2 vxrpack=$3 work=$4
# shellcheck source=tests/wine/e2e/install_lib.sh
. "$(dirname "$0")/../../wine/e2e/install_lib.sh"
shots=$work/screenshots
rm -rf "$work"
mkdir -p "$shots"
chooser="Screen Recorder"
# Control ids: 1000 + the place in the chooser's design table.
folders='#1000' drives='#1001' free='#1006'

data="$WINEPREFIX/drives/data"
[ -d "$data/Projects" ] || { echo "FAILED: the prefix has no test drives (tests/wine/drives.sh did not run)" >&2; exit 1; }
find "$data/Projects" -mindepth 1 -delete # what an earlier run in this prefix made
# Subfolders and a file, for the folder list to show sorted and to leave out.
mkdir -p "$data/Projects/"{zeta,Alpha,beta/inner} && : >"$data/Projects/file.txt"
chosen='F:\Projects\Recorder Target'
chosen_dir="$data/Projects/Recorder Target"
after_setup() { clean_machine; find "$data/Projects" -mindepth 1 -delete; }

demo_package "$work"
clean_machine
cd "$data/Projects" || exit 1
start_setup "$work/VXRSetup.exe"
cd - >/dev/null || exit 1

# A refused drive: its message, then both lists back on the destination.
refused_drive() {
  drive "select $drives $1"
  drive "expect-box Driver \"$2\"" || return 0
  if [ -n "${3:-}" ]; then shot "$3"; fi
  drive 'press 1'
  drive "expect $drives text c:"
  drive "expect $folders selected C:\\"
}

# To the destination page, and Change Dir: the wizard is out of use while the
# chooser is open.
walk_to_destination
must 'click "Change Dir"'
must "window \"$chooser\""
must "window \"$title\""
drive 'expect . enabled 0'
must "window \"$chooser\""

# The default destination does not exist yet: the lists open the Windows
# drive's current folder, its root here.
check_listed "the chooser's controls" $'1000\tListBox\t1\t1\t
1001\tComboBox\t1\t1\tc:
1002\tButton\t1\t1\t&New Folder
1003\tButton\t1\t1\t&Ok
1004\tStatic\t1\t1\tSelect a destination for Screen Recorder
1005\tStatic\t1\t1\tFree Space in Drive
1007\tButton\t1\t1\tCancel'
# Free space in KB with the locale's commas, against what the host says of
# drive_c's file system (others write to it meanwhile: within 2 %).
figure=$(awk -F'\t' '$1 == 1006 { print $5 }' <<<"$out")
shown=${figure//,/}
host=$(df -k --output=avail "$WINEPREFIX/drive_c" | tail -1 | tr -d ' ')
[[ $figure =~ ^[0-9]{1,3}(,[0-9]{3})*\ KB$ ]] && [ $((${shown% KB} * 50 - host * 49)) -ge 0 ] &&
  [ $((${shown% KB} * 50 - host * 51)) -le 0 ] || fail "free space reads '$figure', the host says $host KB"
drive "expect $folders selected C:\\"
drive "items $drives"
for entry in a: c: 'f: [DATA]' n: r:; do
  grep -qxF "$entry" <<<"$out" || fail "the drive list has no line '$entry':"$'\n'"$out"
done
shot chooser-1-opened

# Refused drives: each says why, then the lists are back.
refused_drive r: "Screen Recorder can not be installed into a CD driver." chooser-2-cd-refused
refused_drive n: "Screen Recorder can not be installed into a network driver."
refused_drive a: "Screen Recorder can not be installed into a diskette driver."

# Another fixed drive: no message, its current folder.
drive "select $drives f:"
drive "expect $folders selected Projects"
drive "items $folders"
[ "$out" = $'F:\\\n  Projects\n    Alpha\n    beta\n    zeta\n' ] || fail "the folder list reads:"$'\n'"$out"
drive "expect $drives text \"f: [DATA]\""
drive "expect $free visible 1"
shot chooser-3-other-drive

# While the box asks for a name the chooser takes no clicks; Cancel makes nothing.
drive 'click "&New Folder"'
drive 'box "New Folder"'
refused 'click "&Ok"' '&Ok is in a disabled window'
drive 'type "Not made"'
drive 'press 2'
drive "expect $folders selected Projects"
[ ! -e "$data/Projects/Not made" ] || fail "Cancel made the folder"
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
must 'click "&Ok"'
must "gone \"$chooser\""
must "window \"$title\""
drive 'expect . enabled 1'
drive "expect $dest_line text \"${chosen//\\/\\\\}\""
shot chooser-4-destination-chosen

# Opened again it starts afresh on the destination; the close box gives the
# wizard back and changes nothing.
must 'click "Change Dir"'
must "window \"$chooser\""
drive "expect $drives text \"f: [DATA]\""
drive "expect $folders selected \"Recorder Target\""
drive "select $drives c:"
drive "expect $folders selected C:\\"
must close
must "gone \"$chooser\""
must "window \"$title\""
drive 'expect . enabled 1'
drive "expect $dest_line text \"${chosen//\\/\\\\}\""

# Next installs into the chosen folder.
default_destination=$destination
destination=$chosen dest_dir=$chosen_dir
install_to_finish
drive "expect $status_line text \"$completed\""
check_files "$work/product"
check_no_staging
check_registry
check_links
press_finish
stop_setup
after_setup
destination=$default_destination dest_dir=$(unix_path "$default_destination")

# A folder whose name this Windows' code page (1252 here) cannot hold: the
# chooser makes it, but the files and the registry are reached through the
# ANSI calls, so Next refuses it before anything is installed.
turkish='Kayıt Ğ'
turkish_windows="F:\\Projects\\$turkish"
cd "$data/Projects" || exit 1
start_setup "$work/VXRSetup.exe"
cd - >/dev/null || exit 1
walk_to_destination
must 'click "Change Dir"'
must "window \"$chooser\""
drive "select $drives f:"
drive "expect $folders selected Projects"
drive 'click "&New Folder"'
drive 'box "New Folder"'
drive "type \"$turkish\""
drive 'press 1'
drive "expect $folders selected \"$turkish\""
[ -d "$data/Projects/$turkish" ] || fail "the folder '$turkish' is not on disk"
must 'click "&Ok"'
must "gone \"$chooser\""
must "window \"$title\""
drive "expect $dest_line text \"$turkish_windows\""
must "click $next"
drive "expect-box Error \"$turkish_windows cannot be used: its name has characters that the language settings of this Windows do not support. Please choose another directory.\""
shot chooser-5-code-page-refused
drive 'press 1'
drive 'expect "Change Dir" visible 1'
[ -z "$(ls -A "$data/Projects/$turkish")" ] || fail "files were put into '$turkish'"
[ ! -e "$data/Projects/Kayit G" ] && [ ! -e "$data/Projects/Kay?t ?" ] || fail "a look-alike folder was made"
check_not_registered
must "click $cancel"
must 'expect-box "Screen Recorder" "Do you want to cancel the installation?"'
must 'press 6'
must "gone \"$title\""
wait_setup_end
stop_setup
trap - EXIT
after_setup
echo "screenshots in $shots"
[ "$failures" -eq 0 ]
