#!/usr/bin/env bash
# `cmake --install` puts every file in its place, and the installed programs
# find the device library without help from the environment.
# Usage: install_tree.sh BUILD-DIR LIBDIR WITH_SONGDOCK WITH_CHM LIBRARY-PROBE
set -euo pipefail
build=$1
LIBDIR=$2 WITH_SONGDOCK=$3 WITH_CHM=$4
probe=$5
source "$(dirname "$0")/expected_files.sh"

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
while read -r file; do
  if [ ! -e "$prefix/$file" ]; then
    echo "missing: $file" >&2
    status=1
  fi
done < <(expected_files)
if [ "$WITH_SONGDOCK" != ON ] && [ -e "$prefix/share/applications" ]; then
  echo "a launcher entry is installed without Songdock" >&2
  status=1
fi

unset LD_LIBRARY_PATH KD5200USB_LIBRARY
export KD5200_PLAYER_DIR=$prefix/player
# kdrom is linked against the library and finds it through its run path.
if ! "$prefix/bin/kdrom" /? | grep -q '^Usage:'; then
  echo "the installed kdrom does not start" >&2
  status=1
fi
"$prefix/bin/kd5200sim" create --demo >/dev/null
"$prefix/bin/kd5200sim" plug
# The library search of the window program, from an installed bin/ folder.
cp "$probe" "$prefix/bin/library-probe"
want=$(cd "$prefix/$LIBDIR" && pwd -P)/libkd5200usb.so
have=$("$prefix/bin/library-probe")
if [ "$have" != "$want" ]; then
  echo "the installed programs load the device library from '$have', not '$want'" >&2
  status=1
fi
exit $status
