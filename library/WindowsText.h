#pragma once
// The program's UTF-8 to and from the UTF-16 of Windows' wide functions, so
// that file names outside the ANSI code page reach the file system intact,
// and the system's own text for an error code. Windows only.

#include <string>
#include <string_view>

namespace windows_text {

// Invalid UTF-8 becomes U+FFFD, as the system converts it.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// The system's message for a GetLastError() code, without its line break.
std::string ErrorText(unsigned long code);

} // namespace windows_text
