#pragma once
// Where the window manager puts a new top-level window.

#include <wx/gdicmn.h>

class wxTopLevelWindow;

class CWindowPlacement {
public:
    // Once the window manager has mapped the still hidden window, moves it to
    // the position asked for if it was put elsewhere. The first window of a
    // run is shown only after the window manager has told its frame sizes,
    // and comes up as if no position had been asked for.
    static void KeepRequestedPosition(wxTopLevelWindow* window, const wxPoint& position);
};
