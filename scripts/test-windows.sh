#!/usr/bin/env bash
# Builds the kit's Windows programs and runs their tests under Wine, on a
# fresh Wine prefix, beside the Linux build. Usage: scripts/test-windows.sh
# [extra ctest arguments]
# The shipped programs are 32-bit. Where this machine cannot start 32-bit
# Linux programs (a kernel without 32-bit support), Wine cannot run them
# either: the tests then run a 64-bit build of the same sources under wine64,
# and say so.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
start=$SECONDS

"$top/scripts/windows.sh" deps
"$top/scripts/build.sh" "$top/build" >/dev/null
# Songdock and its installer are built, and tested, in the width Wine runs
# here. Where that is 64-bit, the shipped 32-bit console programs and their
# zip are built as well, without Songdock: a second wxWidgets build would
# cost the suite half an hour on a fresh machine.
export SONGDOCK_WINDOWS_GUI=1
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  bits=32 build="$top/build-windows"
else
  echo "This machine cannot run 32-bit programs: the Wine tests run the 64-bit build."
  bits=64 build="$top/build-windows64"
  SONGDOCK_WINDOWS_GUI=0 "$top/scripts/windows.sh" build
  SONGDOCK_WINDOWS_GUI=0 "$top/scripts/windows.sh" zip
  echo "Windows build (32-bit console programs) and zip: $((SECONDS - start)) s"
fi
SONGDOCK_WINDOWS_BITS=$bits "$top/scripts/windows.sh" build
SONGDOCK_WINDOWS_BITS=$bits "$top/scripts/windows.sh" zip
SONGDOCK_WINDOWS_BITS=$bits QUICK=1 "$top/scripts/windows.sh" setup
echo "Builds done: $((SECONDS - start)) s"

# A fresh prefix for this run, removed afterwards with its server.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/songdock-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
prefix_start=$SECONDS
"$top/scripts/wine-run.sh" "$(find "$build/bin" -name '*.exe' | head -n1)" /? >/dev/null 2>&1 || true
echo "Fresh Wine prefix: $((SECONDS - prefix_start)) s"

cd "$build"
ctest --output-on-failure --no-tests=error -L wine "$@"
echo "Windows part: $((SECONDS - start)) s"
