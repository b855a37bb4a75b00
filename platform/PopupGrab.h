#pragma once
// Holds the keyboard and the pointer for a pop-up window of the program, as
// a menu does: the clicked program keeps its focus while keys typed go to
// the pop-up's field; a click elsewhere, or another program taking the
// grab, ends it.

#include <functional>
#include <memory>

class wxWindow;

class CPopupGrab {
public:
    CPopupGrab();
    ~CPopupGrab();
    CPopupGrab(const CPopupGrab&) = delete;
    CPopupGrab& operator=(const CPopupGrab&) = delete;

    // Takes the grab for the shown pop-up and gives `field` the keyboard
    // focus; `outside` runs at a click outside the pop-up or a lost grab.
    // False when the grab was refused (nothing is held then).
    bool Take(wxWindow* popup, wxWindow* field, std::function<void()> outside);
    void Release();
    bool IsHeld() const;

    // What the toolkit's handlers are given.
    struct SState;

private:
    std::unique_ptr<SState> m_pState;
};
