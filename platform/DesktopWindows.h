#pragma once
// The windows and the focus on the X desktop: bringing the clicked window
// forward and knowing when it has the keyboard. Everything goes through GDK's
// own connection, so our requests are ordered with the toolkit's. A window
// that vanished meanwhile is never an error that ends the program: the calls
// then do nothing or answer false.

#include "platform/Desktop.h"

class wxWindow;

namespace desktop {

// An EWMH window manager runs: the root's _NET_SUPPORTING_WM_CHECK names a
// live window that names itself. A manager that died leaves a stale pointer.
bool HasWindowManager();

// Asks the window manager to activate the window (as a pager would, so focus
// stealing prevention lets it through); without one, raises it and gives it
// the keyboard focus. Nothing happens for 0 or a window that is gone.
void ActivateWindow(unsigned long window, unsigned long time);

bool WindowExists(unsigned long window);
// The window is one of this program's own pop-ups (override-redirect).
bool IsOwnPopup(unsigned long window);

// The keyboard focus is on the window or inside it. With a window manager,
// also when the window is the active one and the focus sits on its frame.
bool HasFocus(unsigned long window);

// The screen point lies on this program's own icon in the notification area
// (an XEmbed tray icon: a GTK plug inside the tray's window). While the
// snippet menu is active its right-clicks reach the mouse hook, not the icon.
bool IsOwnTrayIconAt(int x, int y);

// Gives the keyboard to a pop-up menu of ours about to open on host, and
// after it has closed back to the clicked window (0 for none) if the menu
// still has it. Nothing on X11, where the menu grabs the keyboard; on Windows
// a window of the menu's thread must be in the foreground.
void TakeKeyboardForMenu(wxWindow* host);
void ReturnKeyboardAfterMenu(unsigned long target);

#ifdef _WIN32
// The message is the one Windows posts for every F1 press besides the key
// itself (WM_KEYF1, which becomes WM_HELP): a window that has F1 as an
// accelerator already answered the press and drops it.
bool IsHelpKeyEcho(const void* message);
#endif

// WM_CLASS of the window (of the client window inside a frame); empty names
// when it is gone or has none.
SWindowClass WindowClass(unsigned long window);

} // namespace desktop
