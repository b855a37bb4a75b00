# Paste engine's desktop services: hook client, window activation and focus,
# clipboard and keystrokes, the command channel for a second start, and the
# pacing of keys in the snippet menu.
target_sources(tessary_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/HookClient.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DesktopWindows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MenuKeyPacer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandChannel.cpp)
