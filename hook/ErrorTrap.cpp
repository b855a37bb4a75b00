#include "hook/ErrorTrap.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

// Last: it defines min and max as macros.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace {

using WireProc = Bool (*)(Display*, XErrorEvent*, xError*);

struct SRoute {
    Display* m_pDisplay = nullptr;
    // What was there before, so extensions still translate their errors.
    std::array<WireProc, 256> m_previous{};
    bool m_bLost = false;
};

struct SRegistry {
    std::mutex m_mutex;
    std::vector<std::unique_ptr<SRoute>> m_routes;
};

// Never destroyed: the hook closes its connection from a static destructor,
// in an order against this file's statics that nothing fixes.
SRegistry& Registry() {
    static SRegistry* registry = new SRegistry;
    return *registry;
}
std::atomic<XIOErrorHandler> g_pPreviousIo{nullptr};
thread_local CErrorTrap* t_pInnermost = nullptr;

SRoute* FindLocked(Display* display) {
    for (auto& route : Registry().m_routes)
        if (route->m_pDisplay == display)
            return route.get();
    return nullptr;
}

Bool OnWireError(Display* display, XErrorEvent* host, xError* wire) {
    WireProc previous = nullptr;
    {
        std::lock_guard lock(Registry().m_mutex);
        if (SRoute* route = FindLocked(display))
            previous = route->m_previous[wire->errorCode];
    }
    if (previous && !previous(display, host, wire))
        return False;
    CErrorTrap::Deliver(display, host->error_code);
    // False: Xlib calls no process-wide handler for it.
    return False;
}

bool MarkLost(Display* display) {
    std::lock_guard lock(Registry().m_mutex);
    SRoute* route = FindLocked(display);
    if (route)
        route->m_bLost = true;
    return route != nullptr;
}

int OnIoError(Display* display) {
    // Ours: returning lets Xlib go on to our exit handler, which returns too.
    if (MarkLost(display))
        return 0;
    // A handler that chains back here would loop.
    thread_local bool t_bChaining = false;
    XIOErrorHandler previous = g_pPreviousIo.load();
    if (previous && !t_bChaining) {
        t_bChaining = true;
        previous(display);
        t_bChaining = false;
    }
    return 0;
}

void OnIoExit(Display* display, void*) {
    MarkLost(display);
}

// Xlib calls it from XCloseDisplay: a later Display at the same address
// starts afresh.
int OnClose(Display* display, XExtCodes*) {
    std::lock_guard lock(Registry().m_mutex);
    std::erase_if(Registry().m_routes,
                  [display](const auto& route) { return route->m_pDisplay == display; });
    return 0;
}

void EnsureIoHandler() {
    const XIOErrorHandler previous = XSetIOErrorHandler(OnIoError);
    if (previous != OnIoError)
        g_pPreviousIo = previous;
}

} // namespace

void CErrorTrap::Route(Display* display) {
    {
        std::lock_guard lock(Registry().m_mutex);
        if (FindLocked(display))
            return;
        Registry().m_routes.push_back(std::make_unique<SRoute>());
        Registry().m_routes.back()->m_pDisplay = display;
    }
    if (XExtCodes* codes = XAddExtension(display))
        XESetCloseDisplay(display, codes->extension, OnClose);
    std::array<WireProc, 256> previous{};
    // Code 0 is no error; Xlib leaves its slot unset.
    for (int code = 1; code < 256; ++code) {
        previous[code] = XESetWireToError(display, code, OnWireError);
        if (previous[code] == OnWireError)
            previous[code] = nullptr;
    }
    std::lock_guard lock(Registry().m_mutex);
    if (SRoute* route = FindLocked(display))
        route->m_previous = previous;
}

void CErrorTrap::Guard(Display* display) {
    Route(display);
    XSetIOErrorExitHandler(display, OnIoExit, nullptr);
    EnsureIoHandler();
}

bool CErrorTrap::IsLost(Display* display) {
    std::lock_guard lock(Registry().m_mutex);
    const SRoute* route = FindLocked(display);
    return route && route->m_bLost;
}

void CErrorTrap::RestoreIoHandler() {
    const XIOErrorHandler previous = g_pPreviousIo.exchange(nullptr);
    if (!previous)
        return;
    const XIOErrorHandler current = XSetIOErrorHandler(previous);
    if (current != OnIoError)
        XSetIOErrorHandler(current);
}

void CErrorTrap::Deliver(Display* display, int code) {
    for (CErrorTrap* trap = t_pInnermost; trap; trap = trap->m_pOuter) {
        if (trap->m_pDisplay != display)
            continue;
        if (trap->m_nError == 0)
            trap->m_nError = code;
        return;
    }
}

CErrorTrap::CErrorTrap(Display* display) : m_pDisplay(display), m_pOuter(t_pInnermost) {
    Route(display);
    t_pInnermost = this;
}

CErrorTrap::~CErrorTrap() {
    t_pInnermost = m_pOuter;
}

int CErrorTrap::Sync() {
    XSync(m_pDisplay, False);
    return m_nError;
}
