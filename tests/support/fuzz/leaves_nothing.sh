#!/usr/bin/env bash
# Runs a fuzz target briefly with a temporary folder of its own and fails
# when the target leaves anything in it.
# Usage: leaves_nothing.sh FUZZER [libFuzzer arguments...]
set -uo pipefail
scratch=$(mktemp -d "${TMPDIR:-/tmp}/fuzz-leftovers.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT
TMPDIR=$scratch "$@" -runs=200 || exit 1
left=$(find "$scratch" -mindepth 1 -maxdepth 1)
if [ -n "$left" ]; then
  echo "left behind in the temporary folder:" >&2
  echo "$left" >&2
  exit 1
fi
