#!/usr/bin/env bash
# Fails when a text the kit shows is missing from a catalogue, is left
# untranslated or fuzzy there, or when the catalogue keeps a text the program
# no longer uses. Usage: check_catalogue.sh SOURCE-DIR LANG [kd5200usb]
# (the device library's own catalogue instead of Songdock's).
set -euo pipefail
top=$1
lang=$2
domain=${3:-songdock}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "$domain" = kd5200usb ]; then
  catalogue=lib/kd5200usb/po/$lang.po
  (cd "$top" && xgettext --from-code=UTF-8 --language=C++ --keyword=KD5200_TEXT --no-location \
    -o "$work/template.pot" lib/kd5200usb/*.cpp)
else
  catalogue=po/$lang.po
  "$top/po/make_pot.sh" "$top" "$work/template.pot"
fi
msgmerge --quiet --no-fuzzy-matching -o "$work/merged.po" "$top/$catalogue" "$work/template.pot"
status=0
report() {
  local what=$1 found=$2
  if [ -n "$found" ]; then
    echo "$catalogue: $what:"
    echo "$found" | grep -E '^(#~ )?msgid' | grep -v '^msgid ""$' | sed 's/^/  /'
    status=1
  fi
}
report "texts the program no longer uses" "$(msgattrib --only-obsolete "$work/merged.po")"
report "texts of the windows without a translation" \
  "$(msgattrib --untranslated --no-obsolete "$work/merged.po")"
report "fuzzy translations" "$(msgattrib --only-fuzzy --no-obsolete "$work/merged.po")"
msgfmt --check-format -o /dev/null "$top/$catalogue" || status=1
exit $status
