# Installs the build into a fresh prefix and checks what the application menu
# relies on. Arguments: BUILD_DIR, PREFIX, VALIDATE (desktop-file-validate), SIZES,
# APPLICATION_ID.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

# The entry, and the icon it names, are named after the application id: the
# desktop portal and the window's class find the program's entry by it.
set(entry "${PREFIX}/share/applications/${APPLICATION_ID}.desktop")
if(NOT EXISTS "${entry}")
  message(FATAL_ERROR "no desktop entry at ${entry}")
endif()
if(NOT VALIDATE)
  message(FATAL_ERROR "desktop-file-validate is missing (package desktop-file-utils)")
endif()
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
