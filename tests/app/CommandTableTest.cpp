// The shared command table as the windows carry it: main menu, the pop-up
// template, accelerators, toolbar slots and their tooltips in both string
// variants.

#include "res/CommandIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "support/AppFixture.h"
#include "support/GuiTest.h"

#include <wx/aui/auibar.h>
#include <wx/menu.h>
#include <wx/tooltip.h>
#include <wx/uiaction.h>
#include <wx/xrc/xmlres.h>

#include <memory>

namespace {

constexpr int kSeparator = -1;

// "Popup|Caption|id" for every item in order; separators show as "-".
std::vector<std::string> Flatten(const wxString& popup, wxMenu* menu) {
    std::vector<std::string> out;
    for (wxMenuItem* item : menu->GetMenuItems()) {
        std::string line = popup.utf8_string() + "|";
        if (item->IsSeparator())
            line += "-";
        else
            line += item->GetItemLabel().utf8_string() + "|" + std::to_string(item->GetId());
        out.push_back(line);
    }
    return out;
}

// With the command's number as the table has it; the toolkit carries it folded.
std::string Row(const char* popup, const char* caption, unsigned number) {
    return std::string(popup) + "|" + caption + "|" + std::to_string(ids::Cmd(number));
}

std::string Sep(const char* popup) {
    return std::string(popup) + "|-";
}

class CommandTable : public CAppFixture {
protected:
    void TearDown() override {
        CAppFixture::TearDown();
        CStringTable::SetVariant(StringVariant::EnglishUS);
    }

    int CommandFor(int flags, int key) const {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = key;
        event.m_controlDown = (flags & wxACCEL_CTRL) != 0;
        event.m_shiftDown = (flags & wxACCEL_SHIFT) != 0;
        event.m_altDown = (flags & wxACCEL_ALT) != 0;
        return Frame()->GetAcceleratorTable()->GetCommand(event);
    }

    std::vector<int> ToolIds() const {
        std::vector<int> out;
        wxAuiToolBar* bar = Frame()->ToolBar();
        for (size_t i = 0; i < bar->GetToolCount(); ++i) {
            const wxAuiToolBarItem* tool = bar->FindToolByIndex(static_cast<int>(i));
            out.push_back(tool->GetKind() == wxITEM_SEPARATOR ? kSeparator : tool->GetId());
        }
        return out;
    }

    std::string Tooltip(int id) const {
        return Frame()->ToolBar()->FindTool(id)->GetShortHelp().utf8_string();
    }

    // What the toolbar shows while the pointer rests on the button.
    std::string HoverTooltip(int id) const {
        wxAuiToolBar* bar = Frame()->ToolBar();
        const wxRect r = bar->GetToolRect(id);
        wxUIActionSimulator().MouseMove(bar->ClientToScreen(r.GetPosition() + r.GetSize() / 2));
        Settle(300);
        wxToolTip* tip = bar->GetToolTip();
        return tip ? tip->GetTip().utf8_string() : std::string();
    }
};

} // namespace

