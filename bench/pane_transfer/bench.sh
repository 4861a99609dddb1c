#!/usr/bin/env bash
# A transfer through the window costs what the library call costs: 100 MiB
# downloaded to and uploaded from a memory pane (progress dialog, re-listing)
# against kd5200sim put and get of the same file, in alternating rounds;
# medians of five, wall time. Target: at most 1.2 times kd5200sim.
# Usage: bench/pane_transfer/bench.sh BUILD-DIR
set -euo pipefail
build=$(cd "${1:?usage: bench.sh BUILD-DIR}" && pwd)
bin=$build/bin
cmake --build "$build" --target kd5200usb kd5200sim pane_transfer_bench >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/pane-transfer-XXXXXX")
trap 'rm -rf "$work"' EXIT
export KD5200_PLAYER_DIR=$work/player XDG_CONFIG_HOME=$work/config
export KD5200USB_LIBRARY=$bin/libkd5200usb.so
unset KD5200_SPEED
display=()
[ -n "${DISPLAY:-}" ] || display=(xvfb-run -a -s "-screen 0 1024x900x24")

head -c 100M /dev/urandom >"$work/big.bin"
empty_player() {
  "$bin/kd5200sim" create --internal 512M --external none >/dev/null
  "$bin/kd5200sim" plug
}
ms_of() { # wall time of a command in milliseconds
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e6 }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

puts=() downs=() gets=() ups=()
for round in 1 2 3 4 5; do
  empty_player
  puts+=("$(ms_of "$bin/kd5200sim" put internal "$work/big.bin")")
  empty_player
  downs+=("$("${display[@]}" "$build/bench/pane_transfer/pane_transfer_bench" down "$work/big.bin")")
  rm -f "$work/got.bin" "$work/big.bin.up"
  gets+=("$(ms_of "$bin/kd5200sim" get internal 0 "$work/got.bin")")
  mkdir -p "$work/up" && rm -f "$work/up/big.bin"
  ups+=("$("${display[@]}" "$build/bench/pane_transfer/pane_transfer_bench" up big.bin "$work/up")")
  cmp -s "$work/big.bin" "$work/up/big.bin" || { echo "upload through the pane differs" >&2; exit 1; }
done
put=$(median "${puts[@]}") down=$(median "${downs[@]}")
get=$(median "${gets[@]}") up=$(median "${ups[@]}")
status=0
report() { # name pane peer
  local ratio
  ratio=$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.2f", a / b }')
  printf '%-28s %9.1f ms  kd5200sim %9.1f ms  ratio %s (target <= 1.2)\n' "$1" "$2" "$3" "$ratio"
  awk -v r="$ratio" 'BEGIN { exit !(r <= 1.2) }' || status=1
}
report "download through the pane" "$down" "$put"
report "upload through the pane" "$up" "$get"
[ "$status" -eq 0 ] || echo "missed a target" >&2
exit $status
