# driver_lib.sh: sourced by the scripts that work a program's windows through
# the UI driver, run beside them as the coprocess DRIVER in script mode.
# shellcheck shell=bash

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# drive COMMAND...: one driver command; its output goes to $out. A failure is
# counted and returned; a driver that stops ends the script.
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
  fail "$* -> the driver stopped"
  exit 1
}
# A driver command that must work for anything after it to make sense.
must() { drive "$@" || exit 1; }
# A driver command that may fail without it being a fault: its status only.
attempt() {
  local line
  printf '%s\n' "$*" >&"${DRIVER[1]}"
  while IFS= read -r line <&"${DRIVER[0]}"; do
    case $line in
    ok) return 0 ;;
    fail:*) return 1 ;;
    esac
  done
  fail "$* -> the driver stopped"
  exit 1
}
# expect_box TITLE TEXT: the next box, its text on one line (line breaks as blanks).
expect_box() {
  drive "box \"$1\"" || return 1
  [ "$out" = "$1"$'\t'"$2"$'\n' ] || { fail "box: expected '$1: $2', got '${out%$'\n'}'"; return 1; }
}
# Closes the driver's input, which ends it. (A bare `exec {fd}>&- 2>/dev/null`
# would keep the script's stderr closed for good.)
end_driver() { { exec {DRIVER[1]}>&-; } 2>/dev/null || true; }
