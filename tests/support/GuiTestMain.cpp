// main() for tests that need windows: a wxApp on the X display given by the
// test command (Xvfb), or on Windows' desktop (under Wine, its X display),
// then GoogleTest.

#include <gtest/gtest.h>
#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdio>
#include <cstdlib>

namespace {
class CTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
#ifdef __WXGTK__
    setenv("NO_AT_BRIDGE", "1", 0);
    setenv("GDK_BACKEND", "x11", 0);
#endif
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                          const wxString& msg) {
        fprintf(stderr, "wx assert %s:%d: %s %s\n", file.utf8_str().data(), line,
                cond.utf8_str().data(), msg.utf8_str().data());
    });
    wxApp::SetInstance(new CTestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        fprintf(stderr, "cannot start wxWidgets: is there an X display?\n");
        return 2;
    }
#ifdef __WXGTK__
    // Tests press far faster than people: quick presses at one spot are
    // separate clicks, not a double click.
    g_object_set(gtk_settings_get_default(), "gtk-double-click-time", 0, nullptr);
#endif
    // Log messages would pop up modal boxes and block a headless run.
    wxLog::SetActiveTarget(new wxLogStderr);
#ifdef __WXMSW__
    // wxYield hands Windows' messages on only through an active loop, and the
    // tests run none of their own: without one, no posted message would ever
    // be handled.
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
#endif
    const int rc = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return rc;
}
