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
[ -x "$bin/songdock.exe" ] || { echo "no songdock.exe in $bin"; exit 1; }
mkdir -p "$artefacts"

source "$(dirname "$0")/wine_desktop.sh"

key='HKCU\Software\Zentrovia\Songdock'

# run LANG NAME: starts Songdock, waits for its window, keeps a screenshot and
# closes the window as a person would.
run() {
  local lang=$1 name=$2 window=
  LANG=$lang LC_ALL=$lang "$wine" "$bin/songdock.exe" >"$artefacts/$name.log" 2>&1 &
  local pid=$!
  window=$(wait_window $pid '^Songdock')
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
  close_window $pid "$window" "$name"
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
