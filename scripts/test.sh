#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite under a
# virtual X display. Usage: scripts/test.sh [--sanitize] [extra ctest arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh" test

dir="$top/build"
opts=()
if [ "${1:-}" = "--sanitize" ]; then
  shift
  dir="$top/build-asan"
  opts=(-DSONGDOCK_SANITIZE=ON -DSONGDOCK_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
"$top/scripts/build.sh" "$dir" "${opts[@]}"

cd "$dir"
# Fuzz runs take long; they have their own label (ctest -L fuzz). The window
# tests run under a window manager, as on a person's desktop; the server never
# starts over (-noreset), which would drop a window connecting meanwhile.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$top/scripts/with-wm.sh" \
  ctest --output-on-failure --no-tests=error -j "$(nproc)" -LE fuzz "$@"

# The Windows programs under Wine, after the Linux suite
# (SONGDOCK_WINDOWS_TESTS=0 leaves them out).
if [ "${SONGDOCK_WINDOWS_TESTS:-1}" = 1 ]; then
  "$top/scripts/test-windows.sh"
fi
