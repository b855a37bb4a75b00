// New, Open, Save, Save As, Reload, Open URL and the start file, through the
// real document manager, frame and view.

#include "app/Settings.h"
#include "res/CommandIds.h"
#include "res/StringTable.h"
#include "support/AppFixture.h"
#include "support/GuiTest.h"

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

class DocumentLifecycle : public CAppFixture {
protected:
    std::string Title() const { return Frame()->GetTitle().utf8_string(); }
    size_t RecentCount() const { return Manager()->GetFileHistory()->GetCount(); }
};

} // namespace

TEST_F(DocumentLifecycle, NewDocumentShowsRootAndSavesAsOneLine) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"New Document"});
    EXPECT_EQ(Title(), "Tessary - Untitled");
    EXPECT_TRUE(View()->Text()->IsEnabled());
    EXPECT_FALSE(Doc()->m_bCanRemove);
    EXPECT_FALSE(Doc()->IsModified());

    const std::string path = m_dir.File("new");
    CFilePrompt::QueueAnswer(path);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(CFilePrompt::LastRequest().wildcard, "XML (*.xml)|*.xml;*.XML");
    EXPECT_TRUE(CFilePrompt::LastRequest().save);
    // The default extension is added.
    EXPECT_EQ(SavedBytes(path + ".xml"), "<level0 header=\"New Document\" iid=\"0\"/>");
    EXPECT_EQ(Title(), "Tessary - new.xml");
    EXPECT_EQ(RecentCount(), 1u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DocumentLifecycle, OpenRenumbersAndSaveWritesInPlace) {
    const std::string path = Write("mail.xml", kMail);
    ASSERT_TRUE(Start(path));
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_EQ(Title(), "Tessary - mail.xml");
    Doc()->Modify(true);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(SavedBytes(path), kMailSaved);
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(CFilePrompt::LastRequest().title, "") << "no Save As dialog for a writable file";
    // Saving rebuilds: only the root shows, collapsed and selected.
    EXPECT_EQ(View()->Tree()->GetSelection(), View()->Tree()->GetRootItem());
    EXPECT_FALSE(View()->Tree()->IsExpanded(View()->Tree()->GetRootItem()));
}

TEST_F(DocumentLifecycle, FailedOpenKeepsTheDocumentAndItsChanges) {
    const std::string good = Write("good.xml", kMail);
    const std::string bad = Write("bad.xml", "<level0 header='x'><oops></level0>");
    ASSERT_TRUE(Start(good));
    Doc()->Modify(true);

    // The save question comes first; No, then the load fails.
    CMessageBox::QueueAnswer(Answer::No);
    EXPECT_EQ(Manager()->CreateDocument(wxString::FromUTF8(bad), wxDOC_SILENT), nullptr);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Save changes to good.xml?",
                                                    "Failed to load document because the XML "
                                                    "was invalid."}));
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_EQ(Doc()->PathName(), good);
    EXPECT_EQ(Title(), "Tessary - good.xml");
    EXPECT_TRUE(Doc()->IsModified()) << "unsaved changes must not be lost";
    EXPECT_EQ(RecentCount(), 1u);

    // A file that cannot be read at all.
    CMessageBox::QueueAnswer(Answer::No);
    EXPECT_EQ(Manager()->CreateDocument(wxString::FromUTF8(m_dir.File("gone.xml")), wxDOC_SILENT),
              nullptr);
    EXPECT_EQ(Messages().back(), "Failed to open document.");
    EXPECT_EQ(TreeLabels(), kMailTree);

    // The library still works: a save writes the real content.
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(SavedBytes(good), kMailSaved);
}

