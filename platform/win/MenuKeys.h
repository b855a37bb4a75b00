#pragma once
// The hidden pixel that holds the foreground for the snippet menu and then
// for a search typed in it. Windows gives keys only to the foreground
// thread, and the window the menu opens on (a child of the desktop) can never
// be the foreground; this window of the same thread can. While a search runs
// it hands every key it gets to the search's field, as a keyboard grab would.

#include <windows.h>

namespace menu_keys {

// Made on first use, and again after Drop; null when Windows refused it.
HWND Window();
// The window if there is one, without making it.
HWND Current();
// Destroys the window once its menu or search is over. A fresh one for each
// menu: Wine hands a window that was once active to the window manager,
// which may then never give it the keyboard again.
void Drop();

// Keys reaching the window go to `field` from now on; null stops that.
void Forward(HWND field);
HWND ForwardedTo();

// The menu closed while a search held the keys: the window to give them back
// to once the search ends. Taken once; false when none was left.
void DeferReturn(unsigned long target);
bool TakeDeferredReturn(unsigned long& target);

// Hands the foreground on, joined to the current foreground's input so that
// Windows lets this program do it.
void SetForeground(HWND window);

} // namespace menu_keys
