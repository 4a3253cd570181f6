#!/usr/bin/env bash
# packages.sh HOST_BUILD WIN32_BUILD VERSION STUB_PRODUCT_VERSION STUB_VERSION
# vxrpack as makers get it: installed from the host build by `cmake --install`,
# unpacked from its Debian package, and the Windows zip of this build under
# Wine, where it packs the stub as it ships. Each finds the stub installed
# with it, without --stub.
set -euo pipefail
host=$1 win=$2 version=$3 product_version=$4 stub_version=$5
stub=$win/setup-stub.exe
[ -x "$host/vxrpack" ] || { echo "no host build at $host: cmake --preset host && cmake --build --preset host" >&2; exit 1; }
# Real paths: vxrpack reports the ones it derives from its own.
work=$(realpath "$(mktemp -d)")
zipdir="$WINEPREFIX/drive_c/vxr-zip"
trap 'rm -rf "$work" "$zipdir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
run() { set +e; out=$("$@" 2>&1); rc=$?; set -e; }

# cmake --install: the tool, the stub as built, and a manual page with every line of --help.
cmake --install "$host" --prefix "$work/prefix" >/dev/null
vxrpack=$work/prefix/bin/vxrpack
cmp "$stub" "$work/prefix/share/vxr-setup/setup-stub.exe"
page=$(LC_ALL=C MANWIDTH=200 man -l -P cat "$work/prefix/share/man/man1/vxrpack.1")
while IFS= read -r line; do
  [[ $line =~ ^[a-z].*:$ || -z $line ]] && continue  # headings become sections
  grep -qF -- "${line#"${line%%[! ]*}"}" <<<"$page" || fail "the manual page lacks '$line'"
done < <("$vxrpack" --help | sed -n '/^[a-z][a-z ]*:$/,$p')

# Without --stub, the installed stub: the same package as with it.
"$vxrpack" demo "$work/product"
"$vxrpack" build -q --product "$work/product" --output "$work/found.exe"
"$vxrpack" build -q --stub "$stub" --product "$work/product" --output "$work/given.exe"
cmp "$work/found.exe" "$work/given.exe"
run "$vxrpack" --version
expected="vxrpack $version
setup stub $product_version ($stub_version): $work/prefix/share/vxr-setup/setup-stub.exe"
[ "$rc" -eq 0 ] && [ "$out" = "$expected" ] || fail "--version exited with $rc, printed: $out"
# Alone, it says where it looked.
mkdir "$work/alone"
cp "$vxrpack" "$work/alone/"
run "$work/alone/vxrpack" build --demo --output "$work/alone.exe"
[ "$rc" -eq 1 ] && grep -qF "looked at $work/share/vxr-setup/setup-stub.exe, $work/alone/setup-stub.exe" <<<"$out" ||
  fail "vxrpack without a stub exited with $rc: $out"

# The Debian package: its files, lintian's verdict, and its vxrpack unpacked.
cpack --config "$host/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$work/deb/vxr-setup-tools_${version}_amd64.deb
files=$(dpkg-deb -c "$deb" | awk '/^-/ { print $1, $2, $6 }')
expected="-rwxr-xr-x root/root ./usr/bin/vxrpack
-rw-r--r-- root/root ./usr/share/doc/vxr-setup-tools/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/vxr-setup-tools/copyright
-rw-r--r-- root/root ./usr/share/man/man1/vxrpack.1.gz
-rw-r--r-- root/root ./usr/share/vxr-setup/setup-stub.exe"
[ "$files" = "$expected" ] || fail "the package holds: $files"
dpkg-deb -f "$deb" Depends | grep -q 'libc6 (>= ' || fail "no computed Depends"
lintian --fail-on error "$deb" 2>/dev/null
dpkg-deb -x "$deb" "$work/root"
run "$work/root/usr/bin/vxrpack" --version
[[ $rc -eq 0 && $out == *": $work/root/usr/share/vxr-setup/setup-stub.exe" ]] || fail "unpacked: $out"

# The zip: a folder with vxrpack.exe, the stub beside it and the walk-through.
cpack --config "$win/CPackConfig.cmake" -B "$work/zip" >/dev/null
folder=vxr-setup-tools-$version-win32
mkdir -p "$zipdir"
(cd "$zipdir" && cmake -E tar xf "$work/zip/$folder.zip")
names=$(cd "$zipdir" && find . -type f | sort | tr '\n' ' ')
[ "$names" = "./$folder/PACKING.txt ./$folder/setup-stub.exe ./$folder/vxrpack.exe " ] || fail "the zip holds: $names"
cmp "$stub" "$zipdir/$folder/setup-stub.exe"
"$VXR_WINE" "$zipdir/$folder/vxrpack.exe" build -q --demo --output 'C:\vxr-zip\VXRSetup.exe'
listing=$("$VXR_WINE" "$zipdir/$folder/vxrpack.exe" list 'C:\vxr-zip\VXRSetup.exe' | tr -d '\r')
echo "$listing"
oks=$(grep -c '  ok$' <<<"$listing" || true)
[ "$oks" -eq 8 ] || fail "$oks of the 8 pieces check out"
