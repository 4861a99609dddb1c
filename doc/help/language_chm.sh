#!/usr/bin/env bash
# Compiles the help of one language into its own Songdock.chm: the pages of
# its folder, and the English pages it lacks, side by side in one folder (a
# page's "../style.css" then names the style sheet beside it). The contents
# and the index are written in the language's ANSI code page, which the help
# viewer reads them in.
# Usage: language_chm.sh HELP_SOURCE LANGUAGE "LCID NAME" CHARSET WORK CHMCMD OUTPUT
set -euo pipefail
src=$1 language=$2 code=$3 charset=$4 work=$5 chmcmd=$6 output=$7
rm -rf "$work"
mkdir -p "$work" "$(dirname "$output")"
for file in $(sed -n '/^\[FILES\]/,$p' "$src/Songdock.hhp" | tail -n +2); do
  if [ -f "$src/$language/$file" ]; then
    sed 's|\.\./style\.css|style.css|g' "$src/$language/$file" >"$work/$file"
  else
    cp "$src/$file" "$work/$file"
  fi
done
for file in toc.hhc index.hhk; do
  from="$src/$language/$file"
  [ -f "$from" ] || from="$src/$file"
  iconv -f UTF-8 -t "$charset" "$from" >"$work/$file"
done
sed "s/^Language=.*/Language=$code/" "$src/Songdock.hhp" >"$work/Songdock.hhp"
(cd "$work" && "$chmcmd" Songdock.hhp >/dev/null)
cp "$work/Songdock.chm" "$output"
