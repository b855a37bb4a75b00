# Desktop services of the paste engine, against the real X server.
tessary_test(test_platform_desktop GUI SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DesktopWindowsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClipboardPasteTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HookClientTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandChannelTest.cpp)
