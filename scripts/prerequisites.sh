#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian (or Ubuntu) machine. Idempotent, and quick
# when everything is already there. Also makes sure 32-bit x86 programs can run: where the kernel
# refuses them (no IA-32 emulation), the 32-bit Wine loader is run through qemu's user-mode
# emulator, registered with binfmt_misc.
set -euo pipefail

packages=(cmake ninja-build g++ g++-mingw-w64-i686 googletest libgtest-dev libbenchmark-dev
          clang libclang-rt-14-dev python3 wine wine32:i386 wine64 xvfb xdotool imagemagick x11-utils)

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_ dpkg --add-architecture i386
  fi
  sudo_ apt-get update -qq
  # With recommends: Wine's X11 extensions and fonts shape what the tests see.
  sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Can this kernel run a 32-bit x86 program? The 32-bit Wine loader is one.
runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if runs_i386; then
  exit 0
fi

# qemu 7.2 (bookworm) ignores MAP_FIXED_NOREPLACE, which makes every Wine start take a minute;
# the backported qemu 10 does not.
qemu=/usr/bin/qemu-i386
if [ ! -x "$qemu" ] || ! "$qemu" --version | grep -qE 'version ([89]|[1-9][0-9])\.'; then
  if [ -r /etc/os-release ] && . /etc/os-release && [ "${VERSION_CODENAME:-}" = bookworm ]; then
    list=/etc/apt/sources.list.d/corvantis-backports.sources
    if ! grep -rqs "bookworm-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
      printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
        sudo_ tee "$list" >/dev/null
    fi
    sudo_ apt-get update -qq
    dpkg-query -W qemu-user-static >/dev/null 2>&1 && sudo_ apt-get remove -y -qq qemu-user-static >/dev/null || true
    sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user >/dev/null
  else
    sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user >/dev/null
  fi
fi

binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
  sudo_ mount -t binfmt_misc binfmt_misc "$binfmt"
fi
if [ -e "$binfmt/qemu-i386" ] && ! grep -qx "interpreter $qemu" "$binfmt/qemu-i386"; then
  echo -1 | sudo_ tee "$binfmt/qemu-i386" >/dev/null
fi
if [ ! -e "$binfmt/qemu-i386" ]; then
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' |
    sudo_ tee "$binfmt/register" >/dev/null
fi
runs_i386 || { echo "32-bit x86 programs still cannot run on this machine" >&2; exit 1; }
echo "32-bit x86 programs run through $qemu"
