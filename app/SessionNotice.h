#pragma once
// What the program tells the user once at start about the desktop session:
// under Wayland the snippet menu reaches only XWayland programs.

#include "platform/DisplaySession.h"

struct SSettings;

namespace session_notice {

// Shows the Wayland notice when the session is one and the user has not
// asked for it no more; a tick in its "do not show again" box is kept in the
// settings. True when the settings changed.
bool ShowIfWayland(SSettings& settings, const display_session::Environment& environment =
                                            display_session::ProcessEnvironment());

} // namespace session_notice
