#pragma once
// Hands the keys typed into a pop-up menu to the toolkit one at a time, each
// only after the toolkit's idle work for the one before. GTK 3's
// accessibility code keeps one focus change pending until it is idle and
// aborts the program when key events reach nested menus back to back, as a
// held arrow key does once its auto-repeat outruns the menu.

class wxMenu;

class CMenuKeyPacer {
public:
    // Paces the keys that reach this menu; call it for the pop-up and for
    // each of its submenus. The order of the keys is kept, and none is lost
    // while the menu stays open.
    static void Attach(wxMenu* menu);
};
