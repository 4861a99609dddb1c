#!/usr/bin/env bash
# Songdock under Wine, on an X display of its own with a window manager, on
# the virtual player's demo, driven by keys as a person drives it:
#  - the window's title and both memories' headers, read from the controls
#    as a Windows screen reader reads them (window_reader);
#  - a PC file onto the internal memory (Home, Tab to the arrow, Space); a
#    delete answered Yes; a format from the menu bar answered Yes;
#  - an unplug and a plug seen in the header;
#  - the settings written on closing in the registry under
#    HKCU\Software\Zentrovia\Songdock, numbers as REG_DWORD, texts as REG_SZ;
#  - in Korean: the headers in Korean, a Korean file name stored on the
#    player in CP949, and that PC file's properties read by its name.
# Screenshots in English and Korean are kept in ARTEFACTS.
# Usage: songdock_window.sh WINDOWS_BIN ARTEFACTS WINDOW_READER
set -uo pipefail
bin=$1
artefacts=$2
reader=$3
[ -x "$bin/songdock.exe" ] || { echo "no songdock.exe in $bin"; exit 1; }
mkdir -p "$artefacts"

# A prefix of its own, made under the X display: in a prefix that Wine made
# without a display (as the test script makes its own, for the console
# programs) Songdock stops at start on a wx assertion.
[ -z "${SONGDOCK_WM_RUNNING:-}" ] && unset WINEPREFIX
source "$(dirname "$0")/wine_desktop.sh"

key='HKCU\Software\Zentrovia\Songdock'
export KD5200_PLAYER_DIR='C:\player'
sim() { "$wine" "$bin/kd5200sim.exe" "$@" 2>&1 | tr -d '\r'; }
controls() { "$wine" "$reader" Songdock 2>/dev/null | tr -d '\r'; }
# expect TEXT WHAT: waits up to 10 s for a control reading TEXT.
expect() {
  for _ in $(seq 20); do
    controls | grep -qF -- "$1" && return 0
    sleep 0.5
  done
  fail "$2: no control reads '$1'"
  controls | sed 's/^/    /'
}
# The PC pane opens on Documents: a folder of the test's own.
pc=$(mktemp -d)
for d in "$WINEPREFIX"/drive_c/users/*/Documents; do
  case "$d" in */Public/*) continue ;; esac
  rm -rf "$d" && ln -s "$pc" "$d"
done

# session LANG NAME STEPS: starts Songdock on a fresh demo player, runs the
# function STEPS with the window, keeps a screenshot and closes the window as
# a person would.
session() {
  local lang=$1 name=$2 steps=$3 window=
  sim create --demo >/dev/null
  sim plug >/dev/null
  LANG=$lang LC_ALL=$lang "$wine" "$bin/songdock.exe" >"$artefacts/$name.log" 2>&1 &
  local pid=$!
  window=$(wait_window $pid '^Songdock')
  if [ -z "$window" ]; then
    fail "$name: no Songdock window appeared"
    import -window root "$artefacts/$name.png" 2>/dev/null
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
    return
  fi
  xdotool windowactivate --sync "$window" 2>/dev/null
  "$steps" "$window"
  import -window root "$artefacts/$name.png" || fail "$name: no screenshot"
  close_window $pid "$window" "$name"
}
keys() {
  for k in "$@"; do
    xdotool key --clearmodifiers "$k"
    sleep 0.4
  done
}

english() {
  expect $'window\tSongdock' "title"
  expect "Internal Memory - Total 64MB,  Remain 64MB,  3 File(s)" "internal header"
  expect "External Memory - Total 32MB,  Remain 32MB,  0 File(s)" "external header"
  # The PC file onto the internal memory by its arrow.
  keys Home Tab space
  expect "Internal Memory - Total 64MB,  Remain 64MB,  4 File(s)" "after the upload"
  sim ls internal | grep -q 'a song.mp3' || fail "a song.mp3 is not on the player"
  import -window root "$artefacts/english-copied.png"
  # Delete in the internal memory asks; Return answers Yes.
  keys F6 End Delete
  [ "$(xdotool getactivewindow getwindowname)" = "Confirm file deleting" ] ||
    fail "Delete asked no question"
  import -window root "$artefacts/english-question.png"
  keys Return
  expect "Internal Memory - Total 64MB,  Remain 64MB,  3 File(s)" "after the delete"
  # Tool > Format > Format Internal Memory, answered Yes.
  keys alt+t Down Right Return
  sleep 1
  [ "$(xdotool getactivewindow getwindowname)" = "Format" ] || fail "the format asked no question"
  keys Return
  expect "Internal Memory - Total 64MB,  Remain 64MB,  0 File(s)" "after the format"
  [ -z "$(sim ls internal | tail -n +2)" ] || fail "the format left files: $(sim ls internal)"
  # An unplug and a plug, seen in the header.
  sim unplug >/dev/null
  for _ in $(seq 20); do controls | grep -qF "Internal Memory - Total 64MB" || break; sleep 0.5; done
  controls | grep -qF "Internal Memory - Total 64MB" && fail "the unplug was not seen"
  import -window root "$artefacts/english-unplugged.png"
  sim plug >/dev/null
  expect "Internal Memory - Total 64MB,  Remain 64MB,  0 File(s)" "after the plug"
}

korean() {
  expect "내장 메모리 - 전체 64MB,  남은 공간 64MB,  파일 3개" "Korean internal header"
  keys Home Tab space
  expect "파일 4개" "after the Korean upload"
  # The player keeps the name in CP949: B3 EB B7 A1 is 노래 (ls --raw prints
  # the player's own bytes).
  "$wine" "$bin/kd5200sim.exe" ls --raw internal 2>/dev/null | od -An -tx1 | tr -d ' \n' |
    grep -q 'b3ebb7a12e6d7033' ||
    fail "노래.mp3 is not stored in CP949: $(sim ls internal)"
  # The PC file's properties (its row, the PC list's first on the 800x600
  # screen, clicked; View > Properties): its size, read by its name.
  xdotool mousemove 60 102 click 1
  sleep 0.4
  keys alt+v p
  local shown=
  for _ in $(seq 20); do
    shown=$("$wine" "$reader" MPEG 2>/dev/null | tr -d '\r')
    grep -qF "2,048바이트 (2KB)" <<<"$shown" && break
    sleep 0.5
  done
  import -window root "$artefacts/korean-properties.png"
  grep -qF "2,048바이트 (2KB)" <<<"$shown" || fail "the properties of 노래.mp3 lack its size: $shown"
  keys Escape
}

printf '\xff\xfb\x90\x00%.0s' $(seq 512) >"$pc/a song.mp3"
session en_US.UTF-8 english english
settings=$(reg query "$key" /s)
echo "$settings"
# The window's state and place are values of the application key itself.
grep -Eq '^ +WindowState +REG_DWORD +0x' <<<"$settings" || fail "WindowState is not a REG_DWORD of $key"
grep -Eq '^ +WindowWidth +REG_DWORD +0x' <<<"$settings" || fail "WindowWidth is not a REG_DWORD of $key"
# Texts are REG_SZ.
grep -Eq '^ +FileListFilter +REG_SZ' <<<"$settings" || fail "FileListFilter is not a REG_SZ of $key"

rm -f "$pc"/*
printf '\xff\xfb\x90\x00%.0s' $(seq 512) >"$pc/노래.mp3"
session ko_KR.UTF-8 korean korean
rm -rf "$pc"

echo "$failures failure(s); screenshots in $artefacts"
[ $failures -eq 0 ]
