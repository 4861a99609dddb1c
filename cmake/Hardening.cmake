# The distribution's hardening flags, as Debian packages are built with them:
# what `dpkg-buildflags` gives for fortified functions, the stack protector,
# read-only relocations and immediate binding (bind-now). Without
# dpkg-buildflags the same flags are written out. Sanitizer and fuzzing
# builds go without them, and fortifying needs the optimiser, so a Debug
# build leaves it out.
option(SONGDOCK_HARDENING
  "Build with the distribution's hardening flags (fortify, stack protector, relro, bind-now)" ON)
if(NOT SONGDOCK_HARDENING OR SONGDOCK_SANITIZE OR SONGDOCK_FUZZ)
  return()
endif()
# Windows programs: address-space randomisation and no-execute data.
if(WIN32)
  add_link_options(-Wl,--dynamicbase -Wl,--nxcompat)
  return()
endif()

set(_compile_flags -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
set(_link_flags -Wl,-z,relro -Wl,-z,now)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS)
  set(_compile_flags)
  set(_link_flags)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+bindnow
              ${DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(_flags UNIX_COMMAND "${_flags}")
    # Only the hardening: optimisation, debugging and warnings are the build type's.
    list(FILTER _flags INCLUDE REGEX
      "^(-D_FORTIFY_SOURCE=|-fstack-protector|-fstack-clash-protection|-fcf-protection|-Wl,-z,)")
    if(kind STREQUAL "LDFLAGS")
      list(APPEND _link_flags ${_flags})
    else()
      list(APPEND _compile_flags ${_flags})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES _compile_flags)
endif()
foreach(flag IN LISTS _compile_flags)
  if(flag MATCHES "^-D_FORTIFY_SOURCE=")
    add_compile_options("$<$<NOT:$<CONFIG:Debug>>:${flag}>")
  else()
    add_compile_options(${flag})
  endif()
endforeach()
add_link_options(${_link_flags})
message(STATUS "Hardening flags: ${_compile_flags} ${_link_flags}")
