#include "platform/CommandChannel.h"

#include "platform/GdkErrorTrap.h"
#include "platform/GdkEventWatch.h"
#include "res/CommandIds.h"
#include "res/Messages.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <iterator>

namespace {

constexpr const char* kCommandMessage = "_TESSARY_COMMAND";
constexpr const char* kDoneMessage = "_TESSARY_COMMAND_DONE";
constexpr const char* kArgument = "_TESSARY_ARGUMENT";
// Far more than a path can take; a sender cannot make the receiver read more.
constexpr long kMaxArgumentBytes = 64 * 1024;

// Anyone on the display can send to the window: only the commands meant to
// be given from outside are carried out.
constexpr int kFromOutside[] = {ids::ID_TOGGLE_MENU, ids::ID_SHOW_WINDOW,
                                ids::ID_OPEN_FROM_OUTSIDE};

bool FromOutside(int id) {
    return std::find(std::begin(kFromOutside), std::end(kFromOutside), id) !=
           std::end(kFromOutside);
}

std::string SelectionName(Display* display) {
    return "_TESSARY_COMMANDS_S" + std::to_string(DefaultScreen(display));
}

// A program asking for the selection's contents gets a refusal at once, not a
// wait for a timeout: the selection only marks who listens.
void Refuse(Display* display, const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.property = None;
    reply.xselection.time = request.time;
    CGdkErrorTrap trap("refusing a selection request", gdk_x11_lookup_xdisplay(display));
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
}

// The argument a sender left on its window, taken off it; empty when the
// window or its property is gone.
std::string TakeArgument(Display* display, Window sender) {
    GdkDisplay* gdk = gdk_x11_lookup_xdisplay(display);
    CGdkErrorTrap trap("reading a command's argument", gdk);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom property = gdk_x11_get_xatom_by_name_for_display(gdk, kArgument);
    std::string argument;
    if (XGetWindowProperty(display, sender, property, 0, kMaxArgumentBytes / 4, True,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && format == 8)
        argument.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    return argument;
}

void Confirm(Display* display, Window sender, int commandId) {
    GdkDisplay* gdk = gdk_x11_lookup_xdisplay(display);
    XEvent reply{};
    reply.xclient.type = ClientMessage;
    reply.xclient.display = display;
    reply.xclient.window = sender;
    reply.xclient.message_type = gdk_x11_get_xatom_by_name_for_display(gdk, kDoneMessage);
    reply.xclient.format = 32;
    reply.xclient.data.l[0] = commandId;
    CGdkErrorTrap trap("confirming a command", gdk);
    XSendEvent(display, sender, False, NoEventMask, &reply);
}

int g_nSendErrors = 0;
int CountError(Display*, XErrorEvent*) {
    ++g_nSendErrors;
    return 0;
}

// Sends a ClientMessage with Xlib's own connection; false when the window was
// gone (BadWindow is counted, not fatal).
bool SendClientMessage(Display* display, Window to, const char* type, long l0, long l1) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = to;
    event.xclient.message_type = XInternAtom(display, type, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    g_nSendErrors = 0;
    XErrorHandler previous = XSetErrorHandler(CountError);
    const Status ok = XSendEvent(display, to, False, NoEventMask, &event);
    XSync(display, False);
    XSetErrorHandler(previous);
    return ok && g_nSendErrors == 0;
}

Window ChannelOwner(Display* display) {
    // Without the atom nobody can ever have listened.
    const Atom selection = XInternAtom(display, SelectionName(display).c_str(), True);
    return selection != None ? XGetSelectionOwner(display, selection) : None;
}

// Waits for the receiver's confirmation on the sender's window.
bool AwaitConfirmation(Display* display, Window own, int timeoutMs) {
    const Atom done = XInternAtom(display, kDoneMessage, False);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.window == own &&
                event.xclient.message_type == done)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left));
    }
}

} // namespace

CCommandReceiver::CCommandReceiver() = default;

class CCommandReceiver::CWatch : public CGdkEventWatch {
public:
    using CGdkEventWatch::CGdkEventWatch;
};

