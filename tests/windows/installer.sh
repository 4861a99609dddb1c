#!/usr/bin/env bash
# The installer under Wine, as an owner or an administrator's script uses it:
#  - /S into a folder that holds a maker's KD5200USB.dll already: every
#    program lands, the maker's library is kept, the Start menu entry and the
#    Add/Remove Programs entry are there;
#  - Songdock starts from the installed folder on a virtual player made with
#    the installed kd5200sim, and closes;
#  - the uninstaller (/S) removes every file it put and its entries, and
#    leaves the person's settings and the maker's library.
# Usage: installer.sh SETUP_EXE ARTEFACTS   (skipped, 77, without the installer)
set -uo pipefail
setup=$1
artefacts=$2
[ -f "$setup" ] || { echo "no installer at $setup"; exit 77; }
mkdir -p "$artefacts"
source "$(dirname "$0")/wine_desktop.sh"

# /D= and _?= take the rest of the command line unquoted, and Wine quotes an
# argument with spaces: so a folder without them.
folder='C:\Apps\Songdock'
dir=$(unix_path "$folder")
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Songdock'
links="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
mkdir -p "$dir"
printf 'the maker library\n' >"$dir/KD5200USB.dll"

"$wine" "$setup" /S "/D=$folder" >"$artefacts/setup.log" 2>&1 || fail "the installer exited with $?"
for f in songdock.exe kdplayer.exe kdrom.exe kdmerge.exe qdx2wav.exe qka2wav.exe kd5200sim.exe \
  README-Windows.txt doc/kdplayer.txt uninstall.exe; do
  [ -f "$dir/$f" ] || fail "$f was not installed"
done
[ "$(cat "$dir/KD5200USB.dll")" = "the maker library" ] || fail "the maker's KD5200USB.dll was replaced"
[ -f "$links/Songdock.lnk" ] || fail "no Start menu entry"
entry=$(reg query "$uninstall_key")
grep -qF "UninstallString    REG_SZ    \"$folder\\uninstall.exe\"" <<<"$entry" || fail "no uninstaller in Add/Remove Programs: $entry"
grep -q 'DisplayName *REG_SZ *Songdock' <<<"$entry" || fail "no name in Add/Remove Programs"

# Songdock from the installed folder, on the virtual player, whose library
# is put in place of the maker's for this run.
cp "$dir/KD5200USB.dll" "$artefacts/maker.dll"
rm -f "$dir/KD5200USB.dll"
cp "$(dirname "$setup")"/zip/*/kd5200usb.dll "$dir/kd5200usb.dll" ||
  fail "no virtual player in the zip's folder beside the installer"
export KD5200_PLAYER_DIR='C:\player'
"$wine" "$dir/kd5200sim.exe" create --demo >/dev/null 2>&1 || fail "the installed kd5200sim could not make a player"
"$wine" "$dir/kd5200sim.exe" plug >/dev/null 2>&1
LANG=en_US.UTF-8 "$wine" "$dir/songdock.exe" >"$artefacts/installed-songdock.log" 2>&1 &
pid=$!
window=$(wait_window $pid '^Songdock')
if [ -n "$window" ]; then
  sleep 3
  import -window root "$artefacts/installed-songdock.png" 2>/dev/null
  close_window $pid "$window" "installed Songdock"
else
  fail "Songdock did not start from the installed folder"
  kill $pid 2>/dev/null
fi
rm -f "$dir/kd5200usb.dll"
cp "$artefacts/maker.dll" "$dir/KD5200USB.dll"
reg add 'HKCU\Software\Zentrovia\Songdock\Settings' /v KeptByUninstall /t REG_DWORD /d 1 /f >/dev/null

# As Add/Remove Programs runs it: the uninstaller copies itself away, starts
# the copy and returns; the copy's end is the end of Wine's processes.
"$wine" "$dir/uninstall.exe" /S >>"$artefacts/setup.log" 2>&1 || fail "the uninstaller exited with $?"
wineserver -w
left=$(cd "$dir" 2>/dev/null && find . -type f | sort)
[ "$left" = "./KD5200USB.dll" ] || fail "the uninstaller left: $(printf "%q" "$left")"
[ ! -e "$links/Songdock.lnk" ] || fail "the Start menu entry is still there"
reg query "$uninstall_key" | grep -q UninstallString && fail "the Add/Remove Programs entry is still there"
reg query 'HKCU\Software\Zentrovia\Songdock\Settings' | grep -q KeptByUninstall ||
  fail "the uninstaller removed the person's settings"

echo "$failures failure(s)"
[ $failures -eq 0 ]
