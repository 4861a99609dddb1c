#!/usr/bin/env bash
# Builds everything as a Release build, where the optimiser inlines most and
# GCC warns differently from the default build, and fails on any compiler or
# linker warning. Warnings are errors in this build folder, so a file that
# compiled once is known to be clean and reruns stay incremental. Not part of
# the test command; run it before merging.
# Usage: scripts/check-warnings.sh [build-dir]   (default: build-release)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$top/build-release"}

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$dir" "${generator[@]}" "${launcher[@]}" "${options[@]}" >/dev/null
else
  cmake "$dir" "${options[@]}" >/dev/null
fi

# Keep going past a failing file, so that one run lists every warning.
keep_going=(-k)
grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$dir/CMakeCache.txt" && keep_going=(-k 0)
log="$dir/check-warnings.log"
status=0
cmake --build "$dir" -j "$(nproc)" -- "${keep_going[@]}" >"$log" 2>&1 || status=$?

pattern='(^|[^[:alnum:]_])warning:|\[-Werror'
if grep -q -E "$pattern" "$log"; then
  echo "check-warnings: the Release build warns:" >&2
  grep -E "$pattern" "$log" | sort -u >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  tail -n 40 "$log" >&2
  echo "check-warnings: the Release build failed (log: $log)" >&2
  exit "$status"
fi
echo "check-warnings: the Release build is warning-free"
