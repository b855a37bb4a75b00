#include "platform/win/ClipboardText.h"

#include "library/WindowsText.h"

namespace clipboard_text {

std::wstring ToClipboard(std::string_view utf8) {
    utf8 = utf8.substr(0, utf8.find('\0'));
    const std::wstring wide = windows_text::Wide(utf8);
    std::wstring text;
    text.reserve(wide.size() + wide.size() / 16 + 1);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const wchar_t c = wide[i];
        if (c == L'\r' || c == L'\n') {
            text += L"\r\n";
            if (c == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n')
                ++i;
        } else {
            text += c;
        }
    }
    text += L'\0';
    return text;
}

} // namespace clipboard_text
