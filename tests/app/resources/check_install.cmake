# Installs the built project into a scratch prefix, as `cmake --install` would for a user: the menu entry
# starts the program there, and each icon size's folder holds the icon drawn at that size.
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} OUTPUT_QUIET RESULT_VARIABLE failed ERROR_VARIABLE errors)
file(STRINGS ${PREFIX}/share/applications/org.example.palinor.desktop exec REGEX "^Exec=")
if(failed OR NOT exec STREQUAL "Exec=${PREFIX}/bin/Palinor")
  message(FATAL_ERROR "the menu entry says ${exec}, not Exec=${PREFIX}/bin/Palinor, or cmake --install fails: ${errors}")
endif()
foreach(size IN LISTS SIZES)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${GENERATED_DIR}/icons/palinor-${size}.png
    ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/org.example.palinor.png RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "the ${size} x ${size} folder lacks the icon drawn at that size")
  endif()
endforeach()
