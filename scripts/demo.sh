# Stages the demo: a virtual player made by "kd5200sim create --demo", plugged
# in, with two songs on its external memory, and a PC folder of songs beside
# it. Sourced by start.sh and screenshot.sh, so that the README's picture is
# what a new user sees. Usage: stage_demo BIN-DIR MUSIC-DIR
# ($KD5200_PLAYER_DIR names the player; an existing player is kept as it is).
stage_demo() {
  local bin=$1 music=$2
  if [ ! -e "$KD5200_PLAYER_DIR/player.db" ]; then
    "$bin/kd5200sim" create --demo >/dev/null
    mkdir -p "$music/Podcasts" "$music/Recordings"
    local name
    for name in "Morning Walk" "Harbour Lights" "Slow River" "Night Train"; do
      [ -e "$music/$name.mp3" ] || head -c $((RANDOM * 40 + 900000)) /dev/urandom >"$music/$name.mp3"
    done
    "$bin/kd5200sim" put external "$music/Slow River.mp3" "$music/Night Train.mp3" >/dev/null
  fi
  "$bin/kd5200sim" plug
}
