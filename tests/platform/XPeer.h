#pragma once
// Another client of the X display, as a second program would be, and the
// other helpers the desktop tests share.

#include "support/GuiTest.h"

#include <wx/toplevel.h>

// Before X11's headers, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

inline unsigned long XidOf(wxWindow* window) {
    GtkWidget* widget = wxGetTopLevelParent(window)->GetHandle();
    gtk_widget_realize(widget);
    return GDK_WINDOW_XID(gtk_widget_get_window(widget));
}

class CXPeer {
public:
    CXPeer() : m_pDisplay(XOpenDisplay(nullptr)) {}
    ~CXPeer() {
        if (m_pDisplay)
            XCloseDisplay(m_pDisplay);
    }
    CXPeer(const CXPeer&) = delete;
    CXPeer& operator=(const CXPeer&) = delete;

    Display* Get() const { return m_pDisplay; }
    Window Root() const { return DefaultRootWindow(m_pDisplay); }

    void SendClientMessage(Window to, const char* type, std::vector<long> items) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = to;
        event.xclient.message_type = XInternAtom(m_pDisplay, type, False);
        event.xclient.format = 32;
        std::copy(items.begin(), items.begin() + std::min<size_t>(items.size(), 5),
                  event.xclient.data.l);
        XSendEvent(m_pDisplay, to, False, NoEventMask, &event);
        XFlush(m_pDisplay);
    }

    bool Viewable(Window window) {
        XWindowAttributes attributes;
        return XGetWindowAttributes(m_pDisplay, window, &attributes) &&
               attributes.map_state == IsViewable;
    }

private:
    Display* m_pDisplay;
};

struct SRunResult {
    std::string m_strOut;
    int m_nStatus = -1;
};

// Runs a shell command (bounded by `timeout`) while the loop keeps running, so
// this program can answer the command's requests, a clipboard read say.
inline SRunResult RunPumping(const std::string& command, int seconds = 5) {
    SRunResult result;
    std::atomic<bool> done = false;
    std::thread worker([&] {
        const std::string line = "timeout " + std::to_string(seconds) + " " + command;
        if (FILE* pipe = popen(line.c_str(), "r")) {
            char buffer[4096];
            for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                result.m_strOut.append(buffer, n);
            result.m_nStatus = pclose(pipe);
        }
        done = true;
    });
    WaitFor([&] { return done.load(); }, (seconds + 5) * 1000);
    worker.join();
    return result;
}
