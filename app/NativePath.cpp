#include "app/NativePath.h"

#include "library/Utf8Path.h"

#include <wx/strconv.h>

#include <filesystem>

namespace {
const wxMBConv& Conv() {
    static const wxMBConvUTF8 conv(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conv;
}
} // namespace

namespace native_path {

wxString ToWx(const std::string& bytes) {
    return wxString(bytes.data(), Conv(), bytes.size());
}

std::string FromWx(const wxString& name) {
    const wxCharBuffer buffer = name.mb_str(Conv());
    return buffer.data() ? std::string(buffer.data(), buffer.length()) : std::string();
}

std::string Absolute(const std::string& bytes) {
    namespace fs = std::filesystem;
    if (bytes.empty())
        return bytes;
    std::error_code ec;
    // UTF-8, not the narrow encoding: on Windows that is the ANSI code page.
    fs::path path;
    try {
        path = utf8_path::From(bytes);
    } catch (const std::exception&) {
        return bytes; // not UTF-8, which Windows cannot take as a name
    }
    if (path.is_relative()) {
        const fs::path cwd = fs::current_path(ec);
        if (ec)
            return bytes;
        path = cwd / path;
    }
    return utf8_path::Of(path.lexically_normal());
}

} // namespace native_path
