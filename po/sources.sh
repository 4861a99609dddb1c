#!/usr/bin/env bash
# Lists the source files whose texts the windows show, for xgettext: every
# C++ file of base/, lib/, ui/, views/ and app/ that marks or translates a
# text. The device library and the console programs keep English.
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top"
find base lib ui views app -name '*.cpp' -o -name '*.h' |
  grep -v '^lib/kd5200usb/' | LC_ALL=C sort |
  xargs grep -l -E "SD_TEXT\(|strings::Tr\(|Formatted\(" || true
