#pragma once
// The program's side of the mouse hook: points the hook library at the main
// frame's X window and turns its click reports into calls on the GUI loop.

#include <functional>
#include <memory>
#include <string>

class wxWindow;

// One grabbed right-click, as the hook library reports it.
struct SHookClick {
    unsigned long target; // clicked top-level client window, 0 for the desktop
    int x;                // root-window coordinates
    int y;
    unsigned long time; // X server time of the button release
};

class CHookClient {
public:
    CHookClient();
    ~CHookClient();
    CHookClient(const CHookClient&) = delete;
    CHookClient& operator=(const CHookClient&) = delete;

    // Reports go to the top-level window around `window`. onClick runs from the
    // event loop after the report has been taken off the X queue, never inside
    // GDK's event filter: it may run a pop-up menu.
    bool Attach(wxWindow* window, std::function<void(const SHookClick&)> onClick);
    // Reports still queued are dropped.
    void Detach();

    // False with a message for the user when the grab is not in place.
    bool Start(std::string& error);
    void Stop();
    bool IsStarted() const { return m_bStarted; }

private:
    // Where the reports arrive: an X event watch, or a window on Windows.
    class CWatch;
    std::unique_ptr<CWatch> m_pWatch;
    std::function<void(const SHookClick&)> m_fnOnClick;
    bool m_bStarted = false;
};
