# Imported targets for wxWidgets from wx-config:
#   wx::base  the non-GUI part (strings, config, files); for libraries that tests drive headless
#   wx::gui   the GUI part (core, adv, base)
#   wx::html  the HTML help window over the GUI part
#   wx::webview  the web view (WebKitGTK) that shows the help pages
#   (a Windows build takes wxMSW from the third-party prefix, and has no web view)
if(WIN32)
  find_program(WX_CONFIG NAMES wx-config PATHS ${SONGDOCK_WINDOWS_PREFIX}/bin
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT WX_CONFIG)
    message(STATUS "wxWidgets is not in the third-party prefix: Songdock is not built")
    return()
  endif()
else()
  find_program(WX_CONFIG NAMES wx-config REQUIRED)
endif()

function(_sd_wx_target target libs)
  execute_process(COMMAND ${WX_CONFIG} --cxxflags ${libs} OUTPUT_VARIABLE cflags OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${WX_CONFIG} --libs ${libs} OUTPUT_VARIABLE ldflags OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(cflags UNIX_COMMAND "${cflags}")
  separate_arguments(ldflags UNIX_COMMAND "${ldflags}")
  set(defs "")
  set(incs "")
  set(opts "")
  foreach(f IN LISTS cflags)
    if(f STREQUAL "-DwxUSE_GUI=0")
      # Headless libraries are also linked into the window programs; the
      # definition would then reach GUI sources through them.
      continue()
    elseif(f MATCHES "^-D(.*)")
      list(APPEND defs ${CMAKE_MATCH_1})
    elseif(f MATCHES "^-I(.*)")
      list(APPEND incs ${CMAKE_MATCH_1})
    else()
      list(APPEND opts ${f})
    endif()
  endforeach()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES
    INTERFACE_COMPILE_DEFINITIONS "${defs}"
    INTERFACE_INCLUDE_DIRECTORIES "${incs}"
    INTERFACE_COMPILE_OPTIONS "${opts}"
    INTERFACE_LINK_LIBRARIES "${ldflags}")
endfunction()

_sd_wx_target(wx::base base)
_sd_wx_target(wx::gui "core,adv,base")
_sd_wx_target(wx::html "html,core,adv,base")
if(NOT WIN32)
  _sd_wx_target(wx::webview "webview,core,base")
endif()

# Makes a Windows target a window program with Songdock's resources (its
# icon, and wx's own with the manifest that asks for the themed common
# controls). wx-config --rescomp names windres and its flags: the flags serve.
function(songdock_windows_resources target)
  execute_process(COMMAND ${WX_CONFIG} --rescomp OUTPUT_VARIABLE rcflags
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(rcflags UNIX_COMMAND "${rcflags}")
  list(REMOVE_AT rcflags 0)
  # The icon lies beside the resource script.
  list(APPEND rcflags -I${CMAKE_SOURCE_DIR}/app)
  set(rc ${CMAKE_SOURCE_DIR}/app/songdock.rc)
  target_sources(${target} PRIVATE ${rc})
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  set_source_files_properties(${rc} PROPERTIES COMPILE_OPTIONS "${rcflags}")
endfunction()
