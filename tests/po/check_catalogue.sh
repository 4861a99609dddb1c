#!/usr/bin/env bash
# Fails when a text the windows show is missing from a catalogue, is left
# untranslated or fuzzy there, or when the catalogue keeps a text the program
# no longer uses. Usage: check_catalogue.sh SOURCE-DIR LANG
set -euo pipefail
top=$1
lang=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$top/po/make_pot.sh" "$top" "$work/songdock.pot"
msgmerge --quiet --no-fuzzy-matching -o "$work/merged.po" "$top/po/$lang.po" "$work/songdock.pot"
status=0
report() {
  local what=$1 found=$2
  if [ -n "$found" ]; then
    echo "po/$lang.po: $what:"
    echo "$found" | grep -E '^(#~ )?msgid' | grep -v '^msgid ""$' | sed 's/^/  /'
    status=1
  fi
}
report "texts the program no longer uses" "$(msgattrib --only-obsolete "$work/merged.po")"
report "texts of the windows without a translation" \
  "$(msgattrib --untranslated --no-obsolete "$work/merged.po")"
report "fuzzy translations" "$(msgattrib --only-fuzzy --no-obsolete "$work/merged.po")"
msgfmt --check-format -o /dev/null "$top/po/$lang.po" || status=1
exit $status
