# Tip of the Day, About and the Favorites export.
tessary_test(test_favorites_export SOURCES FavoritesExportTest.cpp)
tessary_test(test_gui_tools GUI SOURCES
    TipOfTheDayTest.cpp
    AboutDialogTest.cpp
    ExportFavoritesDialogTest.cpp
)
# The start-up showing in the real program, driven from outside with xdotool.
add_test(NAME startup_tip
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/startup_tip_test.sh $<TARGET_FILE:tessary>)
set_tests_properties(startup_tip PROPERTIES LABELS gui RESOURCE_LOCK display TIMEOUT 120
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;GDK_BACKEND=x11;NO_AT_BRIDGE=1")
