// New, Open, Save, Save As, Reload, Open URL, the recent files and the start
// file, through the real document manager, frame and view.

#include "res/CommandIds.h"
#include "res/Messages.h"
#include "support/AppFixture.h"

#include <wx/config.h>
#include <wx/filehistory.h>

namespace {

const char* kMail = "<level0 header=\"Mail\">\n"
                    "  <level1 header=\"Greetings\">\n"
                    "    <level2 header=\"Hello\"><![CDATA[Hello there]]></level2>\n"
                    "  </level1>\n"
                    "  <level1 header=\"Sign-off\"><![CDATA[Regards]]></level1>\n"
                    "</level0>";

const char* kMailSaved = "<level0 header=\"Mail\" iid=\"0\">\n"
                         "  <level1 header=\"Greetings\" iid=\"1\">\n"
                         "    <level2 header=\"Hello\" iid=\"2\"><![CDATA[Hello there]]></level2>\n"
                         "  </level1>\n"
                         "  <level1 header=\"Sign-off\" iid=\"3\"><![CDATA[Regards]]></level1>\n"
                         "</level0>";

const std::vector<std::string> kMailTree = {"Mail", "  Greetings", "    Hello", "  Sign-off"};
const std::vector<std::string> kNew = {"New Document"};
const std::string kInvalid = "Failed to load document because the XML was invalid.";
const std::string kNotTessary = "The current file is not a valid Tessary file";

class DocumentLifecycle : public CAppFixture {
protected:
    size_t RecentCount() const { return Manager()->GetFileHistory()->GetCount(); }
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
    static void StoreStartFile(const std::string& path) {
        CSettings s;
        s.m_strStartFile = path;
        StoreSettings(s);
    }
};

} // namespace

TEST_F(DocumentLifecycle, SaveAsSuggestsUntitledXmlAndAsksBeforeReplacingTheFileReallyWritten) {
    const std::string existing = Write("existing.xml", "keep");
    ASSERT_TRUE(Start());
    EXPECT_EQ(TreeLabels(), kNew);
    EXPECT_EQ(Title(), "Tessary - Untitled");
    EXPECT_FALSE(Doc()->m_bCanRemove || Doc()->IsModified());
    // Typed without the extension: the dialog saw no such file, yet
    // existing.xml is what would be written. No, then Cancel: nothing written.
    CFilePrompt::QueueAnswer(m_dir.File("existing"));
    CMessageBox::QueueAnswer(Answer::No);
    Command(ids::ID_FILE_SAVE);
    const FilePromptRequest& asked = CFilePrompt::LastRequest();
    EXPECT_EQ(asked.defaultName, "Untitled.xml");
    EXPECT_EQ(asked.wildcard, "XML (*.xml)|*.xml;*.XML");
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"existing.xml already exists.\nDo you want to replace it?"});
    EXPECT_EQ(Read(existing), "keep");
    EXPECT_EQ(Title(), "Tessary - Untitled");

    CFilePrompt::QueueAnswer(m_dir.File("existing"));
    CMessageBox::QueueAnswer(Answer::Yes);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Read(existing), "<level0 header=\"New Document\" iid=\"0\"/>");
    EXPECT_EQ(Title(), "Tessary - existing.xml");
    EXPECT_EQ(RecentCount(), 1u);
}

TEST_F(DocumentLifecycle, ANamedFileIsOpenedInsteadOfTheStartFileAndSavedUnderItsOwnName) {
    const std::string start = Write("start.xml", "<level0 header=\"Start\"/>");
    StoreStartFile(start);
    const std::string named = Write("caf\xe9.xml", kMail); // not UTF-8
    ASSERT_TRUE(Start(named));
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_EQ(Doc()->PathName(), named);
    EXPECT_TRUE(SavedInPlace());
    EXPECT_EQ(Read(named), kMailSaved);
    EXPECT_EQ(Read(start), "<level0 header=\"Start\"/>");
    // Saving rebuilds: only the root shows, collapsed and selected.
    EXPECT_EQ(Tree()->GetSelection(), Tree()->GetRootItem());
    EXPECT_FALSE(Tree()->IsExpanded(Tree()->GetRootItem()));
}

