#include "app/SessionNotice.h"

#include "app/MessageBox.h"
#include "app/Settings.h"
#include "res/Messages.h"

namespace session_notice {

bool ShowIfWayland(SSettings& settings, const display_session::Environment& environment) {
    if (settings.m_bHideWaylandNotice || !display_session::IsWayland(environment))
        return false;
    if (!CMessageBox::ShowWithCheckBox(msg::kWaylandNotice, msg::kDoNotShowAgain))
        return false;
    settings.m_bHideWaylandNotice = true;
    return true;
}

} // namespace session_notice
