#!/usr/bin/env bash
# Configures and builds the kit. Usage: scripts/build.sh [build-dir] [cmake options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$top/build"}
shift || true
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
# A compiler cache, when one is installed, makes rebuilds in other checkouts cheap.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$dir" "${generator[@]}" "${launcher[@]}" "$@"
else
  cmake "$dir" "$@" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
