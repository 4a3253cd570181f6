#!/usr/bin/env bash
# drives.sh: gives the test prefix ($WINEPREFIX, with VXR_WINE set) drives of
# every kind the destination chooser tells apart, each a folder under
# $WINEPREFIX/drives:
#   a:  diskette ("floppy")      r:  CD ("cdrom")      n:  network ("network")
#   f:  another fixed disk, volume label DATA, with a folder Projects
#   s:  a small fixed disk (a 1 MB tmpfs, which needs root), for a disk that fills up
# Wine reads drive types once, when its server starts: prefix.sh runs this
# before the prefix's server is started for the tests, so no test has to
# restart it.
set -euo pipefail
drives="$WINEPREFIX/drives"
umount "$drives/small" 2>/dev/null || true
rm -rf "$drives"
mkdir -p "$drives/floppy" "$drives/cd" "$drives/net" "$drives/data/Projects" "$drives/small"
# The tests that fill it fail, saying why, when it cannot be had; the rest run.
mount -t tmpfs -o size=1m vxr-small-drive "$drives/small" ||
  echo "drives.sh: cannot mount the small drive S: (a tmpfs; needs root)" >&2
# Wine takes a directory drive's volume label from this file.
printf 'DATA\n' >"$drives/data/.windows-label"
for drive in a:floppy:floppy r:cd:cdrom n:net:network f:data:hd s:small:hd; do
  IFS=: read -r letter folder type <<<"$drive"
  ln -sfn "$drives/$folder" "$WINEPREFIX/dosdevices/$letter:"
  "$VXR_WINE" reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d "$type" /f >/dev/null 2>&1
done
