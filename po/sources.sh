#!/usr/bin/env bash
# Lists the source files whose texts the kit shows, for xgettext: every C++
# file of base/, lib/, ui/, views/, app/ and tools/kdplayer/ that marks or
# translates a text. The device library has a catalogue of its own; the
# other console programs keep English.
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top"
find base lib ui views app tools/kdplayer -name '*.cpp' -o -name '*.h' |
  grep -v '^lib/kd5200usb/' | LC_ALL=C sort |
  xargs grep -l -E "SD_TEXT\(|strings::Tr\(|Formatted\(" || true