TEST_F(CommandTable, MainMenuHoldsEveryPopupCaptionAndIdInOrder) {
    std::unique_ptr<wxMenuBar> bar(wxXmlResource::Get()->LoadMenuBar("IDR_MAINFRAME"));
    ASSERT_NE(bar, nullptr);
    std::vector<std::string> items;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
        const auto popup = Flatten(bar->GetMenuLabel(i), bar->GetMenu(i));
        items.insert(items.end(), popup.begin(), popup.end());
    }
    const std::vector<std::string> expected = {
        Row("&File", "New", 57600),
        Row("&File", "&Open...\tCtrl+O", 57601),
        Row("&File", "&Save\tCtrl+S", 57603),
        Row("&File", "Save As", 57604),
        Sep("&File"),
        Row("&File", "Reload", 32778),
        Sep("&File"),
        Row("&File", "Recent File", 57616),
        Sep("&File"),
        Row("&File", "E&xit", 57665),
        Row("Edit", "Undo\tCtrl+Z", 57643),
        Sep("Edit"),
        Row("Edit", "Cu&t\tCtrl+X", 57635),
        Row("Edit", "&Copy\tCtrl+C", 57634),
        Row("Edit", "&Paste\tCtrl+V", 57637),
        Sep("Edit"),
        Row("Edit", "Select All\tCtrl+A", 57642),
        Row("&View", "&Status Bar", 59393),
        Row("Tools", "Export Favorities to XML", 32781),
        Row("Tools", "Options", 32782),
        Row("Items", "Add Menu Item\tCtrl+N", 162),
        Row("Items", "Remove Menu Item\tCtrl+R", 163),
        Row("Menu", "Activate menu", 159),
        Row("Menu", "Deactivate menu", 160),
        Row("&Help", "Help Topics", 32783),
        Row("&Help", "FAQ on the Web", 181),
        Row("&Help", "Example Files on Web", 182),
        Row("&Help", "Technical Support", 32784),
        Sep("&Help"),
        Row("&Help", "Tip of the Day", 180),
        Sep("&Help"),
        Row("&Help", "&About Tessary...", 57664),
    };
    EXPECT_EQ(items, expected);

    // The recent-file placeholder is greyed; the status bar item carries a check.
    EXPECT_FALSE(bar->FindItem(ids::ID_FILE_MRU_FILE1)->IsEnabled());
    EXPECT_TRUE(bar->FindItem(ids::ID_VIEW_STATUS_BAR)->IsCheckable());
    // Open URL has a handler and a prompt, but no menu entry.
    EXPECT_EQ(bar->FindItem(ids::ID_OPEN_URL), nullptr);
}

TEST_F(CommandTable, HookTemplateHoldsCloseMenuPasteAllAndASeparator) {
    std::unique_ptr<wxMenuBar> bar(wxXmlResource::Get()->LoadMenuBar("IDR_HOOK_MENU"));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetMenuCount(), 1u);
    EXPECT_EQ(bar->GetMenuLabel(0), "Hook");
    std::unique_ptr<wxMenu> popup(resources::LoadHookPopup());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(Flatten("Hook", popup.get()),
              (std::vector<std::string>{Row("Hook", "Close Menu", 32776),
                                        Row("Hook", "Paste All", 32780), Sep("Hook")}));
}

TEST_F(CommandTable, AcceleratorsMapTheirKeys) {
    ASSERT_TRUE(Start());
    const struct {
        int flags, key, command;
    } keys[] = {
        {wxACCEL_CTRL, 'C', ids::ID_EDIT_COPY},
        {wxACCEL_CTRL, WXK_INSERT, ids::ID_EDIT_COPY},
        {wxACCEL_CTRL, 'X', ids::ID_EDIT_CUT},
        {wxACCEL_SHIFT, WXK_DELETE, ids::ID_EDIT_CUT},
        {wxACCEL_CTRL, 'V', ids::ID_EDIT_PASTE},
        {wxACCEL_SHIFT, WXK_INSERT, ids::ID_EDIT_PASTE},
        {wxACCEL_CTRL, 'A', ids::ID_EDIT_SELECT_ALL},
        {wxACCEL_CTRL, 'Z', ids::ID_EDIT_UNDO},
        {wxACCEL_ALT, WXK_BACK, ids::ID_EDIT_UNDO},
        {wxACCEL_CTRL, 'O', ids::ID_FILE_OPEN},
        {wxACCEL_CTRL, 'N', ids::ID_ADD_MENU_ITEM},
        {wxACCEL_CTRL, 'R', ids::ID_REMOVE_MENU_ITEM},
        {wxACCEL_CTRL, 'S', ids::ID_FILE_SAVE},
        {wxACCEL_NORMAL, WXK_F1, ids::ID_HELP},
    };
    for (const auto& k : keys)
        EXPECT_EQ(CommandFor(k.flags, k.key), k.command) << k.key << " with " << k.flags;
    // Near misses map to nothing.
    EXPECT_EQ(CommandFor(wxACCEL_NORMAL, 'N'), -1);
    EXPECT_EQ(CommandFor(wxACCEL_CTRL | wxACCEL_SHIFT, 'N'), -1);
    EXPECT_EQ(CommandFor(wxACCEL_CTRL, WXK_DELETE), -1);
    EXPECT_EQ(CommandFor(wxACCEL_CTRL, 'Y'), -1);
    EXPECT_EQ(CommandFor(wxACCEL_SHIFT, WXK_BACK), -1);
}

