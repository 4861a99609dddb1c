#!/usr/bin/env bash
# The layer check on a small tree: it passes with includes that go down or
# sideways to an earlier part, and fails on one that reaches up a layer and on
# a project header named without its folder.
set -euo pipefail
check=$1/scripts/check_layers.py
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/base/platform" "$tree/lib/lists" "$tree/lib/device" "$tree/app"
printf -- '- `base/platform/`: base\n- `lib/lists/`: lists\n- `lib/device/`: device\n- `app/`: app\n' \
  > "$tree/ARCHITECTURE.md"
echo '#pragma once' > "$tree/base/platform/paths.h"
echo '#pragma once' > "$tree/lib/lists/name_list.h"
echo '#pragma once' > "$tree/app/main_frame.h"
printf '#include "base/platform/paths.h"\n#include "lib/lists/name_list.h"\n#include <vector>\n' \
  > "$tree/lib/device/device.cpp"
python3 "$check" "$tree" >/dev/null || { echo "a tree that keeps to its layers was refused"; exit 1; }

echo '#include "app/main_frame.h"' >> "$tree/lib/device/device.cpp"
if out=$(python3 "$check" "$tree"); then echo "an include of app/ from lib/ passed"; exit 1; fi
grep -q 'lib/device/device.cpp:4: "app/main_frame.h" reaches up from lib/device/ to app/' <<<"$out" \
  || { echo "unexpected report: $out"; exit 1; }

sed -i '4d' "$tree/lib/device/device.cpp"
echo '#include "lib/device/device.cpp"' > "$tree/lib/lists/name_list.cpp"
python3 "$check" "$tree" >/dev/null && { echo "lists including device (listed after it) passed"; exit 1; }

echo '#include "paths.h"' > "$tree/lib/lists/name_list.cpp"
out=$(python3 "$check" "$tree") && { echo "a header named without its folder passed"; exit 1; }
grep -q 'names no folder' <<<"$out" || { echo "unexpected report: $out"; exit 1; }
echo "1 passed, 0 failed"
