// CPasteKeys on Windows, for now a stand-in: no key is typed. The real one
// sends the chord with SendInput (virtual keys from VkKeyScanW), which needs
// no scratch key: Windows types any character with KEYEVENTF_UNICODE.

#include "platform/PasteKeys.h"

CPasteKeys::~CPasteKeys() = default;

bool CPasteKeys::Send(const SKeyChord&) {
    return false;
}

bool CPasteKeys::ModifiersHeld() {
    return false;
}

void CPasteKeys::ReleaseModifiers() {}

// Every name is taken for now, so that the paste-key dialog accepts it.
unsigned long CPasteKeys::KeySymOf(const std::string& name) {
    return name.empty() ? 0 : 1;
}
