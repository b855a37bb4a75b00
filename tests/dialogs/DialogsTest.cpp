// The smaller dialogs as a person uses them: Tip of the Day, Open URL
// and Export Favorites, through the commands that open them.

#include "dialogs/DlgExportFavorites.h"
#include "dialogs/DlgOpenUrl.h"
#include "dialogs/DlgTipOfTheDay.h"
#include "res/CommandIds.h"
#include "support/AppFixture.h"

#include <wx/checkbox.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class TipOfTheDay : public CAppFixture {
protected:
    // The tip the box shows: its text with the toolkit's line ends.
    static int Shown(CDlgTip& d) {
        wxString tip = wxString::FromUTF8(CDlgTip::Tips().at(static_cast<size_t>(d.m_nTip)));
        tip.Replace("\r\n", "\n");
        return tip == static_cast<wxTextCtrl*>(d.FindWindow(1036))->GetValue() ? d.m_nTip : -1;
    }
    // Help > Tip of the Day on m_settings, worked by `drive`.
    void Run(const std::function<void(CDlgTip&)>& drive) {
        WithDialog<CDlgTip>([this] { RunTipOfTheDay(nullptr, m_settings); }, drive);
    }
    SSettings m_settings; // tips shown at start-up
};

class SmallDialogs : public CAppFixture {};

class ExportFavoritesDialog : public CAppFixture {
protected:
    // The export looks for ~/Favorites; no Wine prefix is to be found.
    void SetUp() override {
        CAppFixture::SetUp();
        m_strHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        setenv("HOME", m_dir.Path().c_str(), 1);
        unsetenv("WINEPREFIX");
        StartShown();
    }
    void TearDown() override {
        CAppFixture::TearDown();
        setenv("HOME", m_strHome.c_str(), 1);
    }
    static wxTextCtrl* Field(CDlgExportFavorites& d) {
        return dynamic_cast<wxTextCtrl*>(d.FindWindow(1014));
    }
    void Export(const std::function<void(CDlgExportFavorites&)>& drive) {
        m_status.clear();
        WithDialog<CDlgExportFavorites>([this] { Command(ids::ID_EXPORT_FAVORITES); }, drive);
    }
    std::string m_strHome;
};

} // namespace

TEST_F(TipOfTheDay, NextTipGoesRoundTheNineAndCloseStoresTheFollowingOne) {
    m_settings.m_nCurrentTip = 4;
    std::vector<int> seen;
    Run([&](CDlgTip& d) {
        EXPECT_TRUE(static_cast<wxCheckBox*>(d.FindWindow(1034))->GetValue());
        for (int i = 0; i < 10; ++i) {
            seen.push_back(Shown(d));
            Click(d.FindWindow(1033));
        }
        Click(d.FindWindow(wxID_OK));
    });
    EXPECT_EQ(seen, (std::vector<int>{4, 5, 6, 7, 8, 0, 1, 2, 3, 4}));
    EXPECT_TRUE(m_settings.m_nCurrentTip == 6 && m_settings.m_nShowTips == 1);
    // Out of range, stored by hand or reached, the first tip shows.
    for (const int stored : {INT_MAX, -5}) {
        m_settings.m_nCurrentTip = stored;
        Run([&](CDlgTip& d) {
            EXPECT_EQ(Shown(d), 0);
            Press(WXK_RETURN);
        });
        EXPECT_EQ(m_settings.m_nCurrentTip, 1);
    }
}

TEST_F(TipOfTheDay, CloseStoresTheCheckBoxEscapeAndTheCloseBoxKeepIt) {
    m_settings.m_nCurrentTip = 2;
    const std::pair<bool, std::function<void(CDlgTip&)>> runs[] = {
        {true, [this](CDlgTip&) { Press(WXK_ESCAPE); }},
        {false, [this](CDlgTip& d) { Click(d.FindWindow(wxID_OK)); }},
        {false, [](CDlgTip& d) { d.Close(); }},
        {true, [this](CDlgTip& d) { Click(d.FindWindow(wxID_OK)); }}};
    for (const auto& [stored, close] : runs) {
        Run([&](CDlgTip& d) {
            Click(d.FindWindow(1034)); // the check box
            close(d);
        });
        EXPECT_EQ(m_settings.m_nShowTips, stored);
    }
    EXPECT_EQ(m_settings.m_nCurrentTip, 6) << "each run moves on by one";
}

