# What a Windows user is handed: Quillet49-Windows.zip with the programs as they are, and, where NSIS's
# makensis is found, Quillet49-Setup.exe, an installer (resources/windows/installer.nsi) that needs no
# administrator rights. Both carry the editor, the editor with the emulated keyboard and the tool, stripped.

set(stripped ${CMAKE_BINARY_DIR}/zip)
set(programs quillet-editor.exe quillet-editor-emulated.exe quillet.exe)
set(QUILLET_ZIP ${CMAKE_BINARY_DIR}/Quillet49-Windows.zip)
add_custom_command(
  OUTPUT ${QUILLET_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stripped}
  COMMAND ${CMAKE_STRIP} -o ${stripped}/quillet-editor.exe $<TARGET_FILE:QuilletEditor>
  COMMAND ${CMAKE_STRIP} -o ${stripped}/quillet-editor-emulated.exe $<TARGET_FILE:QuilletEditorEmulated>
  COMMAND ${CMAKE_STRIP} -o ${stripped}/quillet.exe $<TARGET_FILE:quillet>
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/resources/README-windows.txt ${stripped}/README.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${stripped} ${CMAKE_COMMAND} -E tar cf ${QUILLET_ZIP} --format=zip
          ${programs} README.txt
  DEPENDS QuilletEditor QuilletEditorEmulated quillet resources/README-windows.txt
  VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${QUILLET_ZIP})

find_program(MAKENSIS makensis)
if(MAKENSIS)
  set(QUILLET_INSTALLER ${CMAKE_BINARY_DIR}/Quillet49-Setup.exe)
  set(script ${CMAKE_CURRENT_SOURCE_DIR}/resources/windows/installer.nsi)
  add_custom_command(
    OUTPUT ${QUILLET_INSTALLER}
    COMMAND ${MAKENSIS} -V2 -NOCD -DVERSION=${PROJECT_VERSION} -DPROGRAMS=${stripped}
            -DRESOURCES=${CMAKE_CURRENT_SOURCE_DIR}/resources -DOUTFILE=${QUILLET_INSTALLER} ${script}
    DEPENDS ${QUILLET_ZIP} ${script} resources/icon.ico resources/README-windows.txt
    VERBATIM)
  add_custom_target(windows_installer ALL DEPENDS ${QUILLET_INSTALLER})
else()
  message(STATUS "makensis not found (package nsis): no Windows installer, only the zip")
endif()
