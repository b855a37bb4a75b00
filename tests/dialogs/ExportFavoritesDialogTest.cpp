// Tools > Export Favorities to XML as a person uses it: the path typed or
// browsed for, OK or Cancel, the status text and the messages.

#include "dialogs/DlgExportFavorites.h"
#include "dialogs/ToolDialogDriver.h"
#include "res/CommandIds.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

class ExportFavoritesDialog : public CToolDialogTest {
protected:
    void SetUp() override {
        CToolDialogTest::SetUp();
        // The export looks for ~/Favorites; no Wine prefix is to be found.
        m_oldHome = Env("HOME");
        m_oldPrefix = Env("WINEPREFIX");
        m_home = m_dir.Path() / "home";
        fs::create_directories(m_home);
        setenv("HOME", m_home.c_str(), 1);
        unsetenv("WINEPREFIX");
    }
    void TearDown() override {
        CToolDialogTest::TearDown();
        Restore("HOME", m_oldHome);
        Restore("WINEPREFIX", m_oldPrefix);
    }
    static std::optional<std::string> Env(const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    static wxTextCtrl* Field(CDlgExportFavorites& d) {
        return dynamic_cast<wxTextCtrl*>(d.FindWindow(1014));
    }
    void AddLink(const std::string& name, const std::string& url) {
        fs::create_directories(m_home / "Favorites");
        CTempDir::Write((m_home / "Favorites" / name).string(),
                        "[InternetShortcut]\r\nURL=" + url + "\r\n");
    }

    fs::path m_home;
    std::optional<std::string> m_oldHome, m_oldPrefix;
};

const std::vector<std::string> kExportStatus = {"Exporting favorites...", ""};

} // namespace

TEST_F(ExportFavoritesDialog, LooksAsDesignedAndLimitsTyping) {
    CDlgExportFavorites dlg(nullptr);
    EXPECT_EQ(dlg.GetTitle(), "Export Favorites To XML");
    EXPECT_EQ(dlg.GetClientSize(), dlg.ConvertDialogToPixels(wxSize(186, 94)));
    ExpectPlaced(dlg, dlg.FindWindow(1014), {14, 15, 125, 14});
    ExpectPlaced(dlg, dlg.FindWindow(1013), {146, 15, 33, 13}, "Browse");
    ExpectPlaced(dlg, dlg.FindWindow(wxID_OK), {73, 73, 50, 14}, "OK");
    ExpectPlaced(dlg, dlg.FindWindow(wxID_CANCEL), {129, 73, 50, 14}, "Cancel");
    EXPECT_EQ(dlg.GetDefaultItem(), dlg.FindWindow(wxID_OK));
    // Typed one character after another, the field stops at 255.
    for (int i = 0; i < 300; ++i)
        Field(dlg)->AppendText(i < 254 ? "x" : "y");
    EXPECT_EQ(Field(dlg)->GetValue(), wxString('x', 254) + "y");
}

