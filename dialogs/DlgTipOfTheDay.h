#pragma once
// Dialog 169: one of nine usage tips, the next one on request, and the
// choice to see them at start-up. The dialog reads and writes no settings:
// its caller passes the tip and the check box in and takes them out again.

#include <wx/dialog.h>

#include <array>
#include <cstdint>

struct SSettings;
class wxCheckBox;
class wxTextCtrl;

class CDlgTip : public wxDialog {
public:
    static constexpr int kTipCount = 9;
    // The tips as written, "\r\n" between lines; the box does not wrap words.
    static const std::array<const char*, kTipCount>& Tips();

    explicit CDlgTip(wxWindow* parent);

    // Puts tip m_nTip into the box, after taking an index out of range to 0.
    void ShowTip();

    std::int32_t m_nTip = 0;      // index of the tip shown
    std::int32_t m_bShowTips = 0; // "Show tips on startup"

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

private:
    void OnNextTip(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void Cancel();

    wxCheckBox* m_chkShowTips = nullptr;
    wxTextCtrl* m_editTip = nullptr;
};

// Help > Tip of the Day: the dialog on the stored tip and check box, then
// "Tipoftheday" = the check box and "CurrentTip" = the tip last shown + 1,
// however the dialog was left (in memory; the settings are written at close).
void RunTipOfTheDay(wxWindow* parent, SSettings& settings);

// The showing at start-up, only when "Tipoftheday" is exactly 1; the check
// box starts ticked. Same store rules as RunTipOfTheDay.
void ShowStartupTip(wxWindow* parent, SSettings& settings);
