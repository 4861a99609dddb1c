# The files an installation holds, relative to its prefix, one a line.
# Sourced by the install and package tests. Needs LIBDIR, WITH_SONGDOCK and
# WITH_CHM (ON or OFF) set.
expected_files() {
  local p
  for p in kdrom kdmerge qdx2wav qka2wav kd5200sim kdplayer; do
    echo "bin/$p"
    echo "share/man/man1/$p.1.gz"
  done
  echo "$LIBDIR/libkd5200usb.so"
  echo "share/mime/packages/com.zentrovia.songdock.xml"
  echo "share/doc/songdock/copyright"
  echo "share/doc/songdock/kdplayer.schema.json"
  echo "share/bash-completion/completions/kdplayer"
  echo "share/doc/songdock/changelog.gz"
  echo "share/icons/hicolor/scalable/apps/com.zentrovia.songdock.svg"
  local kinds="audio-x-kd5200-recording text-x-ihex application-x-kd5200-font" k
  for k in $kinds; do
    echo "share/icons/hicolor/scalable/mimetypes/$k.svg"
  done
  for s in 16 22 24 32 48 64 128 256; do
    echo "share/icons/hicolor/${s}x${s}/apps/com.zentrovia.songdock.png"
    for k in $kinds; do
      echo "share/icons/hicolor/${s}x${s}/mimetypes/$k.png"
    done
  done
  echo "share/lintian/overrides/songdock"
  for p in index panes transfers recordings firmware font rawdata configuration; do
    echo "share/songdock/HtmlHelp/$p.html"
  done
  echo "share/songdock/HtmlHelp/style.css"
  for p in index panes transfers recordings firmware font rawdata keyboard configuration; do
    echo "share/songdock/HtmlHelp/ko/$p.html"
  done
  echo "share/locale/ko/LC_MESSAGES/songdock.mo"
  echo "share/locale/ko/LC_MESSAGES/kd5200usb.mo"
  for f in Songdock.hhp toc.hhc index.hhk; do
    echo "share/songdock/HtmlHelp/$f"
  done
  if [ "$WITH_CHM" = ON ]; then
    echo "share/songdock/HtmlHelp/Songdock.chm"
  fi
  if [ "$WITH_SONGDOCK" = ON ]; then
    echo "bin/songdock"
    echo "$LIBDIR/libsd_help_page.so"
    echo "share/man/man1/songdock.1.gz"
    echo "share/applications/com.zentrovia.songdock.desktop"
    echo "share/metainfo/com.zentrovia.songdock.metainfo.xml"
  fi
}
