#!/usr/bin/env bash
# The launcher entry and the AppStream metainfo pass their validators and
# name each other, the icon and the program consistently.
# Usage: desktop_files.sh DESKTOP-FILE METAINFO-FILE
set -euo pipefail
desktop=$1
metainfo=$2
desktop-file-validate "$desktop"
appstreamcli validate --no-net --pedantic "$metainfo"

status=0
id=$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "$metainfo")
check() { # what, found, wanted
  if [ "$2" != "$3" ]; then
    echo "$1 is '$2', not '$3'" >&2
    status=1
  fi
}
check "the metainfo's launchable" \
  "$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")" \
  "$(basename "$desktop")"
check "the metainfo file's name" "$(basename "$metainfo")" "$id.metainfo.xml"
check "the launcher's icon" "$(sed -n 's/^Icon=//p' "$desktop")" "$id"
check "the launcher's program" "$(sed -n 's/^Exec=//p' "$desktop")" songdock
exit $status
