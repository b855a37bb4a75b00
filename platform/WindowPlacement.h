#pragma once
// Where the window manager puts a new top-level window.

#include <wx/gdicmn.h>

#include <functional>

class wxTopLevelWindow;

class CWindowPlacement {
public:
    // Once the window manager has mapped the still hidden window, moves it to
    // the position asked for if it was put elsewhere. The first window of a
    // run is shown only after the window manager has told its frame sizes,
    // and comes up as if no position had been asked for.
    static void KeepRequestedPosition(wxTopLevelWindow* window, const wxPoint& position);

    // Runs the call from the event loop once the window manager has mapped
    // the window (at once if it is mapped already). The first window of a run
    // is mapped some time after Show(); a modal dialog shown before that
    // would end up beneath it.
    static void CallWhenMapped(wxTopLevelWindow* window, std::function<void()> call);

    // Shows the window, de-iconified, and asks the window manager to
    // activate it as a pager would: a request passed on from another program
    // carries no user time that focus-stealing prevention would accept.
    static void BringForward(wxTopLevelWindow* window);
};
