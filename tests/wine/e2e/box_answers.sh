#!/usr/bin/env bash
# box_answers.sh BOX_PROBE DRIVER
# The driver reads and answers message boxes and input boxes of ours; while a
# box is up its owner takes no clicks. The probe prints what each box returned.
set -euo pipefail
probe=$1 driver=$2
out=$(mktemp)
"$VXR_WINE" "$probe" >"$out" 2>/dev/null &
probe_pid=$!
trap 'kill $probe_pid 2>/dev/null || true; rm -f "$out"' EXIT

"$VXR_WINE" "$driver" --timeout 30 - <<'SCRIPT' >"$out.driver" 2>/dev/null || true
window "Box probe"
expect-box "Screen Recorder" "Do you want to cancel the installation?"
click "Behind the box"
press 7
expect-box "ExpandFiles - Hata!" "Dosya açılamadı: VXR.chm"
press 1
box "New Folder"
type "Yeni Klasör"
press 1
box "New Folder"
press 2
SCRIPT
for _ in $(seq 1 100); do kill -0 $probe_pid 2>/dev/null || break; sleep 0.1; done

expected_driver=$'ok\nScreen Recorder\tDo you want to cancel the installation?\nok\nfail: Behind the box is in a disabled window\nok\nExpandFiles - Hata!\tDosya açılamadı: VXR.chm\nok\nok\nNew Folder\tName of the new folder:\nok\nok\nok\nNew Folder\tName of the new folder:\nok\nok'
expected_probe=$'7\n1\n[Yeni Klasör]\n[]'
status=0
if [ "$(cat "$out.driver")" != "$expected_driver" ]; then
  echo "driver: expected"; echo "$expected_driver"; echo "got"; cat "$out.driver"; status=1
fi
if [ "$(cat "$out")" != "$expected_probe" ]; then
  echo "probe: expected"; echo "$expected_probe"; echo "got"; cat "$out"; status=1
fi
rm -f "$out.driver"
exit $status
