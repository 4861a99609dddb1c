#!/usr/bin/env bash
# The desktop view listing a folder of 10,000 files (type names and icons
# included) against `ls -l` of the same folder, in alternating pairs:
# the first listing at most 10 times, the second at most 5 times the median
# of ls -l, and the resident memory flat (under 1 MiB of growth) across 100
# more listings.
# Usage: bench/desktop_list/bench.sh BUILD-DIR
set -euo pipefail
build=${1:?usage: bench.sh BUILD-DIR}
cmake --build "$build" --target desktop_list_bench >/dev/null
bench=$build/bench/desktop_list/desktop_list_bench

work=$(mktemp -d "${TMPDIR:-/tmp}/desktop-list-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config HOME=$work/home
mkdir -p "$XDG_CONFIG_HOME" "$HOME" "$work/big"
(
  cd "$work/big"
  for i in $(seq 0 99); do mkdir "folder$i"; done
  exts=(mp3 MP3 wav txt jpg qka)
  for i in $(seq 0 9899); do : >"track$i.${exts[i % 6]}"; done
)

run() { # the benchmark program, on a virtual display when there is none
  if [ -n "${DISPLAY:-}" ]; then "$bench" "$@"; else xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$bench" "$@"; fi
}
ms() { # wall time of a command in milliseconds
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000))e-3
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

ls_times=() first_times=() second_times=() growth=()
for round in 1 2 3 4 5; do
  ls_times+=("$(ms ls -l "$work/big")")
  read -r first second grow < <(run "$work/big")
  first_times+=("$first") second_times+=("$second") growth+=("$grow")
done
ls_ms=$(median "${ls_times[@]}")
first_ms=$(median "${first_times[@]}")
second_ms=$(median "${second_times[@]}")
grow_kb=$(median "${growth[@]}")
first_ratio=$(awk -v a="$first_ms" -v b="$ls_ms" 'BEGIN { printf "%.2f", a / b }')
second_ratio=$(awk -v a="$second_ms" -v b="$ls_ms" 'BEGIN { printf "%.2f", a / b }')
printf 'ls -l, 10,000 files:   %8.1f ms\n' "$ls_ms"
printf 'first listing:         %8.1f ms  ratio %s (target <= 10)\n' "$first_ms" "$first_ratio"
printf 'second listing:        %8.1f ms  ratio %s (target <= 5)\n' "$second_ms" "$second_ratio"
printf '100 more listings:     %8d KB resident growth (target < 1024)\n' "$grow_kb"
status=0
awk -v r="$first_ratio" 'BEGIN { exit !(r <= 10) }' || { echo "first listing missed its target" >&2; status=1; }
awk -v r="$second_ratio" 'BEGIN { exit !(r <= 5) }' || { echo "second listing missed its target" >&2; status=1; }
[ "$grow_kb" -lt 1024 ] || { echo "memory grew across the listings" >&2; status=1; }
exit $status
