#!/usr/bin/env bash
# Start-up of Songdock until its first painted listing of a 512-entry player,
# against a minimal frame that exits on its first paint, as whole processes
# taking turns; medians of seven. Targets: under 1 s, and at most 2.2 times the
# minimal frame. Usage: bench/startup/bench.sh BUILD-DIR
set -euo pipefail
build=${1:?usage: bench.sh BUILD-DIR}
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$build" && pwd)
bin=$build/bin
# One virtual display for every run.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$@"
fi
cmake --build "$build" --target kd5200usb kd5200sim startup_probe minimal_frame >/dev/null
# shellcheck source=bench/timing.sh
source "$here/../timing.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/startup-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export KD5200_PLAYER_DIR=$work/player XDG_CONFIG_HOME=$work/config
export KD5200USB_LIBRARY=$bin/libkd5200usb.so
unset KD5200_SPEED
mkdir -p "$work/files" "$work/pc" "$XDG_CONFIG_HOME/Zentrovia"
for i in $(seq 0 511); do printf 'song %d' "$i" >"$work/files/SONG$i.MP3"; done
"$bin/kd5200sim" create --internal 64M --external 32M >/dev/null
"$bin/kd5200sim" plug
(cd "$work/files" && "$bin/kd5200sim" put internal ./* >/dev/null)
printf '[Desktop]\nLastDirectory=%s\n' "$work/pc" >"$XDG_CONFIG_HOME/Zentrovia/Songdock.conf"

songdock() { timeout 30 "$build/bench/startup/startup_probe"; }
minimal() { timeout 30 "$build/bench/startup/minimal_frame"; }
songdock >/dev/null 2>&1 || true # caches warm
race 7 songdock minimal
echo "start-up until the first painted listing, 512 entries:"
show_medians songdock minimal
verdict "songdock start-up, wall seconds" "${wall_median[songdock]}" 1
compare wall songdock minimal 2.2 "songdock / minimal frame"
exit $bench_status
