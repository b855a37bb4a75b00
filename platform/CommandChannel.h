#pragma once
// How a second start of the program (`tessary --toggle`) hands a command to
// the one already running. X11 has no way to post a command id to another
// program's window, so the running program owns a selection named after the
// screen through a small window of its own; a sender looks up the owner and
// sends it a ClientMessage carrying the id.

#include <functional>
#include <memory>
#include <string>

class CGdkEventWatch;

class CCommandReceiver {
public:
    CCommandReceiver();
    ~CCommandReceiver();
    CCommandReceiver(const CCommandReceiver&) = delete;
    CCommandReceiver& operator=(const CCommandReceiver&) = delete;

    // Starts receiving on GDK's display. Commands arrive from the event loop,
    // only those meant to come from outside. False when another program
    // already listens on this screen: the first one started keeps the channel,
    // so a second copy never steals commands meant for the first. Listening
    // again only replaces the callback.
    bool Listen(std::function<void(int commandId)> onCommand);

private:
    std::unique_ptr<CGdkEventWatch> m_pWatch;
    unsigned long m_nWindow = 0; // owns the selection
    std::function<void(int commandId)> m_fnOnCommand;
};

// Sends a command to the program listening on $DISPLAY. Plain Xlib, no toolkit:
// usable from main() before wxWidgets starts. False with a message for the
// user when it cannot be delivered.
bool SendCommand(int commandId, std::string& error);
