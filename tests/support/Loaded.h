#pragma once
// Loading for the window-free tests: the outcome of a load as one string for
// tables, a library loaded as the program loads it, and UTF-16 bytes.

#include "library/SnippetLibrary.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <string>

// The root's serialisation after a load (and how many bytes became U+FFFD),
// or "!", the status and the detail of the failure, which must have left the
// document empty.
inline std::string Outcome(const CXmlDocument& doc, const SXmlLoadResult& result) {
    if (result.ok())
        return doc.DocumentElement().Xml() +
               (result.replacedBytes ? " +" + std::to_string(result.replacedBytes) : "");
    static const char* const kStatus[] = {"Ok", "NotFound", "TooLarge", "Timeout", "Malformed"};
    return std::string(doc.DocumentElement() ? "!kept " : "!") +
           kStatus[static_cast<int>(result.status)] + " " + result.detail;
}

inline CXmlDocument Parsed(std::string_view bytes) {
    CXmlDocument doc;
    EXPECT_TRUE(doc.LoadBytes(bytes).ok()) << bytes;
    return doc;
}

// The outcome of loading the bytes into a document that held another.
inline std::string Loaded(std::string_view bytes) {
    CXmlDocument doc = Parsed("<previous/>");
    return Outcome(doc, doc.LoadBytes(bytes));
}

// A library loaded from bytes and numbered, as a rebuild leaves it.
inline CSnippetLibrary Library(std::string_view bytes) {
    CSnippetLibrary lib;
    EXPECT_TRUE(lib.CreateEngine() &&
                lib.LoadBytes(bytes, "lib.xml") == CSnippetLibrary::ELoadOutcome::Ok)
        << bytes;
    lib.EnsureRoot();
    lib.NumberItems();
    return lib;
}

// The text as UTF-16 with its byte-order mark.
inline std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text)
        bytes += {char(bigEndian ? unit >> 8 : unit), char(bigEndian ? unit : unit >> 8)};
    return bytes;
}
