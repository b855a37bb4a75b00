#include "platform/FieldFocus.h"

#include "platform/FieldCaret.h"
#include "platform/GdkErrorTrap.h"
#include "platform/Trace.h"
#include "platform/X11Property.h"

#include <X11/Xatom.h>
#include <atspi/atspi.h>
#include <gdk/gdkx.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Each call to a program gets this long to answer; the whole lookup stops
// asking once the budget is spent. A program that does not answer in time is
// pasted into as if it had no accessibility at all.
constexpr int kCallMs = 40;
constexpr auto kCallTimeout = std::chrono::milliseconds(kCallMs) * 9 / 10;
constexpr auto kBudget = 120ms;
// Hostile or broken trees cannot keep the lookup walking.
constexpr int kMaxDepth = 48;
constexpr int kMaxParents = 4;
constexpr int kMaxApplications = 64;
constexpr int kMaxFrames = 64;

// A GLib object reference, given back at the end of its scope.
template <typename T> class CRef {
public:
    CRef() = default;
    explicit CRef(T* object) : m_p(object) {}
    ~CRef() { Reset(); }
    CRef(CRef&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    CRef& operator=(CRef&& other) noexcept {
        if (this != &other) {
            Reset();
            m_p = other.m_p;
            other.m_p = nullptr;
        }
        return *this;
    }
    CRef(const CRef&) = delete;
    CRef& operator=(const CRef&) = delete;
    T* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void Reset() {
        if (m_p)
            g_object_unref(m_p);
        m_p = nullptr;
    }

private:
    T* m_p = nullptr;
};

using CAccessible = CRef<AtspiAccessible>;

// Each call's error, dropped: any failure means "not known there".
class CError {
public:
    ~CError() { Clear(); }
    GError** Out() {
        Clear();
        return &m_p;
    }
    bool Set() const { return m_p != nullptr; }
    bool TimedOut() const {
        return m_p && (g_error_matches(m_p, G_DBUS_ERROR, G_DBUS_ERROR_NO_REPLY) ||
                       g_error_matches(m_p, G_DBUS_ERROR, G_DBUS_ERROR_TIMEOUT) ||
                       g_error_matches(m_p, G_DBUS_ERROR, G_DBUS_ERROR_TIMED_OUT) ||
                       (m_p->message && g_strstr_len(m_p->message, -1, "imeout")));
    }

private:
    void Clear() { g_clear_error(&m_p); }
    GError* m_p = nullptr;
};

// Whether the accessibility bus is there; asked once per run.
bool Connected() {
    static const bool connected = [] {
        // Asked from a program that exposes its own tree too: never wait for
        // ourselves long.
        if (atspi_init() > 1)
            return false;
        atspi_set_timeout(kCallMs, kCallMs);
        return atspi_get_a11y_bus() != nullptr;
    }();
    return connected;
}

unsigned long WindowPid(unsigned long window) {
    GdkDisplay* gdk = gdk_display_get_default();
    if (!gdk || !GDK_IS_X11_DISPLAY(gdk))
        return 0;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk);
    CGdkErrorTrap trap("reading a window's process");
    const auto items =
        CXProperty(display, window, gdk_x11_get_xatom_by_name_for_display(gdk, "_NET_WM_PID"),
                   XA_CARDINAL)
            .Items();
    return items.empty() ? 0 : items.front();
}

bool HasState(AtspiAccessible* object, AtspiStateType state) {
    AtspiStateSet* states = atspi_accessible_get_state_set(object);
    const bool has = states && atspi_state_set_contains(states, state);
    if (states)
        g_object_unref(states);
    return has;
}

bool HasText(AtspiAccessible* object) {
    AtspiText* text = atspi_accessible_get_text_iface(object);
    if (text)
        g_object_unref(text);
    return text != nullptr;
}

// The lookup's state: its deadline and whether a program failed to answer.
// A call that ran into its timeout does not always say so, so the time
// between two answers tells; once a program has not answered, it is asked
// nothing more.
struct SLookup {
    Clock::time_point deadline;
    Clock::time_point lastAnswer;
    bool noAnswer = false;

