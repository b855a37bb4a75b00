#pragma once
// The program's command line, read before any window system starts so that
// --help and --version work without a display.

#include <string>

struct SCommandLine {
    enum class EAction { Run, Help, Version, Toggle, Error };
    EAction action = EAction::Run;
    std::string file;      // absolute; empty for a new library
    std::string error;     // for Action::Error
    bool tray = false;     // start hidden in the notification area
    bool activate = false; // start with the snippet menu active
};

// "--" ends the options, so a file named "-notes.xml" can follow. The file
// name is kept as the bytes given, whatever their encoding.
SCommandLine ParseCommandLine(int argc, const char* const* argv);
