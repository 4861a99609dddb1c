#!/usr/bin/env bash
# Start-up until the first painted listing of a 512-entry player, against a
# minimal frame, in alternating pairs under one virtual display. Targets: the
# median under 1 s and at most 3x the minimal frame's median.
set -euo pipefail
build=${1:?usage: bench.sh build-dir}
bin="$build/bin"
probe="$build/bench/startup/startup_probe"
peer="$build/bench/startup/minimal_frame"
[ -x "$probe" ] && [ -x "$peer" ] || { echo "startup: benchmark programs not built"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KD5200_PLAYER_DIR="$work/player" XDG_CONFIG_HOME="$work/config"
export KD5200USB_LIBRARY="$bin/libkd5200usb.so"
"$bin/kd5200sim" create --internal 64M --external 32M >/dev/null
mkdir -p "$work/files"
for i in $(seq 1 512); do printf 'song %d' "$i" >"$work/files/SONG$i.MP3"; done
"$bin/kd5200sim" plug
"$bin/kd5200sim" put internal "$work"/files/*.MP3 >/dev/null
mkdir -p "$work/pc"
mkdir -p "$XDG_CONFIG_HOME/Zentrovia"
printf '[Desktop]\nLastDirectory=%s\n' "$work/pc" >"$XDG_CONFIG_HOME/Zentrovia/Songdock.conf"

xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$probe" "$peer" <<'INNER'
probe=$1 peer=$2
time_ms() { local s e; s=$(date +%s%N); timeout 20 "$@" >/dev/null 2>&1 || return 1; e=$(date +%s%N); echo $(((e - s) / 1000000)); }
"$probe" >/dev/null 2>&1; "$peer" >/dev/null 2>&1   # warm the caches
a=(); b=()
for i in 1 2 3 4 5 6 7; do
  a+=("$(time_ms "$probe")") || { echo "startup: Songdock did not show a listing"; exit 1; }
  b+=("$(time_ms "$peer")") || { echo "startup: the minimal frame did not paint"; exit 1; }
done
median() { printf '%s\n' "$@" | sort -n | sed -n 4p; }
ma=$(median "${a[@]}"); mb=$(median "${b[@]}")
ratio=$(awk -v a="$ma" -v b="$mb" 'BEGIN { printf "%.2f", a / b }')
echo "Songdock to first listing: ${ma} ms; minimal frame: ${mb} ms; ratio ${ratio} (targets < 1000 ms, <= 3)"
awk -v a="$ma" -v r="$ratio" 'BEGIN { exit !(a < 1000 && r <= 3) }' || { echo "startup: target missed"; exit 1; }
INNER
