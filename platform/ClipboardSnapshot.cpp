#include "platform/ClipboardSnapshot.h"

#include "hook/ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <array>
#include <cerrno>
#include <memory>
#include <optional>
#include <set>

namespace {

using Clock = std::chrono::steady_clock;

// What a conversion left in our property.
struct SProperty {
    Atom type = None;
    int format = 0;
    std::string bytes; // format 32 as Xlib gives it: one long per item
};

// One snapshot's reading: a connection and a window of its own, so nothing
// an owner sends late (a reply after the deadline, the rest of an abandoned
// transfer) can reach another snapshot.
class CReader {
public:
    CReader(Display* display, Clock::time_point deadline, std::size_t room)
        : m_pDisplay(display), m_deadline(deadline), m_nRoom(room) {
        m_nWindow = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        // Pieces of an INCR transfer are announced as property changes.
        XSelectInput(display, m_nWindow, PropertyChangeMask);
        m_nClipboard = XInternAtom(display, "CLIPBOARD", False);
        m_nProperty = XInternAtom(display, "_TESSARY_CLIPBOARD_COPY", False);
        m_nIncr = XInternAtom(display, "INCR", False);
    }

    Window Owner() const { return XGetSelectionOwner(m_pDisplay, m_nClipboard); }

    // The target's data, followed through INCR to its end; nothing when the
    // owner refused or was too slow, and then Stalled() tells which.
    std::optional<SProperty> Convert(Atom target) {
        XDeleteProperty(m_pDisplay, m_nWindow, m_nProperty);
        XConvertSelection(m_pDisplay, m_nClipboard, target, m_nProperty, m_nWindow, CurrentTime);
        XEvent event;
        do {
            if (!Wait(SelectionNotify, &event))
                return std::nullopt;
        } while (event.xselection.target != target);
        if (event.xselection.property == None)
            return std::nullopt;
        std::optional<SProperty> first = Take();
        if (!first || first->type != m_nIncr)
            return first;
        // Deleting the INCR property (Take did) asks for the first piece; an
        // empty piece ends the transfer.
        SProperty whole;
        for (;;) {
            if (!Wait(PropertyNotify, &event))
                return std::nullopt;
            std::optional<SProperty> piece = Take();
            if (!piece)
                return std::nullopt;
            if (piece->bytes.empty())
                return whole;
            whole.type = piece->type;
            whole.format = piece->format;
            whole.bytes += piece->bytes;
            if (whole.bytes.size() > m_nRoom) {
                m_bOverflowed = true;
                return std::nullopt;
            }
        }
    }

    void Spend(std::size_t bytes) { m_nRoom -= std::min(bytes, m_nRoom); }
    // The deadline passed, or a transfer was left half-way: the property can
    // no longer be trusted, so the snapshot ends there.
    bool Stopped() const { return m_bStalled || m_bOverflowed; }
    bool Stalled() const { return m_bStalled; }

private:
    // Reads and deletes the property, unless larger than the room left.
    std::optional<SProperty> Take() {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        // The size first, without the data.
        if (XGetWindowProperty(m_pDisplay, m_nWindow, m_nProperty, 0, 0, False, AnyPropertyType,
                               &type, &format, &count, &after, &data) != Success)
            return std::nullopt;
        if (data)
            XFree(data);
        if (after > m_nRoom) {
            XDeleteProperty(m_pDisplay, m_nWindow, m_nProperty);
            return std::nullopt;
        }
        const long units = static_cast<long>((after + 3) / 4);
        if (XGetWindowProperty(m_pDisplay, m_nWindow, m_nProperty, 0, units, True, AnyPropertyType,
                               &type, &format, &count, &after, &data) != Success)
            return std::nullopt;
        SProperty property{type, format, {}};
        const std::size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
        if (data && format)
            property.bytes.assign(reinterpret_cast<const char*>(data), count * unit);
        if (data)
            XFree(data);
        return property;
    }

