#pragma once
// Opens a web page in the user's browser. Tests switch it to a recorder, so
// no browser starts.

#include <string>
#include <vector>

class CBrowser {
public:
    // The outcome is not reported: a page that cannot be shown is no error
    // the user has to deal with.
    static void Open(const std::string& url);

    static void EnableTestMode();
    static void DisableTestMode();
    // Pages asked for since the last call (test mode only).
    static std::vector<std::string> TakeOpened();
};
