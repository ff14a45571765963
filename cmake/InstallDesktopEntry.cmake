# Runs at install time: installs the editor's launcher and makes the desktop see it and the settings file
# type at once. Expects QUILLET_SOURCE_DIR, QUILLET_BINARY_DIR and QUILLET_BINDIR.

# The launcher names the editor by its installed path: a user's ~/.local/bin is not on every desktop's PATH.
set(editor "${CMAKE_INSTALL_PREFIX}/${QUILLET_BINDIR}/quillet-editor")
if(editor MATCHES "[ \t\"'\\\\$`]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" editor "${editor}")
  set(editor "\"${editor}\"")
endif()
file(READ "${QUILLET_SOURCE_DIR}/resources/quillet-editor.desktop" entry)
string(REPLACE "\nExec=quillet-editor " "\nExec=${editor} " entry "${entry}")
file(WRITE "${QUILLET_BINARY_DIR}/desktop/quillet-editor.desktop" "${entry}")
file(INSTALL "${QUILLET_BINARY_DIR}/desktop/quillet-editor.desktop"
     DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")

# A package build (DESTDIR) leaves the caches to the package manager's triggers.
if("$ENV{DESTDIR}" STREQUAL "")
  find_program(update_mime update-mime-database)
  if(update_mime)
    execute_process(COMMAND "${update_mime}" "${CMAKE_INSTALL_PREFIX}/share/mime")
  else()
    message(STATUS "update-mime-database not found (package shared-mime-info): *.qmv49 files are not yet known")
  endif()
  find_program(update_desktop update-desktop-database)
  if(update_desktop)
    execute_process(COMMAND "${update_desktop}" "${CMAKE_INSTALL_PREFIX}/share/applications")
  endif()
endif()
