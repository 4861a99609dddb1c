#!/usr/bin/env bash
# Builds the kit for 32-bit Windows (Songdock and the console programs) and
# packs it in a zip.
# Usage: scripts/windows.sh [deps|prefix|build|zip|setup]   (default: all of them)
#   deps    installs what is missing: the MinGW-w64 cross-compiler, zlib for
#           it, wine32 (after adding the i386 architecture) and a deb-src
#           entry for the archive the machine already uses;
#   prefix  builds the third-party libraries from Debian's source packages,
#           with Debian's patches, into a cache outside the clone, once per
#           set of package versions;
#   build   builds the kit into build-windows/;
#   zip     makes build-windows/songdock-windows-VERSION.zip;
#   setup   makes build-windows/songdock-setup-VERSION.exe from the zip's
#           folder, with NSIS (SONGDOCK_WINDOWS_GUI=1 only: it installs
#           Songdock).
# SONGDOCK_WINDOWS_CACHE sets the cache folder (default ~/.cache/songdock-windows).
# Songdock itself (songdock.exe) is built beside the console programs, with
# libpng and wxWidgets in the prefix; SONGDOCK_WINDOWS_GUI=0 builds the
# console programs alone, on a smaller prefix.
# SONGDOCK_WINDOWS_BITS=64 builds the same programs for 64-bit Windows into
# build-windows64/ instead (for Wine where 32-bit programs cannot run).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
stage=${1:-all}
if [ "${SONGDOCK_WINDOWS_BITS:-32}" = 64 ]; then
  host=x86_64-w64-mingw32 build="$top/build-windows64" toolchain="$top/cmake/mingw-x86_64.cmake"
else
  host=i686-w64-mingw32 build="$top/build-windows" toolchain="$top/cmake/mingw-i686.cmake"
fi
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
cache=${SONGDOCK_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/songdock-windows}
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive

# The source packages the prefix is built from, in build order. The console
# programs need no tags (taglib is for Songdock's Properties) and keep their
# own, smaller prefix; Songdock adds taglib, and wxWidgets after libpng,
# which it uses.
gui=${SONGDOCK_WINDOWS_GUI:-1}
sources=(opencore-amr nettle sqlite3)
[ "$gui" = 1 ] && sources=(opencore-amr nettle sqlite3 taglib libpng1.6 wxwidgets3.2)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

