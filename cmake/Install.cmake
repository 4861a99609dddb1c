# Install rules of the programs and the device library; the data folders
# (dist/, doc/) carry their own. Included after every folder is added, so
# that Songdock's rules take effect as soon as its target exists.

# The console programs and the virtual player. kdrom is linked against the
# device library and finds it in the kit's private library folder.
foreach(program kdmerge qdx2wav qka2wav kd5200sim kdplayer)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET kd5200usb)
  install(TARGETS kd5200usb LIBRARY DESTINATION ${SONGDOCK_INSTALL_PKGLIBDIR})
  if(TARGET kdrom)
    set_target_properties(kdrom PROPERTIES INSTALL_RPATH "$ORIGIN/${SONGDOCK_LIB_FROM_BIN}")
    install(TARGETS kdrom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endif()

foreach(page IN LISTS SONGDOCK_MAN_PAGES)
  if(NOT page STREQUAL "songdock")
    install(FILES ${SONGDOCK_MAN_DIR}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()

# Songdock with its manual page, launcher entry and metainfo. It loads the
# device library at run time, from its own folder or the kit's private
# library folder (lib/device/kd5200_binding.cpp).
if(TARGET songdock)
  install(TARGETS songdock RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The help page's web view, loaded when help is first shown.
  install(TARGETS sd_help_page LIBRARY DESTINATION ${SONGDOCK_INSTALL_PKGLIBDIR})
  install(FILES ${SONGDOCK_MAN_DIR}/songdock.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${SONGDOCK_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${SONGDOCK_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The package's copyright file and changelog, where Debian keeps them.
set(SONGDOCK_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/songdock)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright DESTINATION ${SONGDOCK_DOCDIR})
if(SONGDOCK_CHANGELOG_GZ)
  install(FILES ${SONGDOCK_CHANGELOG_GZ} DESTINATION ${SONGDOCK_DOCDIR})
endif()
# What lintian is told to accept in the package, each with its reason.
install(FILES ${CMAKE_SOURCE_DIR}/dist/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME songdock)
