#!/usr/bin/env bash
# Songdock under Wine, on an X display of its own with a window manager: the
# window appears, and the settings it writes on closing are in the registry
# under HKCU\Software\Zentrovia\Songdock, numbers as REG_DWORD and texts as
# REG_SZ.
# Screenshots in English and Korean are kept in ARTEFACTS.
# Usage: songdock_window.sh WINDOWS_BIN ARTEFACTS
set -uo pipefail
bin=$1
artefacts=$2
here=$(cd "$(dirname "$0")" && pwd)
top="$here/../.."
[ -x "$bin/songdock.exe" ] || { echo "no songdock.exe in $bin"; exit 1; }
mkdir -p "$artefacts"

# A display and a window manager, unless the caller runs under them already.
if [ -z "${SONGDOCK_WM_RUNNING:-}" ]; then
  export SONGDOCK_WM_RUNNING=1
  exec xvfb-run -a -s "-screen 0 800x600x24 -noreset" "$top/scripts/with-wm.sh" "$0" "$@"
fi

# A prefix of the test's own unless the test script made one.
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

# Korean needs a Korean font linked behind the dialog fonts.
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

key='HKCU\Software\Zentrovia\Songdock'

# run LANG NAME: starts Songdock, waits for its window, keeps a screenshot and
# closes the window as a person would.
run() {
  local lang=$1 name=$2 window=
  LANG=$lang LC_ALL=$lang "$wine" "$bin/songdock.exe" >"$artefacts/$name.log" 2>&1 &
  local pid=$!
  for _ in $(seq 120); do
    window=$(xdotool search --onlyvisible --name '^Songdock' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.5
  done
  if [ -z "$window" ]; then
    fail "$name: no Songdock window appeared"
    import -window root "$artefacts/$name.png" 2>/dev/null
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
    return
  fi
  sleep 3 # the panes fill
  import -window root "$artefacts/$name.png" || fail "$name: no screenshot"
  echo "$name: window '$(xdotool getwindowname "$window")'"
  xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 2>/dev/null
  for _ in $(seq 60); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.5
  done
  if kill -0 $pid 2>/dev/null; then
    fail "$name: Songdock did not close on Alt+F4"
    kill $pid 2>/dev/null
  fi
  wait $pid 2>/dev/null
}

run en_US.UTF-8 english
settings=$(reg query "$key" /s)
echo "$settings"
# The window's state and place are values of the application key itself.
grep -Eq '^ +WindowState +REG_DWORD +0x' <<<"$settings" || fail "WindowState is not a REG_DWORD of $key"
grep -Eq '^ +WindowWidth +REG_DWORD +0x' <<<"$settings" || fail "WindowWidth is not a REG_DWORD of $key"
# Texts are REG_SZ.
grep -Eq '^ +FileListFilter +REG_SZ' <<<"$settings" || fail "FileListFilter is not a REG_SZ of $key"

run ko_KR.UTF-8 korean

echo "$failures failure(s); screenshots in $artefacts"
[ $failures -eq 0 ]
