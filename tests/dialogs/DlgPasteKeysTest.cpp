// Options > Paste Keys as a person uses it: rows changed, added, removed,
// moved and restored, the editor's refusals, Cancel at either level; and what
// OK in Options then does: the stored group and the keys the paste engine
// sends, on a fake desktop.

#include "dialogs/DlgPasteKeys.h"
#include "app/PasteKeysStore.h"
#include "dialogs/DlgOptions.h"
#include "dialogs/DlgPasteKeyRule.h"
#include "menu/PasteEngine.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "support/AppFixture.h"
#include "support/FakeDesktop.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/listctrl.h>

namespace {

SPasteRule Row(const std::string& text) {
    return *CPasteKeysStore::ParseRow(text);
}

// A button pressed from inside a dialog's driver, where the pointer's click
// would wait for a loop that cannot turn until the driver returns.
void Push(wxWindow* button) {
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
}

// The program with a two-row table stored, its pastes going to a fake
// desktop whose window 7 takes the keyboard when activated.
class PasteKeysDialog : public CAppFixture {
protected:
    void SetUp() override {
        CAppFixture::SetUp();
        SSettings s;
        s.m_nShowTips = 0;
        // Not the defaults, which fill PRIMARY for xterm.
        s.m_pasteRules = {Row("xterm|Shift+Insert|"), Row("kitty|Ctrl+Shift+V|")};
        StoreSettings(s);
        StartShown();
        m_pDesktop = new CFakeDesktop;
        m_pDesktop->m_windows = {7};
        m_pDesktop->m_bFocusOnActivate = true;
        Doc()->PasteEngine().SetDesktop(std::unique_ptr<CDesktop>(m_pDesktop));
        m_before = Doc()->Settings().m_pasteRules;
    }
    // What a paste into a window of that class does: the keys, and whether
    // PRIMARY is filled and the clipboard given back.
    std::string PastesInto(const std::string& windowClass) {
        m_pDesktop->m_classes[7] = {windowClass, windowClass};
        m_pDesktop->m_nFocus = 0;
        m_pDesktop->m_strCalls.clear();
        Doc()->PasteEngine().Paste({"text", 7, 5, 5});
        WaitFor("the paste's end", [&] { return !Doc()->PasteEngine().IsPending(); });
        const std::string& calls = m_pDesktop->m_strCalls;
        const std::size_t keys = calls.find("keys ");
        return (keys == calls.npos ? calls : calls.substr(keys + 5)) +
               (m_pDesktop->m_fill.primary ? " primary" : "") +
               (m_pDesktop->m_fill.restorePrevious ? " restore" : "");
    }
    // The group as Save writes it at exit.
    std::string StoredGroup() {
        CSettingsStore::Save(*wxConfigBase::Get(), Doc()->Settings());
        std::string text = Read(m_configPath);
        std::erase(text, '\r'); // Windows' line ends
        return text.substr(std::min(text.find("[PasteKeys]"), text.size()));
    }
    void Options(const std::function<void(CDlgOptions&)>& drive) {
        WithDialog<CDlgOptions>([this] { Command(ids::ID_OPTIONS); }, drive);
    }
    // Options, its Paste Keys, then OK or Cancel in Options.
    void PasteKeys(const std::function<void(CDlgPasteKeys&)>& drive, int optionsButton = wxID_OK) {
        Options([&](CDlgOptions& o) {
            WithDialog<CDlgPasteKeys>([&] { Push(o.FindWindow(options_ids::IDC_PASTE_KEYS)); },
                                      drive);
            Click(o.FindWindow(optionsButton));
        });
    }
    // Runs the row editor from that button and fills it; OK when asked.
    void Edit(wxButton* button, const std::string& pattern, const std::string& key, bool primary,
              int close = wxID_OK) {
        WithDialog<CDlgPasteKeyRule>([&] { Push(button); },
                                     [&](CDlgPasteKeyRule& e) {
                                         e.m_pPattern->ChangeValue(wxString::FromUTF8(pattern));
                                         e.m_pKey->ChangeValue(wxString::FromUTF8(key));
                                         if (e.m_pPrimary->GetValue() != primary)
                                             Click(e.m_pPrimary);
                                         Click(e.FindWindow(close));
                                     });
    }
    void SelectRow(CDlgPasteKeys& d, long row) {
        wxRect rect;
        ASSERT_TRUE(d.m_pList->GetItemRect(row, rect));
        m_sim.MouseMove(d.m_pList->ClientToScreen(rect.GetPosition() + wxSize(8, rect.height / 2)));
        m_sim.MouseClick();
        WaitFor("the row's selection", [&] {
            return d.m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED) == row;
        });
    }
    // The table as the list shows it, the selected row marked, then which of
    // Change, Remove, Up and Down may be pressed.
    static std::string Shown(const CDlgPasteKeys& d) {
        std::string out;
        for (long row = 0; row < d.m_pList->GetItemCount(); ++row) {
            out += d.m_pList->GetItemState(row, wxLIST_STATE_SELECTED) ? ">" : "";
            for (int column = 0; column < 3; ++column)
                out += d.m_pList->GetItemText(row, column).utf8_string() + (column < 2 ? " " : "|");
        }
        for (const wxButton* b : {d.m_pChange, d.m_pRemove, d.m_pUp, d.m_pDown})
            out += b->IsEnabled() ? "1" : "0";
        return out;
    }

