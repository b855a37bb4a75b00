// Tip of the Day as a person uses it: Next Tip round the nine texts, the
// check box, Close against Escape, and what the callers store afterwards.

#include "app/Settings.h"
#include "dialogs/DlgTipOfTheDay.h"
#include "dialogs/ToolDialogDriver.h"

#include <wx/checkbox.h>
#include <wx/statbmp.h>

#include <algorithm>

namespace {

class TipOfTheDay : public CToolDialogTest {
protected:
    static wxTextCtrl* Box(CDlgTip& d) { return dynamic_cast<wxTextCtrl*>(d.FindWindow(1036)); }
    static wxCheckBox* Check(CDlgTip& d) { return dynamic_cast<wxCheckBox*>(d.FindWindow(1034)); }
    static int ShownTip(CDlgTip& d) {
        const wxString text = Box(d)->GetValue();
        for (int i = 0; i < CDlgTip::kTipCount; ++i) {
            wxString tip = wxString::FromUTF8(CDlgTip::Tips()[static_cast<size_t>(i)]);
            tip.Replace("\r\n", "\n");
            if (tip == text)
                return i;
        }
        return -1;
    }

    CSettings m_settings;
};

} // namespace

TEST_F(TipOfTheDay, LooksAsDesigned) {
    CDlgTip dlg(nullptr);
    EXPECT_EQ(dlg.GetTitle(), "Tip of the Day");
    EXPECT_EQ(dlg.GetClientSize(), dlg.ConvertDialogToPixels(wxSize(209, 81)));
    ExpectPlaced(dlg, dlg.FindWindow("IDC_TIP_ICON"), {7, 7, 20, 20});
    ExpectPlaced(dlg, Box(dlg), {34, 7, 160, 43});
    ExpectPlaced(dlg, Check(dlg), {7, 58, 81, 16}, "Show tips on startup");
    ExpectPlaced(dlg, dlg.FindWindow(1033), {95, 60, 50, 14}, "Next Tip");
    ExpectPlaced(dlg, dlg.FindWindow(wxID_OK), {152, 60, 50, 14}, "Close");
    // The text box: read-only, no word wrap, so the tips' own breaks are the lines.
    EXPECT_TRUE(Box(dlg)->HasFlag(wxTE_READONLY));
    EXPECT_TRUE(Box(dlg)->HasFlag(wxTE_DONTWRAP));
    EXPECT_EQ(dlg.GetDefaultItem(), dlg.FindWindow(wxID_OK));
    EXPECT_TRUE(dynamic_cast<wxStaticBitmap*>(dlg.FindWindow("IDC_TIP_ICON"))->GetBitmap().IsOk());
    // Lines break where the tips break them, and each one fits the box.
    for (int i = 0; i < CDlgTip::kTipCount; ++i) {
        dlg.m_nTip = i;
        dlg.ShowTip();
        const std::string tip = CDlgTip::Tips()[static_cast<size_t>(i)];
        EXPECT_EQ(Box(dlg)->GetNumberOfLines(), 1 + std::count(tip.begin(), tip.end(), '\n'));
        for (int line = 0; line < Box(dlg)->GetNumberOfLines(); ++line)
            EXPECT_LE(Box(dlg)->GetTextExtent(Box(dlg)->GetLineText(line)).x, Box(dlg)->GetSize().x)
                << Box(dlg)->GetLineText(line);
    }
}

TEST_F(TipOfTheDay, NextTipGoesRoundTheNineAndCloseStoresTheFollowingOne) {
    m_settings.m_nCurrentTip = 4;
    m_settings.m_nShowTips = 1;
    std::vector<int> seen;
    WhenShown<CDlgTip>([&](CDlgTip& d) {
        seen.push_back(ShownTip(d));
        EXPECT_TRUE(Check(d)->GetValue());
        for (int i = 0; i < 9; ++i) {
            Click(d.FindWindow(1033));
            seen.push_back(ShownTip(d));
        }
        Click(d.FindWindow(wxID_OK));
        EXPECT_TRUE(Closed(d));
    });
    RunTipOfTheDay(nullptr, m_settings);
    EXPECT_TRUE(Driven());
    EXPECT_EQ(seen, (std::vector<int>{4, 5, 6, 7, 8, 0, 1, 2, 3, 4}));
    EXPECT_EQ(m_settings.m_nCurrentTip, 5);
    EXPECT_EQ(m_settings.m_nShowTips, 1);

    // The last tip, closed at once: 9 stored, which opens on the first next time.
    m_settings.m_nCurrentTip = 8;
    WhenShown<CDlgTip>([&](CDlgTip& d) {
        EXPECT_EQ(ShownTip(d), 8);
        Press(WXK_RETURN);
        EXPECT_TRUE(Closed(d));
    });
    RunTipOfTheDay(nullptr, m_settings);
    EXPECT_EQ(m_settings.m_nCurrentTip, 9);
}

