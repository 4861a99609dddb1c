# The Debian package, built with `cpack -G DEB` in the build folder:
# songdock_<version>_<arch>.deb, installed under /usr, its dependencies found
# by dpkg-shlibdeps (Debian dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME songdock)
set(CPACK_PACKAGE_VENDOR Zentrovia)
set(CPACK_PACKAGE_CONTACT "Zentrovia Songdock team <songdock@zentrovia.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PC tool kit for the KD5200 portable MP3 player")
set(CPACK_PACKAGE_DESCRIPTION [[
Songdock shows the files of the PC and of a KD5200 portable player side by
side and copies them in either direction. It also formats the player's
memories, upgrades its firmware from Intel HEX files, manages its LCD font
and reads raw flash blocks.

The kit includes kdrom and kdmerge for firmware files, qdx2wav and qka2wav
for voice recordings, kdplayer to copy, back up, restore and synchronise a
player from scripts, and a virtual player (libkd5200usb.so, kd5200sim)
that stands in for the hardware.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The binaries are built with the hardening flags (cmake/Hardening.cmake) and
# stripped as Debian strips them (cmake/PackageStrip.cmake).
set(CPACK_STRIP_FILES OFF)
set(CPACK_SONGDOCK_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/PackageStrip.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A Korean font, so that Songdock's Korean texts (the About box's button)
# show letters; scripts/deps.sh installs the same package.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-lexi-gulim")
# Files open with the desktop's applications; the help shows inside Songdock.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
