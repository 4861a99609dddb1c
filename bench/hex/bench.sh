#!/usr/bin/env bash
# HEX conversion and merging against peers, in one run (whole processes,
# taking turns, medians, CPU time; see ../timing.sh):
#  - a HEX file of a 32 MiB image: hex_convert vs objcopy -I ihex -O binary
#    (ratio <= 1);
#  - a sparse HEX file of a 48 MiB image (four 4 KiB pieces 16 MiB apart):
#    hex_convert vs objcopy (ratio <= 1.5), the gaps left as holes;
#  - ten 10 MiB HEX files: kdmerge vs srec_cat (ratio <= 0.5) and vs cat
#    (ratio <= 3).
# Usage: bench/hex/bench.sh build-dir
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
bin=$build/bin
here=$build/bench/hex data=$build/tests/data/hex
source "$(dirname "$0")/../timing.sh"
cmake --build "$build" --target hexgen hex_convert kdmerge -j2 >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/hexbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# Every run writes a new file: replacing one costs a flush on some file systems.
convert_prepare() { rm -f ours.bin; }
convert() { "$here/hex_convert" "$hex" ours.bin 0; }
objcopy_prepare() { rm -f peer.bin; }
objcopy() { command objcopy -I ihex -O binary "$hex" peer.bin; }

echo "convert a 32 MiB image"
"$data/hexgen" image.hex $((32 << 20)) 0 1 16
hex=image.hex
race 5 convert objcopy
cmp -s ours.bin peer.bin || verdict "hex_convert and objcopy differ" 1 0
show_medians convert objcopy
compare cpu convert objcopy 1 "hex_convert/objcopy"

echo "convert a sparse 48 MiB image"
for i in 0 1 2 3; do
  "$data/hexgen" "piece$i.hex" 4096 $((i * (16 << 20) - (i == 3 ? 4096 : 0))) $((i + 1)) 16
done
{
  for i in 0 1 2 3; do grep -v '^:00000001FF' "piece$i.hex"; done
  printf ':00000001FF\r\n'
} >sparse.hex
hex=sparse.hex
race 9 convert objcopy
cmp -s ours.bin peer.bin || verdict "hex_convert and objcopy differ" 1 0
show_medians convert objcopy
compare cpu convert objcopy 1.5 "sparse hex_convert/objcopy"
verdict "sparse image on disk (KiB)" "$(du -k ours.bin | cut -f1)" 1024 \
  "objcopy's: $(du -k peer.bin | cut -f1) KiB"
rm -f ./*.bin piece*.hex

echo "merge 10 x 10 MiB"
# 45 characters of HEX per 16 bytes: about 10 MiB of text each.
size=$(((10 << 20) * 16 / 45))
inputs=()
for i in $(seq 0 9); do
  "$data/hexgen" "in$i.hex" "$size" $((i << 22)) $((i + 1)) 16
  inputs+=("in$i.hex")
done
srec_args=()
for f in "${inputs[@]}"; do srec_args+=("$f" -intel); done
merge_prepare() { rm -f merged.hex; }
merge() { "$bin/kdmerge" -q -o merged.hex "${inputs[@]}"; }
concatenate_prepare() { rm -f cat.hex; }
concatenate() { cat "${inputs[@]}" >cat.hex; }
srec_cat_prepare() { rm -f srec.hex; }
srec_cat() { command srec_cat "${srec_args[@]}" -o srec.hex -intel; }
race 5 merge concatenate srec_cat
show_medians merge concatenate srec_cat
compare cpu merge srec_cat 0.5 "kdmerge/srec_cat"
compare cpu merge concatenate 3 "kdmerge/cat"
exit $bench_status
