#!/usr/bin/env bash
# kdplayer against its peers on the virtual player, in one run (whole
# processes, taking turns, medians; see ../timing.sh):
#  - get and put of a 100 MiB file: kdplayer vs kd5200sim get/put, which
#    call the same player core without the device layer (CPU ratio <= 1.1),
#    and vs library_copy, one call of the device library's own KD5200_Upload
#    or KD5200_Download, which checks at every chunk that the player is
#    still plugged in (shown for information);
#  - ls --json of 512 entries: under 20 ms (kd5200sim ls shown beside it);
#  - backup of 512 files (every file read twice through the library into
#    memory, compared, hashed and written once, the manifest and the sums
#    written, one flush, the folder renamed into place) vs the same files
#    copied, flushed and read back: cp -r && sync -f && diff -r (CPU ratio
#    <= 1.3); the library's two reads of each file alone (library_copy
#    read-all) are shown beside them, for the part of the backup that is
#    the library's;
#  - a second sync of 512 unchanged files: under 50 ms.
# Usage: bench/kdplayer/bench.sh build-dir
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
bin=$build/bin
source "$(dirname "$0")/../timing.sh"
cmake --build "$build" --target kdplayer kd5200sim kd5200usb library_copy -j2 >/dev/null
lib_copy=$build/bench/kdplayer/library_copy
work=$(mktemp -d "${TMPDIR:-/tmp}/kdplayerbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
export KD5200_PLAYER_DIR=$work/player XDG_CONFIG_HOME=$work/config
export KD5200USB_LIBRARY=$bin/libkd5200usb.so
unset KD5200_SPEED KD5200_FAULTS
sim=$bin/kd5200sim kdp=$bin/kdplayer

"$sim" create --internal 512M >/dev/null
"$sim" plug >/dev/null

echo "get and put of 100 MiB"
head -c $((100 << 20)) /dev/urandom >big.bin
"$sim" put internal big.bin >/dev/null
ours_get_prepare() { rm -f ours.bin; }
ours_get() { "$kdp" -q get internal 0 -o ours.bin; }
sim_get_prepare() { rm -f peer.bin; }
sim_get() { "$sim" get internal 0 peer.bin; }
lib_get_prepare() { rm -f lib.bin; }
lib_get() { LD_LIBRARY_PATH=$bin "$lib_copy" get 0 0 lib.bin; }
race 11 ours_get sim_get lib_get
cmp -s ours.bin big.bin || verdict "kdplayer get differs from the file" 1 0
show_medians ours_get sim_get lib_get
compare cpu ours_get sim_get 1.1 "kdplayer get/kd5200sim get"
compare cpu ours_get lib_get 1.1 "kdplayer get/library call"
rm -f ours.bin peer.bin lib.bin
# Each put starts from an empty memory.
empty() { "$kdp" -q rm internal 0 >/dev/null 2>&1 || true; }
ours_put_prepare() { empty; }
ours_put() { "$kdp" -q put internal big.bin; }
sim_put_prepare() { empty; }
sim_put() { "$sim" put internal big.bin; }
lib_put_prepare() { empty; }
lib_put() { LD_LIBRARY_PATH=$bin "$lib_copy" put 0 big.bin; }
race 11 ours_put sim_put lib_put
show_medians ours_put sim_put lib_put
compare cpu ours_put sim_put 1.1 "kdplayer put/kd5200sim put"
compare cpu ours_put lib_put 1.1 "kdplayer put/library call"
rm -f big.bin

echo "512 files"
"$sim" create --internal 512M >/dev/null
"$sim" plug >/dev/null
mkdir src
for i in $(seq -w 0 511); do head -c $((64 << 10)) /dev/urandom >"src/f$i.mp3"; done
"$sim" put internal src/* >/dev/null
ours_ls() { "$kdp" ls --json; }
sim_ls() { "$sim" ls internal; }
race 15 ours_ls sim_ls
show_medians ours_ls sim_ls
[ "$("$kdp" ls --json | grep -o '"number"' | wc -l)" = 512 ] || verdict "ls --json entries" 0 512
verdict "ls --json of 512 entries (s, wall)" "${wall_median[ours_ls]}" 0.020

# Both write into a memory file system where there is one: on an ext4 without
# a journal, a file made within minutes of deletions in its inode group pays
# for a scan past every recently freed inode there, a cost of whatever else
# ran on the machine that falls on one contender or the other. For the same
# reason the output of the run before is moved aside, not deleted.
out=$work
if shm=$(mktemp -d /dev/shm/kdplayerbench.XXXXXX 2>/dev/null); then
  out=$shm
  trap 'rm -rf "$work" "$shm"' EXIT
fi
cp -r src "$out/src"
cd "$out"
mkdir aside
aside() { [ ! -e "$1" ] || mv "$1" "aside/$1.$RANDOM$RANDOM"; }
ours_backup_prepare() { aside backup; }
ours_backup() { "$kdp" -q backup backup; }
cp_sync_diff_prepare() { aside copy; }
# sync -f flushes the copy's file system alone, as kdplayer flushes its
# backup's: a plain sync would also flush what the rest of the machine wrote.
cp_sync_diff() { cp -r src copy && sync -f copy && diff -r src copy >/dev/null; }
lib_reads() { LD_LIBRARY_PATH=$bin "$lib_copy" read-all 0 2; }
race 15 ours_backup cp_sync_diff lib_reads
[ -s backup/SHA256SUMS ] && (cd backup && sha256sum -c --quiet SHA256SUMS) ||
  verdict "the backup's SHA256SUMS check" 1 0
show_medians ours_backup cp_sync_diff lib_reads
compare cpu ours_backup cp_sync_diff 1.3 "kdplayer backup/cp -r && sync && diff -r"
printf '  %-34s %9s  (for information)\n' "library reads alone/cp+sync+diff (cpu)" \
  "$(ratio "${cpu_median[lib_reads]}" "${cpu_median[cp_sync_diff]}")"
rm -rf backup copy aside
cd "$work"

"$kdp" -q sync src internal
ours_sync() { "$kdp" -q sync src internal; }
ours_ls_again() { "$kdp" ls --json; }
race 15 ours_sync ours_ls_again
show_medians ours_sync ours_ls_again
[ -z "$("$kdp" sync --json src internal | grep -v '"actions":\[\]')" ] ||
  verdict "a second sync copies nothing" 1 0
verdict "second sync of 512 files (s, wall)" "${wall_median[ours_sync]}" 0.050
exit $bench_status
