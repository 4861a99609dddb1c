# Sourced by the Wine window tests: an X display of their own with a window
# manager (Wine's windows take keys reliably only under one), a Wine prefix
# (the test script's, or one of the test's own, removed afterwards) with a
# Korean font linked behind the dialog fonts, and the helpers below.
# The sourcing script sets its arguments first; it is run again under the
# display with the same arguments.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top="$here/../.."
if [ -z "${SONGDOCK_WM_RUNNING:-}" ]; then
  export SONGDOCK_WM_RUNNING=1
  exec xvfb-run -a -s "-screen 0 800x600x24 -noreset" "$top/scripts/with-wm.sh" "$0" "$@"
fi

own_prefix=
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX=$(mktemp -d)
  own_prefix=$WINEPREFIX
fi
export WINEPREFIX WINEDEBUG=-all
wine=/usr/lib/wine/wine64
reg() { "$wine" reg "$@" 2>/dev/null | tr -d '\r'; }
cleanup() {
  wineserver -k 2>/dev/null
  [ -n "$own_prefix" ] && rm -rf "$own_prefix"
}
trap cleanup EXIT
"$wine" cmd /c exit >/dev/null 2>&1 # makes the prefix

font=/usr/share/fonts/truetype/nanum/NanumGothic.ttf
if [ -f "$font" ]; then
  cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "Microsoft Sans Serif"; do
    reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$face" /t REG_MULTI_SZ /d 'NanumGothic.ttf,NanumGothic' /f >/dev/null
  done
fi

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The kit's programs, as the sourcing script sets $bin (the Windows programs)
# and $reader (window_reader.exe):
sim() { "$wine" "$bin/kd5200sim.exe" "$@" 2>&1 | tr -d '\r'; }
# read_window [--tab | --menus] TITLE_START: a window as window_reader reads it.
read_window() { "$wine" "$reader" "$@" 2>/dev/null | tr -d '\r'; }
# keys KEY...: keys pressed one after another, as a person presses them.
keys() {
  for k in "$@"; do
    xdotool key --clearmodifiers "$k"
    sleep 0.4
  done
}

# The Unix path of a path on Wine's C: drive.
unix_path() { printf '%s/drive_c/%s' "$WINEPREFIX" "$(printf '%s' "${1#[Cc]:\\}" | tr '\\' /)"; }

# wait_window PID PATTERN: the id of the first visible window whose title
# matches, once it appears (empty if the program ends or 60 s pass).
wait_window() {
  local pid=$1 pattern=$2 window=
  for _ in $(seq 120); do
    window=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  printf '%s' "$window"
}

# close_window PID WINDOW NAME: Alt+F4, as a person closes it; fails if the
# program is still running 30 s later.
close_window() {
  local pid=$1 window=$2 name=$3
  xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 2>/dev/null
  for _ in $(seq 60); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$name: the program did not close on Alt+F4"
    kill "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
}
