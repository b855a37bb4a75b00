# The suites of the Windows build, run under Wine: those that drive the
# program through wxWidgets and the recording fake desktop. Suites that need
# the X server from outside (a second X client, xdotool, GTK) stay on Linux.
set(t ${CMAKE_CURRENT_SOURCE_DIR})
tessary_test(test_string_table SOURCES ${t}/res/StringTableTest.cpp LIBS tessary_gui)
tessary_test(test_app SOURCES ${t}/app/CommandLineTest.cpp ${t}/app/SessionNoticeTest.cpp
    ${t}/app/SplitterGeometryTest.cpp ${t}/app/AutostartWinTest.cpp LIBS tessary_gui)
tessary_test(test_gui_app GUI SOURCES ${t}/app/MainFrameTest.cpp ${t}/app/SplitterBarTest.cpp)
# Wine shows the root of the build machine as drive Z:.
target_compile_definitions(test_gui_app PRIVATE TESSARY_HELP_BOOK="Z:${CMAKE_SOURCE_DIR}/help/tessary.hhp")
tessary_test(test_gui_document GUI SOURCES ${t}/document/DocumentLifecycleTest.cpp
    ${t}/document/FollowSourceTest.cpp)
tessary_test(test_text_undo SOURCES ${t}/view/TextUndoTest.cpp LIBS tessary_gui)
tessary_test(test_gui_editor GUI SOURCES ${t}/view/EditorViewTest.cpp ${t}/view/EditorFindTest.cpp)
tessary_test(test_menu_model SOURCES ${t}/menu/SnippetMenuModelTest.cpp ${t}/menu/SnippetSearchTest.cpp
    LIBS tessary_gui)
tessary_test(test_paste_sequence SOURCES ${t}/menu/PasteSequenceTest.cpp LIBS tessary_gui)
tessary_test(test_virtual_key_names SOURCES ${t}/dialogs/VirtualKeyNamesTest.cpp LIBS tessary_gui)
tessary_test(test_gui_dialogs GUI SOURCES ${t}/dialogs/DlgPasteKeysTest.cpp)
# Windows' own services: the command channel (the same test as on X11), the
# hot key, the search typed in the snippet menu and the clipboard given back
# after a paste.
tessary_test(test_gui_platform_win GUI SOURCES ${t}/platform/CommandChannelTest.cpp
    ${t}/platform/win/HotKeyWinTest.cpp ${t}/platform/win/MenuSearchWinTest.cpp
    ${t}/platform/win/ClipboardRestoreWinTest.cpp)

# The zip package, unpacked and started under Wine.
add_test(NAME package_zip COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/windows_package_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package_zip PROPERTIES LABELS package TIMEOUT 300 SKIP_RETURN_CODE 77
    RESOURCE_LOCK display)
