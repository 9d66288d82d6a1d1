# Installs the build into a fresh prefix and checks what the application menu
# relies on. Arguments: BUILD_DIR, PREFIX, VALIDATE (desktop-file-validate),
# APPSTREAMCLI, SIZES, APPLICATION_ID.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

# Fails unless the installed file is there and the tool that validates it too.
function(require_installed file tool package)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
  if(NOT tool)
    message(FATAL_ERROR "the tool that validates ${file} is missing (package ${package})")
  endif()
endfunction()

# The entry, and the icon it names, are named after the application id: the
# desktop portal and the window's class find the program's entry by it.
set(entry "${PREFIX}/share/applications/${APPLICATION_ID}.desktop")
require_installed("${entry}" "${VALIDATE}" desktop-file-utils)
execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT status EQUAL 0 OR NOT said STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${said}")
endif()

# Exec names the installed program, Icon an icon installed in every size.
file(STRINGS "${entry}" exec REGEX "^Exec=")
file(STRINGS "${entry}" icon REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" program "${exec}")
string(REGEX REPLACE "^Icon=" "" icon "${icon}")
if(NOT icon STREQUAL APPLICATION_ID)
  message(FATAL_ERROR "Icon=${icon} is not the application id ${APPLICATION_ID}")
endif()
if(NOT EXISTS "${PREFIX}/bin/${program}" OR IS_DIRECTORY "${PREFIX}/bin/${program}")
  message(FATAL_ERROR "Exec=${program} is not the installed program")
endif()
if(SIZES STREQUAL "")
  message(FATAL_ERROR "no icon sizes given")
endif()
foreach(side IN LISTS SIZES)
  set(png "${PREFIX}/share/icons/hicolor/${side}x${side}/apps/${icon}.png")
  if(NOT EXISTS "${png}")
    message(FATAL_ERROR "no ${side}x${side} icon: ${png}")
  endif()
  # The PNG header's width and height (big-endian, bytes 16 to 23).
  file(READ "${png}" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL side OR NOT height EQUAL side)
    message(FATAL_ERROR "${png} is not a ${side}x${side} PNG (${width}x${height})")
  endif()
endforeach()

# The AppStream file, where software centres read the program's name and
# description: valid without the network, and launching the entry above.
set(metainfo "${PREFIX}/share/metainfo/${APPLICATION_ID}.metainfo.xml")
require_installed("${metainfo}" "${APPSTREAMCLI}" appstream)
# vuzo has no web site of its own to name as its homepage; AppStream 1.0
# warns of that, earlier versions do not know the check.
execute_process(COMMAND "${APPSTREAMCLI}" --version OUTPUT_VARIABLE appstream_version)
set(overrides)
if(appstream_version MATCHES "version: ([0-9]+)" AND CMAKE_MATCH_1 GREATER_EQUAL 1)
  set(overrides --override url-homepage-missing=info)
endif()
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net --explain ${overrides} "${metainfo}"
                RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${said}")
endif()
file(READ "${metainfo}" component)
string(FIND "${component}" "<id>${APPLICATION_ID}</id>" id_at)
string(FIND "${component}" "<launchable type=\"desktop-id\">${APPLICATION_ID}.desktop</launchable>" launchable_at)
if(id_at EQUAL -1 OR launchable_at EQUAL -1)
  message(FATAL_ERROR "${metainfo} does not name ${APPLICATION_ID} and its desktop entry")
endif()
