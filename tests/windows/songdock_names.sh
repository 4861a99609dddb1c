#!/usr/bin/env bash
# Songdock under Wine as a Windows screen reader meets it, on the virtual
# player's demo, in English and in Korean:
#  - every control that Tab stops at (the file filter among them) has a
#    name, read from outside the process (window_reader): its window text
#    or its accessible object's name; the icon-only arrow buttons between the panes are named by what
#    they do, as the Linux build names them to the accessibility bus;
#  - the Network in the PC pane's folder drop-down, chosen by keys: Wine has
#    no network to browse, so the failure is told in a box, answered, and
#    the pane goes back to where it came from; Songdock neither hangs nor
#    stops.
# Screenshots are kept in ARTEFACTS.
# Usage: songdock_names.sh WINDOWS_BIN ARTEFACTS WINDOW_READER
set -uo pipefail
bin=$1
artefacts=$2
reader=$3
[ -x "$bin/songdock.exe" ] || { echo "no songdock.exe in $bin"; exit 1; }
mkdir -p "$artefacts"

# A prefix of its own, made under the X display.
[ -z "${SONGDOCK_WM_RUNNING:-}" ] && unset WINEPREFIX
source "$(dirname "$0")/wine_desktop.sh"

export KD5200_PLAYER_DIR='C:\player'

# names LANG UP DOWN_INTERNAL: every Tab stop named; the arrows by their words.
names() {
  local tabs
  tabs=$(read_window --tab Songdock)
  echo "$tabs" | sed 's/^/    /'
  local unnamed
  unnamed=$(awk -F'\t' '$1 != "window" && $1 != "row" && $2 == "" && $3 == ""' <<<"$tabs")
  [ -z "$unnamed" ] || fail "$1: Tab stops without a name: $(tr '\n\t' '; ' <<<"$unnamed")"
  local arrow
  for arrow in "$2" "$3"; do
    grep -qP "^Button\t\Q$arrow\E\t" <<<"$tabs" || fail "$1: no arrow button reads '$arrow'"
  done
  # The file filter's bar is there from the start, its box a Tab stop.
  grep -qP '^ComboBox\t[^\t]+\t[^\t]+$' <<<"$tabs" || fail "$1: no file filter among the Tab stops"
  # What the accessible objects answered, for the record.
  echo "    accessible names: $(awk -F'\t' '$1 != "window" && $1 != "row" && $3 != ""' <<<"$tabs" | wc -l)" \
    "of $(awk -F'\t' '$1 != "window" && $1 != "row"' <<<"$tabs" | wc -l) Tab stops"
}

# network LANG NAME SAID: the folder drop-down (two Shift+Tab from the PC
# list) steps up from Documents to the Network; the box that tells the
# failure, a text starting with SAID, is answered with Return, and Songdock
# still answers.
network() {
  local lang=$1 name=$2 prefix=$3 said=
  keys Home shift+Tab shift+Tab Up
  for _ in $(seq 20); do
    said=$(read_window Songdock | awk -F'\t' -v p="$prefix" '$1 == "Static" && index($2, p) == 1' | cut -f2)
    [ -n "$said" ] && break
    sleep 0.5
  done
  import -window root "$artefacts/$name-network.png"
  echo "    the box: $said"
  [ -n "$said" ] || fail "$lang: choosing the Network told nothing: $(read_window Songdock | tr '\n\t' '; ')"
  keys Return
  sleep 1
  read_window Songdock | grep -qF -- "$prefix" && fail "$lang: the Network's box is still there"
  read_window Songdock >/dev/null || fail "$lang: Songdock does not answer after the Network"
}

# session LANG NAME UP DOWN_INTERNAL NETWORK
session() {
  local lang=$1 name=$2 window=
  sim create --demo >/dev/null
  sim plug >/dev/null
  LANG=$lang LC_ALL=$lang "$wine" "$bin/songdock.exe" >"$artefacts/$name.log" 2>&1 &
  local pid=$!
  window=$(wait_window $pid '^Songdock')
  if [ -z "$window" ]; then
    fail "$name: no Songdock window appeared"
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
    return
  fi
  xdotool windowactivate --sync "$window" 2>/dev/null
  sleep 2
  import -window root "$artefacts/$name.png"
  names "$lang" "$3" "$4"
  network "$lang" "$name" "$5: "
  kill -0 $pid 2>/dev/null || fail "$name: Songdock stopped"
  close_window $pid "$window" "$name"
}

session en_US.UTF-8 names-english "Upload From Internal Memory" "Download To Internal Memory" Network
session ko_KR.UTF-8 names-korean "내장 메모리에서 업로드" "내장 메모리로 다운로드" 네트워크

echo "$failures failure(s); screenshots in $artefacts"
[ $failures -eq 0 ]
