#pragma once
// The kind of desktop session the program runs in. Under Wayland the program
// still runs (through XWayland), but the right-button grab sees only the
// windows of other X11 programs: programs that use Wayland directly never
// show the snippet menu.

#include <functional>

namespace display_session {

// Looks up an environment variable as getenv does; tests give a made-up one.
using Environment = std::function<const char*(const char* name)>;

// The process's own environment.
Environment ProcessEnvironment();

// A Wayland session: XDG_SESSION_TYPE is "wayland", or WAYLAND_DISPLAY is set.
bool IsWayland(const Environment& environment = ProcessEnvironment());

} // namespace display_session
