#pragma once
// The library's own X connection: the right-button grab on the root windows
// and the reports. Used by the hook thread alone, so Xlib needs no locking.

#include "hook/ClientWindowSearch.h"

#include <X11/Xlib.h>

#include <optional>
#include <vector>

class CHookConnection {
public:
    CHookConnection() = default;
    ~CHookConnection();
    CHookConnection(const CHookConnection&) = delete;
    CHookConnection& operator=(const CHookConnection&) = delete;

    // Connects when not connected yet; a ZQ_HOOK_* code.
    int Start();
    void Stop();
    // Releases everything; safe on a lost connection.
    void Close();

    // The descriptor to wait on; -1 when not connected.
    int Fd() const;
    // Handles what the server sent, reporting clicks to client; revents as
    // poll() gave them. ZQ_HOOK_OK, or why the hook is no longer started.
    int Pump(short revents, unsigned long client);

private:
    bool Open();
    int Grab();
    void Ungrab();
    // Whether the connection went away; closes it then.
    bool CloseIfLost();
    int OnEvent(XEvent& event, unsigned long client);
    void Report(const XButtonEvent& release, unsigned long client);

    Display* m_pDisplay = nullptr;
    Atom m_nMessage = None;
    std::optional<CClientWindowSearch> m_search;
    // The combinations grabbed, to release the same ones after a keymap change.
    std::vector<unsigned> m_vecMods;
    bool m_bStarted = false;
    bool m_bPressed = false;
};
