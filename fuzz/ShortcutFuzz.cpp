// An Internet shortcut file's bytes: the URL read from it is one line of
// UTF-8, and it goes through the Favorites export into a file the library
// loader reads back unchanged, with the bytes' start as the link's label.

#include "favorites/InternetShortcut.h"
#include "fuzz/ExportRoundTrip.h"
#include "fuzz/FuzzCheck.h"
#include "xml/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string url = CInternetShortcut::UrlFromText(bytes);
    fuzz_check::Require(CTextEncoding::IsValidUtf8(url), "the URL is UTF-8");
    fuzz_check::Require(url.find_first_of("\r\n") == std::string::npos, "the URL is one line");
    // A file name may hold any byte but '/' and NUL; the label is its stem.
    std::string label = bytes.substr(0, 64);
    for (char& c : label)
        if (c == '/' || c == '\0')
            c = '_';
    export_round_trip::Check(label, url);
    return 0;
}
