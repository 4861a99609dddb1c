#!/usr/bin/env bash
# HEX conversion and merging against peers, in one run:
#  - a HEX file of a 32 MiB image: hex_convert vs objcopy -I ihex -O binary (ratio <= 1);
#  - ten 10 MiB HEX files: kdmerge vs srec_cat (ratio <= 0.5) and vs cat (ratio <= 3).
# Usage: bench/hex/bench.sh build-dir   (needs hexgen, hex_convert and kdmerge built)
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
bin=$build/bin
for p in hexgen hex_convert kdmerge; do
  [ -x "$bin/$p" ] || { echo "missing $bin/$p (build target $p)"; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/hexbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# Wall-clock time of one run of a command, in seconds.
time_of() {
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }'
}
min_of() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
# Runs commands A and B n times, taking turns so that both meet the same
# load, and sets best_a and best_b to their best times.
race() { # n command-a command-b (each a function name)
  best_a="" best_b=""
  for _ in $(seq "$1"); do
    best_a=$(min_of "$best_a" "$(time_of "$2")")
    best_b=$(min_of "$best_b" "$(time_of "$3")")
  done
}
status=0
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", a / b }'; }
check() { # name ratio limit
  local verdict=PASS
  if awk -v r="$2" -v l="$3" 'BEGIN { exit !(r > l) }'; then verdict=FAIL; status=1; fi
  printf '%-32s ratio %6.3f (limit %s) %s\n' "$1" "$2" "$3" "$verdict"
}

"$bin/hexgen" image.hex $((32 << 20)) 0 1 16
convert() { rm -f ours.bin; "$bin/hex_convert" image.hex ours.bin 0; }
objcopy_convert() { rm -f peer.bin; objcopy -I ihex -O binary image.hex peer.bin; }
race 3 convert objcopy_convert
t_ours=$best_a t_peer=$best_b
cmp -s ours.bin peer.bin || { echo "hex_convert and objcopy differ"; status=1; }
printf 'convert 32 MiB image: hex_convert %.3f s, objcopy %.3f s\n' "$t_ours" "$t_peer"
check "convert vs objcopy" "$(ratio "$t_ours" "$t_peer")" 1

# 45 characters of HEX per 16 bytes: about 10 MiB of text each.
size=$(( (10 << 20) * 16 / 45 ))
inputs=()
for i in $(seq 0 9); do
  "$bin/hexgen" "in$i.hex" "$size" $((i << 22)) $((i + 1)) 16
  inputs+=("in$i.hex")
done
srec_args=()
for f in "${inputs[@]}"; do srec_args+=("$f" -intel); done
# Every run writes a new file (replacing one costs a flush on some file systems).
merge() { rm -f merged.hex; "$bin/kdmerge" -q -o merged.hex "${inputs[@]}"; }
concatenate() { rm -f cat.hex; cat "${inputs[@]}" > cat.hex; }
peer_merge() { rm -f srec.hex; srec_cat "${srec_args[@]}" -o srec.hex -intel; }
race 7 merge concatenate
t_merge=$best_a t_cat=$best_b
t_srec=$(time_of peer_merge)
printf 'merge 10 x 10 MiB: kdmerge %.3f s, srec_cat %.3f s, cat %.3f s\n' "$t_merge" "$t_srec" "$t_cat"
check "merge vs srec_cat" "$(ratio "$t_merge" "$t_srec")" 0.5
check "merge vs cat" "$(ratio "$t_merge" "$t_cat")" 3
exit $status