TEST_F(DocumentLifecycle, CancelInTheSaveQuestionChangesNothing) {
    const std::string path = Write("mail.xml", kMail);
    ASSERT_TRUE(Start(path));
    Doc()->Modify(true);
    CMessageBox::QueueAnswer(Answer::Cancel);
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Save changes to mail.xml?"});
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_TRUE(Doc()->IsModified());

    // Yes saves, then the new document replaces it.
    CMessageBox::QueueAnswer(Answer::Yes);
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(SavedBytes(path), kMailSaved);
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"New Document"});
    EXPECT_EQ(Title(), "Tessary - Untitled");
    EXPECT_EQ(Doc()->PathName(), "");
}

TEST_F(DocumentLifecycle, ReloadReadsTheFileAgainAndAFailedReloadKeepsTheLibrary) {
    const std::string path = Write("mail.xml", kMail);
    ASSERT_TRUE(Start(path));
    CTempDir::Write(path, "<level0 header=\"Other\"><level1 header=\"One\"/></level0>");
    Doc()->Modify(true);
    Command(ids::ID_RELOAD);
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"Other", "  One"}));
    EXPECT_TRUE(Doc()->IsModified()) << "reload leaves the modified flag alone";
    EXPECT_TRUE(Messages().empty());

    CTempDir::Write(path, "not xml at all");
    Command(ids::ID_RELOAD);
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Failed to load document because the XML was invalid."});
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"Other", "  One"}));
    EXPECT_EQ(Doc()->PathName(), path);

    // The next save writes the library, never an empty one over the file.
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(SavedBytes(path),
              "<level0 header=\"Other\" iid=\"0\"><level1 header=\"One\" iid=\"1\"/></level0>");
}

TEST_F(DocumentLifecycle, ReloadWithoutAPathDoesNothing) {
    ASSERT_TRUE(Start());
    m_status.clear();
    Command(ids::ID_RELOAD);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(m_status.empty());
}

TEST_F(DocumentLifecycle, OpenUrlTakesTheUrlAsPathButNotAsTitle) {
    const std::string first = Write("first.xml", kMail);
    const std::string remote = Write("remote.xml", "<level0 header=\"Remote\"/>");
    ASSERT_TRUE(Start(first));
    const std::string url = "file://" + remote;
    EXPECT_TRUE(Doc()->OpenUrl(url));
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"Remote"});
    EXPECT_EQ(Doc()->PathName(), url);
    EXPECT_EQ(Title(), "Tessary - first.xml");
    EXPECT_EQ(RecentCount(), 1u);

    // No file exists under a URL: Save asks for a name.
    const std::string target = m_dir.File("copy.xml");
    CFilePrompt::QueueAnswer(target);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(SavedBytes(target), "<level0 header=\"Remote\" iid=\"0\"/>");

    // A failed Open URL leaves everything, the status text included.
    m_status.clear();
    EXPECT_FALSE(Doc()->OpenUrl("file://" + m_dir.File("none.xml")));
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"Remote"});
    EXPECT_EQ(m_status, std::vector<std::string>{"Loading document..."});
    EXPECT_EQ(Messages().back(), "Failed to load document because the XML was invalid.");
}

TEST_F(DocumentLifecycle, StartFileOpensOnceAndSavesInPlace) {
    const std::string start = Write("start.xml", kMail);
    {
        CSettings s;
        s.m_strStartFile = start;
        CSettingsStore::Save(*wxConfigBase::Get(), s);
    }
    ASSERT_TRUE(Start());
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_EQ(Title(), "Tessary - Untitled");
    EXPECT_EQ(Doc()->PathName(), start);
    Doc()->Modify(true);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(SavedBytes(start), kMailSaved);
    EXPECT_EQ(CFilePrompt::LastRequest().title, "");
    // Once saved, title and recent files follow the file written.
    EXPECT_EQ(Title(), "Tessary - start.xml");
    EXPECT_EQ(RecentCount(), 1u);

    // File > New does not open it again.
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"New Document"});
}

