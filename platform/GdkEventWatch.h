#pragma once
// Sees the X events GDK reads before GDK does, for one window or for all, and
// hands the work they call for to the event loop. A filter runs inside GDK's
// event dispatch, where a nested loop (a menu, a message box) must not start;
// so the watch only queues work there, and work still queued when the watch
// goes is dropped. Used by the hook client, the command channel and the hot
// key.

#include <gdk/gdkx.h>

#include <functional>
#include <memory>

class CGdkEventWatch {
public:
    // True from onEvent: the event was ours, GDK never sees it.
    using Handler = std::function<bool(const XEvent& event)>;

    // window null: every event of the default display.
    CGdkEventWatch(GdkWindow* window, Handler onEvent);
    ~CGdkEventWatch();
    CGdkEventWatch(const CGdkEventWatch&) = delete;
    CGdkEventWatch& operator=(const CGdkEventWatch&) = delete;

    // Runs work from the event loop once the current dispatch is over, unless
    // this watch has been destroyed by then. Work may destroy the watch.
    void Post(std::function<void()> work);

private:
    struct SState;
    static GdkFilterReturn Filter(GdkXEvent* native, GdkEvent*, gpointer data);

    std::shared_ptr<SState> m_pState;
};
