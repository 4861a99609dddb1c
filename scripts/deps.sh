#!/usr/bin/env bash
# Installs the Debian packages the kit needs to build, test and benchmark.
# Only packages that are missing are installed; run as root (or with sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git python3
  libwxgtk3.2-dev libglib2.0-dev libgtk-3-dev
  libopencore-amrnb-dev libudev-dev libsqlite3-dev libtag1-dev
  libgtest-dev libgmock-dev googletest
  xvfb xauth openbox xdotool dbus at-spi2-core python3-pyatspi orca tzdata shared-mime-info adwaita-icon-theme fonts-dejavu-core fonts-lexi-gulim
  sox srecord binutils ffmpeg
  clang libclang-rt-dev valgrind
  dpkg-dev librsvg2-bin desktop-file-utils appstream man-db groff-base lintian
  fonts-lexi-gulim
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
