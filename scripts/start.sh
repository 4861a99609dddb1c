#!/usr/bin/env bash
# Installs what building and running need, builds the kit, stages the demo
# virtual player and its PC folder of songs (unless a player exists), plugs it
# in and starts Songdock on it, in that folder on the first start.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh" run
"$top/scripts/build.sh" "$top/build"
bin="$top/build/bin"
# The kit's file kinds, compiled into the build tree (dist/CMakeLists.txt).
export XDG_DATA_DIRS="$top/build/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
export KD5200_PLAYER_DIR=${KD5200_PLAYER_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/kd5200-player}
music=${KD5200_PLAYER_DIR%/}-music
. "$top/scripts/demo.sh"
stage_demo "$bin" "$music"
# Without a stored folder, Songdock opens the folder it starts in.
[ -d "$music" ] && cd "$music"
exec "$bin/songdock" "$@"
