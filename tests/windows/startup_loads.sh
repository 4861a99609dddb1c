#!/usr/bin/env bash
# What Songdock loads at start under Wine, where every library costs: the
# program imports no library that only some commands need (mpr.dll, the
# network, is loaded on the first network call), and the device library's
# sections lie at page boundaries in its file, so that Wine maps it instead
# of reading it in.
# Usage: startup_loads.sh OBJDUMP SONGDOCK_EXE DEVICE_DLL
set -uo pipefail
objdump=$1
program=$2
dll=$3
failures=0
imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "FAIL: no imports read from $program"; exit 1; }
for late in mpr.dll; do
  if grep -qx "$late" <<<"$imports"; then
    echo "FAIL: $(basename "$program") imports $late at start"
    failures=$((failures + 1))
  fi
done
alignment=$("$objdump" -p "$dll" | awk '$1 == "FileAlignment" {print $2}')
if [ "$alignment" != 00001000 ]; then
  echo "FAIL: $(basename "$dll") has file alignment ${alignment:-unknown}, not a page (00001000)"
  failures=$((failures + 1))
fi
echo "imports: $(tr '\n' ' ' <<<"$imports"); $failures failed"
[ "$failures" = 0 ]