TEST_F(DocumentLifecycle, TheStartFileOpensOnceSavesInPlaceAndIsThenNamed) {
    const std::string start = Write("start.xml", kMail);
    StoreStartFile(start);
    ASSERT_TRUE(Start());
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_EQ(Title(), "Tessary - Untitled");
    EXPECT_EQ(Doc()->PathName(), start);
    EXPECT_TRUE(SavedInPlace());
    EXPECT_EQ(Read(start), kMailSaved);
    EXPECT_EQ(Title(), "Tessary - start.xml");
    EXPECT_EQ(RecentCount(), 1u);
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(TreeLabels(), kNew);
}

TEST_F(DocumentLifecycle, AStartFileThatDoesNotLoadIsReportedOnce) {
    StoreStartFile(Write("start.xml", "<<<"));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Messages(), std::vector<std::string>{kInvalid});
    EXPECT_EQ(TreeLabels(), kNew);
    EXPECT_EQ(Doc()->PathName(), "");
    EXPECT_EQ(m_status.back(), "");
}

TEST_F(DocumentLifecycle, AFailedLoadKeepsTheLibraryItsPathAndItsChanges) {
    const std::string good = Write("good.xml", kMail);
    const std::string wrong = Write("wrong.xml", "<level1 header=\"x\"><level2/></level1>");
    ASSERT_TRUE(Start(good));
    Doc()->Modify(true);
    // The save question comes first; No, then the load fails.
    const std::string question = "Save changes to good.xml?";
    const std::pair<std::string, std::string> opens[] = {
        {Write("bad.xml", "<level0 header='x'><oops></level0>"), kInvalid},
        {m_dir.File("gone.xml"), "Failed to open document."},
        {wrong, kNotTessary}};
    for (const auto& [path, message] : opens) {
        CMessageBox::QueueAnswer(Answer::No);
        EXPECT_FALSE(Open(path));
        EXPECT_EQ(Messages(), (std::vector<std::string>{question, message})) << path;
    }
    m_status.clear();
    EXPECT_FALSE(Doc()->OpenUrl("file://" + wrong));
    EXPECT_FALSE(Doc()->OpenUrl("file://" + m_dir.File("none.xml")));
    EXPECT_EQ(m_status, (std::vector<std::string>{"Loading document...", "Loading document..."}));
    for (const char* bytes : {"<level1 header=\"x\"/>", "not xml at all"}) {
        CTempDir::Write(good, bytes);
        Command(ids::ID_RELOAD);
    }
    EXPECT_EQ(Messages(), (std::vector<std::string>{kNotTessary, kInvalid, kNotTessary, kInvalid}));
    // Nothing was swapped in; the next save writes the library, never an
    // empty one over the file.
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_EQ(Doc()->PathName(), good);
    EXPECT_EQ(Title(), "Tessary - good.xml");
    EXPECT_EQ(RecentCount(), 1u);
    EXPECT_TRUE(Doc()->IsModified()) << "unsaved changes must not be lost";
    EXPECT_TRUE(SavedInPlace());
    EXPECT_EQ(Read(good), kMailSaved);
}

