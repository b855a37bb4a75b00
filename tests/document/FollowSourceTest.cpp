// A library changed elsewhere: in its file by another program (written,
// renamed over, removed) or on its web server, with and without changes of
// our own; our own saves are never taken for a change.

#include "library/Utf8Path.h"
#include "menu/HookMenu.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "support/AppFixture.h"
#include "support/LoopbackHttpServer.h"

#include <wx/menu.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <utime.h>

using namespace std::chrono_literals;

namespace {

const char* kMail = "<level0 header=\"Mail\"><level1 header=\"Hello\"/><level1 header=\"Bye\"/>"
                    "</level0>";
const char* kMailNew = "<level0 header=\"Mail\"><level1 header=\"New\"/><level1 header=\"Hello\"/>"
                       "<level1 header=\"Bye\"/></level0>";

class FollowSource : public CAppFixture {
protected:
    void TearDown() override {
        CTessaryDoc::SetPollInterval(0ms);
        CAppFixture::TearDown();
    }
    // The tree's labels, the selected one in brackets, then the snippet
    // menu's first entries and whether the library has changes.
    std::string Shown() const {
        std::string out;
        for (std::string label : TreeLabels()) {
            label = label.substr(label.find_first_not_of(' '));
            out += Tree()->GetItemText(Tree()->GetSelection()).utf8_string() == label
                       ? "[" + label + "]/"
                       : label + "/";
        }
        // The root's submenu, filled as highlighting it would.
        out += " menu";
        wxMenu* popup = View()->HookMenu().HookPopup();
        wxMenuItem* root = popup->FindItemByPosition(popup->GetMenuItemCount() - 1);
        wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, root->GetId(), popup);
        popup->ProcessEvent(highlight);
        for (wxMenuItem* item : root->GetSubMenu()->GetMenuItems())
            out += " " + item->GetItemLabel().utf8_string();
        return out + (Doc()->IsModified() ? " changed" : "");
    }
    // What the status bar told about changes made elsewhere, since the last call.
    std::string Told() {
        const std::pair<const char*, const char*> tags[] = {
            {msg::kReloadedChange, "reloaded"},
            {msg::kKeptMine, "kept"},
            {msg::kChangeNotLoaded, "not-a-library"},
            {msg::kLibraryRemoved, "removed"},
            {msg::kServerSilent, "no-answer"}};
        std::string told;
        for (const std::string& text : m_status)
            for (const auto& [said, tag] : tags)
                if (text == said)
                    told += std::string(told.empty() ? "" : " ") + tag;
        m_status.clear();
        return told;
    }
    // Waits until the events of a change have come and the file was read.
    void Settled() {
        WaitFor("events for the file", [this] { return Doc()->IsCheckPending(); });
        WaitFor("the file to be read", [this] { return !Doc()->IsCheckPending(); });
    }
};

} // namespace

TEST_F(FollowSource, AFileChangedElsewhereIsReloadedOnceAndOurOwnSavesAreNotReported) {
    const std::string path = Write("team.xml", kMail);
    ASSERT_TRUE(Start(path));
    ASSERT_TRUE(WaitFor("the folder to be watched", [this] { return Doc()->IsWatchingFile(); }));
    View()->SelectLabels({"Mail", "Hello"});
    // A burst of writes, as an editor saves, each seen: one reload, the
    // selection kept.
    for (const char* bytes : {"", "<level0", kMail, kMailNew}) {
        Write("team.xml", bytes);
        WaitFor("events for the file", [this] { return Doc()->IsCheckPending(); });
    }
    Settled();
    EXPECT_EQ(Shown(), "Mail/New/[Hello]/Bye/ menu New Hello Bye");
    EXPECT_EQ(Told(), "reloaded");
    // A touch without change is no change; our own save neither.
    ASSERT_EQ(utime(path.c_str(), nullptr), 0);
    Settled();
    Doc()->Modify(true);
    Command(ids::ID_FILE_SAVE);
    Settled();
    EXPECT_TRUE(Told().empty() && Messages().empty());
    // Another program saves as we do: a new file renamed over the old one.
    Write("team.xml.tmp", kMail);
    std::error_code renamed;
    std::filesystem::rename(utf8_path::From(m_dir.File("team.xml.tmp")), utf8_path::From(path),
                            renamed);
    ASSERT_FALSE(renamed) << renamed.message();
    Settled();
    EXPECT_EQ(Shown(), "[Mail]/Hello/Bye/ menu Hello Bye");
    // What is not a library is not loaded, and nothing changes.
    Write("team.xml", "<html><body>Sorry</body></html>");
    Settled();
    EXPECT_EQ(Shown(), "[Mail]/Hello/Bye/ menu Hello Bye");
    EXPECT_EQ(Told(), "reloaded not-a-library");
    // Removed: said so, the library kept; Save writes it again, unasked.
    std::remove(path.c_str());
    Settled();
    EXPECT_EQ(Told(), "removed");
    Doc()->Modify(true);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Read(path), "<level0 header=\"Mail\" iid=\"0\"><level1 header=\"Hello\" iid=\"1\"/>"
                          "<level1 header=\"Bye\" iid=\"2\"/></level0>");
    Settled();
    EXPECT_TRUE(Told().empty() && Messages().empty());
}

