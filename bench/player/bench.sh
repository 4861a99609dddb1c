#!/usr/bin/env bash
# The virtual player against the file system in one run:
#  - download and upload of a 100 MiB file, each a whole kd5200_bench
#    process, against cp of that file (whole processes, taking turns,
#    medians of five rounds, CPU time, see ../timing.sh; target: at most 2x);
#  - a refresh of a full memory of 512 entries (target: under 1 ms), shown
#    beside stat() of 512 files.
# Usage: bench/player/bench.sh BUILD-DIR
set -euo pipefail
build=$(cd "${1:?usage: bench.sh BUILD-DIR}" && pwd)
bin=$build/bin
bench=$build/bench/player/kd5200_bench
source "$(dirname "$0")/../timing.sh"
cmake --build "$build" --target kd5200usb kd5200sim kd5200_bench -j2 >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/kd5200-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export KD5200_PLAYER_DIR=$work/player
unset KD5200_SPEED

empty_player() {
  "$bin/kd5200sim" create --internal 512M --external none >/dev/null
  "$bin/kd5200sim" plug
}

head -c 100M /dev/urandom >"$work/big.bin"
# The player always holds the file as entry 0, for the uploads.
empty_player
"$bench" download "$work/big.bin"

# Every run writes a new file: replacing one costs a flush on some file systems.
copy_prepare() { rm -f "$work/copy.bin"; }
copy() { cp "$work/big.bin" "$work/copy.bin"; }
download_prepare() { empty_player; }
download() { "$bench" download "$work/big.bin"; }
upload_prepare() { rm -f "$work/up.bin"; }
upload() { "$bench" upload 0 "$work/up.bin"; }
echo "transfers of 100 MiB"
race 5 copy download upload
cmp -s "$work/big.bin" "$work/up.bin" || verdict "upload differs from the file downloaded" 1 0
show_medians copy download upload
compare cpu download copy 2 "download/cp"
compare cpu upload copy 2 "upload/cp"

echo "refresh of 512 entries"
mkdir -p "$work/small"
for i in $(seq 0 511); do printf 'file %d' "$i" >"$work/small/f$i"; done
empty_player
"$bench" fill 512 "$work/small"
read -r refresh_ms count < <("$bench" refresh 1000)
stat_ms=$("$bench" stat 1000 "$work/small")
[ "$count" -eq 512 ] || verdict "entries listed" "$count" 0 "512 expected"
verdict "refresh (ms)" "$refresh_ms" 1 "stat() of 512 files: $stat_ms ms"
exit $bench_status