    bool Spent() const { return noAnswer || Clock::now() >= deadline; }
    // After each call: whether it failed.
    bool Failed(const CError& error) {
        const Clock::time_point now = Clock::now();
        if (error.TimedOut() || now - lastAnswer >= kCallTimeout)
            noAnswer = true;
        lastAnswer = now;
        return error.Set();
    }
};

bool Contains(SLookup& lookup, AtspiAccessible* object, int x, int y) {
    AtspiComponent* component = atspi_accessible_get_component_iface(object);
    if (!component)
        return false;
    CError error;
    const bool contains =
        atspi_component_contains(component, x, y, ATSPI_COORD_TYPE_SCREEN, error.Out());
    g_object_unref(component);
    return !lookup.Failed(error) && contains;
}

// The deepest object at the point, from a frame down.
CAccessible DeepestAt(SLookup& lookup, CAccessible object, int x, int y) {
    for (int depth = 0; depth < kMaxDepth && !lookup.Spent(); ++depth) {
        AtspiComponent* component = atspi_accessible_get_component_iface(object.Get());
        if (!component)
            break;
        CError error;
        CAccessible child(atspi_component_get_accessible_at_point(
            component, x, y, ATSPI_COORD_TYPE_SCREEN, error.Out()));
        g_object_unref(component);
        if (lookup.Failed(error) || !child || child.Get() == object.Get())
            break;
        object = std::move(child);
    }
    return object;
}

// The object at the point or the nearest of its parents that is an editable
// text taking the focus (a browser hands out the text run inside a field).
CAccessible EditableAt(SLookup& lookup, CAccessible object) {
    for (int up = 0; object && up <= kMaxParents && !lookup.Spent(); ++up) {
        atspi_accessible_clear_cache(object.Get());
        if (HasState(object.Get(), ATSPI_STATE_EDITABLE) &&
            HasState(object.Get(), ATSPI_STATE_FOCUSABLE) && HasText(object.Get()))
            return object;
        CError error;
        CAccessible parent(atspi_accessible_get_parent(object.Get(), error.Out()));
        if (lookup.Failed(error))
            break;
        object = std::move(parent);
    }
    return CAccessible();
}

// The applications on the bus that may own the window: those of its process;
// without a process to go by, all of them but this one. A window whose
// process is known but not on the bus has no accessible fields: another
// program's window beneath the point must never be taken for it.
std::vector<CAccessible> Candidates(SLookup& lookup, unsigned long pid) {
    std::vector<CAccessible> matching;
    std::vector<CAccessible> others;
    CAccessible root(atspi_get_desktop(0));
    if (!root)
        return matching;
    CError error;
    const int count = atspi_accessible_get_child_count(root.Get(), error.Out());
    if (lookup.Failed(error))
        return matching;
    const auto self = static_cast<unsigned long>(getpid());
    for (int i = 0; i < count && i < kMaxApplications && !lookup.Spent(); ++i) {
        CAccessible application(atspi_accessible_get_child_at_index(root.Get(), i, error.Out()));
        if (lookup.Failed(error) || !application)
            continue;
        const unsigned long owner = atspi_accessible_get_process_id(application.Get(), error.Out());
        if (lookup.Failed(error) || owner == self)
            continue;
        (owner == pid ? matching : others).push_back(std::move(application));
    }
    return pid ? std::move(matching) : std::move(others);
}

// The editable field at the point in one application's windows. The clicked
// window has the keyboard by now, so it is the active one; another window of
// the program under the same point is tried only when the program marks none
// as active, and never when the program was not known by its process.
CAccessible FieldIn(SLookup& lookup, AtspiAccessible* application, int x, int y, bool activeOnly) {
    CError error;
    const int count = atspi_accessible_get_child_count(application, error.Out());
    if (lookup.Failed(error))
        return CAccessible();
    std::vector<CAccessible> frames;
    std::vector<CAccessible> active;
    for (int i = 0; i < count && i < kMaxFrames && !lookup.Spent(); ++i) {
        CAccessible frame(atspi_accessible_get_child_at_index(application, i, error.Out()));
        if (lookup.Failed(error) || !frame || !Contains(lookup, frame.Get(), x, y))
            continue;
        atspi_accessible_clear_cache(frame.Get());
        if (HasState(frame.Get(), ATSPI_STATE_ACTIVE))
            active.push_back(std::move(frame));
        else if (!activeOnly)
            frames.push_back(std::move(frame));
    }
    if (!active.empty())
        frames = std::move(active);
    for (CAccessible& frame : frames) {
        if (lookup.Spent())
            break;
        if (CAccessible field = EditableAt(lookup, DeepestAt(lookup, std::move(frame), x, y)))
            return field;
    }
    return CAccessible();
}

