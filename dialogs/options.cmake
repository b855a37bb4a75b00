# The Options dialog and its hot-key field; the key names need no window.
target_sources(tessary_gui PRIVATE DlgOptions.cpp HotKeyCtrl.cpp)
target_sources(tessary_core PRIVATE VirtualKeyNames.cpp)
