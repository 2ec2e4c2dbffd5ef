#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs everything Qarno needs to build, test and benchmark on Debian 12.
# Idempotent: packages already present are left alone; safe to run before every build.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # the translations: lupdate/lrelease and their CMake functions
  qt6-l10n-tools qt6-tools-dev
  libgtest-dev libgmock-dev googletest
  # the content manifests' hash (XXH3-128)
  libxxhash-dev
  # archiver interoperability and fuzzing
  lhasa p7zip-full libarchive-tools jlha-utils default-jre-headless
  clang libclang-rt-14-dev
  # the archiver for Windows: MinGW-w64 cross compiler, Wine to run its tests
  g++-mingw-w64-x86-64-posix wine wine64
  # real volumes for the engine tests
  udev exfatprogs exfat-fuse ntfs-3g fuse3 util-linux
  # the benchmarks' cold-cache mode: ext4 on a loop device (mkfs.ext4; losetup, mount, taskset)
  e2fsprogs
  # benchmarks and the demo
  rsync hyperfine time
  # the Debian package and its checks: CPack's helpers (dpkg-shlibdeps, file), lintian, the
  # desktop entry and AppStream validators, systemd-analyze for the user units, man; a private
  # session bus (dbus-daemon, dbus-monitor) for the notification tests
  dpkg-dev file fakeroot lintian desktop-file-utils appstream systemd man-db dbus-daemon dbus-bin
  # the windows: Japanese fonts, Qt's own texts in Japanese, the X libraries of Qt's xcb
  # platform, and a virtual display for the screenshots
  locales fonts-noto-cjk qt6-translations-l10n qt6-qpa-plugins libxkbcommon-x11-0 libxcb-cursor0
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A UTF-8 locale so that the system's text encoding is UTF-8 as on a normal desktop.
if ! locale -a 2>/dev/null | grep -qi '^C\.utf-\?8$'; then
  echo "warning: no C.UTF-8 locale" >&2
fi
echo "install-deps: all packages present"