TEST_F(TipOfTheDay, StoredIndexOutOfRangeOpensOnTheFirstTip) {
    for (int stored : {9, 1000, -5, 2147483647}) {
        m_settings.m_nCurrentTip = stored;
        int shown = -2;
        WhenShown<CDlgTip>([&](CDlgTip& d) {
            shown = ShownTip(d);
            Click(d.FindWindow(wxID_OK));
            EXPECT_TRUE(Closed(d));
        });
        RunTipOfTheDay(nullptr, m_settings);
        EXPECT_EQ(shown, 0) << stored;
        EXPECT_EQ(m_settings.m_nCurrentTip, 1) << stored;
    }
}

TEST_F(TipOfTheDay, CloseStoresTheCheckBoxEscapeKeepsIt) {
    // Cleared, one tip on, Escape: "Tipoftheday" as it was, the tip moved on.
    m_settings.m_nShowTips = 1;
    m_settings.m_nCurrentTip = 2;
    WhenShown<CDlgTip>([&](CDlgTip& d) {
        Click(Check(d));
        EXPECT_FALSE(Check(d)->GetValue());
        Click(d.FindWindow(1033));
        Press(WXK_ESCAPE);
        EXPECT_TRUE(Closed(d));
    });
    RunTipOfTheDay(nullptr, m_settings);
    EXPECT_EQ(m_settings.m_nShowTips, 1);
    EXPECT_EQ(m_settings.m_nCurrentTip, 4);

    // Cleared and Close: 0 stored.
    WhenShown<CDlgTip>([&](CDlgTip& d) {
        Click(Check(d));
        Click(d.FindWindow(wxID_OK));
        EXPECT_TRUE(Closed(d));
    });
    RunTipOfTheDay(nullptr, m_settings);
    EXPECT_EQ(m_settings.m_nShowTips, 0);
    EXPECT_EQ(m_settings.m_nCurrentTip, 5);

    // The command opens with the stored choice; ticking it and leaving by
    // the title bar's close button is a cancel too.
    WhenShown<CDlgTip>([&](CDlgTip& d) {
        EXPECT_FALSE(Check(d)->GetValue());
        Click(Check(d));
        d.Close();
        EXPECT_TRUE(Closed(d));
    });
    RunTipOfTheDay(nullptr, m_settings);
    EXPECT_EQ(m_settings.m_nShowTips, 0);
    EXPECT_EQ(m_settings.m_nCurrentTip, 6);

    // Ticked again with Close: back to 1.
    WhenShown<CDlgTip>([&](CDlgTip& d) {
        Click(Check(d));
        Click(d.FindWindow(wxID_OK));
        EXPECT_TRUE(Closed(d));
    });
    RunTipOfTheDay(nullptr, m_settings);
    EXPECT_EQ(m_settings.m_nShowTips, 1);
}

TEST_F(TipOfTheDay, StartUpShowsItOnlyWhenTheSettingIsOne) {
    ASSERT_TRUE(Start());
    for (int value : {0, 2, -1}) {
        m_settings.m_nShowTips = value;
        m_settings.m_nCurrentTip = 3;
        // Should it appear, it is closed again and the test fails.
        bool appeared = false;
        wxTheApp->CallAfter([&] {
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* d = dynamic_cast<CDlgTip*>(w); d && d->IsModal()) {
                    appeared = true;
                    d->EndModal(wxID_CANCEL);
                }
        });
        ShowStartupTip(Frame(), m_settings);
        Settle(50);
        EXPECT_FALSE(appeared) << value;
        EXPECT_EQ(m_settings.m_nShowTips, value);
        EXPECT_EQ(m_settings.m_nCurrentTip, 3);
    }
    m_settings.m_nShowTips = 1;
    WhenShown<CDlgTip>([&](CDlgTip& d) {
        EXPECT_EQ(d.GetParent(), Frame());
        EXPECT_EQ(ShownTip(d), 3);
        EXPECT_TRUE(Check(d)->GetValue());
        Click(Box(d));
        Press(WXK_ESCAPE);
        EXPECT_TRUE(Closed(d));
    });
    ShowStartupTip(Frame(), m_settings);
    EXPECT_TRUE(Driven());
    EXPECT_EQ(m_settings.m_nShowTips, 1);
    EXPECT_EQ(m_settings.m_nCurrentTip, 4);
}
