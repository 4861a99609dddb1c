# Timing helpers shared by the bench/*/bench.sh scripts (sourced, not run).
#
# A benchmark times whole processes. Each contender is a shell function that
# runs one program; an optional function <name>_prepare runs untimed before
# each of its runs (removing the previous output, say). race runs all
# contenders once per round, each round starting with the next one, so that
# all of them meet the same load; the verdicts compare the medians.
#
# Each run's wall time and CPU time (user + system, the process and its
# children) are taken. The benchmarks decide by CPU time: the work here is
# on cached files, so a run's CPU time is its cost, while its wall time
# also counts the time it waited for a core, which on a shared machine
# depends on everyone else. Both ratios are shown.

bench_status=0
declare -gA wall_median cpu_median

# Prints "WALL CPU" in seconds for one run of a command (CPU: user + system
# time of the process and its children). A failed run stops the benchmark.
time_run() {
  local TIMEFORMAT='%R %U %S' times
  if ! times=$({ time "$@" >/dev/null 2>&1; } 2>&1); then
    echo "benchmark run failed: $*" >&2
    exit 1
  fi
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$times"
}

# Median of the numbers given.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.6f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# race ROUNDS CONTENDER... : fills wall_median and cpu_median by contender.
race() {
  local rounds=$1 r k n f w c t
  shift
  n=$#
  local -a names=("$@")
  local -A walls cpus
  for ((r = 0; r < rounds; r++)); do
    for ((k = 0; k < n; k++)); do
      f=${names[$(((k + r) % n))]}
      if declare -F "${f}_prepare" >/dev/null; then "${f}_prepare"; fi
      t=$(time_run "$f") || exit 1
      read -r w c <<<"$t"
      walls[$f]+=" $w"
      cpus[$f]+=" $c"
    done
  done
  for f in "${names[@]}"; do
    # shellcheck disable=SC2086
    wall_median[$f]=$(median ${walls[$f]})
    # shellcheck disable=SC2086
    cpu_median[$f]=$(median ${cpus[$f]})
  done
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 999) }'; }

# verdict LABEL VALUE LIMIT [NOTE]: PASS when VALUE <= LIMIT; a FAIL makes
# the benchmark exit non-zero.
verdict() {
  local result=PASS
  if ! awk -v v="$2" -v l="$3" 'BEGIN { exit !(v <= l) }'; then
    result=FAIL
    bench_status=1
  fi
  printf '  %-34s %9s  (limit %s) %s%s\n' "$1" "$2" "$3" "$result" "${4:+  $4}"
}

# compare METRIC A B LIMIT LABEL: the ratio of A's median to B's, by wall
# time or by CPU time; the other ratio is shown for information.
compare() {
  local metric=$1 a=$2 b=$3 limit=$4 label=$5 by other
  local wall_ratio cpu_ratio
  wall_ratio=$(ratio "${wall_median[$a]}" "${wall_median[$b]}")
  cpu_ratio=$(ratio "${cpu_median[$a]}" "${cpu_median[$b]}")
  if [ "$metric" = cpu ]; then
    by=$cpu_ratio other="wall ratio $wall_ratio"
  else
    by=$wall_ratio other="cpu ratio $cpu_ratio"
  fi
  verdict "$label ($metric)" "$by" "$limit" "$other"
}

# Prints the medians of the contenders, one line each.
show_medians() {
  local f
  for f in "$@"; do
    printf '  %-20s wall %8.3f s  cpu %8.3f s (medians)\n' "$f" "${wall_median[$f]}" "${cpu_median[$f]}"
  done
}
