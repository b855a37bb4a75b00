#include "hook/ClientWindowSearch.h"

#include "hook/ErrorTrap.h"
#include "platform/X11Property.h"

#include <cstddef>
#include <deque>
#include <utility>

namespace {
// Frames nest two to four deep; the bounds keep an odd tree from delaying
// the report, which already waits on a round trip per window.
constexpr int kMaxDepth = 8;
constexpr std::size_t kMaxWindows = 1024;
} // namespace

CClientWindowSearch::CClientWindowSearch(Display* display)
    : m_pDisplay(display), m_nWmState(XInternAtom(display, "WM_STATE", False)) {}

CClientWindowSearch::EProbe CClientWindowSearch::Probe(Window window) const {
    const CXProperty state(m_pDisplay, window, m_nWmState, AnyPropertyType, 0);
    if (!state.Read())
        return EProbe::Gone;
    return state.Type() != None ? EProbe::Client : EProbe::Other;
}

Window CClientWindowSearch::Find(Window top) const {
    if (top == None)
        return 0;
    CErrorTrap trap(m_pDisplay);
    std::deque<std::pair<Window, int>> queue{{top, 0}};
    std::size_t visited = 0;
    while (!queue.empty() && visited < kMaxWindows) {
        const auto [window, depth] = queue.front();
        queue.pop_front();
        ++visited;
        const EProbe probe = Probe(window);
        if (probe == EProbe::Client)
            return window;
        if (probe == EProbe::Gone) {
            if (window == top)
                return 0;
            continue;
        }
        if (depth >= kMaxDepth)
            continue;
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_pDisplay, window, &root, &parent, &children, &count)) {
            if (window == top)
                return 0;
            continue;
        }
        for (unsigned i = 0; i < count; ++i)
            queue.emplace_back(children[i], depth + 1);
        if (children)
            XFree(children);
    }
    return top;
}
