#include "platform/DisplaySession.h"

#include <cstdlib>
#include <cstring>

namespace display_session {

Environment ProcessEnvironment() {
    return [](const char* name) -> const char* { return std::getenv(name); };
}

bool IsWayland(const Environment& environment) {
    const char* type = environment("XDG_SESSION_TYPE");
    const char* display = environment("WAYLAND_DISPLAY");
    return (type && std::strcmp(type, "wayland") == 0) || (display && *display);
}

} // namespace display_session
