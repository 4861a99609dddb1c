#!/usr/bin/env bash
# A download that fails for lack of disk space gives its blocks back: the
# player lives on an 8 MiB file system of its own (a private mount
# namespace), a 16 MiB download fails with "No space left on device", and the
# memory's sparse image holds no block afterwards.
# Usage: disk_full.sh BIN-DIR. Exit status 77 (skipped) without mount namespaces.
set -euo pipefail
bin=$1
unshare -m true 2>/dev/null || { echo "skipped: no private mount namespace here"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/disk-full-XXXXXX")
trap 'rm -rf "$work"' EXIT
head -c 16M /dev/urandom >"$work/big.bin"
mkdir "$work/fs"
unshare -m bash -euo pipefail -c '
  bin=$1 work=$2
  mount -t tmpfs -o size=8m tmpfs "$work/fs"
  export KD5200_PLAYER_DIR=$work/fs/player
  "$bin/kd5200sim" create --internal 64M --external none >/dev/null
  "$bin/kd5200sim" plug
  if "$bin/kd5200sim" put internal "$work/big.bin" 2>"$work/err"; then
    echo "a 16 MiB download fitted on 8 MiB"; exit 1
  fi
  grep -q "No space left on device" "$work/err" || { cat "$work/err"; exit 1; }
  used=$(du -k "$KD5200_PLAYER_DIR/internal.img" | cut -f1)
  [ "$used" -eq 0 ] || { echo "the image keeps $used KiB after the failed download"; exit 1; }
  "$bin/kd5200sim" status | grep -q "internal memory: 0 files, 0 of" || exit 1
' bash "$bin" "$work"
echo "1 passed, 0 failed"
