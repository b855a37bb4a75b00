# Keyboard input and sounds: the virtual-key table and the tone generator need
# no window; the hot key and the sound player talk to X and the sound server.
target_sources(tessary_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/VirtualKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToneWav.cpp)
target_sources(tessary_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/GlobalHotKey.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Sound.cpp)
target_link_libraries(tessary_gui PUBLIC PkgConfig::CANBERRA)
