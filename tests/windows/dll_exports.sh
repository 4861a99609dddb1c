#!/usr/bin/env bash
# kd5200usb.dll exports every function of its interface by its plain name,
# and a 32-bit one also by its stdcall name (NAME@N); kdrom.exe imports the
# plain names, which a library of either kind has.
# Usage: dll_exports.sh OBJDUMP DLL PROGRAM
set -uo pipefail
objdump=$1
dll=$2
program=$3
here=$(cd "$(dirname "$0")" && pwd)
header="$here/../../lib/device/kd5200usb.h"
failures=0
exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p')
wide32=no
"$objdump" -f "$dll" | grep -q 'pei-i386' && wide32=yes
functions=$(sed -n 's/.*KD5200_CALL \*\{0,1\}\(KD5200X\{0,1\}_[A-Za-z]*\)(.*/\1/p' "$header" | sort -u)
[ -n "$functions" ] || { echo "FAIL: no functions read from $header"; exit 1; }
for f in $functions; do
  grep -qx "$f" <<<"$exports" || { echo "FAIL: $f is not exported"; failures=$((failures + 1)); }
  if [ $wide32 = yes ]; then
    grep -qx "$f@[0-9]*" <<<"$exports" || { echo "FAIL: $f@N is not exported"; failures=$((failures + 1)); }
  fi
done
unexpected=$(grep -v -e '^KD5200X\{0,1\}_' <<<"$exports" || true)
[ -z "$unexpected" ] || { echo "FAIL: other exports: $unexpected"; failures=$((failures + 1)); }
imports=$("$objdump" -p "$program" | sed -n '/DLL Name: kd5200usb.dll/,/^$/p' |
  awk 'NF >= 3 && $2 ~ /^[0-9]+$/ {print $3}')
[ -n "$imports" ] || { echo "FAIL: $program imports nothing from kd5200usb.dll"; failures=$((failures + 1)); }
if grep -q '@' <<<"$imports"; then
  echo "FAIL: decorated imports: $(grep '@' <<<"$imports" | tr '\n' ' ')"
  failures=$((failures + 1))
fi
echo "$(wc -w <<<"$functions") functions; 32-bit: $wide32; $failures failed"
[ "$failures" = 0 ]
