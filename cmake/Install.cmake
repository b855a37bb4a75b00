# Installing Tessary in the usual places of a Linux desktop, and the Debian
# package made from that (`cpack -G DEB` in the build folder).
#
#   <prefix>/bin/tessary
#   <prefix>/lib/tessary/libzqMouseHook.so      private: found through RUNPATH
#   <prefix>/share/tessary/{help,examples}
#   <prefix>/share/applications/tessary.desktop
#   <prefix>/share/icons/hicolor/scalable/apps/tessary.svg
#   <prefix>/share/metainfo/example.morvek.Tessary.metainfo.xml
#   <prefix>/share/man/man1/tessary.1
#
# Paths relative to the program's own folder, so a prefix moved elsewhere
# keeps working.

set(TESSARY_APP_ID example.morvek.Tessary)
set(TESSARY_PRIVATE_LIBDIR lib/tessary)

# The hook library is the program's own: not on the linker's search path.
set_target_properties(tessary PROPERTIES INSTALL_RPATH "$ORIGIN/../${TESSARY_PRIVATE_LIBDIR}")
install(TARGETS tessary RUNTIME DESTINATION bin)
install(TARGETS zqMouseHook LIBRARY DESTINATION ${TESSARY_PRIVATE_LIBDIR} NAMELINK_SKIP)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION share/tessary/help
    FILES_MATCHING PATTERN "*.html" PATTERN "*.hh?")
install(FILES ${CMAKE_SOURCE_DIR}/examples/starter.xml DESTINATION share/tessary/examples)

set(desktop ${CMAKE_SOURCE_DIR}/desktop)
set(generated ${CMAKE_BINARY_DIR}/desktop)
configure_file(${desktop}/${TESSARY_APP_ID}.metainfo.xml ${generated}/${TESSARY_APP_ID}.metainfo.xml @ONLY)
configure_file(${desktop}/tessary.1 ${generated}/tessary.1 @ONLY)
configure_file(${desktop}/changelog.Debian ${generated}/changelog.Debian @ONLY)
install(FILES ${desktop}/tessary.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/res/icons/app.svg DESTINATION share/icons/hicolor/scalable/apps
    RENAME tessary.svg)
install(FILES ${generated}/${TESSARY_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# Debian keeps manual pages and changelogs compressed, without a time stamp.
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${generated}/tessary.1.gz ${generated}/changelog.Debian.gz
    COMMAND ${GZIP} -9nkf ${generated}/tessary.1 ${generated}/changelog.Debian
    DEPENDS ${generated}/tessary.1 ${generated}/changelog.Debian
    VERBATIM)
add_custom_target(tessary_docs ALL DEPENDS ${generated}/tessary.1.gz ${generated}/changelog.Debian.gz)
install(FILES ${generated}/tessary.1.gz DESTINATION share/man/man1)
install(FILES ${desktop}/copyright ${generated}/changelog.Debian.gz DESTINATION share/doc/tessary)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessary)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The package's own revision: the changelog's entry is "${PROJECT_VERSION}-1".
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_CONTACT "Morvek Ltd <tessary@morvek.example>")
set(CPACK_PACKAGE_VENDOR "Morvek Ltd")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paste text snippets into any program from a right-click menu")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tessary.morvek.example/")
# The synopsis is the summary above; CPack indents these lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessary keeps a library of text snippets (greetings, sign-offs, addresses,
standard replies) as a tree in an XML file, edited in one window. Once its
snippet menu is activated, a right-click in any X11 program pops up a menu
built from the library; choosing an entry pastes its text there.

Tessary can wait in the notification area and start when you log in.")
# Run-time dependencies from the libraries the program links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/hook)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
