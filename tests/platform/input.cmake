# The virtual-key table and the tone generator, without a display.
tessary_test(test_platform_keys SOURCES ${CMAKE_CURRENT_LIST_DIR}/VirtualKeysTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToneWavTest.cpp LIBS PkgConfig::X11)
# The hot key against other X clients and XTest key presses; the sounds.
tessary_test(test_platform_hotkey GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/GlobalHotKeyTest.cpp)
tessary_test(test_platform_sound GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/SoundTest.cpp)
