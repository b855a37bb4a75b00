// The pop-up grab on Windows, for now a stand-in that refuses: the search
// typed in the snippet menu is not offered there yet. The real one captures
// the mouse and keeps the foreground with the clicked program's input
// attached.

#include "platform/PopupGrab.h"

struct CPopupGrab::SState {};

CPopupGrab::CPopupGrab() = default;

CPopupGrab::~CPopupGrab() = default;

bool CPopupGrab::Take(wxWindow*, wxWindow*, std::function<void()>) {
    return false;
}

void CPopupGrab::Release() {}

bool CPopupGrab::IsHeld() const {
    return false;
}
