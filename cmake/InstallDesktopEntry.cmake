# Runs at install time: installs the editors' launchers and makes the desktop see them and the settings file
# type at once. Expects QUILLET_SOURCE_DIR, QUILLET_BINARY_DIR and QUILLET_BINDIR.

# The launchers name the editors by their installed paths: a user's ~/.local/bin is not on every desktop's
# PATH. The editor with the emulated keyboard has its own entry, for trying the editor without a keyboard.
# Written first to a folder of this destination's own: the tests install to several at once.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(written "${QUILLET_BINARY_DIR}/desktop/${destination}")
foreach(program quillet-editor quillet-editor-emulated)
  set(path "${CMAKE_INSTALL_PREFIX}/${QUILLET_BINDIR}/${program}")
  if(path MATCHES "[ \t\"'\\\\$`]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" path "${path}")
    set(path "\"${path}\"")
  endif()
  file(READ "${QUILLET_SOURCE_DIR}/resources/${program}.desktop" entry)
  string(REPLACE "\nExec=${program} " "\nExec=${path} " entry "${entry}")
  file(WRITE "${written}/${program}.desktop" "${entry}")
  file(INSTALL "${written}/${program}.desktop"
       DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")
endforeach()

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
