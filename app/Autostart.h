#pragma once
// Start at login: the desktop's autostart entry for Tessary,
// $XDG_CONFIG_HOME/autostart/tessary.desktop (~/.config/autostart when that
// is unset), which starts the program hidden in the tray with the snippet
// menu active. The entry's presence is the setting: a user who removes the
// file by hand has turned it off. On Windows the entry is the value
// "Tessary" of the user's Run key, and its text a command line.

#include "library/AtomicFile.h"

#include <string>

namespace autostart {

std::string EntryPath();
bool IsOn();
// The entry's text for the program at that path.
std::string EntryText(const std::string& program);
// Writes the entry atomically, making its folder if need be.
SAtomicWriteResult TurnOn(const std::string& program);
// Removes the entry; a missing entry is no error.
SAtomicWriteResult TurnOff();

} // namespace autostart
