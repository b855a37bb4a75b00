// The Wayland notice at start, in made-up environments: shown once per start
// in a Wayland session until its box is ticked, never in an X11 session.

#include "app/SessionNotice.h"
#include "app/MessageBox.h"
#include "app/Settings.h"
#include "res/Messages.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

TEST(SessionNotice, ShownInWaylandSessionsUntilTheBoxIsTicked) {
    CMessageBox::EnableTestMode();
    const auto environment = [](std::map<std::string, std::string> vars) {
        return [vars](const char* name) -> const char* {
            const auto it = vars.find(name);
            return it == vars.end() ? nullptr : it->second.c_str();
        };
    };
    SSettings settings;
    // Sessions that are X11, or say nothing: no notice.
    for (const auto& vars : std::initializer_list<std::map<std::string, std::string>>{
             {}, {{"XDG_SESSION_TYPE", "x11"}}, {{"WAYLAND_DISPLAY", ""}}, {{"DISPLAY", ":0"}}})
        EXPECT_FALSE(session_notice::ShowIfWayland(settings, environment(vars)));
    EXPECT_TRUE(CMessageBox::TakeShown().empty());

    // Either sign of Wayland: the notice, and without a tick again next time.
    const auto wayland = environment({{"XDG_SESSION_TYPE", "wayland"}});
    EXPECT_FALSE(session_notice::ShowIfWayland(settings, wayland));
    EXPECT_FALSE(
        session_notice::ShowIfWayland(settings, environment({{"WAYLAND_DISPLAY", "wayland-0"}})));
    EXPECT_EQ(CMessageBox::TakeShown(), (std::vector<std::string>(2, msg::kWaylandNotice)));

    // Ticked: kept in the settings, and never shown again.
    CMessageBox::QueueAnswer(EAnswer::Yes);
    EXPECT_TRUE(session_notice::ShowIfWayland(settings, wayland));
    EXPECT_TRUE(settings.m_bHideWaylandNotice);
    EXPECT_FALSE(session_notice::ShowIfWayland(settings, wayland));
    EXPECT_EQ(CMessageBox::TakeShown().size(), 1u);
    CMessageBox::DisableTestMode();
}
