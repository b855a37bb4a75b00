#include "platform/GlobalHotKey.h"

#include "platform/VirtualKeyCodes.h"
#include "platform/VirtualKeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <wx/app.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The key of the given XKB name ("FK13"), 0 when the keyboard has none.
KeyCode KeycodeByXkbName(Display* display, const std::string& name) {
    XkbDescPtr xkb = XkbGetMap(display, 0, XkbUseCoreKbd);
    if (!xkb)
        return 0;
    KeyCode found = 0;
    if (XkbGetNames(display, XkbKeyNamesMask, xkb) == Success && xkb->names && xkb->names->keys) {
        for (int code = xkb->min_key_code; code <= xkb->max_key_code && !found; ++code)
            if (std::strncmp(xkb->names->keys[code].name, name.c_str(), XkbKeyNameLength) == 0)
                found = static_cast<KeyCode>(code);
    }
    XkbFreeKeyboard(xkb, 0, True);
    return found;
}

// The key for a keysym in the current layout. Linux keymaps give the keys F13
// to F24 launcher keysyms instead, so those are found by the key's name.
KeyCode KeycodeFor(Display* display, unsigned long keysym) {
    KeyCode code = XKeysymToKeycode(display, keysym);
    if (code == 0 && keysym >= XK_F13 && keysym <= XK_F24)
        code = KeycodeByXkbName(display, "FK" + std::to_string(13 + keysym - XK_F13));
    return code;
}

} // namespace

class CGlobalHotKey::CImpl : public std::enable_shared_from_this<CGlobalHotKey::CImpl> {
public:
    ~CImpl() { Unregister(); }

    bool Register(std::uint16_t vk, std::uint16_t flags, std::function<void()> onPressed) {
        Unregister();
        GdkDisplay* gdk = gdk_display_get_default();
        if (!gdk || !GDK_IS_X11_DISPLAY(gdk))
            return false;
        m_pGdk = gdk;
        m_wVK = vk;
        m_wFlags = flags;
        if (!Grab()) {
            m_pGdk = nullptr;
            return false;
        }
        Bool detectable = False;
        XkbSetDetectableAutoRepeat(Xdisplay(), True, &detectable);
        m_bDetectableRepeat = detectable;
        m_fnOnPressed = std::move(onPressed);
        m_bRegistered = true;
        ++m_nGeneration;
        gdk_window_add_filter(nullptr, &CImpl::Filter, this);
        m_nKeysChangedId = g_signal_connect(gdk_keymap_get_for_display(gdk), "keys-changed",
                                            G_CALLBACK(&CImpl::OnKeysChanged), this);
        return true;
    }

    bool Unregister() {
        if (!m_bRegistered)
            return false;
        g_signal_handler_disconnect(gdk_keymap_get_for_display(m_pGdk), m_nKeysChangedId);
        gdk_window_remove_filter(nullptr, &CImpl::Filter, this);
        Ungrab();
        m_bRegistered = false;
        m_fnOnPressed = nullptr;
        m_pGdk = nullptr;
        return true;
    }

    bool IsRegistered() const { return m_bRegistered; }

private:
    Display* Xdisplay() const { return GDK_DISPLAY_XDISPLAY(m_pGdk); }

    // Modifier bits of the lock keys: Caps Lock, and whichever modifiers Num
    // Lock and Scroll Lock are bound to, if any.
    unsigned LockBits() const {
        Display* display = Xdisplay();
        unsigned bits = LockMask;
        XModifierKeymap* map = XGetModifierMapping(display);
        if (!map)
            return bits;
        for (const KeySym lock : {XK_Num_Lock, XK_Scroll_Lock}) {
            const KeyCode code = XKeysymToKeycode(display, lock);
            if (code == 0)
                continue;
            for (int mod = 0; mod < 8; ++mod)
                for (int k = 0; k < map->max_keypermod; ++k)
                    if (map->modifiermap[mod * map->max_keypermod + k] == code)
                        bits |= 1u << mod;
        }
        XFreeModifiermap(map);
        return bits;
    }

    // Grabs every lock variant, each checked on its own so that the ones
    // already held can be released when a later one is refused.
    bool Grab() {
        Display* display = Xdisplay();
        const unsigned long keysym = KeysymForVirtualKey(m_wVK, m_wFlags & vk::HOTKEYF_EXT);
        const KeyCode code = keysym ? KeycodeFor(display, keysym) : 0;
        if (code == 0)
            return false;
        m_nKeycode = code;
        m_nModifiers = ModifierMaskForHotKeyFlags(m_wFlags);
        m_nLockBits = LockBits() & ~m_nModifiers;

        std::vector<unsigned> locks;
        for (unsigned bit = 1; bit < 0x100; bit <<= 1)
            if (m_nLockBits & bit)
                locks.push_back(bit);
        const Window root = DefaultRootWindow(display);
        for (unsigned subset = 0; subset < (1u << locks.size()); ++subset) {
            unsigned mods = m_nModifiers;
            for (std::size_t i = 0; i < locks.size(); ++i)
                if (subset & (1u << i))
                    mods |= locks[i];
            gdk_x11_display_error_trap_push(m_pGdk);
            XGrabKey(display, code, mods, root, False, GrabModeAsync, GrabModeAsync);
            XSync(display, False);
            if (gdk_x11_display_error_trap_pop(m_pGdk) != 0) {
                Ungrab(); // BadAccess: another client holds this variant
                return false;
            }
            m_vecGrabbed.push_back(mods);
        }
        return true;
    }

