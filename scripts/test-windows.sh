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
# cost the suite ten minutes more on a fresh machine.
export SONGDOCK_WINDOWS_GUI=1
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  bits=32 build="$top/build-windows"
else
  echo "This machine cannot run 32-bit programs: the Wine tests run the 64-bit build."
  bits=64 build="$top/build-windows64"
  # Built beside the 64-bit one: much of a library's build (its configure,
  # SQLite's one large file, linking) keeps one core busy, and the other
  # build fills the second.
  console_log=$(mktemp "${TMPDIR:-/tmp}/songdock-console-build.XXXXXX")
  # In a process group of its own, so that it stops whole if this script ends early.
  SONGDOCK_WINDOWS_GUI=0 setsid bash -c '"$1" build && "$1" zip' console-build \
    "$top/scripts/windows.sh" >"$console_log" 2>&1 &
  console_build=$!
  trap 'kill -- "-$console_build" 2>/dev/null || true' EXIT
fi
SONGDOCK_WINDOWS_BITS=$bits "$top/scripts/windows.sh" build
SONGDOCK_WINDOWS_BITS=$bits "$top/scripts/windows.sh" zip
SONGDOCK_WINDOWS_BITS=$bits QUICK=1 "$top/scripts/windows.sh" setup
if [ -n "${console_build:-}" ]; then
  console_status=0
  wait "$console_build" || console_status=$?
  grep -vE '^\[[0-9]+/[0-9]+\] ' "$console_log" | sed 's/^/32-bit: /'
  rm -f "$console_log"
  if [ "$console_status" != 0 ]; then
    echo "The 32-bit console programs failed to build (status $console_status)." >&2
    exit 1
  fi
fi
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
