#!/usr/bin/env bash
# Every manual page renders without a warning, and each program's own usage
# text agrees with the synopsis of its page.
# Usage: man_pages.sh MAN-DIR BIN-DIR
set -euo pipefail
man_dir=$1
bin=$2
status=0

render() { # page [width] -> plain text on stdout, every groff warning on stderr
  LC_ALL=C MANWIDTH=${2:-80} man --warnings=all -l "$1"
}

# A program's usage synopsis: the line after "Usage:" or "Usage :", blanks squeezed.
usage_synopsis() {
  "$@" 2>&1 | awk 'found { print; exit } /^Usage ?:/ { found = 1 }' | tr -s ' \t' ' ' | sed 's/^ //; s/ $//'
}

# The page's synopsis: its SYNOPSIS section, joined into one line.
page_synopsis() {
  render "$1" 250 2>/dev/null | awk '/^SYNOPSIS/ { on = 1; next } /^[A-Z]/ { on = 0 } on' \
    | tr -s ' \t\n' ' ' | sed 's/^ //; s/ $//'
}

for page in "$man_dir"/*.1; do
  warnings=$(render "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "$(basename "$page"): $warnings" >&2
    status=1
  fi
done

# kdrom and kdmerge print their usage for /?, the converters without arguments.
for check in "kdrom /?" "kdmerge /?" "qdx2wav" "qka2wav" "kdplayer --help"; do
  set -- $check
  program=$1
  shift
  want=$(usage_synopsis "$bin/$program" "$@")
  have=$(page_synopsis "$man_dir/$program.1")
  if [ -z "$want" ] || [ "$want" != "$have" ]; then
    echo "$program: usage says '$want', the manual page '$have'" >&2
    status=1
  fi
done

# kd5200sim: every command of its usage text heads an entry of its page, and
# every option and keyword of the usage text is on the page.
sim_page=$(render "$man_dir/kd5200sim.1" 2>/dev/null)
sim_usage=$("$bin/kd5200sim" --help)
for command in $(grep -oE '^  [a-z]+' <<<"$sim_usage"); do
  if ! grep -qE "^ {7}$command( |\$)" <<<"$sim_page"; then
    echo "kd5200sim: the command '$command' has no entry on the manual page" >&2
    status=1
  fi
done
for word in $(grep -oE -- '--[a-z-]+|\b(internal|external|application|boot|none)\b' <<<"$sim_usage" | sort -u); do
  if ! grep -qF -- "$word" <<<"$sim_page"; then
    echo "kd5200sim: '$word' of the usage text is not on the manual page" >&2
    status=1
  fi
done
# kdplayer: every command and every option of its usage text is on its page.
player_page=$(render "$man_dir/kdplayer.1" 2>/dev/null)
player_usage=$("$bin/kdplayer" --help)
for word in $(grep -oE -- '^  [a-z]+|--[a-z-]+' <<<"$player_usage" | sort -u); do
  if ! grep -qE -- "(^| )$word( |,|\$)" <<<"$player_page"; then
    echo "kdplayer: '$word' of the usage text is not on the manual page" >&2
    status=1
  fi
done
exit $status
