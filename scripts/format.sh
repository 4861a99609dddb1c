#!/usr/bin/env bash
# Formats the C and C++ sources with the checked-in style, or with --check
# lists the files that differ from it (exit status 1 when any does).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  status=0
  for f in "${files[@]}"; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || { echo "$f"; status=1; }
  done
  exit $status
fi
clang-format -i "${files[@]}"
