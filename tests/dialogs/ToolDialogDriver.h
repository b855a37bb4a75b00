#pragma once
// Works a modal dialog from inside its own loop, once it is on screen, with
// the pointer and the keyboard as a person would.

#include "support/AppFixture.h"
#include "support/GuiTest.h"

#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <functional>
#include <string>

class CToolDialogTest : public CAppFixture {
protected:
    // Schedules drive for the next dialog of type T; the caller then opens it.
    template <class T> void WhenShown(std::function<void(T&)> drive) {
        m_bDriven = false;
        wxTheApp->CallAfter([this, drive] {
            T* dlg = nullptr;
            const bool shown = WaitFor([&] {
                for (wxWindow* w : wxTopLevelWindows)
                    if (auto* d = dynamic_cast<T*>(w))
                        dlg = d;
                return dlg && dlg->IsShownOnScreen() && dlg->IsModal();
            });
            if (!shown) {
                ADD_FAILURE() << "the dialog did not appear";
                if (dlg && dlg->IsModal())
                    dlg->EndModal(wxID_CANCEL);
                return;
            }
            Settle(150);
            m_bDriven = true;
            drive(*dlg);
            if (dlg->IsModal()) {
                ADD_FAILURE() << "the dialog was left open";
                dlg->EndModal(wxID_CANCEL);
            }
        });
    }
    // True once a scheduled drive has run.
    bool Driven() const { return m_bDriven; }

    void Click(wxWindow* w) {
        ASSERT_NE(w, nullptr);
        m_sim.MouseMove(w->GetScreenRect().GetPosition() + w->GetSize() / 2);
        Settle(60);
        m_sim.MouseClick();
        Settle(120);
    }
    void Press(int key, int modifiers = wxMOD_NONE) {
        m_sim.Char(key, modifiers);
        Settle(60);
    }
    void TypeInto(wxTextCtrl* edit, const std::string& text) {
        Click(edit);
        Press('a', wxMOD_CONTROL);
        Press(WXK_DELETE);
        m_sim.Text(text.c_str());
        Settle(100);
    }
    // The window sits where the rectangle in dialog units puts it, with the
    // label given (none to check: nullptr).
    static void ExpectPlaced(wxDialog& dlg, wxWindow* w, const wxRect& dlu,
                             const char* label = nullptr) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->GetRect(), wxRect(dlg.ConvertDialogToPixels(dlu.GetPosition()),
                                       dlg.ConvertDialogToPixels(dlu.GetSize())))
            << w->GetName();
        if (label) {
            EXPECT_EQ(w->GetLabel(), label);
        }
    }
    // The dialog has ended its modal loop.
    static bool Closed(wxDialog& dlg) {
        return WaitFor([&dlg] { return !dlg.IsModal(); }, 3000);
    }

    wxUIActionSimulator m_sim;

private:
    bool m_bDriven = false;
};
