#pragma once
// The clipboard's part of a paste: the text the target reads when it pastes.

#include <string>

namespace desktop {

// Puts UTF-8 text on the CLIPBOARD selection; the program answers requests for
// it from its event loop. False when the selection could not be taken.
bool SetClipboardText(const std::string& utf8);

} // namespace desktop
