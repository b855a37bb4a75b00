#pragma once
// bench_paste's view of the X server: it clicks and types through XTest and
// learns what happened from events alone (pop-up menus mapped and unmapped on
// the root, title changes of the windows pasted into), each stamped when it is
// read, so no measurement waits on a polling interval.

#include <X11/Xlib.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>

class CPasteProbe {
public:
    using Clock = std::chrono::steady_clock;

    CPasteProbe() = default;
    ~CPasteProbe();
    CPasteProbe(const CPasteProbe&) = delete;
    CPasteProbe& operator=(const CPasteProbe&) = delete;

    // false without a display or without XTest.
    bool Open();
    bool HasWindowManager() const { return m_bWindowManager; }

    // Title changes of `window` are counted from now on.
    void Watch(Window window);
    // Pop-up menus of the program of that class instance on the screen now.
    std::size_t MenuCount(const std::string& program) const;
    // Title changes of `window` seen so far.
    long TitleChanges(Window window) const;
    std::string Title(Window window);

    // Reads events until at least `count` menus of `program` (its class
    // instance, e.g. "tessary") are mapped; the time the last one needed was
    // read, or nothing after `timeout`.
    std::optional<Clock::time_point> WaitMenusAtLeast(const std::string& program, std::size_t count,
                                                      std::chrono::milliseconds timeout);
    bool WaitNoMenu(std::chrono::milliseconds timeout);
    // Pop-up menus mapped since the probe opened, of any program.
    long MenuMaps() const { return m_nMenuMaps; }
    // Reads events until more than `seen` menus were mapped.
    bool WaitMenuMaps(long seen, std::chrono::milliseconds timeout);
    // Reads events until `window`'s title changed more than `seen` times.
    std::optional<Clock::time_point> WaitTitleChange(Window window, long seen,
                                                     std::chrono::milliseconds timeout);
    // Reads what has arrived, without waiting.
    void Drain();

    // `window`'s top-left corner in root coordinates, and its size.
    bool Geometry(Window window, int& x, int& y, int& width, int& height);
    // Focus to `window` (through the window manager when there is one) and
    // waits until it holds it.
    bool Activate(Window window, std::chrono::milliseconds timeout);

    void MovePointer(int x, int y);
    // Button 3 pressed and released, with Shift held when asked; flushed.
    void RightClick(bool withShift);
    // A key pressed and released `times` times; flushed.
    void Key(const char* keysym, int times = 1);
    void Sync();

private:
    void Handle(const XEvent& event, Clock::time_point read);
    bool Pump(Clock::time_point deadline);
    bool IsPopupMenu(Window window);
    bool IsWithin(Window inner, Window outer);

    Display* m_pDisplay = nullptr;
    Window m_root = 0;
    bool m_bWindowManager = false;
    Atom m_atomNetWmName = 0;
    Atom m_atomUtf8 = 0;
    Atom m_atomWindowType = 0;
    Atom m_atomPopupMenu = 0;
    Atom m_atomActiveWindow = 0;
    struct SOverlay {
        std::string m_strProgram;
        bool m_bMenu = false;
    };
    // Override-redirect windows mapped on the screen since we watch.
    std::map<Window, SOverlay> m_overlays;
    std::map<Window, long> m_titleChanges;
    Clock::time_point m_lastMenuMapped;
    long m_nMenuMaps = 0;
    Clock::time_point m_lastTitle;
};
