#!/usr/bin/env bash
# Installs what is missing, builds the kit, creates a demo virtual player
# (unless one exists) and starts Songdock on it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh" "$top/build"
bin="$top/build/bin"
export KD5200_PLAYER_DIR=${KD5200_PLAYER_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/kd5200-player}
if [ -x "$bin/kd5200sim" ]; then
  [ -e "$KD5200_PLAYER_DIR/player.db" ] || "$bin/kd5200sim" create --demo
  "$bin/kd5200sim" plug
fi
if [ -x "$bin/songdock" ]; then
  exec "$bin/songdock"
fi
echo "The virtual player in $KD5200_PLAYER_DIR is plugged in:"
"$bin/kd5200sim" ls || true
echo
echo "Songdock is not part of this build yet. Programs built in $bin:"
for p in kd5200sim kdrom kdmerge qdx2wav qka2wav libkd5200usb.so; do
  [ -e "$bin/$p" ] && echo "  $p"
done
