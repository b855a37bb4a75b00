#pragma once
// Hands the keys typed into a pop-up menu to the toolkit one at a time, each
// only after the toolkit's idle work for the one before. GTK 3's
// accessibility code keeps one focus change pending until it is idle and
// aborts the program when key events reach nested menus back to back, as a
// held arrow key does once its auto-repeat outruns the menu.
// It also lets typing start a search: a printable key that is not an access
// key of the menu level it reaches closes the menu and is handed on.

#include <cstdint>
#include <functional>
#include <string>

class wxMenu;

class CMenuKeyPacer {
public:
    // Paces the keys that reach this menu; call it for the pop-up and for
    // each of its submenus. The order of the keys is kept, and none is lost
    // while the menu stays open.
    static void Attach(wxMenu* menu);
    // Called with the text of the key that started a search and of the keys
    // typed after it that were still waiting, once the whole menu has closed;
    // null: every key is the menu's.
    static void SetTypeToFind(std::function<void(const std::string& typed)> start);

#ifdef _WIN32
    // Windows' menus ask their owner window about a key that is no access key
    // of the open level (WM_MENUCHAR). Given the message and the toolkit's
    // answer: true, with the answer that closes the menu, when the key starts
    // a search, which then begins at MenuClosed.
    static bool AnswerMenuChar(unsigned message, std::uintptr_t wParam, std::intptr_t& answer);
    static void MenuClosed();
#endif
};
