#!/usr/bin/env bash
# Runs a command on the X display $DISPLAY under a window manager (openbox),
# as on a person's desktop: focus, stacking and modal dialogs then behave as
# they do there. The window manager is started first, and ended afterwards.
# Usage: scripts/with-wm.sh COMMAND [ARGS...]
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  echo "with-wm.sh: no X display (DISPLAY is not set)" >&2
  exit 2
fi
ready=$(mktemp -u "${TMPDIR:-/tmp}/songdock-wm-XXXXXX")
# Openbox runs the --startup command once it manages the display.
openbox --sm-disable --startup "touch $ready" >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null; rm -f "$ready"' EXIT
for _ in $(seq 100); do
  [ -e "$ready" ] && break
  if ! kill -0 "$wm" 2>/dev/null; then
    echo "with-wm.sh: openbox did not start" >&2
    exit 2
  fi
  sleep 0.1
done
[ -e "$ready" ] || { echo "with-wm.sh: openbox did not start in time" >&2; exit 2; }
status=0
"$@" || status=$?
exit "$status"
