#!/usr/bin/env bash
# A transfer through the window costs what the library call costs: 100 MiB
# downloaded to and uploaded from a memory pane (progress dialog, re-listing)
# against kd5200sim put and get of the same file. Target: at most 1.2 times
# kd5200sim.
# The same transfers with "Verify files after copying" on, each copy read
# back and compared, against unverified ones of the same rounds: at disk
# speed, and over a line of 200 MiB/s (KD5200_SPEED; faster than the
# player's USB, where the read-back weighs as much as the copy). Target: at
# most 2.2 times. The read-back cannot cost less than the copy, so the
# compare has to overlap it.
# All contenders run once per round, each round starting with the next one,
# so that all of them meet the same load; seven rounds, medians. Over the
# line the wall time decides (the person waits for the line). At disk speed
# the CPU time the transfer took decides, as in ../timing.sh: the work is on
# cached files, so its CPU time is its cost, while its wall time also counts
# the time it waited for a core on a shared machine; both ratios are shown.
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
[ -n "${DISPLAY:-}" ] || display=(xvfb-run -a -s "-screen 0 1024x900x24 -noreset")
rounds=${PANE_TRANSFER_ROUNDS:-7}

head -c 100M /dev/urandom >"$work/big.bin"
mkdir -p "$work/up"
empty_player() {
  "$bin/kd5200sim" create --internal 512M --external none >/dev/null
  "$bin/kd5200sim" plug >/dev/null
}
player_with_file() {
  empty_player
  "$bin/kd5200sim" put internal "$work/big.bin" >/dev/null
  rm -f "$work/up/big.bin" "$work/got.bin"
}
ms_of() { # wall time of a command in milliseconds (no CPU time: "-")
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f -", (b - a) / 1e6 }'
}
pane() { "${display[@]}" "$build/bench/pane_transfer/pane_transfer_bench" "$@"; }
line() { KD5200_SPEED=$((200 << 20)) "$@"; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
same_as_sent() {
  cmp -s "$work/big.bin" "$work/up/big.bin" || { echo "$1 differs" >&2; exit 1; }
}

# Each contender prepares the player untimed and prints its wall and CPU
# times in ms.
put() { empty_player; ms_of "$bin/kd5200sim" put internal "$work/big.bin"; }
get() { player_with_file; ms_of "$bin/kd5200sim" get internal 0 "$work/got.bin"; }
down() { empty_player; pane down "$work/big.bin"; }
vdown() { empty_player; pane --verify down "$work/big.bin"; }
ldown() { empty_player; line pane down "$work/big.bin"; }
lvdown() { empty_player; line pane --verify down "$work/big.bin"; }
up() { player_with_file; pane up big.bin "$work/up"; same_as_sent "upload through the pane"; }
vup() { player_with_file; pane --verify up big.bin "$work/up"; same_as_sent "verified upload"; }
lup() { player_with_file; line pane up big.bin "$work/up"; same_as_sent "upload over the line"; }
lvup() {
  player_with_file
  line pane --verify up big.bin "$work/up"
  same_as_sent "verified upload over the line"
}

contenders=(put down get up vdown vup ldown lup lvdown lvup)
declare -A walls cpus
n=${#contenders[@]}
for ((round = 0; round < rounds; round++)); do
  for ((k = 0; k < n; k++)); do
    c=${contenders[$(((k + round) % n))]}
    out=$("$c")
    read -r w u <<<"$out"
    walls[$c]+=" $w"
    cpus[$c]+=" $u"
  done
done
declare -A med cpu
for c in "${contenders[@]}"; do
  # shellcheck disable=SC2086
  med[$c]=$(median ${walls[$c]})
  # shellcheck disable=SC2086
  cpu[$c]=$(median ${cpus[$c]})
done
status=0
report() { # name measured peer-name peer target [info: shown, does not decide]
  local ratio kind=target
  [ -z "${6:-}" ] || kind="for information, target"
  ratio=$(awk -v a="$2" -v b="$4" 'BEGIN { printf "%.2f", a / b }')
  printf '%-28s %9.1f ms  %-10s %9.1f ms  ratio %s (%s <= %s)\n' "$1" "$2" "$3" "$4" \
    "$ratio" "$kind" "$5"
  [ -n "${6:-}" ] || awk -v r="$ratio" -v t="$5" 'BEGIN { exit !(r <= t) }' || status=1
}
report "download through the pane" "${med[down]}" kd5200sim "${med[put]}" 1.2
report "upload through the pane" "${med[up]}" kd5200sim "${med[get]}" 1.2
report "verified download, line" "${med[lvdown]}" unverified "${med[ldown]}" 2.2
report "verified upload, line" "${med[lvup]}" unverified "${med[lup]}" 2.2
report "verified download, disk" "${med[vdown]}" unverified "${med[down]}" 2.2 info
report "verified upload, disk" "${med[vup]}" unverified "${med[up]}" 2.2 info
report "verified download, disk cpu" "${cpu[vdown]}" unverified "${cpu[down]}" 2.2
report "verified upload, disk cpu" "${cpu[vup]}" unverified "${cpu[up]}" 2.2
[ "$status" -eq 0 ] || echo "missed a target" >&2
exit $status
