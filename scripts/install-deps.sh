#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (run as root), and
# makes Wine's 32-bit side run where the kernel runs no 32-bit code (see
# i386_emulation below). Does nothing when all of it is there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev clang libclang-rt-14-dev clang-format
  mingw-w64 wine wine64 wine32:i386 fonts-wine xvfb xauth imagemagick
  mscompress libmspack-dev osslsigncode openssl liblnk-utils dpkg-dev lintian
)

sudo_=""
[ "$(id -u)" -eq 0 ] || sudo_=sudo
apt_install() { DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "$@"; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  # wine32 comes from the i386 architecture.
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo_ dpkg --add-architecture i386
  $sudo_ apt-get update -qq
  apt_install "${missing[@]}"
fi

# Some machines' kernels have IA-32 emulation switched off: Wine's i386 loader
# then fails with "Exec format error", and the shipped 32-bit setup cannot run.
# There, i386 programs run under qemu-user through binfmt_misc. Debian 12's own
# qemu-user (7.2) is far too slow for Wine (it ignores MAP_FIXED_NOREPLACE, so
# every Wine process spends most of a minute reserving its address space);
# qemu-user 10 from bookworm-backports is fast. This changes the machine: it
# adds the backports suite to apt's sources (from the mirror they already name)
# and registers qemu-i386 for i386 ELF programs system-wide. An existing
# registration is left alone.
i386_emulation() {
  /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0

  local binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || $sudo_ mount -t binfmt_misc binfmt_misc "$binfmt"

  if ! [ -x /usr/bin/qemu-i386 ] || ! /usr/bin/qemu-i386 --version | grep -Eq 'version ([1-9][0-9]|[89])\.'; then
    local sources=/etc/apt/sources.list.d/vxr-backports.sources
    if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
      local mirror
      mirror=$(grep -hoE '^URIs:[[:space:]]*[^[:space:]]+/debian/?$' /etc/apt/sources.list.d/*.sources 2>/dev/null |
        head -n 1 | awk '{print $2}')
      [ -n "$mirror" ] || mirror=$(grep -hoE '^deb[[:space:]]+[^[:space:]]+/debian/?[[:space:]]' /etc/apt/sources.list 2>/dev/null |
        head -n 1 | awk '{print $2}')
      if [ -z "$mirror" ]; then
        echo "install-deps: no Debian mirror found in apt's sources for bookworm-backports" >&2
        return 1
      fi
      printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$mirror" | $sudo_ tee "$sources" >/dev/null
    fi
    $sudo_ apt-get update -qq
    apt_install -t bookworm-backports qemu-user
  fi

  if ! grep -lqs 'magic 7f454c4601010100000000000000000002000300' "$binfmt"/*; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' |
      $sudo_ tee "$binfmt/register" >/dev/null
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Whoever needs the 32-bit route (the tests, the main job) checks for it with
# scripts/wine-arch.sh and says what it does without it.
i386_emulation || echo "install-deps: Wine cannot run 32-bit programs on this machine" >&2
