#pragma once
// A snippet's text as Windows' clipboard holds it (CF_UNICODETEXT): UTF-16
// with CR LF line ends, ending at a NUL.

#include <string>
#include <string_view>

namespace clipboard_text {

// The UTF-16 text with its closing NUL. Lone LF and lone CR become CR LF, as
// edit controls break lines only there; the text ends at a NUL inside it,
// where every reader of the clipboard stops anyway.
std::wstring ToClipboard(std::string_view utf8);

} // namespace clipboard_text
