// Help > About Tessary: what it shows, Visit Website pressed again and
// again with the dialog staying, OK and Escape closing it.

#include "dialogs/DlgAbout.h"
#include "dialogs/ToolDialogDriver.h"
#include "platform/Browser.h"
#include "res/CommandIds.h"
#include "res/StringTable.h"

#include <wx/statbmp.h>
#include <wx/stattext.h>

namespace {

class AboutDialog : public CToolDialogTest {
protected:
    void SetUp() override {
        CToolDialogTest::SetUp();
        CBrowser::EnableTestMode();
    }
    void TearDown() override {
        CToolDialogTest::TearDown();
        CBrowser::DisableTestMode();
    }
};

} // namespace

TEST_F(AboutDialog, LooksAsDesigned) {
    CDlgAbout dlg(nullptr);
    EXPECT_EQ(dlg.GetTitle(), "About Tessary");
    EXPECT_EQ(dlg.GetClientSize(), dlg.ConvertDialogToPixels(wxSize(235, 63)));
    ExpectPlaced(dlg, dlg.FindWindow("IDC_ABOUT_ICON"), {11, 17, 20, 20});
    ExpectPlaced(dlg, dlg.FindWindow("IDC_ABOUT_VERSION"), {40, 10, 119, 8},
                 "Tessary Version 2.1.0");
    ExpectPlaced(dlg, dlg.FindWindow("IDC_ABOUT_NOTICE"), {40, 25, 119, 13});
    ExpectPlaced(dlg, dlg.FindWindow("IDC_ABOUT_ADDRESS"), {40, 38, 119, 13},
                 "https://tessary.morvek.example");
    ExpectPlaced(dlg, dlg.FindWindow(wxID_OK), {178, 7, 50, 14}, "OK");
    ExpectPlaced(dlg, dlg.FindWindow(1019), {178, 26, 50, 14}, "Visit Website");
    // The three lines each fit their width, so none of them wraps.
    for (const char* name : {"IDC_ABOUT_VERSION", "IDC_ABOUT_NOTICE", "IDC_ABOUT_ADDRESS"}) {
        wxWindow* line = dlg.FindWindow(name);
        EXPECT_FALSE(line->GetLabel().empty()) << name;
        EXPECT_LE(line->GetTextExtent(line->GetLabel()).x, line->GetSize().x) << name;
    }
    EXPECT_TRUE(
        dynamic_cast<wxStaticBitmap*>(dlg.FindWindow("IDC_ABOUT_ICON"))->GetBitmap().IsOk());
    EXPECT_EQ(dlg.GetDefaultItem(), dlg.FindWindow(wxID_OK));
    // The address shown is the page the button opens, from the one place
    // the maker's pages are kept, as the FAQ and example pages are.
    const std::string home = CStringTable::Load(strid::IDS_HOME_PAGE);
    EXPECT_EQ(home, CDlgAbout::AddressLine().utf8_string() + "/");
    for (int page : {strid::IDS_FAQ_PAGE, strid::IDS_EXAMPLES_PAGE})
        EXPECT_TRUE(CStringTable::Load(page).starts_with(home)) << page;
}

TEST_F(AboutDialog, VisitWebsiteOpensThePageEachTimeAndTheDialogStays) {
    ASSERT_TRUE(Start());
    const std::string home = CStringTable::Load(strid::IDS_HOME_PAGE);
    WhenShown<CDlgAbout>([&](CDlgAbout& d) {
        EXPECT_EQ(d.GetParent(), Frame());
        for (int i = 1; i <= 3; ++i) {
            Click(d.FindWindow(1019));
            EXPECT_EQ(CBrowser::TakeOpened(), std::vector<std::string>{home}) << i;
            EXPECT_TRUE(d.IsModal());
        }
        Press(WXK_ESCAPE);
        EXPECT_TRUE(Closed(d));
    });
    Command(ids::ID_APP_ABOUT);
    EXPECT_TRUE(Driven());

    WhenShown<CDlgAbout>([&](CDlgAbout& d) {
        Click(d.FindWindow(wxID_OK));
        EXPECT_TRUE(Closed(d));
    });
    Command(ids::ID_APP_ABOUT);
    EXPECT_TRUE(Driven());
    EXPECT_TRUE(CBrowser::TakeOpened().empty());
    EXPECT_TRUE(Messages().empty());
}
