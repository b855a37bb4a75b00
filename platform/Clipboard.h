#pragma once
// The clipboard's part of a paste: the text the target reads when it pastes.

#include "platform/Desktop.h"

#include <string>

namespace desktop {

// Puts UTF-8 text on the CLIPBOARD selection, and on PRIMARY when asked; the
// program answers requests for it from its event loop. False when CLIPBOARD
// could not be taken.
bool SetClipboardText(const std::string& utf8, const SClipboardFill& fill = {});

} // namespace desktop