TEST_F(FollowSource, ALibraryWithChangesAsksOnceAndKeepsTheAnswerUntilTheNextChange) {
    const std::string path = Write("team.xml", kMail);
    ASSERT_TRUE(Start(path));
    ASSERT_TRUE(WaitFor("the folder to be watched", [this] { return Doc()->IsWatchingFile(); }));
    Doc()->Modify(true);
    // Keep Mine: asked once for a burst, the library and its changes kept,
    // and a touch later asks nothing.
    CMessageBox::QueueAnswer(EAnswer::No);
    for (const char* bytes : {"", kMailNew, kMailNew})
        Write("team.xml", bytes);
    Settled();
    ASSERT_EQ(utime(path.c_str(), nullptr), 0);
    Settled();
    EXPECT_EQ(Messages(), Strings{msg::kChangedElsewhere});
    EXPECT_EQ(Shown(), "[Mail]/Hello/Bye/ menu Hello Bye changed");
    // The next change asks again; Reload takes it.
    CMessageBox::QueueAnswer(EAnswer::Yes);
    Write("team.xml", kMail);
    Settled();
    EXPECT_EQ(Messages(), Strings{msg::kChangedElsewhere});
    EXPECT_EQ(Shown(), "[Mail]/Hello/Bye/ menu Hello Bye");
    EXPECT_EQ(Told(), "kept reloaded");
}

TEST_F(FollowSource, ALibraryOnAServerIsAskedForChangesWithoutHoldingUpTheWindow) {
    CLoopbackHttpServer server;
    server.ServeLibrary("/team%20lib.xml", kMail, "\"v1\"");
    const std::string url = server.Url("/team%20lib.xml");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Doc()->OpenUrl(url));
    EXPECT_EQ(Frame()->GetTitle().utf8_string(), "Tessary - team lib.xml");
    const auto asked = [&](std::size_t requests) {
        // The answer is handed over once the request has ended.
        WaitFor("the server to be asked",
                [&] { return server.Requests().size() == requests && !Doc()->IsPolling(); });
        wxYield();
    };
    // Unchanged: one 304, nothing reloaded. Changed: reloaded with the new entry.
    Doc()->PollUrl();
    asked(2);
    EXPECT_NE(server.Requests().back().find("If-None-Match: \"v1\""), std::string::npos);
    server.ServeLibrary("/team%20lib.xml", kMailNew, "\"v2\"");
    Doc()->PollUrl();
    asked(3);
    EXPECT_EQ(Shown(), "[Mail]/New/Hello/Bye/ menu New Hello Bye");
    // A failing server changes nothing.
    server.Serve("/team%20lib.xml", 500, "oops");
    Doc()->PollUrl();
    asked(4);
    EXPECT_EQ(Shown(), "[Mail]/New/Hello/Bye/ menu New Hello Bye");
    EXPECT_EQ(Told(), "reloaded no-answer");
    // Asked by itself, again and again.
    server.ServeLibrary("/team%20lib.xml", kMail, "\"v3\"");
    CTessaryDoc::SetPollInterval(20ms);
    Doc()->FollowSource();
    EXPECT_TRUE(WaitFor("the asks to repeat", [&] {
        return server.Requests().size() >= 7 && Shown() == "[Mail]/Hello/Bye/ menu Hello Bye";
    }));

    // A silent server holds up neither the window nor its closing.
    server.Serve("/team%20lib.xml", 0, {});
    CTessaryDoc::SetPollInterval(0ms);
    Doc()->FollowSource();
    Doc()->PollUrl();
    bool ran = false;
    wxTheApp->CallAfter([&ran] { ran = true; });
    EXPECT_TRUE(WaitFor("the window's events", [&] { return ran && Doc()->IsPolling(); }));
    const auto closing = std::chrono::steady_clock::now();
    Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 10s);
}
