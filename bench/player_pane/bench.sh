#!/usr/bin/env bash
# The memory pane's fill of a full memory (512 entries, icons and type names
# from the desktop's file types) against listing the same memory with
# kd5200sim, in alternating pairs; medians of seven. Targets: a first fill
# under 50 ms, a second fill of the same memory under 10 ms. With "korean",
# the names are Korean and the pane runs under ko_KR.UTF-8, so that every name
# is decoded from the player's CP949.
# Usage: bench/player_pane/bench.sh BUILD-DIR [korean]
set -euo pipefail
build=${1:?usage: bench.sh BUILD-DIR [korean]}
names=${2:-}
build=$(cd "$build" && pwd)
bin=$build/bin
cmake --build "$build" --target kd5200usb kd5200sim pane_fill_bench >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/pane-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export KD5200_PLAYER_DIR=$work/player XDG_CONFIG_HOME=$work/config
export KD5200USB_LIBRARY=$bin/libkd5200usb.so
unset KD5200_SPEED

# Files of a few kinds, as a player holds them.
mkdir -p "$work/files"
kinds=(mp3 mp3 mp3 wma qka qdx txt)
stem="track"
if [ "$names" = korean ]; then
  export LANG=ko_KR.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES=
  stem="노래 모음"
fi
for i in $(seq 0 511); do
  printf 'file %d' "$i" >"$work/files/$stem $i.${kinds[i % ${#kinds[@]}]}"
done
"$bin/kd5200sim" create --internal 64M --external none >/dev/null
"$bin/kd5200sim" plug
(cd "$work/files" && "$bin/kd5200sim" put internal ./* >/dev/null)

display=()
[ -n "${DISPLAY:-}" ] || display=(xvfb-run -a -s "-screen 0 1024x900x24 -noreset")

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ms_of() { # wall time of a command in milliseconds
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e6 }'
}

firsts=() seconds=() peers=()
for round in 1 2 3 4 5 6 7; do
  read -r first second rows < <("${display[@]}" "$build/bench/player_pane/pane_fill_bench")
  [ "$rows" = 512 ] || { echo "pane listed $rows rows, not 512" >&2; exit 1; }
  firsts+=("$first")
  seconds+=("$second")
  peers+=("$(ms_of "$bin/kd5200sim" ls internal)")
done
first=$(median "${firsts[@]}")
second=$(median "${seconds[@]}")
peer=$(median "${peers[@]}")
[ "$names" = korean ] && echo "names in CP949 (ko_KR.UTF-8)"
printf 'kd5200sim ls, 512 entries: %8.2f ms\n' "$peer"
printf 'first fill, 512 entries:   %8.2f ms  ratio %.2f  (target < 50 ms)\n' "$first" \
  "$(awk -v a="$first" -v b="$peer" 'BEGIN { print a / b }')"
printf 'second fill:               %8.2f ms  ratio %.2f  (target < 10 ms)\n' "$second" \
  "$(awk -v a="$second" -v b="$peer" 'BEGIN { print a / b }')"
awk -v f="$first" -v s="$second" 'BEGIN { exit !(f < 50 && s < 10) }' || {
  echo "missed a target" >&2
  exit 1
}
