#include "platform/CommandChannel.h"

#include "platform/GdkErrorTrap.h"
#include "platform/GdkEventWatch.h"
#include "res/CommandIds.h"
#include "res/Messages.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <iterator>

namespace {

constexpr const char* kCommandMessage = "_TESSARY_COMMAND";

// Anyone on the display can send to the window: only the commands meant to
// be given from outside are carried out.
constexpr int kFromOutside[] = {ids::ID_TOGGLE_MENU};

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

int g_nSendErrors = 0;
int CountError(Display*, XErrorEvent*) {
    ++g_nSendErrors;
    return 0;
}

} // namespace

CCommandReceiver::CCommandReceiver() = default;

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

bool CCommandReceiver::Listen(std::function<void(int commandId)> onCommand) {
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
    m_pWatch = std::make_unique<CGdkEventWatch>(nullptr, [this, command](const XEvent& event) {
        if (event.xany.window != m_nWindow)
            return false;
        if (event.type == SelectionRequest)
            Refuse(event.xany.display, event.xselectionrequest);
        if (event.type == ClientMessage && event.xclient.message_type == command &&
            event.xclient.format == 32) {
            const int id = static_cast<int>(event.xclient.data.l[0]);
            if (FromOutside(id))
                m_pWatch->Post([this, id] {
                    if (const auto onCommand = m_fnOnCommand)
                        onCommand(id);
                });
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
    // Without the atom nobody can ever have listened.
    const Atom selection = XInternAtom(display, SelectionName(display).c_str(), True);
    const Window owner = selection != None ? XGetSelectionOwner(display, selection) : None;
    bool sent = false;
    if (owner != None) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.display = display;
        event.xclient.window = owner;
        event.xclient.message_type = XInternAtom(display, kCommandMessage, False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = commandId;
        // The owner may have quit since the look-up: BadWindow, not an exit.
        g_nSendErrors = 0;
        XErrorHandler previous = XSetErrorHandler(CountError);
        const Status ok = XSendEvent(display, owner, False, NoEventMask, &event);
        XSync(display, False);
        XSetErrorHandler(previous);
        sent = ok && g_nSendErrors == 0;
    }
    XCloseDisplay(display);
    if (!sent)
        error = msg::kNoRunningProgram;
    return sent;
}
