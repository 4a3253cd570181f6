#!/usr/bin/env bash
# Makes (start) or ends (stop) the Wine prefix and Xvfb display of one test run.
#   prefix.sh start STATE_DIR win32|win64 [PROBE.exe]
#   prefix.sh stop STATE_DIR
# With PROBE.exe (a program of the build under test that ends at once when
# given "timeout 1"), start fails unless that program runs in the new prefix:
# a 64-bit prefix runs 32-bit programs only where the kernel or an emulator
# runs i386 code.
# STATE_DIR/env is sourced by run-in-wine.sh. Only this run's own prefix and
# display are ever ended.
set -euo pipefail
cmd=$1 state=$2

stop() {
  [ -f "$state/env" ] || return 0
  # shellcheck disable=SC1091
  . "$state/env"
  WINEPREFIX="$WINEPREFIX" "$VXR_WINESERVER" -k 2>/dev/null || true
  WINEPREFIX="$WINEPREFIX" "$VXR_WINESERVER" -w 2>/dev/null || true
  if [ -n "${VXR_XVFB_PID:-}" ]; then kill "$VXR_XVFB_PID" 2>/dev/null || true; fi
  rm -f "$state/env"
  umount "$WINEPREFIX/drives/small" 2>/dev/null || true
  [ -n "${VXR_KEEP_PREFIX:-}" ] || rm -rf "$WINEPREFIX"
}

case "$cmd" in
stop) stop; exit 0 ;;
start) ;;
*) echo "usage: prefix.sh start|stop STATE_DIR [win32|win64]" >&2; exit 2 ;;
esac

arch=${3:-win64}
stop
mkdir -p "$state"
prefix="$state/prefix-$arch"
umount "$prefix/drives/small" 2>/dev/null || true  # left by a run that was killed
rm -rf "$prefix"
if [ "$arch" = win64 ]; then
  loader=/usr/lib/wine/wine64 server=/usr/lib/wine/wineserver64
else
  loader=/usr/lib/wine/wine server=/usr/lib/wine/wineserver32
fi
[ -x "$server" ] || server=/usr/lib/wine/wineserver

if [ -n "${VXR_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
  # On the screen a person is looking at.
  display=$DISPLAY xvfb_pid=""
else
  # A display of our own: Xvfb picks a free number and tells it through fd 3.
  fdfile="$state/xvfb.display"
  rm -f "$fdfile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; kill $xvfb_pid 2>/dev/null; exit 1; }
  display=":$(tr -d '\n' <"$fdfile")"
fi

cat >"$state/env" <<ENV
export WINEPREFIX='$prefix'
export WINEARCH='$arch'
export WINEDEBUG=-all
export DISPLAY='$display'
export LANG=C.UTF-8
export VXR_WINE='$loader'
export VXR_WINESERVER='$server'
export VXR_XVFB_PID='$xvfb_pid'
ENV
. "$state/env"
# No Gecko or Mono installers and no winemenubuilder: nothing should reach out or linger.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
echo "export WINEDLLOVERRIDES='$WINEDLLOVERRIDES'" >>"$state/env"
# The server can only start once wineboot has made the prefix's folder.
"$VXR_WINE" wineboot -i >/dev/null 2>&1
# Debian's Wine does not load the fonts of its own data folder (fonts-wine), so
# Marlett (the glyphs of the caption buttons: without it the close box reads
# "r") and Tahoma (the dialog font) are missing. Windows keeps them in its Fonts
# folder; so does the prefix. The bitmap fonts stay out: Wine scales them
# poorly to the backdrop's large sizes, where Windows has them in the size.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" ||
  echo "prefix.sh: Wine's fonts are missing (Debian package fonts-wine)" >&2
# There is no window manager on the display: Wine draws the window frames
# itself, so that screenshots show captions and close boxes as a person sees them.
"$VXR_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
# Drives of every kind for the destination chooser's tests; they take effect
# when the server starts again below.
"$(dirname "$0")/drives.sh"
"$VXR_WINESERVER" -w || true
# Daemons must not hold this script's output open: ctest waits for it to close.
"$VXR_WINESERVER" -p >/dev/null 2>&1
if [ -n "${4:-}" ] && ! "$VXR_WINE" "$4" timeout 1 >/dev/null 2>&1; then
  echo "Wine cannot run $(basename "$4") in a $arch prefix on this machine" >&2
  [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1 &&
    echo "Wine's i386 loader does not start: this kernel runs no 32-bit code (scripts/install-deps.sh sets up qemu-user for it)" >&2
  stop
  exit 1
fi
echo "prefix $prefix ready on display $display"
