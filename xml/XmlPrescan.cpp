#include "xml/XmlPrescan.h"

#include "xml/TextEncoding.h"

#include <libxml/encoding.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>
#include <string>

namespace {

// Encodings in which '<', '>', '=', quotes, '!', '?', '-', '[' and ']' are
// single bytes of their ASCII value that never occur inside another
// character: the bytes can be scanned as they are.
bool IsAsciiTransparent(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* prefix : {"utf-8", "utf8", "us-ascii", "ascii", "iso-8859-", "windows-125"})
        if (name.starts_with(prefix))
            return true;
    return false;
}

struct SBufferDeleter {
    void operator()(xmlBufferPtr buffer) const { xmlBufferFree(buffer); }
};

// The source as UTF-8, through the engine's own converter, as far as it
// converts; empty when there is nothing to convert with.
std::string Decoded(std::string_view bytes, xmlCharEncodingHandlerPtr handler) {
    std::string text;
    std::unique_ptr<xmlBuffer, SBufferDeleter> in(xmlBufferCreate());
    std::unique_ptr<xmlBuffer, SBufferDeleter> out(xmlBufferCreate());
    if (!in || !out || bytes.size() > INT_MAX ||
        xmlBufferAdd(in.get(), reinterpret_cast<const xmlChar*>(bytes.data()),
                     static_cast<int>(bytes.size())) != 0) {
        xmlCharEncCloseFunc(handler);
        return text;
    }
    // Each call converts what fits in the output; stop at an error or when
    // nothing moves (an incomplete character at the end).
    while (xmlBufferLength(in.get()) > 0) {
        const int before = xmlBufferLength(in.get());
        const int written = xmlCharEncInFunc(handler, out.get(), in.get());
        text.append(reinterpret_cast<const char*>(xmlBufferContent(out.get())),
                    static_cast<std::size_t>(xmlBufferLength(out.get())));
        xmlBufferEmpty(out.get());
        if (written < 0 || xmlBufferLength(in.get()) == before)
            break;
    }
    xmlCharEncCloseFunc(handler);
    return text;
}

std::size_t CountAttributes(std::string_view t, std::size_t stopAbove) {
    constexpr auto npos = std::string_view::npos;
    std::size_t most = 0;
    std::size_t i = 0;
    auto skipPast = [&](std::string_view end) {
        const std::size_t at = t.find(end, i);
        i = at == npos ? t.size() : at + end.size();
    };
    auto skipQuoted = [&] {
        const std::size_t at = t.find(t[i], i + 1);
        i = at == npos ? t.size() : at + 1;
    };
    auto at = [&](std::string_view s) { return t.compare(i, s.size(), s) == 0; };

    while ((i = t.find('<', i)) != npos) {
        if (at("<!--")) {
            i += 4;
            skipPast("-->");
        } else if (at("<![CDATA[")) {
            i += 9;
            skipPast("]]>");
        } else if (at("<?")) {
            i += 2;
            skipPast("?>");
        } else if (at("<!")) {
            // The document type: its internal subset holds declarations with
            // quoted literals, comments and processing instructions.
            i += 2;
            int depth = 0;
            while (i < t.size()) {
                if (t[i] == '"' || t[i] == '\'') {
                    skipQuoted();
                } else if (at("<!--")) {
                    i += 4;
                    skipPast("-->");
                } else if (at("<?")) {
                    i += 2;
                    skipPast("?>");
                } else {
                    const char c = t[i++];
                    if (c == '[')
                        ++depth;
                    else if (c == ']')
                        --depth;
                    else if (c == '>' && depth <= 0)
                        break;
                }
            }
        } else {
            // A start or end tag: every '=' outside a value is an attribute.
            ++i;
            std::size_t count = 0;
            while (i < t.size() && t[i] != '>') {
                if (t[i] == '"' || t[i] == '\'') {
                    skipQuoted();
                } else {
                    count += t[i] == '=';
                    ++i;
                }
            }
            most = std::max(most, count);
            if (most > stopAbove)
                return most;
        }
    }
    return most;
}

} // namespace

std::size_t CXmlPrescan::MostAttributes(std::string_view bytes, bool bytesAreUtf8,
                                        std::size_t stopAbove) {
    if (bytesAreUtf8)
        return CountAttributes(bytes, stopAbove);

    xmlCharEncodingHandlerPtr handler = nullptr;
    const xmlCharEncoding detected =
        xmlDetectCharEncoding(reinterpret_cast<const unsigned char*>(bytes.data()),
                              static_cast<int>(std::min<std::size_t>(bytes.size(), 4)));
    if (detected != XML_CHAR_ENCODING_NONE && detected != XML_CHAR_ENCODING_UTF8) {
        // UTF-16, UTF-32 or EBCDIC: the markup characters are not bytes.
        handler = xmlGetCharEncodingHandler(detected);
    } else if (auto declared = CTextEncoding::DeclaredEncoding(
                   bytes.substr(bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0));
               declared && !IsAsciiTransparent(*declared)) {
        // UTF-7, ISO-2022 and the like can hide markup in escapes.
        handler = xmlFindCharEncodingHandler(declared->c_str());
    }
    if (!handler)
        return CountAttributes(bytes, stopAbove);
    return CountAttributes(Decoded(bytes, handler), stopAbove);
}
