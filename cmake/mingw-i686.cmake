# Cross-build for 32-bit Windows, the width of the device library.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SONGDOCK_MINGW_HOST i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCommon.cmake)
