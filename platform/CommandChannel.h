#pragma once
// How a second start of the program (`tessary --toggle`, `tessary FILE`)
// hands a command to the one already running. X11 has no way to post a
// command id to another program's window, so the running program owns a
// selection named after the screen through a small window of its own; a
// sender looks up the owner and sends it a ClientMessage carrying the id. A
// ClientMessage holds 20 bytes, so a longer argument (a file name) waits as a
// property on a window of the sender's, which the receiver reads, deletes and
// confirms.

#include <functional>
#include <memory>
#include <string>

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
    // The argument is empty for a command sent without one.
    using Handler = std::function<void(int commandId, const std::string& argument)>;
    bool Listen(Handler onCommand);

private:
    // Where the commands arrive: an X event watch, or a window on Windows.
    class CWatch;
    std::unique_ptr<CWatch> m_pWatch;
    unsigned long m_nWindow = 0; // owns the selection
    Handler m_fnOnCommand;
};

// Sends a command to the program listening on $DISPLAY. Plain Xlib, no toolkit:
// usable from main() before wxWidgets starts. False with a message for the
// user when it cannot be delivered.
bool SendCommand(int commandId, std::string& error);

enum class EHandOver {
    Done,      // the running program has the command
    NoDisplay, // $DISPLAY cannot be reached
    NoProgram, // nobody listens on the display
    NoAnswer,  // the listener did not confirm in time: stopped or hung
};

// Hands a command and its argument (bytes, such as a file name) to the
// program listening on $DISPLAY and waits up to `timeoutMs` for it to confirm
// receipt. Plain Xlib, usable from main(). A listener that never answers must
// not keep a new start from running: the caller goes on after NoAnswer.
EHandOver HandOver(int commandId, const std::string& argument, int timeoutMs = 3000);
