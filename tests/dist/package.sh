#!/usr/bin/env bash
# CPack builds songdock_<version>_<arch>.deb with the installed files under
# /usr and the Debian dependencies of its programs, and lintian, when it is
# installed, finds nothing at all, notes and pedantic ones included, but what
# the package's overrides accept, each with its reason.
# Usage: package.sh BUILD-DIR WITH_SONGDOCK WITH_CHM PRIVATE-LIBDIR
set -euo pipefail
build=$1
WITH_SONGDOCK=$2 WITH_CHM=$3 LIBDIR=$4
source "$(dirname "$0")/expected_files.sh"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >cpack.log 2>&1) || {
  cat "$out/cpack.log" >&2
  exit 1
}
shopt -s nullglob
debs=("$out"/songdock_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  echo "expected one songdock_*.deb, found: $(ls "$out")" >&2
  exit 1
fi
deb=${debs[0]}
status=0

contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./||')
while read -r file; do
  if ! grep -qxF "usr/$file" <<<"$contents"; then
    echo "not in the package: usr/$file" >&2
    status=1
  fi
done < <(expected_files)
if grep -v '^usr/' <<<"$contents" | grep -q .; then
  echo "files outside /usr: $(grep -v '^usr/' <<<"$contents" | tr '\n' ' ')" >&2
  status=1
fi

[ "$(dpkg-deb -f "$deb" Package)" = songdock ] || { echo "wrong package name" >&2; status=1; }
depends=$(dpkg-deb -f "$deb" Depends)
# fonts-lexi-gulim: the Korean texts need a font with Hangul.
for lib in libc6 libstdc++6 libsqlite3-0 libopencore-amrnb0 fonts-lexi-gulim; do
  if ! sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends" | grep -qxF "$lib"; then
    echo "Depends lacks $lib: $depends" >&2
    status=1
  fi
done
[ -z "$(dpkg-deb -f "$deb" Suggests)" ] || { echo "Suggests: $(dpkg-deb -f "$deb" Suggests)" >&2; status=1; }
# Every override states its reason in a comment right above it.
overrides=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/lintian/overrides/songdock)
if awk '/^#/ { reason = 1; next } /^$/ { reason = 0; next } !reason { bad = 1; print } END { exit !bad }' \
  <<<"$overrides" >&2; then
  echo "lintian overrides without a reason (above)" >&2
  status=1
fi
# Nothing but the overrides, down to the notes and the pedantic tags; an
# override that no longer matches shows as unused.
if command -v lintian >/dev/null; then
  if ! report=$(lintian -I --pedantic --fail-on none "$deb" 2>&1); then
    echo "lintian did not run: $report" >&2
    status=1
  elif grep -E '^[EWIPX]: ' <<<"$report"; then
    echo "lintian reports the tags above" >&2
    status=1
  fi
else
  echo "lintian is not installed (scripts/deps.sh): the package is not checked by it"
fi
exit $status
