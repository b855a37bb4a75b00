#pragma once
// Access to the program's resources: XRC menus, toolbar and dialogs, icons.

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

#include <string>

class wxMenu;

namespace resources {

// Registers the command ids under their names, puts the embedded files into
// the "memory:" file system and loads the XRC. Safe to call more than once.
bool Initialize();

// The numeric id behind a resource name such as "ID_FILE_NEW".
int IdOf(const std::string& name);

// An icon drawn from res/icons, at the size given.
wxBitmapBundle Icon(const std::string& name, int width, int height);
wxIconBundle AppIcon();
// A window icon in the usual sizes, drawn from one of res/icons.
wxIconBundle IconBundle(const std::string& name);

// The "Hook" pop-up of menu resource 132, as a new menu owned by the caller.
wxMenu* LoadHookPopup();
// The first menu of a menu bar resource ("IDR_TRAY_MENU"), owned by the caller.
wxMenu* LoadPopup(const char* menuBarName);

} // namespace resources
