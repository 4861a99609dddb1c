#!/usr/bin/env bash
# Builds the fuzz targets with clang (build-fuzz/) and runs each in turn.
# Usage: scripts/fuzz.sh [SECONDS] [extra ctest arguments]
#   SECONDS: how long each target runs (default: each target's short run).
# The targets' temporary files go to a private folder removed at the end,
# also when a run crashes or is interrupted.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=
if [[ ${1:-} =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
"$top/scripts/deps.sh" test
build=$top/build-fuzz
CC=clang CXX=clang++ "$top/scripts/build.sh" "$build" -DSONGDOCK_FUZZ=ON -DSONGDOCK_BENCH=OFF \
  "-DSONGDOCK_FUZZ_SECONDS=$seconds"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/songdock-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch
cd "$build"
ctest --output-on-failure -L fuzz "$@"
