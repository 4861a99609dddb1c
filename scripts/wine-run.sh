#!/usr/bin/env bash
# Runs a Windows program under Wine of its own width, quietly: ctest's
# emulator for the Windows build. WINEPREFIX chooses the Wine prefix (the
# test script makes a fresh one).
set -euo pipefail
program=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
# A PE file's machine field: 0x8664 is x86-64, 0x14c is i386.
offset=$(od -An -t u4 -j 60 -N 4 "$program" | tr -d ' ')
machine=$(od -An -t x2 -j $((offset + 4)) -N 2 "$program" | tr -d ' ')
if [ "$machine" = 8664 ]; then
  exec /usr/lib/wine/wine64 "$program" "$@"
fi
exec wine "$program" "$@"
