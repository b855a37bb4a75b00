// How the bytes of a source are read: byte-order marks and declarations
// decide; undeclared sources are UTF-8, UTF-8 with stray bytes, or
// Windows-1252; everything comes out as raw UTF-8.

#include "support/LoadSource.h"
#include "xml/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

// The text as UTF-16 with its byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// The root's serialisation, and how many bytes were replaced by U+FFFD.
std::string Read(const std::string& bytes) {
    CXmlDocument doc;
    const XmlLoadResult result = doc.LoadBytes(bytes);
    return Outcome(doc, result) + " " + std::to_string(result.replacedBytes);
}

const std::string kCafe = "caf\xC3\xA9", kEuro = "\xE2\x82\xAC", kBad = "\xEF\xBF\xBD";

} // namespace

TEST(XmlEncoding, SourcesAreReadAsTheyWereMeant) {
    const std::u16string text = u"<r a=\"caf\u00E9\">\u20AC \u201Cquoted\u201D</r>";
    const std::string utf8 =
        "<r a=\"" + kCafe + "\">" + kEuro + " \xE2\x80\x9Cquoted\xE2\x80\x9D</r>";
    const std::pair<std::string, std::string> cases[] = {
        // No declaration, not UTF-8: Windows-1252, its undefined positions C1 code points.
        {"<r a=\"caf\xE9\">\x80 \x93quoted\x94</r>", utf8 + " 0"},
        {"<?xml version=\"1.0\"?>\n<r a='caf\xE9'>\x80 \x93quoted\x94</r>", utf8 + " 0"},
        {"<r a=\"\x81\">\x8D\x9F</r>", "<r a=\"\xC2\x81\">\xC2\x8D\xC5\xB8</r> 0"},
        // UTF-8 stays UTF-8; a stray byte in it is replaced and counted.
        {utf8, utf8 + " 0"},
        {"<r a=\"plain\">ascii</r>", "<r a=\"plain\">ascii</r> 0"},
        {"<r a=\"" + kCafe + "\">" + kEuro + " \xE9!</r>",
         "<r a=\"" + kCafe + "\">" + kEuro + " " + kBad + "!</r> 1"},
        {"<r a=\"\x93\">" + kCafe + " \xE2\x82</r>",
         "<r a=\"" + kBad + "\">" + kCafe + " " + kBad + kBad + "</r> 3"},
        // Byte-order marks and declarations decide, even when they lie.
        {"\xEF\xBB\xBF" + utf8, utf8 + " 0"},
        {Utf16(text, false), utf8 + " 0"},
        {Utf16(text, true), utf8 + " 0"},
        {Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + text, false), utf8 + " 0"},
        // Latin-1 has no euro sign: 0x80 is the C1 control there, unlike 1252.
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"caf\xE9\">\x80</r>",
         "<r a=\"" + kCafe + "\">\xC2\x80</r> 0"},
        {"<?xml version='1.0' encoding='windows-1252'?><r a=\"caf\xE9\">\x80</r>",
         "<r a=\"" + kCafe + "\">" + kEuro + "</r> 0"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>caf\xE9</r>", "!Malformed"},
        {"\xEF\xBB\xBF<r>caf\xE9</r>", "!Malformed"},
        {"<?xml version=\"1.0\" encoding=\"no-such\"?><r/>", "!Malformed"},
    };
    testing::internal::CaptureStderr();
    for (const auto& [bytes, expected] : cases) {
        const std::string got = Read(bytes);
        EXPECT_EQ(expected[0] == '!' ? got.substr(0, expected.size()) : got, expected) << bytes;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(TextEncoding, Utf8ValidationDeclarationsAndMarks) {
    for (const std::string good : {"", "plain ascii text, longer than eight", "\xF0\x9F\x98\x80",
                                   "\xF4\x8F\xBF\xBF", "\xEF\xBF\xBD", "caf\xC3\xA9"})
        EXPECT_TRUE(CTextEncoding::IsValidUtf8(good)) << good;
    for (const std::string bad :
         {"\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80",
          "\xE2\x82", "\x80", "caf\xE9", "0123456789abcdef\xE9 after a long ascii run"})
        EXPECT_FALSE(CTextEncoding::IsValidUtf8(bad)) << bad;

    const std::pair<const char*, std::optional<std::string>> declarations[] = {
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", "ISO-8859-1"},
        {"<?xml version='1.0'\n  encoding = 'cp1252' ?><r/>", "cp1252"},
        {"<?xml version=\"1.0\"?><r encoding=\"x\"/>", std::nullopt},
        {"<?xml-stylesheet encoding=\"x\"?>", std::nullopt},
        {" <?xml version=\"1.0\" encoding=\"x\"?>", std::nullopt},
    };
    for (const auto& [xml, encoding] : declarations)
        EXPECT_EQ(CTextEncoding::DeclaredEncoding(xml), encoding) << xml;
    EXPECT_TRUE(CTextEncoding::NamesOwnEncoding(std::string("<\0r\0", 4)));
    EXPECT_FALSE(CTextEncoding::NamesOwnEncoding("<?xml version=\"1.0\"?><r/>"));

    std::string all;
    for (int c = 0x80; c <= 0xFF; ++c)
        all += static_cast<char>(c);
    const std::string utf8 = CTextEncoding::Windows1252ToUtf8(all);
    EXPECT_TRUE(CTextEncoding::IsValidUtf8(utf8));
    EXPECT_EQ(utf8.substr(0, 3) + utf8.substr(utf8.size() - 4), kEuro + "\xC3\xBE\xC3\xBF");
}
