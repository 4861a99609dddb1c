#!/usr/bin/env bash
# The file list over a folder of 100,000 entries against ls -l on the same
# folder, in one run (alternating pairs, medians):
#  - filling (list, sort by name, paint): ratio to ls -l <= 10;
#  - sorting by size with half the rows selected: ratio to ls -l <= 5;
#  - re-selecting 500 names from a name list: under 0.05 s;
#  - a screen reader walking the first 100 rows (every cell) through the
#    accessibility bus: under 1 s;
#  - Orca itself walking 100 rows by Down, each row's words heard: the median
#    time from a key to Orca's first word of the row, against a plain GTK
#    window with a native list of the same folder (alternating rounds):
#    ratio <= 2.
# Usage: bench/list/bench.sh build-dir   (needs list_bench built; runs under
# xvfb-run when no display is set)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
# -noreset: a server that starts over whenever its last client leaves drops a
# client connecting meanwhile (here: the next round's list).
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$build"
fi
bench=$build/bench/list/list_bench
[ -x "$bench" ] || { echo "missing $bench (build target list_bench)"; exit 1; }
export LC_ALL=C.UTF-8
work=$(mktemp -d "${TMPDIR:-/tmp}/listbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
folder=$work/folder
mkdir "$folder"
cd "$folder"

# 1,000 folders and 99,000 files of five kinds and ten sizes; a few names are
# not UTF-8.
seq -f "dir%05g" 1 1000 | xargs mkdir
seq 1 99000 | awk '{ split(".mp3 .wav .txt .QDX .qka", ext, " ");
                     printf "track %06d%s\n", $1, ext[$1 % 5 + 1] }' |
  tr '\n' '\0' | xargs -0 touch
for i in $(seq 0 9); do
  ls | awk -v i="$i" 'NR % 10 == i && /^track/' | tr '\n' '\0' | xargs -0 truncate -s $((i * 70000))
done
for i in $(seq 1 20); do touch "$(printf 'M\xfasica %02d.mp3' "$i")"; done
cd "$work"
count=$(ls -A "$folder" | wc -l)

# Wall-clock seconds of one ls -l.
time_ls() {
  local t0 t1
  t0=$(date +%s.%N)
  ls -l "$folder" >/dev/null
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Runs list_bench's operation and ls -l in turns, n pairs; sets med_ours and med_ls.
race() { # n operation
  local ours=() peer=()
  for _ in $(seq "$1"); do
    ours+=("$("$bench" "$folder" "$2" 2>/dev/null)") || { echo "list_bench $2 failed"; exit 1; }
    peer+=("$(time_ls)")
  done
  med_ours=$(printf '%s\n' "${ours[@]}" | median)
  med_ls=$(printf '%s\n' "${peer[@]}" | median)
}
status=0
check() { # name value limit what
  local verdict=PASS
  if awk -v r="$2" -v l="$3" 'BEGIN { exit !(r > l) }'; then verdict=FAIL; status=1; fi
  printf '%-34s %s %7.3f (limit %s) %s\n' "$1" "$4" "$2" "$3" "$verdict"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", a / b }'; }

echo "folder of $count entries"
race 7 fill
printf 'fill: list %.3f s, ls -l %.3f s\n' "$med_ours" "$med_ls"
check "fill vs ls -l" "$(ratio "$med_ours" "$med_ls")" 10 ratio
race 7 sort
printf 'sort, half selected: list %.3f s, ls -l %.3f s\n' "$med_ours" "$med_ls"
check "sort half selected vs ls -l" "$(ratio "$med_ours" "$med_ls")" 5 ratio
race 7 reselect
printf 're-select 500 names: list %.3f s\n' "$med_ours"
check "re-select 500 names" "$med_ours" 0.05 seconds

# The screen reader's walk, on an accessibility bus of the benchmark's own.
walks=()
for _ in 1 2 3; do
  walks+=("$(dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately & launcher=$!
    coproc LIST { "$1" "$2" serve; }
    read -r ready <&"${LIST[0]}"
    /usr/bin/python3 "$3"
    status=$?
    exec {LIST[1]}>&-
    wait "$LIST_PID" 2>/dev/null; kill $launcher 2>/dev/null
    exit $status' _ "$bench" "$folder" "$here/a11y_walk.py")") || { echo "screen reader walk failed"; exit 1; }
done
med_walk=$(printf '%s\n' "${walks[@]}" | median)
printf 'screen reader walks 100 rows: %.3f s\n' "$med_walk"
check "screen reader walk of 100 rows" "$med_walk" 1 seconds

# Orca's walk, on a bus, window manager and Orca of the benchmark's own.
if [ -x /usr/bin/orca ] && command -v openbox >/dev/null && command -v xdotool >/dev/null; then
  heard=$(dbus-run-session -- /usr/bin/python3 "$here/orca_walk.py" "$bench" "$folder" 3 2>/dev/null | tail -n 1) ||
    { echo "Orca's walk failed"; exit 1; }
  read -r row_ours row_peer <<<"$heard"
  printf "Orca's walk, per row heard: list %.3f s, GTK list %.3f s\n" "$row_ours" "$row_peer"
  check "Orca's walk per row vs GTK list" "$(ratio "$row_ours" "$row_peer")" 2 ratio
else
  echo "Orca's walk skipped: orca, openbox or xdotool missing"
fi
exit $status
