#!/usr/bin/env bash
# Start-up of Songdock under Wine until its window lists the virtual player's
# demo (Songdock's own application object, ended once the internal memory's
# rows are on the screen), against bench/startup's minimal frame built the
# same way as a wxMSW window program, as whole Wine processes taking turns on
# one Wine server; medians of seven. Target: at most 2.2 times the minimal
# frame, as on Linux.
# Skips (exit 0, with a message) where there is no Windows build of Songdock
# or no Wine to run it.
# Usage: bench/startup_wine/bench.sh [BUILD-DIR]
#   (a Windows build; bench/run.sh gives the Linux one, and then the tree's
#   build-windows64 or build-windows is taken)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=
for b in ${1:+"$1"} "$top/build-windows64" "$top/build-windows"; do
  [ -x "$b/bin/songdock.exe" ] && build=$b && break
done
if [ -z "$build" ]; then
  echo "startup_wine: skipped: no Windows build of Songdock (scripts/windows.sh build makes one)"
  exit 0
fi
build=$(cd "$build" && pwd)
# The program's width (its PE header's machine field, 8664 for x86-64)
# decides the Wine loader.
pe=$(od -An -t u4 -j 60 -N 4 "$build/bin/songdock.exe" | tr -d ' ')
if [ "$(od -An -t x2 -j $((pe + 4)) -N 2 "$build/bin/songdock.exe" | tr -d ' ')" = 8664 ]; then
  wine=/usr/lib/wine/wine64
else
  wine=/usr/lib/wine/wine
fi
if ! "$wine" --version >/dev/null 2>&1; then
  echo "startup_wine: skipped: $wine cannot run here"
  exit 0
fi
if ! command -v xvfb-run >/dev/null; then
  echo "startup_wine: skipped: no xvfb-run for a display"
  exit 0
fi
# One virtual display for every run.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$build"
fi
cmake --build "$build" --target wine_startup_probe wine_minimal_frame >/dev/null
# shellcheck source=bench/timing.sh
source "$here/../timing.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/startup-wine-bench-XXXXXX")
# A prefix of the run's own, made under the display; one server kept
# running for all runs, so that no run pays for starting it.
export WINEPREFIX=$work/prefix WINEDEBUG=-all
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# The server first, kept (-p); a server already up for the new prefix
# would refuse it.
mkdir -p "$WINEPREFIX"
wineserver -p
"$wine" cmd /c exit >/dev/null 2>&1

# The probe beside the device library, as songdock.exe lies.
mkdir -p "$work/bin"
cp "$build/bench/startup_wine/wine_startup_probe.exe" "$build"/bin/*.dll "$work/bin/"
export KD5200_PLAYER_DIR='C:\player'
unset KD5200_SPEED
"$wine" "$build/bin/kd5200sim.exe" create --demo >/dev/null 2>&1
"$wine" "$build/bin/kd5200sim.exe" plug >/dev/null 2>&1

songdock() { timeout 60 "$wine" "$work/bin/wine_startup_probe.exe"; }
minimal() { timeout 60 "$wine" "$build/bench/startup_wine/wine_minimal_frame.exe"; }
songdock >/dev/null 2>&1 || true # caches warm, settings written
minimal >/dev/null 2>&1 || true
race 7 songdock minimal
echo "start-up under Wine until the window lists the demo player:"
show_medians songdock minimal
compare wall songdock minimal 2.2 "songdock / minimal frame"
exit $bench_status
