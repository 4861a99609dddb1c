#!/usr/bin/env bash
# Makes docs/songdock.png: Songdock on a fresh demo virtual player, under a
# virtual X display. Usage: scripts/screenshot.sh [build-dir]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$top/build"}
bin="$build/bin"
[ -x "$bin/songdock" ] || { echo "screenshot: build Songdock first ($bin/songdock)" >&2; exit 1; }
if ! command -v import >/dev/null || ! command -v xvfb-run >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends imagemagick xvfb xauth
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KD5200_PLAYER_DIR="$work/player" XDG_CONFIG_HOME="$work/config"
# The kit's file kinds and their icons, compiled into the build tree
# (dist/CMakeLists.txt), as Songdock shows them once installed.
export XDG_DATA_DIRS="$build/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
. "$top/scripts/demo.sh"
stage_demo "$bin" "$work/music"
# What a new user sees: no stored settings but the folder to start in, so
# the columns have their default widths.
mkdir -p "$XDG_CONFIG_HOME/Zentrovia"
cat >"$XDG_CONFIG_HOME/Zentrovia/Songdock.conf" <<CONF
[Desktop]
LastDirectory=$work/music
CONF

out="$top/docs/songdock.png"
xvfb-run -a -s "-screen 0 960x640x24 -noreset" bash -c '
  "$1/songdock" & pid=$!
  sleep 4
  import -window root "$2"
  kill $pid; wait $pid 2>/dev/null || true
' shot "$bin" "$out"
echo "Wrote $out"
