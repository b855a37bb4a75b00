#include "platform/ClipboardWatch.h"

#include <gtk/gtk.h>

struct CClipboardWatch::SState {
    GtkClipboard* clipboard = nullptr;
    gulong handler = 0;
    // Without notifications of owner changes (no XFixes), each reading asks
    // again once the last question was answered.
    bool notified = false;
    bool pending = false;
    bool hasText = false;
    // Only the answer to the latest question counts.
    unsigned generation = 0;
};

namespace {

using SState = CClipboardWatch::SState;

// What an answer finds when it comes: the watch may be gone meanwhile.
struct SQuestion {
    std::weak_ptr<SState> state;
    unsigned generation;
};

void OnTargets(GtkClipboard*, GdkAtom* atoms, gint count, gpointer data) {
    const std::unique_ptr<SQuestion> question(static_cast<SQuestion*>(data));
    const std::shared_ptr<SState> state = question->state.lock();
    if (!state || question->generation != state->generation)
        return;
    state->pending = false;
    state->hasText = atoms && gtk_targets_include_text(atoms, count);
}

void Ask(const std::shared_ptr<SState>& state) {
    state->hasText = false;
    state->pending = true;
    ++state->generation;
    gtk_clipboard_request_targets(state->clipboard, OnTargets,
                                  new SQuestion{state, state->generation});
}

void OnOwnerChange(GtkClipboard*, GdkEvent*, gpointer data) {
    // The signal is disconnected before the state goes.
    const auto* self = static_cast<std::shared_ptr<SState>*>(data);
    Ask(*self);
}

} // namespace

CClipboardWatch::CClipboardWatch() : m_pState(std::make_shared<SState>()) {
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return;
    m_pState->clipboard = gtk_clipboard_get_for_display(display, GDK_SELECTION_CLIPBOARD);
    m_pState->notified = gdk_display_supports_selection_notification(display);
    if (m_pState->notified)
        m_pState->handler = g_signal_connect(m_pState->clipboard, "owner-change",
                                             G_CALLBACK(OnOwnerChange), &m_pState);
    Ask(m_pState);
}

CClipboardWatch::~CClipboardWatch() {
    if (m_pState->handler)
        g_signal_handler_disconnect(m_pState->clipboard, m_pState->handler);
}

bool CClipboardWatch::HasText() const {
    if (!m_pState->clipboard)
        return false;
    if (!m_pState->notified && !m_pState->pending) {
        const bool last = m_pState->hasText;
        Ask(m_pState);
        m_pState->hasText = last;
    }
    return m_pState->hasText;
}
