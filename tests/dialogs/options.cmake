# The Options dialog, its hot-key field and the key tables behind it.
tessary_test(test_virtual_key_names SOURCES VirtualKeyNamesTest.cpp)
tessary_test(test_gui_options GUI SOURCES DlgOptionsTest.cpp HotKeyCtrlTest.cpp)
