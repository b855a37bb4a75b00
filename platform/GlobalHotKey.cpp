#include "platform/GlobalHotKey.h"

#include "platform/GdkErrorTrap.h"
#include "platform/GdkEventWatch.h"
#include "platform/LockModifiers.h"
#include "platform/Trace.h"
#include "platform/VirtualKeyCodes.h"
#include "platform/VirtualKeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include <cstdio>
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

std::string Hex(unsigned long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

} // namespace

class CGlobalHotKey::CImpl {
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
        m_pWatch = std::make_unique<CGdkEventWatch>(
            nullptr, [this](const XEvent& event) { return OnEvent(event); });
        m_nKeysChangedId = g_signal_connect(gdk_keymap_get_for_display(gdk), "keys-changed",
                                            G_CALLBACK(&CImpl::OnKeysChanged), this);
        return true;
    }

    bool Unregister() {
        if (!m_bRegistered)
            return false;
        g_signal_handler_disconnect(gdk_keymap_get_for_display(m_pGdk), m_nKeysChangedId);
        // Presses queued for the callback go with it.
        m_pWatch.reset();
        Ungrab();
        m_bRegistered = false;
        m_fnOnPressed = nullptr;
        m_pGdk = nullptr;
        return true;
    }

    bool IsRegistered() const { return m_bRegistered; }

private:
    Display* Xdisplay() const { return GDK_DISPLAY_XDISPLAY(m_pGdk); }

    // Grabs every lock variant, each checked on its own so that the ones
    // already held can be released when a later one is refused.
    bool Grab() {
        Display* display = Xdisplay();
        const unsigned long keysym = KeysymForVirtualKey(m_wVK, m_wFlags & vk::HOTKEYF_EXT);
        const KeyCode code = keysym ? KeycodeFor(display, keysym) : 0;
        if (code == 0) {
            trace::Line("hot key refused: virtual key " + Hex(m_wVK) + " has no key here");
            return false;
        }
        m_nKeycode = code;
        m_nModifiers = ModifierMaskForHotKeyFlags(m_wFlags);
        m_nLockBits = CLockModifiers::Read(display) & ~m_nModifiers;

        const Window root = DefaultRootWindow(display);
        for (const unsigned locks : CLockModifiers::Combinations(m_nLockBits)) {
            const unsigned mods = m_nModifiers | locks;
            CGdkErrorTrap trap("grabbing the hot key", m_pGdk);
            XGrabKey(display, code, mods, root, False, GrabModeAsync, GrabModeAsync);
            if (trap.Failed()) {
                trace::Line("hot key refused: keycode " + std::to_string(code) +
                            " with modifiers " + Hex(mods) + " is held by another program");
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
            CGdkErrorTrap trap("releasing the hot key", m_pGdk);
            for (const unsigned mods : m_vecGrabbed)
                XUngrabKey(display, m_nKeycode, mods, root);
            XSync(display, False);
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

    // True for the key's own events, which GDK never sees.
    bool OnEvent(const XEvent& event) {
        if (event.type != KeyPress && event.type != KeyRelease)
            return false;
        const XKeyEvent& key = event.xkey;
        if (m_nKeycode == 0 || key.keycode != m_nKeycode ||
            key.window != DefaultRootWindow(key.display))
            return false;

        if (event.type == KeyRelease) {
            // The key's release comes to the grab while it lasts, whatever
            // modifiers are still down.
            if (!m_bDown)
                return false;
            m_bDown = false;
            m_nReleaseTime = key.time;
            return true;
        }
        if ((key.state & 0xFF & ~m_nLockBits) != m_nModifiers)
            return false;
        // Held down, the key repeats: further presses without a release, or,
        // where the server cannot tell repeats apart, a release and a press
        // with the same time stamp.
        const bool repeat = m_bDown || (!m_bDetectableRepeat && key.time == m_nReleaseTime);
        m_bDown = true;
        // From the loop: the handler may open message boxes or menus, and
        // may unregister the key while it runs.
        if (!repeat)
            m_pWatch->Post([this] {
                if (const auto onPressed = m_fnOnPressed)
                    onPressed();
            });
        return true;
    }

    GdkDisplay* m_pGdk = nullptr;
    std::uint16_t m_wVK = 0;
    std::uint16_t m_wFlags = 0;
    std::function<void()> m_fnOnPressed;
    bool m_bRegistered = false;
    std::unique_ptr<CGdkEventWatch> m_pWatch;
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

CGlobalHotKey::CGlobalHotKey() : m_pImpl(std::make_unique<CImpl>()) {}

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
