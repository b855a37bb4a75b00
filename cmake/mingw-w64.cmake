# Cross-building for 64-bit Windows with Debian's MinGW-w64, the posix flavour
# (std::thread and std::mutex need it). The libraries built by
# scripts/build-windows.sh are given as TESSARY_WINDOWS_DEPS, a list of
# install prefixes; their pkg-config files are the only ones found.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSARY_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSARY_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARY_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARY_MINGW}-windres)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TESSARY_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${TESSARY_MINGW} ${TESSARY_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(pkgConfigDirs "")
foreach(prefix IN LISTS TESSARY_WINDOWS_DEPS)
    list(APPEND pkgConfigDirs ${prefix}/lib/pkgconfig)
    # wxWidgets for MSW, never the system's own wx-config.
    if(EXISTS ${prefix}/bin/wx-config)
        set(wxWidgets_CONFIG_EXECUTABLE ${prefix}/bin/wx-config)
    endif()
endforeach()
string(REPLACE ";" ":" pkgConfigDirs "${pkgConfigDirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${pkgConfigDirs}")
set(ENV{PKG_CONFIG_PATH} "")
# Static libraries only: their own dependencies come from Libs.private.
set(PKG_CONFIG_ARGN --static)
