# Cross-build for 64-bit Windows: the same programs, for running the tests
# under a Wine that cannot start 32-bit programs on this machine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SONGDOCK_MINGW_HOST x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCommon.cmake)