    // The next event of the type for our window (a new value of our property,
    // for PropertyNotify), waiting on the socket until the deadline.
    bool Wait(int type, XEvent* event) {
        for (;;) {
            while (XPending(m_pDisplay) > 0) {
                XNextEvent(m_pDisplay, event);
                if (event->type != type || event->xany.window != m_nWindow)
                    continue;
                if (type == PropertyNotify && (event->xproperty.atom != m_nProperty ||
                                               event->xproperty.state != PropertyNewValue))
                    continue;
                return true;
            }
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(m_deadline - Clock::now()).count();
            if (left <= 0) {
                m_bStalled = true;
                return false;
            }
            pollfd socket{ConnectionNumber(m_pDisplay), POLLIN, 0};
            if (poll(&socket, 1, static_cast<int>(left)) < 0 && errno != EINTR) {
                m_bStalled = true;
                return false;
            }
        }
    }

    Display* m_pDisplay;
    Clock::time_point m_deadline;
    std::size_t m_nRoom;
    Window m_nWindow = None;
    Atom m_nClipboard = None;
    Atom m_nProperty = None;
    Atom m_nIncr = None;
    bool m_bStalled = false;
    bool m_bOverflowed = false;
};

struct SCloseDisplay {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

std::string AtomName(Display* display, Atom atom) {
    // An owner may list atoms that do not exist: BadAtom, caught.
    CErrorTrap trap(display);
    char* name = atom ? XGetAtomName(display, atom) : nullptr;
    std::string result = name ? name : "";
    if (name)
        XFree(name);
    return result;
}

// The atoms of a format-32 reply, in the order given, each once.
std::vector<Atom> Atoms(const SProperty& list) {
    std::vector<Atom> atoms;
    std::set<Atom> seen;
    if (list.format != 32)
        return atoms;
    const auto* values = reinterpret_cast<const long*>(list.bytes.data());
    for (std::size_t i = 0; i < list.bytes.size() / sizeof(long); ++i) {
        const Atom atom = static_cast<Atom>(values[i]) & 0xFFFFFFFFul;
        if (atom != None && seen.insert(atom).second)
            atoms.push_back(atom);
    }
    return atoms;
}

} // namespace

namespace desktop {

bool IsMetaTarget(const std::string& target) {
    static const std::set<std::string> meta{
        "TARGETS",          "TIMESTAMP",       "MULTIPLE", "DELETE", "SAVE_TARGETS",
        "INSERT_SELECTION", "INSERT_PROPERTY", "INCR",     "LENGTH", "ATOM_PAIR"};
    return target.empty() || meta.count(target) > 0;
}

SClipboardSnapshot ReadClipboardOverX(const std::string& displayName,
                                      const SSnapshotLimits& limits) {
    const auto deadline = Clock::now() + limits.budget;
    SClipboardSnapshot snapshot;
    const std::unique_ptr<Display, SCloseDisplay> display(XOpenDisplay(displayName.c_str()));
    if (!display) {
        snapshot.note = "no connection to the display";
        return snapshot;
    }
    CErrorTrap::Route(display.get());
    CReader reader(display.get(), deadline, limits.maxBytes);
    if (reader.Owner() == None) {
        snapshot.note = "no owner";
        return snapshot;
    }
    std::vector<Atom> targets;
    if (const auto list = reader.Convert(XInternAtom(display.get(), "TARGETS", False)))
        targets = Atoms(*list);
    // An owner that lists nothing may still give text.
    if (targets.empty() && !reader.Stopped())
        targets = {XInternAtom(display.get(), "UTF8_STRING", False), XA_STRING};
    int skipped = 0;
    int failed = 0;
    for (const Atom target : targets) {
        const std::string name = AtomName(display.get(), target);
        if (IsMetaTarget(name) || snapshot.items.size() >= limits.maxTargets) {
            ++skipped;
            continue;
        }
        if (reader.Stopped()) {
            ++failed;
            continue;
        }
        const std::optional<SProperty> data = reader.Convert(target);
        // Only bytes are given back: 16- and 32-bit items (atoms, windows)
        // mean nothing once their owner has let go of the clipboard.
        if (!data || data->format != 8) {
            ++failed;
            continue;
        }
        reader.Spend(data->bytes.size());
        snapshot.items.push_back({name, AtomName(display.get(), data->type), data->bytes});
    }
    snapshot.note = std::to_string(targets.size()) + " targets offered, " +
                    std::to_string(snapshot.items.size()) + " copied, " + std::to_string(skipped) +
                    " skipped, " + std::to_string(failed) + " not read" +
                    (reader.Stalled() ? " (the owner was too slow)" : "");
    return snapshot;
}

} // namespace desktop
