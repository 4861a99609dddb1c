#!/usr/bin/env bash
# Installs the Debian packages the kit needs; only missing ones are installed.
# Run as root (or with sudo). Usage: scripts/deps.sh [run|test]
#   run   what building and running the kit need (scripts/start.sh);
#   test  that, and what the tests, the package check and the benchmarks add
#         (the default).
set -euo pipefail
set_name=${1:-test}

# Building and running.
run_packages=(
  build-essential cmake ninja-build pkg-config
  libwxgtk3.2-dev libglib2.0-dev libgtk-3-dev
  libopencore-amrnb-dev libudev-dev libsqlite3-dev libtag1-dev nettle-dev
  tzdata shared-mime-info adwaita-icon-theme fonts-dejavu-core fonts-lexi-gulim librsvg2-bin
  gettext wx3.2-i18n locales fonts-nanum
  libwxgtk-webview3.2-dev libwebkit2gtk-4.0-dev
)
# What the tests add: the test framework, a virtual display with a window
# manager, the accessibility bus and its client, key and window tools, the
# oracles (sox, srecord, objcopy, ffmpeg), sanitizers, and the package and
# document checks.
test_packages=(
  git python3
  libgtest-dev libgmock-dev googletest
  libx11-dev libxtst-dev libxfixes-dev
  xvfb xauth openbox xdotool dbus at-spi2-core python3-pyatspi python3-jsonschema orca
  sox srecord binutils ffmpeg
  clang libclang-rt-dev valgrind
  dpkg-dev desktop-file-utils appstream man-db groff-base lintian
)

case "$set_name" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "deps.sh: unknown set '$set_name' (run or test)" >&2; exit 2 ;;
esac

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

# Korean: the window tests run Songdock under ko_KR.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ko_KR.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen
fi
