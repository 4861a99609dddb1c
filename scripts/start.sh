#!/usr/bin/env bash
# Installs what is missing, builds the kit, creates a demo virtual player
# (unless one exists), plugs it in and starts Songdock on it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh" "$top/build"
bin="$top/build/bin"
# The kit's file kinds, compiled into the build tree (dist/CMakeLists.txt).
export XDG_DATA_DIRS="$top/build/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
export KD5200_PLAYER_DIR=${KD5200_PLAYER_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/kd5200-player}
[ -e "$KD5200_PLAYER_DIR/player.db" ] || "$bin/kd5200sim" create --demo
"$bin/kd5200sim" plug
exec "$bin/songdock" "$@"