TEST_F(CommandTable, CtrlNAddsAnItemAndStartsNoNewDocument) {
    const std::string path = Write("mail.xml", "<level0 header=\"Mail\"/>");
    ASSERT_TRUE(Start(path));
    Frame()->Raise();
    ASSERT_TRUE(WaitFor([this] { return Frame()->IsActive(); }));
    View()->Tree()->SetFocus();
    Settle(100);
    wxUIActionSimulator().Char('n', wxMOD_CONTROL);
    EXPECT_TRUE(WaitFor([&] { return TreeLabels().size() == 2; }));
    EXPECT_EQ(TreeLabels().front(), "Mail");
    EXPECT_EQ(Doc()->PathName(), path);
    EXPECT_EQ(Frame()->GetTitle(), "Tessary - mail.xml");
}

TEST_F(CommandTable, ToolbarHasFourteenSlotsInOrder) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(ToolIds(), (std::vector<int>{
                             ids::ID_FILE_NEW, ids::ID_FILE_OPEN, ids::ID_FILE_SAVE, ids::ID_RELOAD,
                             kSeparator, ids::ID_EDIT_CUT, ids::ID_EDIT_COPY, ids::ID_EDIT_PASTE,
                             kSeparator, ids::ID_ADD_MENU_ITEM, ids::ID_REMOVE_MENU_ITEM,
                             kSeparator, ids::ID_ACTIVATE_MENU, ids::ID_DEACTIVATE_MENU}));
    EXPECT_EQ(Frame()->ToolBar()->GetId(), ids::IDW_TOOLBAR);
    EXPECT_EQ(Frame()->ToolBar()->GetToolBitmapSize(), wxSize(16, 15));
    // Buttons follow the commands' enable rules: a new library's root cannot go.
    EXPECT_TRUE(
        WaitFor([this] { return !Frame()->ToolBar()->GetToolEnabled(ids::ID_REMOVE_MENU_ITEM); }));
    EXPECT_TRUE(Frame()->ToolBar()->GetToolEnabled(ids::ID_ADD_MENU_ITEM));
}

TEST_F(CommandTable, TooltipsAreTheShortPromptsOfEachVariant) {
    CStringTable::SetVariant(StringVariant::EnglishUS);
    ASSERT_TRUE(Start());
    const std::vector<std::pair<int, std::string>> us = {
        {ids::ID_FILE_NEW, "New"},
        {ids::ID_FILE_OPEN, "Open"},
        {ids::ID_FILE_SAVE, "Save"},
        {ids::ID_RELOAD, "Reload"},
        {ids::ID_EDIT_CUT, "Cut"},
        {ids::ID_EDIT_COPY, "Copy"},
        {ids::ID_EDIT_PASTE, "Paste"},
        {ids::ID_ADD_MENU_ITEM, "Add menu item"},
        {ids::ID_REMOVE_MENU_ITEM, "Remove menu item and all sub-items"},
        {ids::ID_ACTIVATE_MENU, "Activate the right-click menu"},
        {ids::ID_DEACTIVATE_MENU, "Deactivate the right-click menu"},
    };
    for (const auto& [id, tip] : us)
        EXPECT_EQ(Tooltip(id), tip) << id;
    Frame()->Raise();
    EXPECT_EQ(HoverTooltip(ids::ID_ACTIVATE_MENU), "Activate the right-click menu");
    Stop();

    // The British prompts of the four snippet commands have no short text.
    CStringTable::SetVariant(StringVariant::EnglishUK);
    ASSERT_TRUE(Start());
    for (const auto& [id, tip] : us) {
        const bool none = id == ids::ID_ACTIVATE_MENU || id == ids::ID_DEACTIVATE_MENU ||
                          id == ids::ID_ADD_MENU_ITEM || id == ids::ID_REMOVE_MENU_ITEM;
        EXPECT_EQ(Tooltip(id), none ? "" : tip) << id;
    }
    Frame()->Raise();
    EXPECT_EQ(HoverTooltip(ids::ID_FILE_SAVE), "Save");
    EXPECT_EQ(HoverTooltip(ids::ID_ADD_MENU_ITEM), "");
}