TEST_F(DocumentLifecycle, CancelInTheSaveQuestionChangesNothingAndYesSavesFirst) {
    const std::string path = Write("mail.xml", kMail);
    ASSERT_TRUE(Start(path));
    Doc()->Modify(true);
    CMessageBox::QueueAnswer(Answer::Cancel);
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Save changes to mail.xml?"});
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_TRUE(Doc()->IsModified());
    CMessageBox::QueueAnswer(Answer::Yes);
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(Read(path), kMailSaved);
    EXPECT_EQ(TreeLabels(), kNew);
    EXPECT_EQ(Title(), "Tessary - Untitled");
    EXPECT_EQ(Doc()->PathName(), "");
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
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"Other", "  One"}));
    EXPECT_TRUE(Doc()->IsModified()) << "reload leaves the modified flag alone";

    // Open URL takes the URL as path, but not as title or recent file; no
    // file exists under it, so Save asks for a name.
    const std::string url = "file://" + Write("remote.xml", "<level0 header=\"Remote\"/>");
    EXPECT_TRUE(Doc()->OpenUrl(url));
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"Remote"});
    EXPECT_EQ(Doc()->PathName(), url);
    EXPECT_EQ(Title(), "Tessary - mail.xml");
    EXPECT_EQ(RecentCount(), 1u);
    CFilePrompt::QueueAnswer(m_dir.File("copy.xml"));
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Read(m_dir.File("copy.xml")), "<level0 header=\"Remote\" iid=\"0\"/>");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DocumentLifecycle, AnOpenTellsItsStepsAndStrayBytesInTheStatusBar) {
    ASSERT_TRUE(Start());
    m_status.clear();
    ASSERT_TRUE(Open(Write("mail.xml", kMail)));
    EXPECT_EQ(m_status, (std::vector<std::string>{"Loading document...", "Constructing menu...",
                                                  "Constructing tree...", ""}));
    ASSERT_TRUE(Open(Write("bad.xml", "<level0 header=\"caf\xC3\xA9 \xE9\"/>")));
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"caf\xC3\xA9 \xEF\xBF\xBD"});
    EXPECT_TRUE(WaitFor("the status text", [&] { return m_status.back() == msg::kBytesReplaced; }));
    EXPECT_EQ(Frame()->GetStatusBar()->GetStatusText(0).utf8_string(), msg::kBytesReplaced);
}

TEST_F(DocumentLifecycle, RecentFilesKeepFourAndLoseOneOnlyWhenOpeningItFails) {
    ASSERT_TRUE(Start());
    std::vector<std::string> files;
    for (int i = 1; i <= 5; ++i) {
        files.push_back(Write("f" + std::to_string(i) + ".xml", kMail));
        ASSERT_TRUE(Open(files.back()));
    }
    EXPECT_EQ(RecentCount(), 4u);
    // f4 is second and gone; f5, the first, no longer loads. Cancel in the
    // save question keeps f4 listed; once the open is tried and fails, it goes.
    std::remove(files[3].c_str());
    CTempDir::Write(files[4], "<<<");
    Doc()->Modify(true);
    CMessageBox::QueueAnswer(Answer::Cancel);
    Command(ids::ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(RecentCount(), 4u);
    for (int id : {ids::ID_FILE_MRU_FILE1 + 1, ids::ID_FILE_MRU_FILE1}) {
        CMessageBox::QueueAnswer(Answer::No);
        Command(id);
    }
    EXPECT_EQ(RecentCount(), 2u);
    CloseFrame();
    const std::string conf = Read(m_configPath);
    EXPECT_NE(conf.find("[Recent\\ File\\ List]"), std::string::npos);
    EXPECT_NE(conf.find("File1=" + files[2] + "\nFile2=" + files[1] + "\n"), std::string::npos);
}

TEST_F(DocumentLifecycle, WithoutAnEngineTheFailureIsToldOnceWithoutCycling) {
    CSnippetLibrary::SimulateEngineFailure(true);
    const bool started = Start();
    CSnippetLibrary::SimulateEngineFailure(false);
    ASSERT_TRUE(started);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Could not start MSXML Parser"});
    EXPECT_TRUE(TreeLabels().empty());
    EXPECT_EQ(m_status.back(), "");
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(TreeLabels(), kNew);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DocumentLifecycle, AStoredHotKeyThatTakesATypingKeyIsNotRegistered) {
    CSettings s;
    s.m_wHotKeyVK = 0x20; // Space, no modifier
    StoreSettings(s);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to set hot key"});
    EXPECT_EQ(Doc()->m_bHotKeyRegistered, 0);
}
