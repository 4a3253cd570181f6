#!/usr/bin/env bash
# shell_desktop.sh SETUP_STUB DRIVER
# The setup inside Wine's shell desktop (`wine explorer /desktop=...`), where
# Program Manager's DDE answers: the driver joins that desktop to find it.
set -euo pipefail
stub=$1 driver=$2
title="Tarvo's Screen Recorder - Install"
"$VXR_WINE" explorer /desktop=vxrshell,1024x768 "$stub" >/dev/null 2>&1 &
shell_pid=$!
trap 'kill $shell_pid 2>/dev/null || true' EXIT

shell() { "$VXR_WINE" "$driver" --desktop vxrshell --timeout 30 - 2>/dev/null; }
got=$(printf '%s\n' "window \"$title\"" 'expect "Next >>" enabled 1' | shell)
# While it is up, a plain Wine process on the default desktop does not see it.
if "$VXR_WINE" "$driver" --timeout 2 window "$title" >/dev/null 2>&1; then
  echo "FAILED: the wizard showed on the default desktop" >&2
  exit 1
fi
got+=$'\n'$(printf '%s\n' "window \"$title\"" close 'box "Screen Recorder"' 'press 6' "gone \"$title\"" | shell)
expected=$'ok\nok\nok\nok\nScreen Recorder\tDo you want to cancel the installation?\nok\nok\nok'
if [ "$got" != "$expected" ]; then
  echo "FAILED: the driver in the shell desktop said:" >&2
  echo "$got" >&2
  exit 1
fi
