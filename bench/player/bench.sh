#!/usr/bin/env bash
# The virtual player against the file system in one run: download and upload
# of a 100 MiB file against cp of that file, and a refresh of a full memory
# of 512 entries against stat() of 512 files.
# Usage: bench/player/bench.sh BUILD-DIR
set -euo pipefail
build=${1:?usage: bench.sh BUILD-DIR}
bin=$build/bin
cmake --build "$build" --target kd5200usb kd5200sim kd5200_bench >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/kd5200-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export KD5200_PLAYER_DIR=$work/player
unset KD5200_SPEED

seconds() { # runs a command, prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", a / b }'; }
best() { printf '%s\n' "$@" | sort -g | head -n1; }

"$bin/kd5200sim" create --internal 512M --external none >/dev/null
"$bin/kd5200sim" plug
head -c 100M /dev/urandom >"$work/big.bin"

cp_times=() down_times=() up_times=()
for round in 1 2 3; do
  rm -f "$work/copy.bin" "$work/up.bin"
  cp_times+=("$(seconds cp "$work/big.bin" "$work/copy.bin")")
  "$bin/kd5200sim" create --internal 512M --external none >/dev/null
  "$bin/kd5200sim" plug
  down_times+=("$("$bin/kd5200_bench" download "$work/big.bin")")
  up_times+=("$("$bin/kd5200_bench" upload 0 "$work/up.bin")")
  cmp -s "$work/big.bin" "$work/up.bin" || { echo "upload differs from the file downloaded" >&2; exit 1; }
done
cp_s=$(best "${cp_times[@]}")
down_s=$(best "${down_times[@]}")
up_s=$(best "${up_times[@]}")
printf 'cp 100 MiB:        %8.3f s\n' "$cp_s"
printf 'download 100 MiB:  %8.3f s  ratio %.2f (target <= 2)\n' "$down_s" "$(ratio "$down_s" "$cp_s")"
printf 'upload 100 MiB:    %8.3f s  ratio %.2f (target <= 2)\n' "$up_s" "$(ratio "$up_s" "$cp_s")"

mkdir -p "$work/small"
for i in $(seq 0 511); do printf 'file %d' "$i" >"$work/small/f$i"; done
"$bin/kd5200sim" create --internal 64M --external none >/dev/null
"$bin/kd5200sim" plug
"$bin/kd5200_bench" fill 512 "$work/small"
read -r refresh_ms count < <("$bin/kd5200_bench" refresh 1000)
stat_ms=$("$bin/kd5200_bench" stat 1000 "$work/small")
printf 'refresh, %d entries: %8.4f ms  (target < 1 ms)\n' "$count" "$refresh_ms"
printf 'stat() of 512 files: %8.4f ms  ratio %.2f\n' "$stat_ms" "$(ratio "$refresh_ms" "$stat_ms")"
