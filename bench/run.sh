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
# The memory pane again with Korean names, decoded from the player's CP949.
echo "== player_pane (korean)"
bash "$top/bench/player_pane/bench.sh" "$build" korean || status=1
exit $status
