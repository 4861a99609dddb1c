#!/usr/bin/env bash
# Voice converters against their peers, in one run (whole processes, taking
# turns, medians of five or nine rounds, CPU time; see ../timing.sh):
#   qka2wav on a 256 MiB QKA file vs cp of that file (target: at most 2x),
#   and its peak memory for 1 MiB and 256 MiB inputs (within 1 MiB);
#   qdx2wav on 20 minutes of speech vs the bare opencore-amr decoding loop and
#   vs sox on the same frames as .amr (targets: at most 1.05x; all three
#   decode with opencore-amr and give the same samples).
# Usage: bench/convert/bench.sh <build-dir>
set -euo pipefail
build=$(cd "${1:?usage: bench.sh <build-dir>}" && pwd)
bin="$build/bin"
here="$build/bench/convert" data="$build/tests/data/voice"
source "$(dirname "$0")/../timing.sh"
cmake --build "$build" --target qdx2wav qka2wav sd_voicegen amr_decode_min peak_rss -j2 >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/sd-bench-convert.XXXXXX")
trap 'rm -rf "$work"' EXIT
rounds=5

# Peak resident memory of a run in KiB (the converters exit with 1 on success).
peak_kib() { { "$here/peak_rss" "$@" 2>&1 >/dev/null || true; } | awk '/^peak_rss_kib/ { print $2 }'; }

echo "qka2wav"
"$data/sd_voicegen" qka-size "$work/small.qka" $((1024 * 1024))
"$data/sd_voicegen" qka-size "$work/big.qka" $((256 * 1024 * 1024))
# Every run writes a new file: replacing one costs a flush on some file systems.
copy_prepare() { rm -f "$work/copy.qka"; }
copy() { cp "$work/big.qka" "$work/copy.qka"; }
qka2wav_prepare() { rm -f "$work/big.wav"; }
qka2wav() { "$bin/qka2wav" "$work/big.qka" "$work/big.wav"; [ $? -eq 1 ]; }
race "$rounds" qka2wav copy
show_medians qka2wav copy
compare cpu qka2wav copy 2.00 "qka2wav/cp, 256 MiB"
m_small=$(peak_kib "$bin/qka2wav" "$work/small.qka" "$work/small.wav")
m_big=$(peak_kib "$bin/qka2wav" "$work/big.qka" "$work/big.wav")
echo "  peak memory: 1 MiB input ${m_small} KiB, 256 MiB input ${m_big} KiB"
verdict "peak memory difference (KiB)" "$((m_big > m_small ? m_big - m_small : m_small - m_big))" 1024
rm -f "$work"/big.* "$work"/copy.qka

echo "qdx2wav"
# Nine rounds: the targets are close to the decoder's own time.
"$data/sd_voicegen" qdx "$work/speech.qdx" 0 0 1200 "$work/speech.amr"
decoder_prepare() { rm -f "$work/min.raw"; }
decoder() { "$here/amr_decode_min" "$work/speech.amr" "$work/min.raw"; }
qdx2wav_prepare() { rm -f "$work/speech.wav"; }
qdx2wav() { "$bin/qdx2wav" "$work/speech.qdx" "$work/speech.wav"; [ $? -eq 1 ]; }
sox_decode_prepare() { rm -f "$work/sox.raw"; }
sox_decode() { sox "$work/speech.amr" -t raw -e signed -b 16 "$work/sox.raw"; }
contenders=(qdx2wav decoder)
if command -v sox >/dev/null; then contenders+=(sox_decode); else echo "  sox is not installed"; fi
race 9 "${contenders[@]}"
show_medians "${contenders[@]}"
# The same samples from all, or the comparison means nothing.
tail -c +45 "$work/speech.wav" | cmp -s - "$work/min.raw" || verdict "qdx2wav samples differ" 1 0
compare cpu qdx2wav decoder 1.05 "qdx2wav/bare decoder"
if [ -f "$work/sox.raw" ]; then
  cmp -s "$work/sox.raw" "$work/min.raw" || verdict "sox samples differ" 1 0
  compare cpu qdx2wav sox_decode 1.05 "qdx2wav/sox"
else
  verdict "qdx2wav/sox: sox missing" 1 0
fi
exit $bench_status
