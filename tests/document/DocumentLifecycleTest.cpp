// New, Open, Save, Save As, Reload, Open URL, the recent files and the start
// file, through the real document manager, frame and view.

#include "dialogs/DlgOpenUrl.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "support/AppFixture.h"

#include <wx/config.h>
#include <wx/filehistory.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace {

const char* kMail = "<level0 header=\"Mail\"><level1 header=\"Hello\"><![CDATA[Hello there]]>"
                    "</level1><level1 header=\"Bye\"/></level0>";
const char* kMailSaved =
    "<level0 header=\"Mail\" iid=\"0\"><level1 header=\"Hello\" iid=\"1\">"
    "<![CDATA[Hello there]]></level1><level1 header=\"Bye\" iid=\"2\"/></level0>";
const std::string kInvalid = "Failed to load document because the XML was invalid.";
const std::string kNotTessary = "The current file is not a valid Tessary file";

// A file's URL as a person types it: "file:///C:/dir/x.xml" on Windows.
std::string FileUrl(std::string path) {
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
    return "file:///" + path;
#else
    return "file://" + path;
#endif
}

class DocumentLifecycle : public CAppFixture {
protected:
    // The library as the window shows it: the tree's labels, the path, the
    // title, the recent files and whether it is changed.
    std::string Shown() const {
        std::string out;
        for (const std::string& label : TreeLabels())
            out += label.substr(label.find_first_not_of(' ')) + "/";
        const std::string path = Doc()->PathName();
        out += " " + path.substr(path.find_last_of("/\\") + 1) + " '" +
               Frame()->GetTitle().utf8_string() + "' recent " +
               std::to_string(Manager()->GetFileHistory()->GetCount());
        return out + (Doc()->IsModified() ? " changed" : "");
    }
    bool Open(const std::string& path) {
        return Manager()->CreateDocument(wxString::FromUTF8(path), wxDOC_SILENT) != nullptr;
    }
    // Saves a changed library; true when no Save As prompt was needed.
    bool SavedInPlace() {
        CFilePrompt::QueueAnswer("");
        Doc()->Modify(true);
        Command(ids::ID_FILE_SAVE);
        return CFilePrompt::LastRequest().title.empty() && !Doc()->IsModified();
    }
};

} // namespace

TEST_F(DocumentLifecycle, SaveAsSuggestsUntitledXmlAndAsksBeforeReplacingTheFileReallyWritten) {
    const std::string existing = Write("existing.xml", "keep");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Shown(), "New Document/  'Tessary - Untitled' recent 0");
    // Typed without the extension: the dialog saw no such file, yet
    // existing.xml is what would be written. No, then Cancel: nothing written.
    for (const EAnswer answer : {EAnswer::No, EAnswer::Yes}) {
        CFilePrompt::QueueAnswer(m_dir.File("existing"));
        CMessageBox::QueueAnswer(answer);
        Command(ids::ID_FILE_SAVE);
        EXPECT_EQ(Messages(), Strings{"existing.xml already exists.\nDo you want to replace it?"});
        EXPECT_EQ(Read(existing) == "keep", answer == EAnswer::No);
    }
    const SFilePromptRequest& asked = CFilePrompt::LastRequest();
    EXPECT_EQ(asked.defaultName + " " + asked.wildcard, "Untitled.xml XML (*.xml)|*.xml;*.XML");
    EXPECT_EQ(Read(existing), "<level0 header=\"New Document\" iid=\"0\"/>");
    EXPECT_EQ(Shown(), "New Document/ existing.xml 'Tessary - existing.xml' recent 1");
}

TEST_F(DocumentLifecycle, TheStartFileOpensUnlessAFileIsNamedAndSavesInPlace) {
    SSettings settings;
    const std::string start = settings.m_strStartFile = Write("start.xml", kMail);
    StoreSettings(settings);
#ifdef _WIN32
    // Outside the ANSI code page: Windows' names are Unicode, never bytes.
    const std::string named = Write("caf\xc3\xa9 \xce\xb1.xml", "<level0 header=\"Named\"/>");
#else
    const std::string named = Write("caf\xe9.xml", "<level0 header=\"Named\"/>"); // not UTF-8
#endif
    ASSERT_TRUE(Start(named));
    EXPECT_TRUE(Doc()->PathName() == named && SavedInPlace());
    EXPECT_EQ(Read(named), "<level0 header=\"Named\" iid=\"0\"/>");
    Stop();

    ASSERT_TRUE(Start());
    EXPECT_EQ(Shown(), "Mail/Hello/Bye/ start.xml 'Tessary - Untitled' recent 1");
    EXPECT_TRUE(SavedInPlace());
    EXPECT_EQ(Read(start), kMailSaved);
    EXPECT_EQ(Shown(), "Mail/Hello/Bye/ start.xml 'Tessary - start.xml' recent 2");
    // Saving rebuilt the tree: only the root shows, collapsed and selected.
    EXPECT_TRUE(Tree()->GetSelection() == Tree()->GetRootItem() &&
                !Tree()->IsExpanded(Tree()->GetRootItem()));
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(TreeLabels(), Strings{"New Document"}) << "the start file is opened once";
}

