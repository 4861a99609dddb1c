#!/usr/bin/env bash
# Writes the template of the texts Songdock's windows and kdplayer show: the
# string table, the menus and every text marked with SD_TEXT or passed to
# strings::Tr or to a Formatted helper, and the texts of wx's own windows that
# ours show (po/wx_texts.list). Usage: po/make_pot.sh SOURCE-DIR OUTPUT.pot
set -euo pipefail
top=$1
out=$2
cd "$top"
mapfile -t files < <(po/sources.sh "$top")
files+=(po/wx_texts.list)
xgettext --from-code=UTF-8 --language=C++ --keyword=SD_TEXT --keyword=Tr --keyword=Formatted \
  --add-comments=TRANSLATORS --no-location --sort-output --package-name=songdock \
  -o "$out" "${files[@]}"
