#pragma once
// The program's document manager, main frame, document and view, set up as
// the application does at start, with settings in a temporary file and
// message boxes, file prompts, help and browser in test mode; and the means
// to work them as a person does: keys and pointer through XTest, modal
// dialogs driven from inside their own loop.

#include "app/FilePrompt.h"
#include "app/MainFrame.h"
#include "app/MessageBox.h"
#include "app/Settings.h"
#include "app/StatusText.h"
#include "app/TessaryDocManager.h"
#include "document/TessaryDoc.h"
#include "support/GuiTest.h"
#include "support/TempDir.h"
#include "view/TessaryView.h"

#include <wx/config.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using Strings = std::vector<std::string>;

class CAppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program's objects; with a file, as if named on the command line.
    bool Start(const std::string& file = {});
    // The same, then waits until the window manager has placed the window
    // and it has the keyboard focus.
    void StartShown(const std::string& file = {});
    // Waits until the main window has that rectangle, the form filling it.
    bool Placed(const wxRect& rect);
    void Stop();
    // Closes the main window as the user does (the frame's close sequence).
    void CloseFrame(bool force = true);

    CTessaryDoc* Doc() const { return m_pManager ? m_pManager->Document() : nullptr; }
    CTessaryView* View() const {
        return Doc() ? dynamic_cast<CTessaryView*>(Doc()->GetFirstView()) : nullptr;
    }
    CMainFrame* Frame() const { return m_pFrame; }
    CTessaryDocManager* Manager() const { return m_pManager; }
    wxTreeCtrl* Tree() const { return View()->Tree(); }
    wxTextCtrl* Text() const { return View()->Text(); }

    // Runs a menu command through the frame, as the menu would.
    void Command(int id);
    // Texts of the message boxes shown since the last call.
    Strings Messages() { return CMessageBox::TakeShown(); }
    // Labels of the tree in pre-order, indented by two spaces per level.
    Strings TreeLabels() const;
    std::string Write(const std::string& name, const std::string& bytes) const {
        CTempDir::Write(m_dir.File(name), bytes);
        return m_dir.File(name);
    }
    static std::string Read(const std::string& path) { return CTempDir::Read(path); }
    static void StoreSettings(const SSettings& s) { CSettingsStore::Save(*wxConfigBase::Get(), s); }

    // Input as a person gives it; each returns once the program has handled it.
    bool FocusOn(wxWindow* window);
    void Press(int key, int modifiers = wxMOD_NONE);
    void Type(const std::string& text);
    void Click(wxWindow* window);
    // Presses at `from`, moves along `path` in small steps with the button
    // held, runs `held`, then releases where the path ends.
    void Drag(const wxPoint& from, const std::vector<wxPoint>& path,
              const std::function<void()>& held = {});

    // Runs `open`, which shows a modal dialog of type T, and `drive` on that
    // dialog from inside its loop once it is on screen; `drive` must close it.
    template <class T>
    void WithDialog(const std::function<void()>& open, const std::function<void(T&)>& drive) {
        // Looked for by a timer rather than a posted call: wxMSW runs posted
        // calls before the input already queued, so a call posted here could
        // wait for a dialog that the keys still in the queue would open, and
        // the wait would hold the very loop that has to open it.
        int state = 0; // 1 once driven
        wxTimer poll;
        poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            T* dlg = nullptr;
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* d = dynamic_cast<T*>(w); d && d->IsShownOnScreen() && d->IsModal())
                    dlg = d;
            if (state != 0 || !dlg)
                return;
            poll.Stop();
            state = 1;
            TakeKeyboard(*dlg);
            drive(*dlg);
            // Ended is hidden at once; on Windows it stays modal until its
            // loop, which runs this, is back.
            if (dlg->IsShown()) {
                ADD_FAILURE() << "the dialog was left open";
                dlg->EndModal(wxID_CANCEL);
            }
        });
        poll.Start(20);
        open();
        WaitFor("the dialog to show", [&state] { return state != 0; });
        poll.Stop();
        EXPECT_EQ(state, 1) << "no dialog was driven";
    }
    static bool Closed(wxDialog& dlg) {
        return WaitFor("the dialog to close", [&dlg] { return !dlg.IsShown(); });
    }

    CTempDir m_dir;
    std::string m_configPath;
    Strings m_status;
    wxUIActionSimulator m_sim;

private:
    void TakeKeyboard(wxDialog& dlg);

    CTessaryDocManager* m_pManager = nullptr;
    CMainFrame* m_pFrame = nullptr;
};
