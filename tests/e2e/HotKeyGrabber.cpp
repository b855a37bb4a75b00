// Another X client holding a key combination on the root window, so that the
// end-to-end test can see how the program reacts to a hot key already taken.
//
//   e2e_grabber ctrl+alt+k
//
// Prints "grabbed" once the grab stands (the server confirmed it), then holds
// it until killed. Exits 2 when the combination cannot be grabbed.

#include <X11/Xlib.h>

#include <cstdio>
#include <string>

namespace {

bool g_bRefused = false;

int OnError(Display*, XErrorEvent* error) {
    if (error->error_code == BadAccess)
        g_bRefused = true;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: e2e_grabber MOD+...+KEY\n");
        return 1;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "e2e_grabber: no display\n");
        return 1;
    }
    unsigned modifiers = 0;
    std::string combination = argv[1];
    std::size_t plus;
    while ((plus = combination.find('+')) != std::string::npos) {
        const std::string name = combination.substr(0, plus);
        combination.erase(0, plus + 1);
        if (name == "ctrl")
            modifiers |= ControlMask;
        else if (name == "alt")
            modifiers |= Mod1Mask;
        else if (name == "shift")
            modifiers |= ShiftMask;
        else if (name == "super")
            modifiers |= Mod4Mask;
    }
    const KeySym keysym = XStringToKeysym(combination.c_str());
    const KeyCode keycode = keysym == NoSymbol ? 0 : XKeysymToKeycode(display, keysym);
    if (keycode == 0) {
        std::fprintf(stderr, "e2e_grabber: no key for %s\n", combination.c_str());
        return 1;
    }
    XSetErrorHandler(OnError);
    const Window root = DefaultRootWindow(display);
    // The program grabs the lock-key variants too; one of them taken is enough
    // to refuse it, all of them make the result independent of the lock state.
    for (const unsigned locks :
         {0u, unsigned(LockMask), unsigned(Mod2Mask), unsigned(LockMask | Mod2Mask)})
        XGrabKey(display, keycode, modifiers | locks, root, False, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    if (g_bRefused) {
        std::fprintf(stderr, "e2e_grabber: %s is held by another client\n", argv[1]);
        return 2;
    }
    std::printf("grabbed\n");
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
    }
}