TEST_F(DocumentLifecycle, FailuresAtStartAreToldOnceAndLeaveAUsableLibrary) {
    SSettings settings;
    settings.m_strStartFile = Write("start.xml", "<<<");
    settings.m_wHotKeyVK = 0x20; // Space, no modifier: never registered
    StoreSettings(settings);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Messages(), (Strings{"Failed to set hot key", kInvalid}));
    EXPECT_EQ(Shown() + m_status.back() + std::to_string(Doc()->m_bHotKeyRegistered),
              "New Document/  'Tessary - Untitled' recent 00");
    Stop();
    StoreSettings({});
    CSnippetLibrary::SimulateEngineFailure(true);
    const bool started = Start();
    CSnippetLibrary::SimulateEngineFailure(false);
    ASSERT_TRUE(started);
    EXPECT_EQ(Messages(), Strings{"Could not start MSXML Parser"});
    EXPECT_TRUE(TreeLabels().empty() && m_status.back().empty());
    Command(ids::ID_FILE_NEW);
    EXPECT_TRUE(TreeLabels() == Strings{"New Document"} && Messages().empty());
}

TEST_F(DocumentLifecycle, AFailedLoadKeepsTheLibraryItsPathAndItsChanges) {
    const std::string good = Write("good.xml", kMail);
    const std::string wrong = Write("wrong.xml", "<level1 header=\"x\"><level2/></level1>");
    ASSERT_TRUE(Start(good));
    Doc()->Modify(true);
    const std::string shown = "Mail/Hello/Bye/ good.xml 'Tessary - good.xml' recent 1 changed";
    // The save question comes first; No, then the load fails.
    const std::pair<std::string, std::string> opens[] = {
        {Write("bad.xml", "<level0 header='x'><oops></level0>"), kInvalid},
        {m_dir.File("gone.xml"), "Failed to open document."},
        {wrong, kNotTessary}};
    for (const auto& [path, message] : opens) {
        CMessageBox::QueueAnswer(EAnswer::No);
        EXPECT_FALSE(Open(path));
        EXPECT_EQ(Messages(), (Strings{"Save changes to good.xml?", message})) << path;
    }
    m_status.clear();
    EXPECT_FALSE(Doc()->OpenUrl(FileUrl(wrong)) || Doc()->OpenUrl(FileUrl(m_dir.File("none.xml"))));
    EXPECT_EQ(m_status, (Strings{"Loading document...", "Loading document..."}));
    for (const char* bytes : {"<level1 header=\"x\"/>", "not xml at all"}) {
        CTempDir::Write(good, bytes);
        Command(ids::ID_RELOAD);
    }
    EXPECT_EQ(Messages(), (Strings{kNotTessary, kInvalid, kNotTessary, kInvalid}));
    EXPECT_EQ(Shown(), shown);

    // Cancel in the save question changes nothing; Yes saves the library,
    // never an empty one over the file, then starts a new one.
    CMessageBox::QueueAnswer(EAnswer::Cancel);
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(Shown(), shown);
    CMessageBox::QueueAnswer(EAnswer::Yes);
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(Read(good), kMailSaved);
    EXPECT_EQ(Shown(), "New Document/  'Tessary - Untitled' recent 1");
}

