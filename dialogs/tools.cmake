# Tip of the Day, About and the Favorites export.
target_sources(tessary_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DlgTipOfTheDay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DlgAbout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DlgExportFavorites.cpp
)
# The export itself needs no window.
target_sources(tessary_core PRIVATE
    ${CMAKE_SOURCE_DIR}/document/Utf16Text.cpp
    ${CMAKE_SOURCE_DIR}/document/WineRegistry.cpp
    ${CMAKE_SOURCE_DIR}/document/InternetShortcut.cpp
    ${CMAKE_SOURCE_DIR}/document/FavoritesFolder.cpp
    ${CMAKE_SOURCE_DIR}/document/FavoritesExporter.cpp
)
