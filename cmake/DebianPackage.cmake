# The Debian package, made by CPack: `cmake --build build --target package` leaves
# quillet-editor_VERSION-1_ARCH.deb in the build folder. Its dependencies are those of the libraries the
# programs link (dpkg-shlibdeps). Everything it holds is what `cmake --install` installs under /usr, with the
# manual pages, the AppStream description and the package's own documents made here.

set(QUILLET_PACKAGE_MAINTAINER "Morvane <support@morvane.example>"
    CACHE STRING "The Debian package's maintainer, as \"Name <address>\"")
set(pkg ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${pkg})

# Texts that carry the version and its date.
configure_file(resources/quillet-editor.metainfo.xml.in ${pkg}/com.morvane.quillet.metainfo.xml @ONLY)
configure_file(resources/man/quillet.1.in ${pkg}/quillet.1 @ONLY)
configure_file(resources/man/quillet-editor.1.in ${pkg}/quillet-editor.1 @ONLY)
configure_file(CHANGELOG.md ${pkg}/changelog COPYONLY)
execute_process(COMMAND date -R -u -d "${QUILLET_RELEASE_DATE} 12:00" OUTPUT_VARIABLE release_date_rfc2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(CONFIGURE OUTPUT ${pkg}/changelog.Debian @ONLY CONTENT
"quillet-editor (@PROJECT_VERSION@-1) stable; urgency=medium

  * Release @PROJECT_VERSION@; what changed is in changelog.gz beside this file.

 -- @QUILLET_PACKAGE_MAINTAINER@  @release_date_rfc2822@
")
# The editor with the emulated keyboard is described on the editor's page.
file(CREATE_LINK quillet-editor.1.gz ${pkg}/quillet-editor-emulated.1.gz SYMBOLIC)

# Compressed as Debian wants them: at the highest level, without the file's name and time.
set(compressed "")
foreach(doc quillet.1 quillet-editor.1 changelog changelog.Debian)
  add_custom_command(OUTPUT ${pkg}/${doc}.gz
                     COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${pkg}/${doc} ${pkg}/${doc}.gz
                     DEPENDS ${pkg}/${doc} VERBATIM)
  list(APPEND compressed ${pkg}/${doc}.gz)
endforeach()
add_custom_target(package_documents ALL DEPENDS ${compressed})

install(FILES ${pkg}/quillet.1.gz ${pkg}/quillet-editor.1.gz ${pkg}/quillet-editor-emulated.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pkg}/com.morvane.quillet.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${pkg}/changelog.gz ${pkg}/changelog.Debian.gz resources/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillet-editor)
install(FILES resources/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME quillet-editor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet-editor)
set(CPACK_PACKAGE_VENDOR Morvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLET_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "editor for the Quillet 49 USB MIDI keyboard controller
The desktop editor for the Quillet 49, a 49-key USB MIDI keyboard controller
by Morvane. It finds the keyboard by the MIDI identity request, reads its
whole configuration, shows a clickable picture of the keyboard with a settings
panel, sends the configuration back and verifies it, saves and loads it as
settings files (*.qmv49) and writes an HTML chart of every assignment. A second
menu entry starts the editor attached to a built-in emulation of the keyboard,
for trying it without one.
.
The quillet command-line tool checks, shows and charts settings files, writes
the SysEx bytes a send transmits, and reads and sends the keyboard's
configuration from scripts.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Installed under DESTDIR with the real prefix, so that the menu entries name /usr/bin.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
include(CPack)
