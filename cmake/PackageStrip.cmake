# Run by CPack on the package's staging folder before the .deb is made:
# strips the programs and the device library as Debian's dh_strip does,
# without the symbols and without the compiler's notes (.comment, .note),
# which an installed binary does not need.
file(GLOB_RECURSE _files LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS _files)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" _magic LIMIT 4 HEX)
  if(NOT _magic STREQUAL "7f454c46")
    continue()
  endif()
  set(_options --remove-section=.comment --remove-section=.note)
  if(file MATCHES "\\.so(\\.[0-9.]+)?$")
    list(APPEND _options --strip-unneeded)
  endif()
  execute_process(COMMAND "${CPACK_SONGDOCK_STRIP}" ${_options} "${file}" RESULT_VARIABLE _status)
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "Cannot strip ${file}")
  endif()
endforeach()
