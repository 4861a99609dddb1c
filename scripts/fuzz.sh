#!/usr/bin/env bash
# Builds the fuzz targets with clang (build-fuzz/) and runs each for a short
# while. Usage: scripts/fuzz.sh [extra ctest arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
CC=clang CXX=clang++ "$top/scripts/build.sh" "$top/build-fuzz" -DSONGDOCK_FUZZ=ON -DSONGDOCK_BENCH=OFF
cd "$top/build-fuzz"
ctest --output-on-failure -L fuzz "$@"
