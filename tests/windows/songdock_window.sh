#!/usr/bin/env bash
# Songdock under Wine, on an X display of its own with a window manager, on
# the virtual player's demo, driven by keys as a person drives it:
#  - the window's title and both memories' headers, read from the controls
#    as a Windows screen reader reads them (window_reader), and the menu
#    bar's titles and the Edit menu's items, with the Edit menu open by keys;
#  - a PC file onto the internal memory (Home, Tab to the arrow, Space), on a
#    player slowed down so that the progress dialog shows; a delete answered
#    Yes; a rename (F2, the new name, Return); a format from the menu bar
#    answered Yes; the questions centred over the main window;
#  - a PC folder chosen from the PC pane's folder drop-down by keys (Alt+Down
#    in English, F4 in Korean; arrows, Return), its folders then in the PC
#    list;
#  - the Option dialog from the menu bar: its page list is the system's tree
#    view, the arrows choose pages and Tab leads on to the time-outs, which
#    OK keeps: they are read back from the registry after closing;
#  - an unplug and a plug seen in the header;
#  - the settings written on closing in the registry under
#    HKCU\Software\Zentrovia\Songdock, numbers as REG_DWORD, texts as REG_SZ;
#  - in Korean: the headers, the menus and the Option dialog in Korean; a
#    Korean file name stored on the player in CP949, and that PC file's properties
#    read by its name.
# Screenshots in English and Korean are kept in ARTEFACTS.
# Usage: songdock_window.sh WINDOWS_BIN ARTEFACTS WINDOW_READER
set -uo pipefail
bin=$1
artefacts=$2
reader=$3
[ -x "$bin/songdock.exe" ] || { echo "no songdock.exe in $bin"; exit 1; }
mkdir -p "$artefacts"

# A prefix of its own, made under the X display: while a server that Wine
# started without a display runs (as the test script's own prefix, made for
# the console programs, may have), Songdock gets no window and ends.
[ -z "${SONGDOCK_WM_RUNNING:-}" ] && unset WINEPREFIX
source "$(dirname "$0")/wine_desktop.sh"

