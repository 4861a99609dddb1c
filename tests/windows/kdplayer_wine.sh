#!/usr/bin/env bash
# kdplayer.exe under Wine on the virtual player (kd5200usb.dll, reached
# through the binding as the maker's library would be), in the Korean ANSI
# code page: a Korean name stored by kd5200sim is listed, backup, format and
# restore give back the same files, and a transfer stopped by Ctrl+C leaves
# nothing partial on the player or the PC.
# Usage: kdplayer_wine.sh WINDOWS_BIN. Exit status 77 (skipped) when the
# virtual player's programs are not built.
set -uo pipefail
bin=$1
for program in kdplayer.exe kd5200sim.exe kd5200usb.dll; do
  [ -f "$bin/$program" ] || { echo "$bin/$program is not built: skipped"; exit 77; }
done
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run.sh"
export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pc" "$work/player"
failures=0
checks=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# check TEXT COMMAND...: counts a check, failing it with TEXT when COMMAND fails.
check() {
  local what=$1
  shift
  checks=$((checks + 1))
  "$@" || fail "$what"
}

# The Windows path of a file under $work, as a person would type it.
winpath() {
  printf 'Z:%s' "$1" | tr / '\\'
}

export KD5200_PLAYER_DIR
KD5200_PLAYER_DIR=$(winpath "$work/player")
cd "$work/pc" || exit 1
kdp() { "$wine_run" "$bin/kdplayer.exe" "$@"; }
sim() { "$wine_run" "$bin/kd5200sim.exe" "$@"; }
# Random bytes of a size.
bytes() { head -c "$2" /dev/urandom >"$1"; }
# The names of a memory in order, from kdplayer's JSON (Windows line ends dropped).
names() {
  kdp ls "$1" --json | tr -d '\r' | grep -o '"name":"[^"]*"' | sed 's/"name":"\(.*\)"/\1/' |
    grep -v -e '^Internal Memory$' -e '^External Memory$' | tr '\n' ' '
}
# A player file as the virtual player holds it, into a PC file.
on_player() { sim get "$1" "$2" "$(winpath "$3")" >/dev/null; }

sim create >/dev/null && sim plug >/dev/null || { echo "no virtual player could be made"; exit 1; }

# A Korean name crosses the library in code page 949 and comes back whole.
printf 'a song' >노래.mp3
check "kd5200sim put internal 노래.mp3" sim put internal 노래.mp3
listing=$(kdp ls internal | tr -d '\r')
check "kdplayer ls shows 노래.mp3 (it showed: $listing)" grep -q '노래\.mp3' <<<"$listing"

# backup -> format -> restore, with Windows paths: the same files in their order.
mkdir -p src
bytes src/zeta.mp3 40000
bytes "src/긴 이름의 노래.mp3" 70001
bytes src/ext.bin 100
check "put of two files by Windows paths" kdp put internal "$(winpath "$work/pc/src/zeta.mp3")" "src\\긴 이름의 노래.mp3"
check "put onto the external memory" kdp put external src/ext.bin
internal=$(names internal)
external=$(names external)
check "backup into a folder named with a drive letter" kdp backup "$(winpath "$work/pc/saved")"
check "the backup holds its manifest" test -f saved/MANIFEST
check "format of the internal memory" kdp format -y internal
check "format of the external memory" kdp format -y external
check "the internal memory is empty after the format" test -z "$(names internal)"
check "restore" kdp restore saved
check "the internal memory holds the backup's files in order" test "$(names internal)" = "$internal"
check "the external memory holds the backup's file" test "$(names external)" = "$external"
mkdir -p back
on_player internal 0 back/0 && on_player internal 1 back/1 && on_player internal 2 back/2
check "노래.mp3 came back the same" cmp -s back/0 노래.mp3
check "zeta.mp3 came back the same" cmp -s back/1 src/zeta.mp3
check "the long Korean name came back the same" cmp -s back/2 "src/긴 이름의 노래.mp3"

# Ctrl+C (Wine turns SIGINT into the console's Ctrl+C event) in the middle
# of a slow transfer: the command stops, says so, and leaves nothing partial.
bytes src/big.mp3 3000000
check "put of the big file" kdp put internal src/big.mp3
mkdir -p out
printf 'the old copy' >out/big.mp3
before=$(names internal)
stopped() {
  # stopped WHAT ARGS...: runs kdplayer slowed down, sends Ctrl+C after 3 s.
  local what=$1
  shift
  KD5200_SPEED=500000 "$wine_run" "$bin/kdplayer.exe" "$@" >"$work/stopped.out" 2>&1 &
  local pid=$!
  sleep 3
  kill -INT $pid
  wait $pid
  local status=$?
  check "$what: exit status 6 after Ctrl+C (was $status: $(tr -d '\r' <"$work/stopped.out"))" test $status = 6
}
stopped "get -f" get -f internal big.mp3 out
check "the old PC copy stays as it was" test "$(cat out/big.mp3)" = "the old copy"
check "no temporary is left beside the PC copy" test "$(ls -A out)" = big.mp3
stopped "put" put internal src/zeta.mp3 src/big.mp3 -f
check "the player holds what it held, after a stopped put" test "$(names internal)" = "$before"
on_player internal 3 back/big
check "the big file on the player is whole" cmp -s back/big src/big.mp3
stopped "backup" backup again
check "a stopped backup leaves no folder" test ! -e again
check "a stopped backup leaves nothing beside it" test -z "$(ls -A | grep -v -x -e 노래.mp3 -e src -e saved -e back -e out)"

# PC paths cross the library in code page 949: a folder it cannot name goes
# by its short name, and a file to be written under a name it cannot hold is
# written under a temporary name and renamed. Paths split at "\" too.
odd="🎵 ẞ"
mkdir -p "$odd"
bytes "$odd/노래2.mp3" 50001
check "put from a folder code page 949 cannot name" kdp put internal "$(winpath "$work/pc/$odd/노래2.mp3")"
check "get into a name code page 949 cannot hold" kdp get internal 노래2.mp3 -o "$odd\\ẞ 🎵.mp3"
check "the file came back the same" cmp -s "$odd/ẞ 🎵.mp3" "$odd/노래2.mp3"
check "no temporary is left in that folder" test "$(ls -A "$odd" | wc -l)" = 2
on_player internal 4 back/노래2
check "the player's copy is the file" cmp -s back/노래2 "$odd/노래2.mp3"
before=$(names internal)
kdp put internal "src\\zeta.mp3" >"$work/again.out" 2>&1
check "a put by a path with \\ finds the name already there ($(tr -d '\r' <"$work/again.out"))" \
  grep -q "'zeta.mp3' is already on" "$work/again.out"
bytes src/zeta.mp3 40002
check "put -f by a path with \\ replaces it" kdp put -f internal "src\\zeta.mp3"
check "the names stay as they were after the replace" test "$(names internal)" = "$before"
on_player internal 1 back/zeta2
check "the replaced copy is the new file" cmp -s back/zeta2 src/zeta.mp3

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