TEST_F(ExportFavoritesDialog, CancelWritesNothingOkExportsUnderTheStatusText) {
    AddLink("Home Page.url", "http://home.example/");
    fs::create_directories(m_home / "Favorites" / "Work");
    ASSERT_TRUE(Start());
    m_status.clear();
    const std::string out = m_dir.File("typed.xml");
    WhenShown<CDlgExportFavorites>([&](CDlgExportFavorites& d) {
        EXPECT_EQ(d.GetParent(), Frame());
        TypeInto(Field(d), out);
        Click(d.FindWindow(wxID_CANCEL));
        EXPECT_TRUE(Closed(d));
    });
    Command(ids::ID_EXPORT_FAVORITES);
    EXPECT_TRUE(Driven());
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(m_status, std::vector<std::string>{""});

    m_status.clear();
    WhenShown<CDlgExportFavorites>([&](CDlgExportFavorites& d) {
        EXPECT_TRUE(Field(d)->IsEmpty());
        // Typed at once: the path field has the focus at opening.
        m_sim.Text(out.c_str());
        EXPECT_TRUE(WaitFor([&] { return Field(d)->GetValue().utf8_string() == out; }));
        Press(WXK_RETURN);
        EXPECT_TRUE(Closed(d));
    });
    Command(ids::ID_EXPORT_FAVORITES);
    EXPECT_TRUE(Driven());
    EXPECT_EQ(SavedBytes(out), "<level0 header='Favorites'>\n"
                               "<level1 header='No Heading'>\n"
                               "<level2 header='Home Page'><![CDATA[http://home.example/]]>"
                               "</level2>\n"
                               "</level1>\n"
                               "<level1 header='Work'>\n"
                               "</level1>\n"
                               "</level0>\n");
    EXPECT_EQ(m_status, kExportStatus);
    EXPECT_EQ(Frame()->StatusBar()->GetStatusText(0), "");
    EXPECT_TRUE(Messages().empty());
    // The export neither opens the file nor touches the current document.
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"New Document"});
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(ExportFavoritesDialog, BrowseFillsTheFieldAndOverLongPathsAreRefused) {
    AddLink("A.url", "http://a.example/");
    ASSERT_TRUE(Start());
    m_status.clear();
    const std::string chosen = m_dir.File("chosen.xml");
    const std::string tooLong = "/tmp/" + std::string(247, 'd') + "/x.xml"; // 258 characters
    WhenShown<CDlgExportFavorites>([&](CDlgExportFavorites& d) {
        CFilePrompt::QueueAnswer(chosen);
        Click(d.FindWindow(1013));
        const FilePromptRequest& asked = CFilePrompt::LastRequest();
        EXPECT_EQ(asked.title, "Save Favourites File");
        EXPECT_EQ(asked.defaultName, "exportfav.xml");
        EXPECT_EQ(asked.wildcard, "(*.xml)|*.xml;*.XML");
        EXPECT_TRUE(asked.save);
        EXPECT_EQ(Field(d)->GetValue().utf8_string(), chosen);
        // Cancelled: the field keeps its path.
        CFilePrompt::QueueAnswer("");
        Click(d.FindWindow(1013));
        EXPECT_EQ(Field(d)->GetValue().utf8_string(), chosen);
        // A name without extension gets ".xml"; when that file exists, the
        // question is asked for it, and No asks for another name.
        CFilePrompt::QueueAnswer(m_dir.File("plain"));
        Click(d.FindWindow(1013));
        EXPECT_EQ(Field(d)->GetValue().utf8_string(), m_dir.File("plain.xml"));
        Write("taken.xml", "keep");
        CFilePrompt::QueueAnswer(m_dir.File("taken"));
        CMessageBox::QueueAnswer(Answer::No);
        CFilePrompt::QueueAnswer("");
        Click(d.FindWindow(1013));
        EXPECT_EQ(Messages(), std::vector<std::string>{"taken.xml already exists.\nDo you want "
                                                       "to replace it?"});
        EXPECT_EQ(Field(d)->GetValue().utf8_string(), m_dir.File("plain.xml"));

        // A chosen path longer than can be typed is shown whole, then refused.
        CFilePrompt::QueueAnswer(tooLong);
        Click(d.FindWindow(1013));
        EXPECT_EQ(Field(d)->GetValue().utf8_string(), tooLong);
        Click(d.FindWindow(wxID_OK));
        EXPECT_EQ(Messages(),
                  std::vector<std::string>{"Please enter no more than 255 characters."});
        EXPECT_TRUE(d.IsModal());
        EXPECT_EQ(wxWindow::FindFocus(), Field(d));

        CFilePrompt::QueueAnswer(chosen);
        Click(d.FindWindow(1013));
        Click(d.FindWindow(wxID_OK));
        EXPECT_TRUE(Closed(d));
    });
    Command(ids::ID_EXPORT_FAVORITES);
    EXPECT_TRUE(Driven());
    EXPECT_EQ(SavedBytes(chosen).substr(0, 28), "<level0 header='Favorites'>\n");
    EXPECT_FALSE(fs::exists(m_dir.File("plain.xml")));
    EXPECT_EQ(m_status, kExportStatus);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ExportFavoritesDialog, FailuresAreReportedAfterTheDialog) {
    ASSERT_TRUE(Start());
    m_status.clear();
    // No Favorites anywhere: the message, and the file made but left empty.
    const std::string out = m_dir.File("empty.xml");
    WhenShown<CDlgExportFavorites>([&](CDlgExportFavorites& d) {
        TypeInto(Field(d), out);
        Click(d.FindWindow(wxID_OK));
        EXPECT_TRUE(Closed(d));
    });
    Command(ids::ID_EXPORT_FAVORITES);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Favorites folder not found\n"});
    EXPECT_TRUE(fs::exists(out));
    EXPECT_EQ(SavedBytes(out), "");
    EXPECT_EQ(m_status, kExportStatus);

    // A file that cannot be made, and an empty path.
    AddLink("A.url", "http://a.example/");
    for (const std::string& path : {m_dir.File("no/such/folder.xml"), std::string()}) {
        m_status.clear();
        WhenShown<CDlgExportFavorites>([&](CDlgExportFavorites& d) {
            if (!path.empty())
                TypeInto(Field(d), path);
            Click(d.FindWindow(wxID_OK));
            EXPECT_TRUE(Closed(d));
        });
        Command(ids::ID_EXPORT_FAVORITES);
        EXPECT_EQ(Messages(), std::vector<std::string>{"Could not open XML file"}) << path;
        EXPECT_EQ(m_status, kExportStatus);
    }
    EXPECT_FALSE(fs::exists(m_dir.File("no")));
}