key='HKCU\Software\Zentrovia\Songdock'
export KD5200_PLAYER_DIR='C:\player'
# 100 kB/s: a 300 kB file takes three seconds, long enough for the
# progress dialog; a format's one block takes a sixth of a second.
export KD5200_SPEED=100000
controls() { read_window Songdock; }
# expect_in TITLE TEXT WHAT: waits up to 10 s for a control of the window
# reading TEXT (a line of window_reader's, or the start of one).
expect_in() {
  for _ in $(seq 20); do
    read_window "$1" | grep -qF -- "$2" && return 0
    sleep 0.5
  done
  fail "$3: no control of '$1' reads '$2'"
  read_window "$1" | sed 's/^/    /'
  return 1
}
# expect TEXT WHAT: the same in Songdock's main window.
expect() { expect_in Songdock "$@"; }
active() { xdotool getactivewindow getwindowname 2>/dev/null; }
# wait_active TITLE WHAT: waits up to 15 s for the window with the keyboard
# to be the one of that title (an extended regular expression).
wait_active() {
  for _ in $(seq 30); do
    active | grep -Eq -- "$1" && return 0
    sleep 0.5
  done
  fail "$2: the window with the keyboard is '$(active)', not /$1/"
  return 1
}
shot() { import -window root "$artefacts/$1.png" || fail "$1: no screenshot"; }
# ko MSGID: the Korean catalogue's text for an English one.
ko() {
  awk -v id="${1//\\/\\\\}" 'found { sub(/^msgstr "/, ""); sub(/"$/, ""); print; exit }
    $0 == "msgid \"" id "\"" { found = 1 }' "$top/po/ko.po"
}
# en MSGID: the English text itself.
en() { printf '%s' "$1"; }
# expect_menus WHAT TR: the menu bar's titles and the Edit menu's items, read
# with the Edit menu open (Alt+E), are the texts that the function TR gives
# for the English ones (a \t in them stands for the Tab before the key).
expect_menus() {
  local what=$1 tr=$2 shown expected item
  keys alt+e
  sleep 0.5
  shown=$(read_window --menus Songdock)
  shot "$what-menu"
  keys Escape Escape
  expected=$(for title in "&File" "&Edit" "&View" "&Tool" "&Help"; do
    printf 'menu\t%s\n' "$($tr "$title")"
  done)
  [ "$(grep '^menu' <<<"$shown")" = "$expected" ] ||
    fail "$what: the menu bar reads '$(grep '^menu' <<<"$shown" | cut -f2 | tr '\n' ' ')'"
  for item in '&Undo\tCtrl+Z' 'Cu&t\tCtrl+X' '&Copy\tCtrl+C' '&Paste\tCtrl+V' '&Option'; do
    grep -qxF "$(printf 'item\t%s\t%b' "$($tr '&Edit')" "$($tr "$item")")" <<<"$shown" ||
      fail "$what: the Edit menu has no item '$($tr "$item")': $(grep -F "$($tr '&Edit')" <<<"$shown" | tr '\n\t' '; ')"
  done
}
# centred TITLE WHAT: the window of that title (an extended regular
# expression) lies centred over Songdock's, within 16 pixels.
centred() {
  local box main X Y WIDTH HEIGHT SCREEN
  box=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
  main=$(xdotool search --onlyvisible --name '^Songdock$' 2>/dev/null | head -n1)
  [ -n "$box" ] && [ -n "$main" ] || { fail "$2: no window /$1/ over Songdock's"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$box")"
  local x=$((X + WIDTH / 2)) y=$((Y + HEIGHT / 2)) at="${WIDTH}x$HEIGHT at $X,$Y"
  eval "$(xdotool getwindowgeometry --shell "$main")"
  x=$((x - X - WIDTH / 2)) y=$((y - Y - HEIGHT / 2))
  [ ${x#-} -le 16 ] && [ ${y#-} -le 16 ] ||
    fail "$2: the box ($at) is ${x},${y} pixels off the main window's centre (${WIDTH}x$HEIGHT at $X,$Y)"
}
# pc_rows: the rows of the PC list (the window's first list view).
pc_rows() { read_window Songdock | awk -F'\t' '$1 == "SysListView32" { n++ } n == 1 && $1 == "row" { print $2 }'; }
# choose_folder OPEN WHAT: from the internal memory's list, Shift+F6 to the
# PC list and two Shift+Tab to its folder drop-down; OPEN opens it, three Up
# go from Documents past the Network and Z: to C:, Return chooses it: the PC
# list then shows C:'s folders; opened again, one Up and Return, its drives.
choose_folder() {
  keys shift+F6 Home shift+Tab shift+Tab "$1" Up Up Up
  shot "$2-folders"
  keys Return
  local rows=
  for _ in $(seq 20); do
    rows=$(pc_rows)
    grep -qx windows <<<"$rows" && break
    sleep 0.5
  done
  grep -qx windows <<<"$rows" ||
    fail "$2: C: chosen from the folder drop-down by $1, the PC list shows: $(tr '\n' ';' <<<"$rows")"
  # One up from C: is the computer: its drives by the shell's names, as
  # "Local Disk (C:)", else "Drive (C:)", never a path.
  keys "$1" Up Return
  for _ in $(seq 20); do
    rows=$(pc_rows)
    grep -q '^[^ (].* (C:)$' <<<"$rows" && break
    sleep 0.5
  done
  grep -q '^[^ (].* (C:)$' <<<"$rows" && ! grep -q ':/' <<<"$rows" ||
    fail "$2: the computer's drives read: $(tr '\n' ';' <<<"$rows")"
}
# The PC pane opens on Documents: a folder of the test's own.
pc=$(mktemp -d)
for d in "$WINEPREFIX"/drive_c/users/*/Documents; do
  case "$d" in */Public/*) continue ;; esac
  rm -rf "$d" && ln -s "$pc" "$d"
done
# mp3 NAME KB: a PC file of that many kB of MPEG frame headers.
mp3() { printf '\xff\xfb\x90\x00%.0s' $(seq $(($2 * 256))) >"$pc/$1"; }

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
    shot "$name"
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
    return
  fi
  xdotool windowactivate --sync "$window" 2>/dev/null
  "$steps" "$window"
  shot "$name"
  close_window $pid "$window" "$name"
}
# field TEXT: replaces what the focused field holds with TEXT.
field() {
  keys End shift+Home
  xdotool type --delay 60 "$1"
}
# upload NAME TITLE: the PC pane's focused file onto the internal memory by
# its arrow (Tab from the PC list); the progress dialog, of that title (an
# extended regular expression), is kept as NAME-progress.png.
upload() {
  keys Tab space
  wait_active "$2" "the progress dialog of the upload" && shot "$1-progress"
  wait_active '^Songdock' "the end of the upload"
}

english() {
  expect $'window\tSongdock' "title"
  expect "Internal Memory - Total 64MB,  Remain 64MB,  3 File(s)" "internal header"
  expect "External Memory - Total 32MB,  Remain 32MB,  0 File(s)" "external header"
  expect_menus english en
  # The PC file onto the internal memory by its arrow.
  keys Home
  upload english '^Internal Memory'
  expect "4 File(s)" "after the upload"
  sim ls internal | grep -q 'a song.mp3' || fail "a song.mp3 is not on the player"
  shot english-copied
  # Delete in the internal memory asks; Return answers Yes. F6 goes on to the
  # external memory (the pane after the one just copied to), Shift+F6 back.
  keys F6 shift+F6 End Delete
  wait_active '^Confirm file deleting$' "Delete asked no question" && shot english-question &&
    centred '^Confirm file deleting$' "the delete question"
  keys Return
  expect "3 File(s)" "after the delete"
  # A rename: the row by its first letter, F2 (an accelerator: those of
  # commands numbered above the toolkit's range once reached nothing), the
  # new name, Return.
  keys n F2
  field "Trip notes.txt"
  keys Return
  expect $'row\tTrip notes.txt' "the renamed row"
  sim ls internal | grep -q 'Trip notes.txt' || fail "the rename did not reach the player: $(sim ls internal)"
  sim ls internal | grep -q 'Notes for the trip' && fail "the old name is still on the player"
  # Tool > Format > Format Internal Memory, answered Yes.
  keys alt+t Down Right Return
  # (A program's boxes after its first: Wine leaves those at the top-left.)
  wait_active '^Format$' "the format asked no question" && shot english-format &&
    centred '^Format$' "the format question"
  keys Return
  expect "Internal Memory - Total 64MB,  Remain 64MB,  0 File(s)" "after the format"
  [ -z "$(sim ls internal | tail -n +2)" ] || fail "the format left files: $(sim ls internal)"
  choose_folder alt+Down english
  options_english
  # An unplug and a plug, seen in the header.
  sim unplug >/dev/null
  for _ in $(seq 20); do controls | grep -qF "Internal Memory - Total 64MB" || break; sleep 0.5; done
  controls | grep -qF "Internal Memory - Total 64MB" && fail "the unplug was not seen"
  shot english-unplugged
  sim plug >/dev/null
  expect "Internal Memory - Total 64MB,  Remain 64MB,  0 File(s)" "after the plug"
}

# Edit > Option: the page list is the system's tree view, its rows read by
# their titles; Down and Home choose pages, Tab leads from the list to the
# first time-out; OK keeps what was typed.
options_english() {
  keys alt+e o
  wait_active '^Configuration$' "Edit > Option" || return
  local shown
  shown=$(read_window Configuration)
  grep -qP '^SysTreeView32\t' <<<"$shown" || fail "the page list is not the system's tree view"
  grep -qxP 'row\tSetting Timeout\tselected' <<<"$shown" ||
    fail "the time-outs' page is not the chosen row: $shown"
  keys Down
  expect_in Configuration $'Button\t ROM Selection ' "Down in the page list"
  expect_in Configuration $'row\tROM Selection\tselected' "the row Down chose"
  keys Home
  expect_in Configuration $'Button\t Setting Timeout ' "Home in the page list"
  shot english-option
  keys Tab
  field 45000
  keys Tab
  field 25000
  keys Tab
  field 600000
  keys Return
  wait_active '^Songdock' "OK in the Option dialog"
}

korean() {
  expect "내장 메모리 - 전체 64MB,  남은 공간 64MB,  파일 3개" "Korean internal header"
  expect_menus korean ko
  keys Home
  upload korean '^내장 메모리'
  expect "파일 4개" "after the Korean upload"
  # The player keeps the name in CP949: B3 EB B7 A1 is 노래 (ls --raw prints
  # the player's own bytes).
  "$wine" "$bin/kd5200sim.exe" ls --raw internal 2>/dev/null | od -An -tx1 | tr -d ' \n' |
    grep -q 'b3ebb7a12e6d7033' ||
    fail "노래.mp3 is not stored in CP949: $(sim ls internal)"
  # The PC file's properties (F6 and Shift+F6 from the arrow to the internal
  # memory, Shift+F6 on to the PC list, its first row; View > Properties):
  # its size, read by its name.
  keys F6 shift+F6 shift+F6 Home
  keys alt+v p
  local shown=
  for _ in $(seq 20); do
    shown=$("$wine" "$reader" MPEG 2>/dev/null | tr -d '\r')
    grep -qF "307,200바이트 (300KB)" <<<"$shown" && break
    sleep 0.5
  done
  shot korean-properties
  grep -qF "307,200바이트 (300KB)" <<<"$shown" || fail "the properties of 노래.mp3 lack its size: $shown"
  keys Escape
  # A question: Delete in the internal memory, answered No (Tab to it, Space).
  keys F6 End Delete
  wait_active "^$(ko 'Confirm file deleting')\$" "the Korean delete asked no question" &&
    shot korean-question && centred "^$(ko 'Confirm file deleting')\$" "the Korean delete question"
  keys Tab space
  wait_active '^Songdock' "No to the Korean delete"
  # The Option dialog in Korean, its pages by their Korean titles; Escape
  # leaves it.
  keys alt+e o
  wait_active "^$(ko Configuration)\$" "Korean Edit > Option" || return
  expect_in "$(ko Configuration)" "row	$(ko 'Setting Timeout')	selected" "the Korean page list"
  shot korean-option
  keys Escape
  wait_active '^Songdock' "Escape in the Korean Option dialog"
  choose_folder F4 korean
}

mp3 "a song.mp3" 300
session en_US.UTF-8 english english
settings=$(reg query "$key" /s)
echo "$settings"
# The window's state and place are values of the application key itself.
grep -Eq '^ +WindowState +REG_DWORD +0x' <<<"$settings" || fail "WindowState is not a REG_DWORD of $key"
grep -Eq '^ +WindowWidth +REG_DWORD +0x' <<<"$settings" || fail "WindowWidth is not a REG_DWORD of $key"
# Texts are REG_SZ.
grep -Eq '^ +FileListFilter +REG_SZ' <<<"$settings" || fail "FileListFilter is not a REG_SZ of $key"
# The time-outs typed in the Option dialog, written on closing: 45000,
# 25000 and 600000 ms.
timeouts=$(reg query "$key\\KDS520")
for expected in 'TIMEOUT_RECV +REG_DWORD +0xafc8' 'TIMEOUT_SEND +REG_DWORD +0x61a8' \
  'TIMEOUT_FORMAT +REG_DWORD +0x927c0'; do
  grep -Eq "^ +$expected\$" <<<"$timeouts" || fail "not in $key\\KDS520: $expected; $timeouts"
done

# The PC pane would start on C:, the folder it was left in.
reg delete "$key\\Desktop" /v LastDirectory /f >/dev/null
rm -f "$pc"/*
mp3 "노래.mp3" 300
session ko_KR.UTF-8 korean korean
rm -rf "$pc"

echo "$failures failure(s); screenshots in $artefacts"
[ $failures -eq 0 ]