TEST_F(SmallDialogs, OpenUrlLoadsTheTrimmedUrlOnOkAndNothingOnCancel) {
    const std::string remote = Write("remote.xml", "<level0 header=\"Remote\"/>");
    StartShown();
    for (int button : {wxID_CANCEL, wxID_OK}) {
        const auto answer = [&](CDlgOpenUrl& d) {
            auto* edit = dynamic_cast<wxTextCtrl*>(d.FindWindow(ids::IDC_URL));
            edit->SetValue("  file://" + remote + " ");
            Click(d.FindWindow(button));
        };
        WithDialog<CDlgOpenUrl>([this] { Command(ids::ID_OPEN_URL); }, answer);
        EXPECT_EQ(TreeLabels(), Strings{button == wxID_OK ? "Remote" : "New Document"});
    }
    EXPECT_EQ(Doc()->PathName(), "file://" + remote);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ExportFavoritesDialog, CancelWritesNothingOkExportsUnderTheStatusText) {
    const std::string out = m_dir.File("typed.xml");
    Export([&](CDlgExportFavorites& d) {
        EXPECT_EQ(d.GetParent(), Frame());
        Type(out); // the path field has the focus at opening
        EXPECT_EQ(Field(d)->GetValue(), out);
        Click(d.FindWindow(wxID_CANCEL));
    });
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(m_status, Strings{""});
    // No Favorites anywhere: the message, after the dialog; then one found.
    for (const bool found : {false, true}) {
        if (found && fs::create_directory(m_dir.File("Favorites")))
            Write("Favorites/Home Page.url", "[InternetShortcut]\r\nURL=http://home.example/\r\n");
        Export([&](CDlgExportFavorites& d) {
            Field(d)->ChangeValue(out);
            Press(WXK_RETURN);
            EXPECT_TRUE(Closed(d)) << "Enter did not press OK";
        });
        EXPECT_EQ(Messages(), found ? Strings{} : Strings{"Favorites folder not found\n"});
        EXPECT_EQ(m_status, (Strings{"Exporting favorites...", ""}));
    }
    EXPECT_NE(Read(out).find("<level2 header='Home Page'><![CDATA[http://home.example/]]>"),
              std::string::npos);
    // The export neither opens the file nor touches the current document.
    EXPECT_EQ(TreeLabels(), Strings{"New Document"});
    EXPECT_FALSE(Doc()->IsModified());
}
TEST_F(ExportFavoritesDialog, BrowseFillsTheFieldAndOverLongPathsAreRefused) {
    const std::string chosen = m_dir.File("chosen.xml");
    Write("taken.xml", "keep");
    Export([&](CDlgExportFavorites& d) {
        // Browse: a name without extension gets ".xml"; when that file
        // exists, No asks for another name, and a cancel keeps the field.
        CFilePrompt::QueueAnswer(m_dir.File("taken"));
        CMessageBox::QueueAnswer(EAnswer::No);
        CFilePrompt::QueueAnswer(m_dir.File("plain"));
        Click(d.FindWindow(1013));
        EXPECT_EQ(Messages(), Strings{"taken.xml already exists.\nDo you want to replace it?"});
        const SFilePromptRequest& asked = CFilePrompt::LastRequest();
        EXPECT_EQ(asked.defaultName + " " + asked.wildcard, "exportfav.xml (*.xml)|*.xml;*.XML");
        CFilePrompt::QueueAnswer("");
        Click(d.FindWindow(1013));
        EXPECT_EQ(Field(d)->GetValue(), m_dir.File("plain.xml"));
        // A chosen path longer than can be typed is shown whole, then refused.
        const std::string tooLong = "/tmp/" + std::string(247, 'd') + "/x.xml";
        CFilePrompt::QueueAnswer(tooLong);
        Click(d.FindWindow(1013));
        EXPECT_EQ(Field(d)->GetValue(), tooLong);
        Click(d.FindWindow(wxID_OK));
        EXPECT_EQ(Messages(), Strings{"Please enter no more than 255 characters."});
        EXPECT_TRUE(d.IsModal() && wxWindow::FindFocus() == Field(d));
        CFilePrompt::QueueAnswer(chosen);
        Click(d.FindWindow(1013));
        Click(d.FindWindow(wxID_OK));
    });
    EXPECT_EQ(Read(m_dir.File("taken.xml")), "keep");
    EXPECT_EQ(Messages(), Strings{"Favorites folder not found\n"});
    EXPECT_TRUE(fs::exists(chosen) && !fs::exists(m_dir.File("plain.xml")));
}
