#!/usr/bin/env bash
# The virtual player on Windows under Wine's Korean code page (949): a name
# put by kd5200sim.exe is stored in the code page's bytes (read back by the
# Linux build from the same folder), a name the code page cannot hold is
# refused with the Linux message, a program using kd5200usb.dll through
# run-time lookup sees the file and the refusal, and a waiting program sees
# the player unplugged.
# Usage: virtual_player.sh LINUX_BUILD WINDOWS_BIN TEST_PROGRAM
set -uo pipefail
export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
unset KD5200_CODEPAGE
linux=$1
windows=$2
test_program=$3
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run.sh"
work=$(mktemp -d)
waiter=
trap '[ -n "$waiter" ] && kill "$waiter" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
checks=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
check() {
  checks=$((checks + 1))
  eval "$1" || fail "$2"
}
winpath() {
  printf 'Z:%s' "$1" | tr / '\\'
}
sim() {
  KD5200_PLAYER_DIR=$(winpath "$work/player") "$wine_run" "$windows/kd5200sim.exe" "$@"
}
linux_sim() {
  local folder=$1
  shift
  KD5200_PLAYER_DIR=$folder "$linux/bin/kd5200sim" "$@"
}

mkdir -p "$work/in"
printf 'ID3 a song of eleven words, more or less' >"$work/in/노래.mp3"
cp "$work/in/노래.mp3" "$work/in/a🎵.mp3"
check 'sim create --internal 1M --external none >/dev/null && sim plug' "kd5200sim.exe create and plug"

(cd "$work/in" && sim put internal 노래.mp3)
check "[ $? = 0 ]" "kd5200sim.exe put internal 노래.mp3"
# The file's line: number, short name, long name, size.
stored=$(linux_sim "$work/player" ls --raw internal | LC_ALL=C grep -a $'^0\t' | cut -f3 | tr -d '\n' | od -An -tx1 | tr -d ' \n')
check '[ "$stored" = b3ebb7a12e6d7033 ]' "the stored name is $stored, not B3 EB B7 A1 2E 6D 70 33"
listed=$(sim ls internal | tr -d '\r' | grep $'^0\t' | cut -f3)
check '[ "$listed" = 노래.mp3 ]' "kd5200sim.exe ls shows '$listed', not 노래.mp3"

# The refusal, beside the Linux build's for the same code page. The Windows
# build has no message catalogues: its text is the English one.
(cd "$work/in" && sim put internal a🎵.mp3 2>"$work/windows.err")
w=$?
linux_sim "$work/linux-player" create --internal 1M --external none >/dev/null &&
  linux_sim "$work/linux-player" plug
(cd "$work/in" && LANGUAGE=C KD5200_CODEPAGE=CP949 linux_sim "$work/linux-player" put internal a🎵.mp3 2>"$work/linux.err")
l=$?
check '[ $w = 1 ] && [ $l = 1 ]' "put of a🎵.mp3: exit status $l on Linux, $w on Windows"
check '[ -s "$work/linux.err" ] && diff <(tr -d "\r" <"$work/windows.err") "$work/linux.err" >/dev/null' \
  "the refusal reads '$(cat "$work/windows.err")', on Linux '$(cat "$work/linux.err")'"

# A program of its own, through run-time lookup of the library's functions.
KD5200_PLAYER_DIR=$(winpath "$work/player") "$wine_run" "$test_program" "$(winpath "$windows")" names "$(winpath "$work/in")"
check "[ $? = 0 ]" "the library seen by a program (names)"

# A program waiting on the player sees the unplug made by another.
KD5200_PLAYER_DIR=$(winpath "$work/player") "$wine_run" "$test_program" "$(winpath "$windows")" wait >"$work/wait.out" &
waiter=$!
for _ in $(seq 600); do
  grep -q ready "$work/wait.out" 2>/dev/null && break
  kill -0 "$waiter" 2>/dev/null || break
  sleep 0.1
done
check 'grep -q ready "$work/wait.out"' "the waiting program started"
sim unplug
wait "$waiter"
w=$?
waiter=
check '[ $w = 0 ]' "the waiting program saw the unplug"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