    CFakeDesktop* m_pDesktop = nullptr;
    std::vector<SPasteRule> m_before;
};

} // namespace

TEST_F(PasteKeysDialog, OkHandsTheEditedTableToTheSettingsAndTheEngine) {
    // The stored table is the engine's from the start.
    EXPECT_EQ(PastesInto("XTerm") + "|" + PastesInto("foot"), "Shift+Insert|Ctrl+V");
    Options([&](CDlgOptions& o) {
        ASSERT_FALSE(o.m_pRestoreClipboard->GetValue());
        Click(o.m_pRestoreClipboard);
        WithDialog<CDlgPasteKeys>(
            [&] { Push(o.FindWindow(options_ids::IDC_PASTE_KEYS)); },
            [&](CDlgPasteKeys& d) {
                EXPECT_EQ(Shown(d), ">xterm Shift+Insert |kitty Ctrl+Shift+V |1101");
                // The first row's key changed.
                Edit(d.m_pChange, "xterm", "ctrl+shift+insert", false);
                // A row added after the selected one, moved up, the first removed.
                SelectRow(d, 1);
                EXPECT_EQ(Shown(d), "xterm Ctrl+Shift+Insert |>kitty Ctrl+Shift+V |1110");
                Edit(d.m_pAdd, "  fo?t  ", "Ctrl+Shift+V", true);
                EXPECT_EQ(Shown(d), "xterm Ctrl+Shift+Insert |kitty Ctrl+Shift+V |"
                                    ">fo?t Ctrl+Shift+V Yes|1110");
                Click(d.m_pUp);
                SelectRow(d, 0);
                Click(d.m_pRemove);
                EXPECT_EQ(Shown(d), ">fo?t Ctrl+Shift+V Yes|kitty Ctrl+Shift+V |1101");
                Click(d.m_pDown);
                EXPECT_EQ(Shown(d), "kitty Ctrl+Shift+V |>fo?t Ctrl+Shift+V Yes|1110");
                // An editor cancelled changes nothing.
                Edit(d.m_pChange, "other", "Ctrl+V", false, wxID_CANCEL);
                Click(d.FindWindow(wxID_OK));
            });
        Click(o.FindWindow(wxID_OK));
    });
    EXPECT_EQ(PastesInto("Foot") + "|" + PastesInto("xterm"),
              "Ctrl+Shift+V primary restore|Ctrl+V restore");
    EXPECT_EQ(StoredGroup(), "[PasteKeys]\nCount=2\nRule1=kitty|Ctrl+Shift+V|\n"
                             "Rule2=fo?t|Ctrl+Shift+V|primary\n");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PasteKeysDialog, CancelAtEitherLevelKeepsTheTableAnEmptyOneIsKept) {
    // Rows removed, then Cancel; defaults restored, then Cancel in Options.
    PasteKeys([&](CDlgPasteKeys& d) {
        Click(d.m_pRemove);
        Click(d.m_pRemove);
        EXPECT_EQ(Shown(d), "0000");
        Click(d.FindWindow(wxID_CANCEL));
    });
    PasteKeys(
        [&](CDlgPasteKeys& d) {
            Click(d.m_pDefaults);
            EXPECT_EQ(d.Rules(), CPasteRules::Defaults());
#ifdef _WIN32
            EXPECT_EQ(Shown(d).substr(0, 25), ">mintty Shift+Insert |put");
#else
            EXPECT_EQ(Shown(d).substr(0, 25), ">xterm Shift+Insert Yes|u");
#endif
            Click(d.FindWindow(wxID_OK));
        },
        wxID_CANCEL);
    EXPECT_EQ(Doc()->Settings().m_pasteRules, m_before);
    EXPECT_EQ(PastesInto("kitty"), "Ctrl+Shift+V");

    // Every row removed on purpose: kept so, Ctrl+V everywhere.
    PasteKeys([&](CDlgPasteKeys& d) {
        Click(d.m_pRemove);
        Click(d.m_pRemove);
        Click(d.FindWindow(wxID_OK));
    });
    EXPECT_EQ(StoredGroup(), "[PasteKeys]\nCount=0\n");
    EXPECT_EQ(PastesInto("kitty"), "Ctrl+V");
}

