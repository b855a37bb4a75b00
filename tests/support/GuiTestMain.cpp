// main() for tests that need windows: a wxApp on the X display given by the
// test command (Xvfb), then GoogleTest.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
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
    setenv("NO_AT_BRIDGE", "1", 0);
    setenv("GDK_BACKEND", "x11", 0);
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
    // Tests press far faster than people: quick presses at one spot are
    // separate clicks, not a double click.
    g_object_set(gtk_settings_get_default(), "gtk-double-click-time", 0, nullptr);
    // Log messages would pop up modal boxes and block a headless run.
    wxLog::SetActiveTarget(new wxLogStderr);
    const int rc = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return rc;
}
