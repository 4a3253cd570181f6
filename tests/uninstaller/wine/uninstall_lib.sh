# Shared by the uninstaller's Wine tests (sourced): the UI driver as a
# coprocess, the uninstall entry run as Windows runs it, and snapshots of the
# prefix's registry and files compared apart from Wine's own churn.
# Needs: driver (the driver's path), work (a scratch folder), the prefix's environment.

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# ---- The UI driver -----------------------------------------------------------------
start_driver() {
  coproc DRIVER { "$VXR_WINE" "$driver" --timeout 60 - 2>/dev/null; }
  driver_pid=$DRIVER_PID
}
stop_driver() {
  exec {DRIVER[1]}>&- 2>/dev/null || true
  wait "$driver_pid" 2>/dev/null || true
}
# drive COMMAND...: one driver command; its output lines go to $out. A
# failure is counted and returned; a driver that stopped ends the test.
drive() {
  local line
  out=""
  printf '%s\n' "$*" >&"${DRIVER[1]}"
  while IFS= read -r line <&"${DRIVER[0]}"; do
    case $line in
    ok) return 0 ;;
    fail:*) fail "$* -> $line"; return 1 ;;
    *) out+="$line"$'\n' ;;
    esac
  done
  echo "FAILED: $* -> the driver stopped" >&2
  exit 1
}
box_title="Tarvo's Screen Recorder - Uninstall"
# answer_box TEXT-START BUTTON: waits for the uninstaller's box, checks that its
# text (line breaks shown as blanks) starts so, and presses the button.
answer_box() {
  drive "box \"$box_title\"" || return 1
  local text=${out#*$'\t'}
  text=${text%$'\n'}
  case $text in
  "$1"*) ;;
  *) fail "box: expected a text starting '$1', got '$text'" ;;
  esac
  last_box=$text
  drive "press $2"
}

# ---- The uninstall entry ------------------------------------------------------------
# Wine's list of programs starts the entry's "UninstallString" as Windows
# does (CreateProcess with the stored command line) and waits for it.
start_uninstall() {
  "$VXR_WINE" uninstaller --remove ScreenRecorder >"$work/uninstaller.log" 2>&1 &
  uninstall_pid=$!
}
# The uninstaller hands over to its copy in the temporary folder and ends at
# once; the copy's file is gone when the copy has ended.
finish_uninstall() {
  local rc=0
  wait "$uninstall_pid" || rc=$?
  [ "$rc" -eq 0 ] || fail "Wine's uninstaller ended with $rc: $(cat "$work/uninstaller.log")"
  local temp
  temp=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -type d \( -path '*/AppData/Local/Temp' -o -path '*/users/*/Temp' \) | head -n 1)
  for _ in $(seq 1 300); do
    compgen -G "$temp/vxu*.tmp" >/dev/null || return 0
    sleep 0.2
  done
  fail "the uninstaller's temporary copy is still there: $(ls "$temp")"
}

# ---- Snapshots ----------------------------------------------------------------------
# Wine registers its display devices the first time a program looks at the
# desktop: that happens here, before the first snapshot, rather than between two.
warm_up() {
  drive 'gone "no window has this title"' || fail "the driver cannot see the desktop"
}

# Wine's own churn, left out of every comparison: keys Wine writes for its own
# bookkeeping whenever programs run, whatever the programs are.
#  - a display device key for each desktop or window station Wine makes, in
#    the current hardware profile too;
#  - the Explorer view settings its shell window (Program Manager's group
#    window) writes;
#  - the system parameters Wine keeps for the session only.
churn_keys=(
  'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Video\{'
  'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\System\CurrentControlSet\Control\Video\{'
  'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced'
  'HKEY_CURRENT_USER\Software\Wine\Temporary System Parameters'
)

# snapshot NAME: the whole registry (regedit's export, as text) and every
# file and folder under drive C:, into $work/NAME.reg and $work/NAME.files.
snapshot() {
  local reg="$work/$1.export"
  rm -f "$reg"
  "$VXR_WINE" regedit /E "Z:${reg//\//\\}" || fail "regedit /E ended with $?"
  [ -s "$reg" ] || { fail "regedit exported nothing"; return 1; }
  iconv -f UTF-16 -t UTF-8 "$reg" | tr -d '\r' | sed 's/^\[HKEY_USERS\\S-1-5-21-[0-9-]*/[HKEY_CURRENT_USER/' |
    awk -v churn="$(printf '%s\n' "${churn_keys[@]}")" '
      BEGIN { n = split(churn, prefixes, "\n") }
      /^\[/ { skip = 0; for (i = 1; i <= n; i++) if (index($0, "[" prefixes[i]) == 1) skip = 1 }
      !skip && NF { print }' >"$work/$1.reg"
  rm -f "$reg"
  (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -printf '%y %P\n' | LC_ALL=C sort) >"$work/$1.files"
}

# same_state A B [WHAT]: fails with the differences unless the two snapshots agree.
same_state() {
  local kind
  for kind in reg files; do
    if ! diff -u "$work/$1.$kind" "$work/$2.$kind" >"$work/diff" 2>&1; then
      fail "${3:-$2}: the $kind differ from $1:"
      head -n 60 "$work/diff" >&2
    fi
  done
}
