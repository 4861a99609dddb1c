#!/usr/bin/env bash
# Runs one Songdock test with its PC folder on a file system of 128 KiB of its
# own (tmpfs in a private mount namespace), so that the free space is known.
# Usage: small_folder.sh TEST-PROGRAM GTEST-FILTER. Exit status 77 (skipped)
# without mount namespaces.
set -euo pipefail
# A mount namespace of its own, as root or else inside a user namespace.
ns=(unshare -m)
"${ns[@]}" true 2>/dev/null || ns=(unshare -r -m)
"${ns[@]}" true 2>/dev/null || { echo "skipped: no private mount namespace here"; exit 77; }
folder=$(mktemp -d "${TMPDIR:-/tmp}/small-folder-XXXXXX")
trap 'rmdir "$folder"' EXIT
"${ns[@]}" bash -euo pipefail -c '
  mount -t tmpfs -o size=128k tmpfs "$1"
  SONGDOCK_TEST_SMALL_FOLDER=$1 "$2" --gtest_filter="$3" | tee /dev/stderr | grep -q "\[  PASSED  \] 1 test"
' bash "$folder" "$1" "$2"