CCommandReceiver::~CCommandReceiver() {
    if (!m_pWatch)
        return;
    m_pWatch.reset();
    GdkDisplay* gdk = gdk_display_get_default();
    if (gdk && GDK_IS_X11_DISPLAY(gdk)) {
        // The selection goes with its window.
        CGdkErrorTrap trap("closing the command channel", gdk);
        XDestroyWindow(GDK_DISPLAY_XDISPLAY(gdk), m_nWindow);
        XFlush(GDK_DISPLAY_XDISPLAY(gdk));
    }
}

bool CCommandReceiver::Listen(Handler onCommand) {
    if (m_pWatch) {
        m_fnOnCommand = std::move(onCommand);
        return true;
    }
    GdkDisplay* gdk = gdk_display_get_default();
    if (!gdk || !GDK_IS_X11_DISPLAY(gdk))
        return false;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk);
    const Atom selection =
        gdk_x11_get_xatom_by_name_for_display(gdk, SelectionName(display).c_str());

    // Looking and taking under one server grab: of two copies started at once,
    // exactly one sees the selection free.
    Window window = None;
    CGdkErrorTrap trap("taking the command channel", gdk);
    gdk_x11_display_grab(gdk);
    if (XGetSelectionOwner(display, selection) == None) {
        // Never mapped; the selection dies with the window, and the window
        // with our connection, so a crashed program frees the channel.
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display, selection, window, CurrentTime);
        if (XGetSelectionOwner(display, selection) != window) {
            XDestroyWindow(display, window);
            window = None;
        }
    }
    gdk_x11_display_ungrab(gdk);
    if (trap.Failed() || window == None)
        return false;

    m_nWindow = window;
    m_fnOnCommand = std::move(onCommand);
    const Atom command = gdk_x11_get_xatom_by_name_for_display(gdk, kCommandMessage);
    m_pWatch = std::make_unique<CWatch>(nullptr, [this, command](const XEvent& event) {
        if (event.xany.window != m_nWindow)
            return false;
        if (event.type == SelectionRequest)
            Refuse(event.xany.display, event.xselectionrequest);
        if (event.type == ClientMessage && event.xclient.message_type == command &&
            event.xclient.format == 32) {
            const int id = static_cast<int>(event.xclient.data.l[0]);
            // A sender's window when the command comes with an argument
            // and wants to know it arrived.
            const Window sender = static_cast<Window>(event.xclient.data.l[1]) & 0xFFFFFFFFul;
            if (FromOutside(id)) {
                std::string argument;
                if (sender != None) {
                    argument = TakeArgument(event.xany.display, sender);
                    Confirm(event.xany.display, sender, id);
                }
                m_pWatch->Post([this, id, argument] {
                    if (const auto onCommand = m_fnOnCommand)
                        onCommand(id, argument);
                });
            }
        }
        // GDK knows nothing of this window.
        return true;
    });
    return true;
}

bool SendCommand(int commandId, std::string& error) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = msg::kNoDisplay;
        return false;
    }
    const Window owner = ChannelOwner(display);
    // The owner may have quit since the look-up: BadWindow, not an exit.
    const bool sent =
        owner != None && SendClientMessage(display, owner, kCommandMessage, commandId, None);
    XCloseDisplay(display);
    if (!sent)
        error = msg::kNoRunningProgram;
    return sent;
}

EHandOver HandOver(int commandId, const std::string& argument, int timeoutMs) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return EHandOver::NoDisplay;
    EHandOver outcome = EHandOver::NoProgram;
    if (const Window owner = ChannelOwner(display); owner != None) {
        // Never mapped; it carries the argument and receives the confirmation.
        const Window own =
            XCreateSimpleWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, 0, 0);
        const Atom property = XInternAtom(display, kArgument, False);
        XChangeProperty(
            display, own, property, property, 8, PropModeReplace,
            reinterpret_cast<const unsigned char*>(argument.data()),
            static_cast<int>(std::min<std::size_t>(argument.size(), kMaxArgumentBytes)));
        if (!SendClientMessage(display, owner, kCommandMessage, commandId, static_cast<long>(own)))
            outcome = EHandOver::NoProgram; // it quit since the look-up
        else
            outcome =
                AwaitConfirmation(display, own, timeoutMs) ? EHandOver::Done : EHandOver::NoAnswer;
        XDestroyWindow(display, own);
    }
    XCloseDisplay(display);
    return outcome;
}
