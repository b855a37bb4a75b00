#pragma once
// The editable field under a right-click, reached through the desktop's
// accessibility bus (AT-SPI): toolkits draw their fields inside one X window,
// so only the accessibility tree knows which field lies at a point.

#include "platform/Desktop.h"

struct _AtspiAccessible;

class CFieldFocus {
public:
    CFieldFocus() = default;
    ~CFieldFocus();
    CFieldFocus(const CFieldFocus&) = delete;
    CFieldFocus& operator=(const CFieldFocus&) = delete;

    // Gives the keyboard focus to the editable text at the screen point
    // inside the window, with the caret at the point, keeping a selection the
    // point lies in. Anything else (no bus, no such field, a program too slow
    // to answer) is left as it is.
    EFieldFocus FocusAt(unsigned long window, int x, int y);
    // The field given the focus last has it now (true when none was moved).
    bool Arrived();

private:
    void Forget();

    _AtspiAccessible* m_pMoved = nullptr;
};
