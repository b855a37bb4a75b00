// The Open URL dialog as a person uses it, and the command that runs it.

#include "dialogs/DlgOpenUrl.h"
#include "res/CommandIds.h"
#include "support/AppFixture.h"
#include "support/GuiTest.h"

#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

// Fills the dialog that is about to be shown modally, then presses a button.
void AnswerNextDialog(const wxString& url, int button) {
    wxTheApp->CallAfter([url, button] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* dlg = dynamic_cast<CDlgOpenUrl*>(w)) {
                if (auto* edit = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(ids::IDC_URL)))
                    edit->SetValue(url);
                wxCommandEvent click(wxEVT_BUTTON, button);
                click.SetEventObject(dlg->FindWindow(button));
                dlg->FindWindow(button)->GetEventHandler()->ProcessEvent(click);
                return;
            }
        ADD_FAILURE() << "no Open URL dialog was shown";
    });
}

class OpenUrlDialog : public CAppFixture {};

} // namespace

TEST_F(OpenUrlDialog, LooksAsDesignedAndLimitsTheUrl) {
    CDlgOpenUrl dlg(nullptr);
    EXPECT_EQ(dlg.GetTitle(), "Open URL");
    auto* edit = dynamic_cast<wxTextCtrl*>(dlg.FindWindow(ids::IDC_URL));
    ASSERT_NE(edit, nullptr);
    bool prompt = false;
    for (wxWindow* child : dlg.GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child))
            prompt |= text->GetLabel() == "Please enter URL of file to open (must be XML file)";
    EXPECT_TRUE(prompt);
    edit->SetValue(wxString('x', 300));
    EXPECT_LE(edit->GetValue().length(), 255u);
}

TEST_F(OpenUrlDialog, OkLoadsTheUrlCancelDoesNothing) {
    const std::string remote = Write("remote.xml", "<level0 header=\"Remote\"/>");
    ASSERT_TRUE(Start());
    AnswerNextDialog("  file://" + wxString::FromUTF8(remote) + " ", wxID_CANCEL);
    Command(ids::ID_OPEN_URL);
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"New Document"});

    AnswerNextDialog("file://" + wxString::FromUTF8(remote), wxID_OK);
    Command(ids::ID_OPEN_URL);
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"Remote"});
    EXPECT_EQ(Doc()->PathName(), "file://" + remote);
    EXPECT_TRUE(Messages().empty());
}