TEST_F(DocumentLifecycle, ReloadAndOpenUrlReadTheSourceAgain) {
    ASSERT_TRUE(Start());
    m_status.clear();
    Command(ids::ID_RELOAD); // no path: nothing at all
    EXPECT_TRUE(Messages().empty() && m_status.empty());
    const std::string path = Write("mail.xml", kMail);
    ASSERT_TRUE(Open(path));
    CTempDir::Write(path, "<level0 header=\"Other\"><level1 header=\"One\"/></level0>");
    Doc()->Modify(true);
    Command(ids::ID_RELOAD);
    EXPECT_EQ(Shown(), "Other/One/ mail.xml 'Tessary - mail.xml' recent 1 changed");
    // Open URL, in the File menu after Open, takes the URL as path, its last
    // segment as title and the URL as recent file; no file exists under it,
    // so Save asks for a name. The recent entry loads it from the URL again.
    wxMenu* file = Frame()->GetMenuBar()->GetMenu(0);
    EXPECT_EQ(file->FindItemByPosition(2)->GetId(), ids::ID_OPEN_URL);
    EXPECT_EQ(file->FindItemByPosition(1)->GetId(), ids::ID_FILE_OPEN);
    const std::string url = FileUrl(Write("remote.xml", "<level0 header=\"Remote\"/>"));
    EXPECT_TRUE(Doc()->OpenUrl(url) && Doc()->PathName() == url);
    EXPECT_EQ(Shown(), "Remote/ remote.xml 'Tessary - remote.xml' recent 2");
    EXPECT_EQ(Manager()->GetFileHistory()->GetHistoryFile(0).utf8_string(), url);
    CTempDir::Write(m_dir.File("remote.xml"), "<level0 header=\"Again\"/>");
    Command(ids::ID_FILE_MRU_FILE1 + 1);
    Command(ids::ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(Shown(), "Again/ remote.xml 'Tessary - remote.xml' recent 2");
    CFilePrompt::QueueAnswer(m_dir.File("copy.xml"));
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Read(m_dir.File("copy.xml")), "<level0 header=\"Again\" iid=\"0\"/>");
    // The command on a library with changes asks first: Cancel loads nothing,
    // No keeps them when the load fails, and gives them up for a good one.
    const auto openUrl = [&](const std::string& typed, EAnswer answer) {
        Doc()->Modify(true);
        CMessageBox::QueueAnswer(answer);
        WithDialog<CDlgOpenUrl>(
            [&] { Command(ids::ID_OPEN_URL); },
            [&](CDlgOpenUrl& d) {
                static_cast<wxTextCtrl*>(d.FindWindow(ids::IDC_URL))->SetValue(typed);
                Click(d.FindWindow(wxID_OK));
            });
        return Shown();
    };
    EXPECT_EQ(openUrl(url, EAnswer::Cancel),
              "Again/ copy.xml 'Tessary - copy.xml' recent 3 changed");
    EXPECT_EQ(openUrl(url + ".gone", EAnswer::No),
              "Again/ copy.xml 'Tessary - copy.xml' recent 3 changed");
    EXPECT_EQ(openUrl(url, EAnswer::No), "Again/ remote.xml 'Tessary - remote.xml' recent 3");
    EXPECT_EQ(Messages().size(), 4u) << "three questions and the failed load's message";
    // Stray bytes in UTF-8 are replaced, and the status bar tells so.
    ASSERT_TRUE(Open(Write("bad.xml", "<level0 header=\"caf\xC3\xA9 \xE9\"/>")));
    EXPECT_EQ(TreeLabels(), Strings{"caf\xC3\xA9 \xEF\xBF\xBD"});
    EXPECT_TRUE(WaitFor("the status text", [&] {
        return Frame()->GetStatusBar()->GetStatusText(0).utf8_string() == msg::kBytesReplaced;
    }));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DocumentLifecycle, RecentFilesKeepFourAndLoseOneOnlyWhenOpeningItFails) {
    ASSERT_TRUE(Start());
    std::vector<std::string> files;
    for (int i = 1; i <= 5; ++i) {
        files.push_back(Write("f" + std::to_string(i) + ".xml", kMail));
        ASSERT_TRUE(Open(files.back()));
    }
    EXPECT_EQ(Manager()->GetFileHistory()->GetCount(), 4u);
    // f4 is second and gone; f5, the first, no longer loads. Cancel in the
    // save question keeps f4 listed; once the open is tried and fails, it goes.
    std::remove(files[3].c_str());
    CTempDir::Write(files[4], "<<<");
    Doc()->Modify(true);
    const std::pair<EAnswer, int> tries[] = {
        {EAnswer::Cancel, 1}, {EAnswer::No, 1}, {EAnswer::No, 0}};
    for (const auto& [answer, index] : tries) {
        CMessageBox::QueueAnswer(answer);
        Command(ids::ID_FILE_MRU_FILE1 + index);
    }
    EXPECT_EQ(Manager()->GetFileHistory()->GetCount(), 2u);
    CloseFrame();
    // The file keeps a backslash doubled, as in Windows' paths.
    const auto stored = [](std::string path) {
        for (std::size_t at = 0; (at = path.find('\\', at)) != std::string::npos; at += 2)
            path.insert(at, 1, '\\');
        return path;
    };
    std::string config = Read(m_configPath);
    std::erase(config, '\r'); // Windows' line ends
    EXPECT_NE(config.find("[Recent\\ File\\ List]\nFile1=" + stored(files[2]) +
                          "\nFile2=" + stored(files[1]) + "\n"),
              std::string::npos)
        << config;
}