// Where the field is known to hold the keyboard focus now.
bool Focused(AtspiAccessible* field) {
    atspi_accessible_clear_cache(field);
    return HasState(field, ATSPI_STATE_FOCUSED);
}

EFieldFocus Focus(SLookup& lookup, AtspiAccessible* field, int x, int y) {
    if (Focused(field))
        return EFieldFocus::AlreadyFocused;
    AtspiText* text = atspi_accessible_get_text_iface(field);
    AtspiComponent* component = atspi_accessible_get_component_iface(field);
    EFieldFocus result = EFieldFocus::NoField;
    if (text && component) {
        // Read before the focus moves: a toolkit may select the whole field
        // when it takes the focus.
        SFieldPoint point;
        CError error;
        point.offset =
            atspi_text_get_offset_at_point(text, x, y, ATSPI_COORD_TYPE_SCREEN, error.Out());
        if (lookup.Failed(error))
            point.offset = -1;
        if (AtspiRange* selection = atspi_text_get_selection(text, 0, error.Out())) {
            point.selectionStart = selection->start_offset;
            point.selectionEnd = selection->end_offset;
            g_free(selection);
        }
        lookup.Failed(error);
        if (atspi_component_grab_focus(component, error.Out()) && !lookup.Failed(error)) {
            result = EFieldFocus::Moved;
            const SFieldCaret caret = CaretFor(point);
            if (caret.keepSelection)
                atspi_text_set_selection(text, 0, point.selectionStart, point.selectionEnd,
                                         error.Out());
            else if (caret.offset >= 0)
                atspi_text_set_caret_offset(text, caret.offset, error.Out());
        } else if (lookup.noAnswer) {
            result = EFieldFocus::NoAnswer;
        }
    }
    if (text)
        g_object_unref(text);
    if (component)
        g_object_unref(component);
    return result;
}

} // namespace

CFieldFocus::~CFieldFocus() {
    Forget();
}

void CFieldFocus::Forget() {
    if (m_pMoved)
        g_object_unref(m_pMoved);
    m_pMoved = nullptr;
}

bool CFieldFocus::Arrived() {
    if (!m_pMoved || Focused(m_pMoved)) {
        Forget();
        return true;
    }
    return false;
}

EFieldFocus CFieldFocus::FocusAt(unsigned long window, int x, int y) {
    Forget();
    if (!window || !Connected())
        return EFieldFocus::NoField;
    const Clock::time_point start = Clock::now();
    SLookup lookup{start + kBudget, start};
    EFieldFocus result = EFieldFocus::NoField;
    const unsigned long pid = WindowPid(window);
    std::vector<CAccessible> candidates = Candidates(lookup, pid);
    for (CAccessible& application : candidates) {
        if (lookup.Spent())
            break;
        if (CAccessible field = FieldIn(lookup, application.Get(), x, y, pid == 0)) {
            result = Focus(lookup, field.Get(), x, y);
            // Some programs (browsers) move the focus after the call returns.
            if (result == EFieldFocus::Moved)
                m_pMoved = static_cast<AtspiAccessible*>(g_object_ref(field.Get()));
            break;
        }
    }
    if (result == EFieldFocus::NoField && lookup.noAnswer)
        result = EFieldFocus::NoAnswer;
    if (trace::Enabled()) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "field lookup at %d,%d: process %lu, %zu application(s) asked, %lld ms%s", x,
                      y, pid, candidates.size(),
                      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                 Clock::now() - start)
                                                 .count()),
                      lookup.noAnswer ? ", a program did not answer" : "");
        trace::Line(line);
    }
    return result;
}
