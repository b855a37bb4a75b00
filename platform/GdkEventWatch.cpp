#include "platform/GdkEventWatch.h"

#include <wx/app.h>

struct CGdkEventWatch::SState {
    GdkWindow* m_pWindow = nullptr;
    Handler m_fnOnEvent;
};

CGdkEventWatch::CGdkEventWatch(GdkWindow* window, Handler onEvent)
    : m_pState(std::make_shared<SState>()) {
    // A destroyed window has dropped its filters already; the reference keeps
    // the object valid for the removal.
    m_pState->m_pWindow = window ? GDK_WINDOW(g_object_ref(window)) : nullptr;
    m_pState->m_fnOnEvent = std::move(onEvent);
    gdk_window_add_filter(m_pState->m_pWindow, &CGdkEventWatch::Filter, m_pState.get());
}

CGdkEventWatch::~CGdkEventWatch() {
    gdk_window_remove_filter(m_pState->m_pWindow, &CGdkEventWatch::Filter, m_pState.get());
    if (m_pState->m_pWindow)
        g_object_unref(m_pState->m_pWindow);
}

GdkFilterReturn CGdkEventWatch::Filter(GdkXEvent* native, GdkEvent*, gpointer data) {
    const auto* state = static_cast<const SState*>(data);
    return state->m_fnOnEvent(*static_cast<const XEvent*>(native)) ? GDK_FILTER_REMOVE
                                                                   : GDK_FILTER_CONTINUE;
}

void CGdkEventWatch::Post(std::function<void()> work) {
    // Held while the work runs: it may destroy the watch.
    std::function<void()> run = [weak = std::weak_ptr<SState>(m_pState), work = std::move(work)] {
        if (const auto alive = weak.lock())
            work();
    };
    if (wxTheApp) {
        wxTheApp->CallAfter(run);
        return;
    }
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer p) -> gboolean {
            (*static_cast<std::function<void()>*>(p))();
            return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(run)),
        [](gpointer p) { delete static_cast<std::function<void()>*>(p); });
}
