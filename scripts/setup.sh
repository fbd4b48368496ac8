#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package the project needs. Idempotent and quiet;
# waits for the package lock when another apt process holds it.
set -euo pipefail

PKGS=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev googletest
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-image-formats-plugins
  libgl-dev
  fonts-wqy-microhei fonts-noto-color-emoji fonts-hanazono fontconfig
  libudev-dev libasound2-dev libsystemd-dev
  xvfb xauth trayer
  gammu ppp
  socat ccache
  qemu-system-x86 linux-image-amd64 busybox-static
  modemmanager polkitd udev
  python3
  python3-dbusmock
  lintian dbus dunst libnotify-bin x11-apps netpbm
  appstream
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
APT_OPTS=(-o DPkg::Lock::Timeout=600 -qq -y --no-install-recommends)
echo "setup: installing ${missing[*]}" >&2
$SUDO apt-get "${APT_OPTS[@]:0:2}" -qq update >/dev/null
$SUDO apt-get "${APT_OPTS[@]}" install "${missing[@]}" >/dev/null
