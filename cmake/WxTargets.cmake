# wxWidgets as two targets instead of directory-wide settings, so that only
# the folders that link a part of it see its headers:
#   wx::base  the non-GUI part (strings, config, files)
#   wx::gui   everything the program's windows use (core, xrc, aui, html)
find_package(wxWidgets 3.2 REQUIRED COMPONENTS base)
add_library(wx::base INTERFACE IMPORTED)
# wxWidgets' headers are not ours to keep warning-free.
target_include_directories(wx::base SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(wx::base INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(wx::base INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(wx::base INTERFACE ${wxWidgets_LIBRARIES})

# A static wxWidgets (the Windows build's) needs xrc's own dependency named.
set(wxGuiParts xrc aui html core base)
if(WIN32)
    set(wxGuiParts xrc aui html core xml base)
endif()
find_package(wxWidgets 3.2 REQUIRED COMPONENTS ${wxGuiParts})
add_library(wx::gui INTERFACE IMPORTED)
target_include_directories(wx::gui SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(wx::gui INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(wx::gui INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(wx::gui INTERFACE ${wxWidgets_LIBRARIES})