TEST_F(DocumentLifecycle, UnparseableStartFileIsReportedOnce) {
    CSettings s;
    s.m_strStartFile = Write("start.xml", "<<<");
    CSettingsStore::Save(*wxConfigBase::Get(), s);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Failed to load document because the XML was invalid."});
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"New Document"});
    EXPECT_EQ(Doc()->PathName(), "");
    EXPECT_EQ(m_status.back(), "");
}

TEST_F(DocumentLifecycle, RootOfAnotherNameIsAFailedLoadEverywhere) {
    const std::string good = Write("good.xml", kMail);
    const std::string wrong = Write("wrong.xml", "<level1 header=\"x\"><level2/></level1>");
    const std::vector<std::string> invalid = {"The current file is not a valid Tessary file"};
    ASSERT_TRUE(Start(good));
    Doc()->Modify(true);
    CMessageBox::QueueAnswer(Answer::No);
    EXPECT_EQ(Manager()->CreateDocument(wxString::FromUTF8(wrong), wxDOC_SILENT), nullptr);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Save changes to good.xml?", invalid[0]}));
    EXPECT_FALSE(Doc()->OpenUrl("file://" + wrong));
    EXPECT_EQ(Messages(), invalid);
    CTempDir::Write(good, "<level1 header=\"x\"/>");
    Command(ids::ID_RELOAD);
    EXPECT_EQ(Messages(), invalid);

    // Nothing was swapped in: the library, its path and its changes stay.
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_EQ(Doc()->PathName(), good);
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(DocumentLifecycle, BytesThatAreNotUtf8AreToldInTheStatusBar) {
    const std::string path = Write("bad.xml", "<level0 header=\"caf\xC3\xA9 \xE9\"/>");
    ASSERT_TRUE(Start());
    EXPECT_NE(Manager()->CreateDocument(wxString::FromUTF8(path), wxDOC_SILENT), nullptr);
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"caf\xC3\xA9 \xEF\xBF\xBD"});
    EXPECT_TRUE(WaitFor([&] { return m_status.back() == msg::kBytesReplaced; }));
}

TEST_F(DocumentLifecycle, StatusTextsOfAnOpen) {
    const std::string path = Write("mail.xml", kMail);
    ASSERT_TRUE(Start());
    m_status.clear();
    EXPECT_NE(Manager()->CreateDocument(wxString::FromUTF8(path), wxDOC_SILENT), nullptr);
    EXPECT_EQ(m_status, (std::vector<std::string>{"Loading document...", "Constructing menu...",
                                                  "Constructing tree...", ""}));
    EXPECT_EQ(Frame()->GetStatusBar()->GetStatusText(0), "");
}

TEST_F(DocumentLifecycle, RecentFilesKeepFourUnderFileN) {
    ASSERT_TRUE(Start());
    for (int i = 1; i <= 5; ++i) {
        const std::string p = Write("f" + std::to_string(i) + ".xml", "<level0 header=\"x\"/>");
        ASSERT_NE(Manager()->CreateDocument(wxString::FromUTF8(p), wxDOC_SILENT), nullptr);
    }
    EXPECT_EQ(RecentCount(), 4u);
    EXPECT_EQ(Manager()->GetFileHistory()->GetHistoryFile(0).utf8_string(), m_dir.File("f5.xml"));
    CloseFrame();
    const std::string conf = CTempDir::Read(m_configPath);
    EXPECT_NE(conf.find("[Recent\\ File\\ List]"), std::string::npos);
    EXPECT_NE(conf.find("File1=" + m_dir.File("f5.xml")), std::string::npos);
    EXPECT_NE(conf.find("File4=" + m_dir.File("f2.xml")), std::string::npos);
}

