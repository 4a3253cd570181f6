# driver_lib.sh: sourced by the scripts that work a program's windows through
# the UI driver, run beside them as the coprocess DRIVER in script mode.
# shellcheck shell=bash

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# attempt COMMAND...: one driver command that may fail without it being a
# fault: its status; its output, or the driver's "fail: REASON", goes to $out.
# A driver that stops ends the script.
attempt() {
  local line
  out=""
  printf '%s\n' "$*" >&"${DRIVER[1]}"
  while IFS= read -r line <&"${DRIVER[0]}"; do
    case $line in
    ok) return 0 ;;
    fail:*) out=$line; return 1 ;;
    *) out+="$line"$'\n' ;;
    esac
  done
  fail "$* -> the driver stopped"
  exit 1
}
# drive COMMAND...: one driver command; a failure is counted and returned.
drive() { attempt "$@" || { fail "$* -> $out"; return 1; }; }
# A driver command that must work for anything after it to make sense.
must() { drive "$@" || exit 1; }
# refused COMMAND REASON: the driver must refuse COMMAND, saying "fail: REASON"
# (a lost window or a wrong id is a failure of its own, not a refusal).
refused() { if attempt "$1" || [ "$out" != "fail: $2" ]; then fail "$1: expected the refusal 'fail: $2', got '$out'"; fi; }
# expect_box TITLE TEXT: the next box, its text on one line (line breaks as blanks).
expect_box() {
  drive "box \"$1\"" || return 1
  [ "$out" = "$1"$'\t'"$2"$'\n' ] || { fail "box: expected '$1: $2', got '${out%$'\n'}'"; return 1; }
}
# Closes the driver's input, which ends it. (A bare `exec {fd}>&- 2>/dev/null`
# would keep the script's stderr closed for good.)
end_driver() { { exec {DRIVER[1]}>&-; } 2>/dev/null || true; }
