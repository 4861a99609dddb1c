#!/usr/bin/env bash
# A transfer through the window costs what the library call costs: 100 MiB
# downloaded to and uploaded from a memory pane (progress dialog, re-listing)
# against kd5200sim put and get of the same file, in alternating rounds;
# medians of five, wall time. Target: at most 1.2 times kd5200sim.
# The same transfers with "Verify files after copying" on, each copy read
# back and compared, against unverified ones of the same rounds: at disk
# speed, and over a line of 200 MiB/s (KD5200_SPEED; faster than the
# player's USB, where the read-back weighs as much as the copy). Target: at
# most 2.2 times. The read-back cannot cost less than the copy, so the
# compare has to overlap it.
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
line() { KD5200_SPEED=$((200 << 20)) "$@"; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

puts=() downs=() gets=() ups=() vdowns=() vups=() ldowns=() lups=() lvdowns=() lvups=()
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
  rm -f "$work/up/big.bin"
  vups+=("$("${display[@]}" "$build/bench/pane_transfer/pane_transfer_bench" --verify up big.bin "$work/up")")
  cmp -s "$work/big.bin" "$work/up/big.bin" || { echo "verified upload differs" >&2; exit 1; }
  empty_player
  vdowns+=("$("${display[@]}" "$build/bench/pane_transfer/pane_transfer_bench" --verify down "$work/big.bin")")

  # Over the line: unverified and verified, each direction.
  empty_player
  ldowns+=("$(line "${display[@]}" "$build/bench/pane_transfer/pane_transfer_bench" down "$work/big.bin")")
  rm -f "$work/up/big.bin"
  lups+=("$(line "${display[@]}" "$build/bench/pane_transfer/pane_transfer_bench" up big.bin "$work/up")")
  rm -f "$work/up/big.bin"
  lvups+=("$(line "${display[@]}" "$build/bench/pane_transfer/pane_transfer_bench" --verify up big.bin "$work/up")")
  empty_player
  lvdowns+=("$(line "${display[@]}" "$build/bench/pane_transfer/pane_transfer_bench" --verify down "$work/big.bin")")
done
put=$(median "${puts[@]}") down=$(median "${downs[@]}")
get=$(median "${gets[@]}") up=$(median "${ups[@]}")
vdown=$(median "${vdowns[@]}") vup=$(median "${vups[@]}")
ldown=$(median "${ldowns[@]}") lup=$(median "${lups[@]}")
lvdown=$(median "${lvdowns[@]}") lvup=$(median "${lvups[@]}")
status=0
report() { # name measured peer-name peer target
  local ratio
  ratio=$(awk -v a="$2" -v b="$4" 'BEGIN { printf "%.2f", a / b }')
  printf '%-28s %9.1f ms  %-10s %9.1f ms  ratio %s (target <= %s)\n' "$1" "$2" "$3" "$4" \
    "$ratio" "$5"
  awk -v r="$ratio" -v t="$5" 'BEGIN { exit !(r <= t) }' || status=1
}
report "download through the pane" "$down" kd5200sim "$put" 1.2
report "upload through the pane" "$up" kd5200sim "$get" 1.2
report "verified download, line" "$lvdown" unverified "$ldown" 2.2
report "verified upload, line" "$lvup" unverified "$lup" 2.2
report "verified download, disk" "$vdown" unverified "$down" 2.2
report "verified upload, disk" "$vup" unverified "$up" 2.2
[ "$status" -eq 0 ] || echo "missed a target" >&2
exit $status