TEST_F(PasteKeysDialog, TheEditorRefusesWhatCannotBeStoredOrTyped) {
    const auto named = [](const char* format, const char* what) {
        return wxString::Format(format, wxString::FromUTF8(what)).utf8_string();
    };
    struct SCase {
        std::string pattern, key, message;
        bool onKey;
    };
    const SCase cases[] = {
        {"", "Ctrl+V", msg::kPasteKeyNoProgram, false},
        {"a|b", "Ctrl+V", msg::kPasteKeyBadProgram, false},
        {"a\tb", "Ctrl+V", msg::kPasteKeyBadProgram, false},
        {std::string(256, 'x'), "Ctrl+V", "Please enter no more than 255 characters.", false},
        {"foot", " ", msg::kPasteKeyNoKey, true},
        {"foot", "Ctrl+", named(msg::kPasteKeyNotAKey, "Ctrl+"), true},
        {"foot", "Ctrl+Bogus", named(msg::kPasteKeyUnknownKey, "Bogus"), true},
    };
    PasteKeys([&](CDlgPasteKeys& d) {
        WithDialog<CDlgPasteKeyRule>(
            [&] { Push(d.m_pAdd); },
            [&](CDlgPasteKeyRule& e) {
                for (const SCase& c : cases) {
                    e.m_pPattern->ChangeValue(wxString::FromUTF8(c.pattern));
                    e.m_pKey->ChangeValue(wxString::FromUTF8(c.key));
                    Click(e.FindWindow(wxID_OK));
                    EXPECT_EQ(Messages(), Strings{c.message}) << c.pattern << " " << c.key;
                    EXPECT_TRUE(e.IsModal() &&
                                wxWindow::FindFocus() == (c.onKey ? e.m_pKey : e.m_pPattern))
                        << c.pattern << " " << c.key;
                }
                // A 255-character pattern and a key in any case are taken.
                e.m_pPattern->ChangeValue(std::string(255, 'x'));
                e.m_pKey->ChangeValue("shift+insert");
                Click(e.FindWindow(wxID_OK));
                EXPECT_TRUE(Closed(e));
            });
        EXPECT_EQ(d.Rules().size(), 3u);
        EXPECT_EQ(d.Rules()[1], Row(std::string(255, 'x') + "|Shift+Insert|"));
        Click(d.FindWindow(wxID_OK));
    });
    EXPECT_EQ(Doc()->Settings().m_pasteRules.size(), 3u);
}
