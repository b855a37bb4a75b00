# The Windows package: a zip (`cpack -G ZIP` in the Windows build folder,
# which scripts/build-windows.sh makes) that runs where it is unpacked.
#
#   Tessary-<version>-win64/tessary.exe
#   Tessary-<version>-win64/zqMouseHook.dll
#   Tessary-<version>-win64/help/            the help book
#   Tessary-<version>-win64/examples/starter.xml
#   Tessary-<version>-win64/licenses/        Tessary's, and those of the
#                                            libraries built into the program
#
# The help book beside the program is how it finds its data
# (app/InstallPaths.cpp), as in a build folder.

install(TARGETS tessary RUNTIME DESTINATION .)
install(TARGETS zqMouseHook RUNTIME DESTINATION . LIBRARY DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION help
    FILES_MATCHING PATTERN "*.html" PATTERN "*.hh?")
install(FILES ${CMAKE_SOURCE_DIR}/examples/starter.xml DESTINATION examples)

# The program links these statically. Their licence texts are those of the
# Debian packages built from the same sources, so the build machine's copies
# serve (scripts/build-windows.sh installs the packages).
install(FILES ${CMAKE_SOURCE_DIR}/desktop/copyright DESTINATION licenses RENAME Tessary.txt)
set(licenses
    wxWidgets=libwxbase3.2-1 libxml2=libxml2 curl=libcurl4 expat=libexpat1 libpng=libpng16-16
    zlib=libz-mingw-w64-dev mingw-w64-runtime=mingw-w64-common gcc-runtime=gcc-mingw-w64-base)
foreach(entry IN LISTS licenses)
    string(REPLACE "=" ";" entry ${entry})
    list(GET entry 0 name)
    list(GET entry 1 package)
    set(file /usr/share/doc/${package}/copyright)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "${file} is missing: install ${package} for the licence of ${name}")
    endif()
    install(FILES ${file} DESTINATION licenses RENAME ${name}.txt)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tessary)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Morvek Ltd")
set(CPACK_SYSTEM_NAME win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
