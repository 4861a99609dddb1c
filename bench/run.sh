#!/usr/bin/env bash
# Runs every benchmark against its peers. Usage: bench/run.sh [build-dir]
# Each bench/<topic>/bench.sh gets the build folder as its first argument.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
status=0
for script in "$top"/bench/*/bench.sh; do
  [ -f "$script" ] || continue
  echo "== $(basename "$(dirname "$script")")"
  bash "$script" "$build" || status=1
done
exit $status
