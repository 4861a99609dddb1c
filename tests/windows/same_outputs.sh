#!/usr/bin/env bash
# The Windows programs under Wine against the Linux build on the same
# inputs: the files and the data on standard output must be the same bytes,
# and the exit statuses the same. Names are Korean and paths take the
# Windows forms (drive letters, backslashes).
# Usage: same_outputs.sh LINUX_BUILD WINDOWS_BIN
set -uo pipefail
# Wine reads the Unix file names and arguments in the locale's character
# set; an English Windows (ANSI code page 1252) must still open Korean names.
export LC_ALL=C.UTF-8
linux=$1
windows=$2
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/linux" "$work/windows"
failures=0
checks=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The Windows path of a file under $work, as a person would type it.
winpath() {
  printf 'Z:%s' "$1" | tr / '\\'
}

# same NAME: compares the two outputs of one case.
same() {
  checks=$((checks + 1))
  if ! cmp -s "$work/linux/$1" "$work/windows/$1"; then
    fail "$1 differs: $(cmp "$work/linux/$1" "$work/windows/$1" 2>&1 | head -n1)"
  fi
}

# status CASE LINUX WINDOWS
status() {
  checks=$((checks + 1))
  [ "$2" = "$3" ] || fail "$1: exit status $2 on Linux, $3 on Windows"
}

# Inputs, made by the Linux build's generators.
gen_hex="$linux/tests/data/hex/hexgen"
gen_voice="$linux/tests/data/voice/sd_voicegen"
"$gen_hex" "$work/in/boot.hex" 3000 0x0 7 16 || exit 1
"$gen_hex" "$work/in/앱.hex" 70000 0x8000 11 32 || exit 1
"$gen_hex" "$work/in/font.hex" 513 0x20000 5 255 || exit 1
"$gen_voice" qka "$work/in/녹음.qka" 3 || exit 1
"$gen_voice" qka-size "$work/in/odd.qka" 1000 || exit 1
"$gen_voice" qdx "$work/in/memo.qdx" 0 0 2 || exit 1
"$gen_voice" qdx "$work/in/메모 dtx.qdx" 1 1 2 || exit 1

# kdmerge: into a file, and as data on standard output.
(cd "$work/in" && "$linux/bin/kdmerge" /o "$work/linux/merged.hex" boot.hex 앱.hex font.hex /q >/dev/null)
l=$?
(cd "$work/in" && "$wine_run" "$windows/kdmerge.exe" /o "$(winpath "$work/windows/merged.hex")" \
  boot.hex 앱.hex "$(winpath "$work/in/font.hex")" /q >/dev/null)
w=$?
status "kdmerge /o" $l $w
same merged.hex

(cd "$work/in" && "$linux/bin/kdmerge" 앱.hex boot.hex >"$work/linux/stdout.hex" 2>/dev/null)
l=$?
(cd "$work/in" && "$wine_run" "$windows/kdmerge.exe" 앱.hex boot.hex >"$work/windows/stdout.hex" 2>/dev/null)
w=$?
status "kdmerge to standard output" $l $w
same stdout.hex

# A missing input fails alike and writes nothing.
(cd "$work/in" && "$linux/bin/kdmerge" /o "$work/linux/none.hex" nothing.hex /q >/dev/null 2>&1)
l=$?
(cd "$work/in" && "$wine_run" "$windows/kdmerge.exe" /o "$(winpath "$work/windows/none.hex")" nothing.hex /q >/dev/null 2>&1)
w=$?
status "kdmerge with a missing input" $l $w
checks=$((checks + 1))
[ ! -e "$work/windows/none.hex" ] || fail "kdmerge left an output for a missing input"

# Messages: the same text, in Windows line ends.
for args in "/?" "/o out.hex missing.hex"; do
  # shellcheck disable=SC2086
  (cd "$work/in" && "$linux/bin/kdmerge" $args >"$work/linux/text" 2>&1)
  l=$?
  # shellcheck disable=SC2086
  (cd "$work/in" && "$wine_run" "$windows/kdmerge.exe" $args 2>&1 | tr -d '\r' >"$work/windows/text")
  w=${PIPESTATUS[0]}
  status "kdmerge $args" $l $w
  same text
done

# The converters.
for case in "녹음.qka:qka2wav:녹음.wav" "odd.qka:qka2wav:odd.wav" "memo.qdx:qdx2wav:memo.wav" \
            "메모 dtx.qdx:qdx2wav:메모 dtx.wav"; do
  IFS=: read -r input program output <<<"$case"
  (cd "$work/in" && "$linux/bin/$program" "$input" "$work/linux/$output" >/dev/null 2>&1)
  l=$?
  (cd "$work/in" && "$wine_run" "$windows/$program.exe" "$input" "$(winpath "$work/windows/$output")" >/dev/null 2>&1)
  w=$?
  status "$program $input" $l $w
  same "$output"
done

# The output replaces a file only when whole, and no temporary stays behind.
printf 'old' >"$work/windows/kept.wav"
(cd "$work/in" && "$wine_run" "$windows/qka2wav.exe" 녹음.qka "$(winpath "$work/windows/kept.wav")" >/dev/null 2>&1)
cp "$work/linux/녹음.wav" "$work/linux/kept.wav"
same kept.wav
checks=$((checks + 1))
leftovers=$(find "$work/windows" -name '.*' -type f | wc -l)
[ "$leftovers" = 0 ] || fail "temporary files left: $(find "$work/windows" -name '.*' -type f)"

# kdrom: the image the player receives, read back from each build's virtual
# player, with the same messages and exit statuses. The HEX file's path is
# recorded in CP949.
linux_sim() {
  KD5200_PLAYER_DIR="$work/linux/player" "$linux/bin/kd5200sim" "$@"
}
windows_sim() {
  KD5200_PLAYER_DIR=$(winpath "$work/windows/player") "$wine_run" "$windows/kd5200sim.exe" "$@"
}
linux_sim create --external none >/dev/null && linux_sim plug || fail "Linux player"
windows_sim create --external none >/dev/null && windows_sim plug || fail "Windows player"
cp "$work/in/boot.hex" "$work/in/a🎵.hex"
for args in "앱.hex:application:app.img" "boot.hex /b:boot:boot.img" "a🎵.hex::" \
            "/?::" "missing.hex::"; do
  IFS=: read -r hex target image <<<"$args"
  # shellcheck disable=SC2086
  (cd "$work/in" && KD5200_CODEPAGE=CP949 KD5200_PLAYER_DIR="$work/linux/player" \
    "$linux/bin/kdrom" $hex >"$work/linux/text" 2>&1 </dev/null)
  l=$?
  # shellcheck disable=SC2086
  (cd "$work/in" && KD5200_CODEPAGE=CP949 KD5200_PLAYER_DIR=$(winpath "$work/windows/player") \
    "$wine_run" "$windows/kdrom.exe" $hex 2>&1 </dev/null | tr -d '\r' >"$work/windows/text")
  w=${PIPESTATUS[0]}
  status "kdrom $hex" $l $w
  same text
  [ -n "$image" ] || continue
  linux_sim firmware "$target" "$work/linux/$image" >/dev/null 2>&1
  windows_sim firmware "$target" "$(winpath "$work/windows/$image")" >/dev/null 2>&1
  same "$image"
done

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
