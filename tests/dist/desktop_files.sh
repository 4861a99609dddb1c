#!/usr/bin/env bash
# The launcher entry and the AppStream metainfo pass their validators.
# Usage: desktop_files.sh DESKTOP-FILE METAINFO-FILE
set -euo pipefail
desktop-file-validate "$1"
appstreamcli validate --no-net --pedantic "$2"
