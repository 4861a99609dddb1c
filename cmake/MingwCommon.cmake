# Cross-build for Windows with Debian's MinGW-w64 (posix threads), for the
# host SONGDOCK_MINGW_HOST that the including file sets.
# SONGDOCK_WINDOWS_PREFIX names the folder of the third-party libraries that
# scripts/windows.sh builds; ctest runs the programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${SONGDOCK_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SONGDOCK_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${SONGDOCK_MINGW_HOST}-windres)

set(SONGDOCK_WINDOWS_PREFIX "" CACHE PATH "Third-party libraries built for Windows")
set(CMAKE_FIND_ROOT_PATH /usr/${SONGDOCK_MINGW_HOST} ${SONGDOCK_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config looks only in the prefix, never at the build machine's libraries
# (the top CMakeLists.txt sets it again, once the cache is read).
if(SONGDOCK_WINDOWS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} "${SONGDOCK_WINDOWS_PREFIX}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# The programs stand alone beside the device library: no MinGW runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and the tests start the programs through Wine, of the programs' width.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