    void Ungrab() {
        if (!m_vecGrabbed.empty()) {
            Display* display = Xdisplay();
            const Window root = DefaultRootWindow(display);
            gdk_x11_display_error_trap_push(m_pGdk);
            for (const unsigned mods : m_vecGrabbed)
                XUngrabKey(display, m_nKeycode, mods, root);
            XSync(display, False);
            gdk_x11_display_error_trap_pop_ignored(m_pGdk);
            m_vecGrabbed.clear();
        }
        m_nKeycode = 0;
        m_bDown = false;
    }

    static void OnKeysChanged(GdkKeymap*, gpointer data) {
        auto* self = static_cast<CImpl*>(data);
        // A new layout may put the key elsewhere or move Num Lock; should the
        // new place be taken, the next change tries again.
        self->Ungrab();
        self->Grab();
    }

    static GdkFilterReturn Filter(GdkXEvent* xevent, GdkEvent*, gpointer data) {
        auto* self = static_cast<CImpl*>(data);
        const XEvent* event = static_cast<XEvent*>(xevent);
        if (event->type != KeyPress && event->type != KeyRelease)
            return GDK_FILTER_CONTINUE;
        const XKeyEvent& key = event->xkey;
        if (self->m_nKeycode == 0 || key.keycode != self->m_nKeycode ||
            key.window != DefaultRootWindow(key.display))
            return GDK_FILTER_CONTINUE;

        if (event->type == KeyRelease) {
            // The key's release comes to the grab while it lasts, whatever
            // modifiers are still down.
            if (!self->m_bDown)
                return GDK_FILTER_CONTINUE;
            self->m_bDown = false;
            self->m_nReleaseTime = key.time;
            return GDK_FILTER_REMOVE;
        }
        if ((key.state & 0xFF & ~self->m_nLockBits) != self->m_nModifiers)
            return GDK_FILTER_CONTINUE;
        // Held down, the key repeats: further presses without a release, or,
        // where the server cannot tell repeats apart, a release and a press
        // with the same time stamp.
        const bool repeat =
            self->m_bDown || (!self->m_bDetectableRepeat && key.time == self->m_nReleaseTime);
        self->m_bDown = true;
        if (!repeat)
            self->Fire();
        return GDK_FILTER_REMOVE;
    }

    // From the GUI loop once the filter has returned: the handler may open
    // message boxes or menus, which must not run inside GDK's event dispatch.
    void Fire() {
        std::function<void()> run = [weak = weak_from_this(), generation = m_nGeneration] {
            const auto self = weak.lock();
            if (!self || !self->m_bRegistered || self->m_nGeneration != generation)
                return;
            const auto onPressed = self->m_fnOnPressed; // may unregister while running
            if (onPressed)
                onPressed();
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

    GdkDisplay* m_pGdk = nullptr;
    std::uint16_t m_wVK = 0;
    std::uint16_t m_wFlags = 0;
    std::function<void()> m_fnOnPressed;
    bool m_bRegistered = false;
    unsigned m_nGeneration = 0;
    gulong m_nKeysChangedId = 0;
    // What is grabbed now: the key, its modifiers, and the lock variants.
    unsigned m_nKeycode = 0;
    unsigned m_nModifiers = 0;
    unsigned m_nLockBits = 0;
    std::vector<unsigned> m_vecGrabbed;
    bool m_bDetectableRepeat = false;
    bool m_bDown = false;
    unsigned long m_nReleaseTime = 0;
};

CGlobalHotKey::CGlobalHotKey() : m_pImpl(std::make_shared<CImpl>()) {}

CGlobalHotKey::~CGlobalHotKey() {
    m_pImpl->Unregister();
}

bool CGlobalHotKey::Register(std::uint16_t vk, std::uint16_t hotkeyFlags,
                             std::function<void()> onPressed) {
    return m_pImpl->Register(vk, hotkeyFlags, std::move(onPressed));
}

bool CGlobalHotKey::Unregister() {
    return m_pImpl->Unregister();
}

bool CGlobalHotKey::IsRegistered() const {
    return m_pImpl->IsRegistered();
}
