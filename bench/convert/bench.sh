#!/usr/bin/env bash
# Voice converters against their peers, in one run:
#   qka2wav on a 256 MiB QKA file vs cp (target: at most 2x), and its peak
#   memory for 1 MiB and 256 MiB inputs (target: within 1 MiB);
#   qdx2wav on one hour of speech vs a minimal opencore-amr decoding program
#   (target: at most 1.1x) and vs ffmpeg on the same frames as .amr (target:
#   no slower).
# Usage: bench/convert/bench.sh <build-dir>
set -euo pipefail
build=${1:?usage: bench.sh <build-dir>}
bin="$build/bin"
cmake --build "$build" --target qdx2wav qka2wav sd_voicegen amr_decode_min peak_rss -j2 >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/sd-bench-convert.XXXXXX")
trap 'rm -rf "$work"' EXIT
status=0

# Best wall time of five runs, in seconds. The output (the last argument)
# is removed before each run, so that no run pays for replacing the
# previous run's file.
best_of() {
  local best="" t0 t1 t
  for _ in 1 2 3 4 5; do
    rm -f "${@: -1}"
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    t=$(( t1 - t0 ))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

check() { # name value limit
  if awk -v v="$2" -v l="$3" 'BEGIN { exit !(v <= l) }'; then
    echo "  $1: $2 (limit $3) ok"
  else
    echo "  $1: $2 (limit $3) FAILED"; status=1
  fi
}

# Peak resident memory of a run in KiB (the converters exit with 1 on success).
peak_kib() { { "$bin/peak_rss" "$@" 2>&1 >/dev/null || true; } | awk '/^peak_rss_kib/ { print $2 }'; }

echo "qka2wav"
"$bin/sd_voicegen" qka-size "$work/small.qka" $((1024 * 1024))
"$bin/sd_voicegen" qka-size "$work/big.qka" $((256 * 1024 * 1024))
t_cp=$(best_of cp "$work/big.qka" "$work/copy.qka")
t_qka=$(best_of "$bin/qka2wav" "$work/big.qka" "$work/big.wav")
echo "  cp 256 MiB: ${t_cp}s  qka2wav 256 MiB: ${t_qka}s"
check "time ratio qka2wav/cp" "$(ratio "$t_qka" "$t_cp")" 2.00
m_small=$(peak_kib "$bin/qka2wav" "$work/small.qka" "$work/small.wav")
m_big=$(peak_kib "$bin/qka2wav" "$work/big.qka" "$work/big.wav")
echo "  peak memory: 1 MiB input ${m_small} KiB, 256 MiB input ${m_big} KiB"
check "peak memory difference (KiB)" "$(( m_big > m_small ? m_big - m_small : m_small - m_big ))" 1024
rm -f "$work"/big.* "$work"/copy.qka

echo "qdx2wav"
"$bin/sd_voicegen" qdx "$work/hour.qdx" 0 0 3600 "$work/hour.amr"
t_min=$(best_of "$bin/amr_decode_min" "$work/hour.amr" "$work/min.raw")
t_qdx=$(best_of "$bin/qdx2wav" "$work/hour.qdx" "$work/hour.wav")
echo "  minimal decoder: ${t_min}s  qdx2wav: ${t_qdx}s"
check "time ratio qdx2wav/minimal" "$(ratio "$t_qdx" "$t_min")" 1.10
if command -v ffmpeg >/dev/null; then
  t_ff=$(best_of ffmpeg -nostdin -y -loglevel error -i "$work/hour.amr" "$work/ff.wav")
  echo "  ffmpeg: ${t_ff}s"
  check "time ratio qdx2wav/ffmpeg" "$(ratio "$t_qdx" "$t_ff")" 1.00
else
  echo "  ffmpeg not installed: skipped"
fi
exit $status