install_deps() {
  local updated=no missing=()
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
    updated=stale
  fi
  # apt-get source needs a deb-src entry for the same archive and suites as
  # the binary packages.
  if ! grep -rqs -e '^Types:.*deb-src' -e '^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    # The same entries as the binary ones, for sources (deb822 or one-line form).
    {
      [ -f /etc/apt/sources.list.d/debian.sources ] &&
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources
      [ -f /etc/apt/sources.list ] && sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' /etc/apt/sources.list
      true
    } | "${as_root[@]}" tee /etc/apt/sources.list.d/songdock-deb-src.list.tmp >/dev/null
    if grep -q '^Types:' /etc/apt/sources.list.d/songdock-deb-src.list.tmp; then
      "${as_root[@]}" mv /etc/apt/sources.list.d/songdock-deb-src.list.tmp /etc/apt/sources.list.d/songdock-deb-src.sources
    else
      "${as_root[@]}" mv /etc/apt/sources.list.d/songdock-deb-src.list.tmp /etc/apt/sources.list.d/songdock-deb-src.list
    fi
    updated=stale
  fi
  local packages=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
    libz-mingw-w64-dev wine wine32 wine64 zip dpkg-dev autoconf automake libtool make cmake ninja-build
    pkg-config tcl groff-base man-db libutfcpp-dev)
  # Songdock's help (chmcmd) and installer (makensis).
  [ "$gui" = 1 ] && packages+=(fp-utils nsis)
  for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
  if [ ${#missing[@]} -gt 0 ] || [ $updated = stale ]; then
    # A mirror caught mid-sync fails one list; the others still serve.
    "${as_root[@]}" apt-get update -qq || echo "windows.sh: apt-get update reported errors; going on" >&2
  fi
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# The version apt-get source would fetch of a source package.
source_version() {
  apt-get source --print-uris "$1" 2>/dev/null | sed -n "s/^'[^']*' ${1}_\(.*\)\.dsc .*/\1/p" | head -n1
}

# The prefix folder for the current source versions and compiler.
prefix_dir() {
  # Recipe 3 is the one with the GUI libraries.
  local recipe=2
  [ "$gui" = 1 ] && recipe=3
  local key="recipe $recipe; $host $($host-gcc-posix -dumpversion)"
  for s in "${sources[@]}"; do
    local v; v=$(source_version "$s")
    [ -n "$v" ] || { echo "windows.sh: no source package $s (is the deb-src entry there?)" >&2; exit 1; }
    key+="; $s $v"
  done
  echo "$cache/prefix-$(printf '%s' "$key" | sha256sum | cut -c1-16)"
}

toolchain_args=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")

# Each library: configured for the host, static only, installed into $1.
build_opencore_amr() {
  # AMR-NB only (the player's recordings, and the tests' encoder): the
  # wide-band decoder in amrwb/ is a fifth of the sources and unused.
  ./configure -q --host=$host --prefix="$1" --disable-shared --enable-static
  make -s -C amrnb -j$jobs && make -s -C amrnb install
}
build_nettle() {
  # Only the hashes: the public-key half would need GMP.
  ./configure -q --host=$host --prefix="$1" --libdir="$1/lib" --disable-shared \
    --disable-public-key --disable-documentation --disable-openssl
  make -s -j$jobs && make -s install
}
build_sqlite3() {
  # configure picks the Unix layer for the amalgamation, so it is compiled by
  # hand with the Win32 one; BEXE= lets make build its tools for this machine.
  ./configure -q --host=$host --prefix="$1" --disable-tcl --disable-readline
  # The parser generator runs here: built for this machine under the name
  # the Makefile runs it by.
  gcc -O2 -o lemon tool/lemon.c
  cp tool/lempar.c .
  make -s BEXE= TEXE= sqlite3.c
  $host-gcc-posix -O2 -DSQLITE_OS_WIN=1 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS5 \
    -DSQLITE_DEFAULT_FOREIGN_KEYS=0 -c sqlite3.c -o sqlite3.o
  mkdir -p "$1/lib/pkgconfig" "$1/include"
  $host-ar rcs "$1/lib/libsqlite3.a" sqlite3.o
  cp sqlite3.h sqlite3ext.h "$1/include/"
  local version; version=$(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' sqlite3.h)
  printf 'prefix=%s\nlibdir=${prefix}/lib\nincludedir=${prefix}/include\n\nName: SQLite\nDescription: SQL database engine\nVersion: %s\nLibs: -L${libdir} -lsqlite3\nCflags: -I${includedir}\n' \
    "$1" "$version" >"$1/lib/pkgconfig/sqlite3.pc"
}
build_taglib() {
  # Debian's taglib uses the utfcpp headers of the system (libutfcpp-dev).
  mkdir -p "$1/include"
  cp -rL /usr/include/utf8 /usr/include/utf8.h "$1/include/"
  cmake -S . -B build-win -G Ninja "${toolchain_args[@]}" -DSONGDOCK_WINDOWS_PREFIX:PATH="$1" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$1" -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_TESTING=OFF -DBUILD_EXAMPLES=OFF -DBUILD_BINDINGS=OFF \
    -DCMAKE_CXX_FLAGS="-I$1/include"
  cmake --build build-win -j $jobs && cmake --install build-win
}

build_libpng1_6() {
  # zlib is MinGW's own (libz-mingw-w64-dev), in the compiler's search path.
  ./configure -q --host=$host --prefix="$1" --disable-shared --enable-static \
    --disable-tests --disable-tools
  make -s -j$jobs && make -s install
}
build_wxwidgets3_2() {
  # Debian's +dfsg source has no bundled png, zlib, expat, jpeg or tiff: png
  # and zlib come from the prefix and MinGW, the others are left out. The
  # accessibility layer is on, so that screen readers reach wx's own
  # controls; the help is HTML Help, so no web view or HTML window; the
  # parts the kit does not use (sockets, grid) are left out to save time,
  # and the common headers are compiled once (--enable-pch).
  ./configure -q --host=$host --prefix="$1" --disable-shared --with-msw --enable-pch \
    --with-zlib=sys --with-libpng=sys --without-libjpeg --without-libtiff \
    --without-expat --without-liblzma --without-libcurl --with-regex=builtin \
    --disable-xrc --disable-aui --disable-ribbon --disable-propgrid \
    --disable-richtext --disable-stc --disable-mediactrl --disable-sound \
    --disable-webrequest --disable-webview --disable-html --disable-sockets \
    --disable-grid --enable-dataviewctrl \
    --enable-dragimage --enable-intl --enable-config --enable-accessibility \
    CPPFLAGS="-I$1/include" LDFLAGS="-L$1/lib" PKG_CONFIG_LIBDIR="$1/lib/pkgconfig"
  make -s -j$jobs && make -s install
}

# Builds the prefix unless the cache holds it for these versions already.
build_prefix() {
  prefix=$(prefix_dir)
  if [ -f "$prefix/.complete" ]; then
    echo "Third-party libraries: $prefix (cached)"
    return
  fi
  # A build cut short goes on where it stopped: each library done is kept,
  # and the one under way keeps its sources and what make built of them.
  local work="$prefix.work"
  rm -rf "$prefix"
  mkdir -p "$work/src"
  for s in "${sources[@]}"; do
    [ -f "$work/$s.done" ] && continue
    local start=$SECONDS
    echo "Building $s $(source_version "$s") for $host"
    if [ -f "$work/$s.fetched" ]; then
      echo "  (going on with the sources fetched before)"
    else
      rm -rf "$work/src/$s"
      mkdir -p "$work/src/$s"
      # apt-get source unpacks the package with Debian's patches applied. A
      # mirror whose pool lacks the newest version (a security update listed
      # before its files arrive) still serves the one before it.
      local fetched=no version
      for version in "" $(apt-cache showsrc "$s" 2>/dev/null | sed -n 's/^Version: //p' | sort -rV | tail -n +2); do
        if (cd "$work/src/$s" && apt-get source -qq "$s${version:+=$version}" >/dev/null 2>&1); then
          fetched=yes
          [ -z "$version" ] || echo "  (the newest $s is not on the mirror: built $version)"
          break
        fi
        rm -rf "${work:?}/src/$s"/*
      done
      [ $fetched = yes ] || { echo "windows.sh: apt-get source $s failed" >&2; exit 1; }
      touch "$work/$s.fetched"
    fi
    local dir; dir=$(find "$work/src/$s" -mindepth 1 -maxdepth 1 -type d -name "$s-*" | head -n1)
    # Started on its own and then waited for, so that set -e stops it at its
    # first failing step (inside a "||" list the shell would go on).
    (cd "$dir" && "build_${s//[-.]/_}" "$work/prefix") >"$work/$s.log" 2>&1 &
    wait $! ||
      { echo "windows.sh: building $s failed; see $work/$s.log" >&2; tail -n 30 "$work/$s.log" >&2; exit 1; }
    touch "$work/$s.done"
    echo "  $s: $((SECONDS - start)) s"
  done
  # Installed .pc files name the work folder: point them at the final one.
  # So do wx-config and the libtool archives.
  { grep -rlIZ "$cache/prefix-[0-9a-f]*\.work/prefix" "$work/prefix/lib" "$work/prefix/bin" 2>/dev/null || true; } |
    xargs -0 -r sed -i "s|$cache/prefix-[0-9a-f]*\.work/prefix|$prefix|g"
  # So do links (wx-config): made relative, they hold in the final folder.
  local link target
  while IFS= read -r -d '' link; do
    target=$(readlink "$link")
    case "$target" in
      "$work/prefix"/*) ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$target")" "$link" ;;
    esac
  done < <(find "$work/prefix" -type l -print0)
  mv "$work/prefix" "$prefix"
  rm -rf "$work"
  touch "$prefix/.complete"
  echo "Third-party libraries: $prefix"
}

# The kit's console side, into $build.
build_kit() {
  build_prefix
  local generator=() launcher=()
  command -v ninja >/dev/null && generator=(-G Ninja)
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$top" -B "$build" "${generator[@]}" "${launcher[@]}" "${toolchain_args[@]}" \
    -DSONGDOCK_WINDOWS_PREFIX:PATH="$prefix" -DCMAKE_BUILD_TYPE=Release -DSONGDOCK_BENCH=OFF \
    -DSONGDOCK_WINDOWS_GUI=$([ "$gui" = 1 ] && echo ON || echo OFF) >/dev/null
  cmake --build "$build" -j "$jobs"
}

# The programs, their manual pages as text and README-Windows.txt in a zip.
make_zip() {
  local version; version=$(sed -n 's/^project(Songdock VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
  local name=songdock-windows-$version
  [ "$host" = x86_64-w64-mingw32 ] && name=songdock-windows64-$version
  local stage_dir="$build/zip/$name"
  rm -rf "$build/zip"
  mkdir -p "$stage_dir/doc"
  for exe in "$build"/bin/*.exe "$build"/bin/*.dll; do
    [ -e "$exe" ] || continue
    # A console-only build leaves a Songdock built earlier in the same
    # folder where it was: that one is not this build's.
    [ "$gui" = 1 ] || [ "$(basename "$exe")" != songdock.exe ] || continue
    $host-strip -o "$stage_dir/$(basename "$exe")" "$exe"
  done
  # Songdock's help and catalogues lie beside it, where it looks for them.
  if [ "$gui" = 1 ] && [ -d "$build/bin/HtmlHelp" ]; then
    (cd "$build/bin" && find HtmlHelp -name '*.chm' -exec cp --parents {} "$stage_dir/" \;)
  fi
  if [ "$gui" = 1 ] && [ -d "$build/locale" ]; then
    (cd "$build" && find locale -name '*.mo' -exec cp --parents {} "$stage_dir/" \;)
  fi
  for page in "$build"/doc/man/*.1; do
    local program; program=$(basename "$page" .1)
    [ -e "$stage_dir/$program.exe" ] || continue
    # Plain text with Windows line ends, as Notepad shows it.
    MANWIDTH=78 man --nj --nh -E UTF-8 -l "$page" 2>/dev/null | col -bx | sed 's/$/\r/' >"$stage_dir/doc/$program.txt"
  done
  sed 's/$/\r/' "$top/dist/windows/README-Windows.txt" >"$stage_dir/README-Windows.txt"
  # zip adds to an archive that is there: the last one goes first.
  rm -f "$build/$name.zip"
  (cd "$build/zip" && zip -qr9 "$build/$name.zip" "$name")
  echo "Made $build/$name.zip"
}

# The installer, from the folder make_zip filled. QUICK=1 packs it faster
# and larger (for tests).
make_setup() {
  [ "$gui" = 1 ] || { echo "windows.sh: the installer needs SONGDOCK_WINDOWS_GUI=1" >&2; exit 2; }
  local version; version=$(sed -n 's/^project(Songdock VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
  local name=songdock-setup-$version defines=()
  [ "$host" = x86_64-w64-mingw32 ] && name=songdock-setup64-$version defines+=(-DWIN64)
  [ "${QUICK:-0}" = 1 ] && defines+=(-DQUICK)
  local stage_dir; stage_dir=$(find "$build/zip" -mindepth 1 -maxdepth 1 -type d | head -n1)
  [ -f "$stage_dir/songdock.exe" ] || { echo "windows.sh: no songdock.exe in $build/zip; run the zip stage first" >&2; exit 1; }
  makensis -V2 -NOCD "${defines[@]}" -DVERSION="$version" -DSTAGE="$stage_dir" \
    -DICON="$top/app/songdock.ico" -DOUTFILE="$build/$name.exe" "$top/dist/windows/songdock.nsi"
  echo "Made $build/$name.exe"
}

case "$stage" in
  deps) install_deps ;;
  prefix) build_prefix ;;
  build) build_kit ;;
  zip) make_zip ;;
  setup) make_setup ;;
  all)
    install_deps; build_kit; make_zip
    if [ "$gui" = 1 ]; then make_setup; fi ;;
  *) echo "windows.sh: unknown stage '$stage' (deps, prefix, build, zip, setup)" >&2; exit 2 ;;
esac