TEST_F(DocumentLifecycle, NoEngineIsReportedOnceWithoutCycling) {
    CSnippetLibrary::SimulateEngineFailure(true);
    const bool started = Start();
    CSnippetLibrary::SimulateEngineFailure(false);
    ASSERT_TRUE(started);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Could not start MSXML Parser"});
    EXPECT_TRUE(TreeLabels().empty());
    EXPECT_EQ(m_status.back(), "");

    // Once the engine works again, File > New gives a usable library.
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"New Document"});
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DocumentLifecycle, SaveAsAsksBeforeReplacingTheFileReallyWritten) {
    const std::string existing = Write("existing.xml", "keep");
    ASSERT_TRUE(Start());
    // Typed without the extension: the dialog saw no such file, yet
    // existing.xml is what would be written. No, then Cancel: nothing written.
    CFilePrompt::QueueAnswer(m_dir.File("existing"));
    CMessageBox::QueueAnswer(Answer::No);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(CFilePrompt::LastRequest().defaultName, "Untitled.xml");
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"existing.xml already exists.\nDo you want to replace it?"});
    EXPECT_EQ(SavedBytes(existing), "keep");
    EXPECT_EQ(Title(), "Tessary - Untitled");

    CFilePrompt::QueueAnswer(m_dir.File("existing"));
    CMessageBox::QueueAnswer(Answer::Yes);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(SavedBytes(existing), "<level0 header=\"New Document\" iid=\"0\"/>");
    EXPECT_EQ(Title(), "Tessary - existing.xml");
}

TEST_F(DocumentLifecycle, NamedFileIsOpenedInsteadOfTheStartFile) {
    const std::string start = Write("start.xml", "<level0 header=\"Start\"/>");
    CSettings s;
    s.m_strStartFile = start;
    CSettingsStore::Save(*wxConfigBase::Get(), s);
    const std::string named = Write("named.xml", kMail);
    ASSERT_TRUE(Start(named));
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_EQ(Doc()->PathName(), named);
    Doc()->Modify(true);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(SavedBytes(named), kMailSaved);
    EXPECT_EQ(SavedBytes(start), "<level0 header=\"Start\"/>");
}

TEST_F(DocumentLifecycle, RecentFileIsDroppedOnlyWhenOpeningItFails) {
    const std::string gone = Write("gone.xml", kMail);
    const std::string bad = Write("bad.xml", kMail);
    ASSERT_TRUE(Start(gone));
    ASSERT_NE(Manager()->CreateDocument(wxString::FromUTF8(bad), wxDOC_SILENT), nullptr);
    std::remove(gone.c_str());
    CTempDir::Write(bad, "<<<");
    // gone.xml is second. Cancel in the save question keeps it listed.
    Doc()->Modify(true);
    CMessageBox::QueueAnswer(Answer::Cancel);
    Command(ids::ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(RecentCount(), 2u);
    // Once the open is tried and fails, it goes; so does a file that is
    // there but does not load.
    CMessageBox::QueueAnswer(Answer::No);
    Command(ids::ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(RecentCount(), 1u);
    CMessageBox::QueueAnswer(Answer::No);
    Command(ids::ID_FILE_MRU_FILE1);
    EXPECT_EQ(RecentCount(), 0u);
}

TEST_F(DocumentLifecycle, FileNameThatIsNotUtf8OpensAndSavesUnderItsOwnName) {
    const std::string path = Write("caf\xe9.xml", kMail);
    ASSERT_TRUE(Start(path));
    EXPECT_EQ(TreeLabels(), kMailTree);
    EXPECT_EQ(Doc()->PathName(), path);
    Doc()->Modify(true);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(SavedBytes(path), kMailSaved);
    EXPECT_EQ(CFilePrompt::LastRequest().title, "") << "saved in place, no Save As";
}

TEST_F(DocumentLifecycle, StoredHotKeyThatTakesATypingKeyIsNotRegistered) {
    CSettings s;
    s.m_wHotKeyVK = 0x20; // Space, no modifier
    CSettingsStore::Save(*wxConfigBase::Get(), s);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to set hot key"});
    EXPECT_EQ(Doc()->m_bHotKeyRegistered, 0);
}
