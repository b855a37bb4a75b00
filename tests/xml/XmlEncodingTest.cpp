#include "support/LoadSource.h"
#include "support/TempDir.h"
#include "xml/TextEncoding.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

namespace {

// UTF-16 of UTF-8 text in the Basic Multilingual Plane, with a byte-order mark.
std::string Utf16(const std::string& utf8, bool bigEndian) {
    std::u16string units;
    for (std::size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        char16_t cp;
        if (c < 0x80) {
            cp = c;
            i += 1;
        } else if (c < 0xE0) {
            cp = static_cast<char16_t>(((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F));
            i += 2;
        } else {
            cp = static_cast<char16_t>(((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) |
                                       (utf8[i + 2] & 0x3F));
            i += 3;
        }
        units += cp;
    }
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : units) {
        char hi = static_cast<char>(u >> 8);
        char lo = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

std::string TextOf(const std::string& bytes) {
    CTempDir dir;
    CTempDir::Write(dir.File("in.xml"), bytes);
    CXmlDocument doc;
    XmlLoadResult result = LoadSource(doc, dir.File("in.xml"));
    EXPECT_TRUE(result.ok()) << result.detail;
    return result.ok()
               ? doc.DocumentElement().Text() + "|" + *doc.DocumentElement().GetNamedItem("a")
               : std::string();
}

const std::string kCafe = "caf\xC3\xA9";
const std::string kEuro = "\xE2\x82\xAC";
const std::string kQuoted = "\xE2\x80\x9Cquoted\xE2\x80\x9D";

} // namespace

TEST(XmlEncoding, UndeclaredNonUtf8IsReadAsWindows1252) {
    const std::string expected = kCafe + " " + kEuro + " " + kQuoted + "|" + kCafe;
    EXPECT_EQ(TextOf("<r a=\"caf\xE9\">caf\xE9 \x80 \x93quoted\x94</r>"), expected);
    EXPECT_EQ(TextOf("<?xml version=\"1.0\"?>\n<r a='caf\xE9'>caf\xE9 \x80 \x93quoted\x94</r>"),
              expected);
    // Undefined positions keep their value as C1 code points.
    EXPECT_EQ(TextOf("<r a=\"\x81\">\x8D\x9F</r>"), "\xC2\x8D\xC5\xB8|\xC2\x81");
    // Valid UTF-8 without a declaration stays UTF-8.
    EXPECT_EQ(TextOf("<r a=\"" + kCafe + "\">" + kEuro + "</r>"), kEuro + "|" + kCafe);
    EXPECT_EQ(TextOf("<r a=\"plain\">ascii only</r>"), "ascii only|plain");

    // What was read comes out as raw UTF-8.
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadBytes("<r a=\"\xE9\">\x80</r>").ok());
    EXPECT_EQ(doc.DocumentElement().Xml(), "<r a=\"\xC3\xA9\">" + kEuro + "</r>");
}

TEST(XmlEncoding, StrayBytesInUtf8AreReplacedAndCounted) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct SCase {
        std::string bytes, text;
        std::size_t replaced;
    };
    for (const SCase& c : std::vector<SCase>{
             {"<r a=\"" + kCafe + "\">" + kEuro + " \xE9!</r>", kEuro + " " + fffd + "!", 1},
             {"<r a=\"\x93\">" + kCafe + " \xE2\x82</r>", kCafe + " " + fffd + fffd, 3},
             {"<r a=\"\xE9\">\x80</r>", kEuro, 0}, // no UTF-8 at all: Windows-1252
         }) {
        CXmlDocument doc;
        const XmlLoadResult result = doc.LoadBytes(c.bytes);
        ASSERT_TRUE(result.ok()) << result.detail;
        EXPECT_EQ(doc.DocumentElement().Text(), c.text);
        EXPECT_EQ(result.replacedBytes, c.replaced);
    }
}

TEST(XmlEncoding, ByteOrderMarksAndDeclarationsDecide) {
    const std::string utf8 = "<r a=\"" + kCafe + "\">" + kEuro + " " + kQuoted + "</r>";
    const std::string expected = kEuro + " " + kQuoted + "|" + kCafe;
    EXPECT_EQ(TextOf("\xEF\xBB\xBF" + utf8), expected);
    EXPECT_EQ(TextOf(Utf16(utf8, false)), expected);
    EXPECT_EQ(TextOf(Utf16(utf8, true)), expected);
    EXPECT_EQ(TextOf(Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + utf8, false)), expected);

    // Latin-1 has no euro sign: 0x80 is the C1 control there, unlike 1252.
    EXPECT_EQ(TextOf("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"caf\xE9\">\x80</r>"),
              "\xC2\x80|" + kCafe);
    EXPECT_EQ(TextOf("<?xml version='1.0' encoding='windows-1252'?><r a=\"caf\xE9\">\x80</r>"),
              kEuro + "|" + kCafe);

    // A declaration that lies is believed, and the bytes are then malformed.
    CXmlDocument doc;
    testing::internal::CaptureStderr();
    EXPECT_EQ(doc.LoadBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>caf\xE9</r>").status,
              XmlLoadStatus::Malformed);
    EXPECT_EQ(doc.LoadBytes("<?xml version=\"1.0\" encoding=\"no-such\"?><r/>").status,
              XmlLoadStatus::Malformed);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(TextEncoding, Utf8ValidationIsStrict) {
    for (const std::string& good :
         {std::string(), std::string("plain ascii text, longer than eight"), kCafe, kEuro,
          std::string("\xF0\x9F\x98\x80"), std::string("\xF4\x8F\xBF\xBF"),
          std::string("\xEF\xBF\xBD")})
        EXPECT_TRUE(CTextEncoding::IsValidUtf8(good)) << good;
    for (const std::string& bad :
         {std::string("\xC0\x80"), std::string("\xC1\xBF"), std::string("\xE0\x80\x80"),
          std::string("\xED\xA0\x80"), std::string("\xF4\x90\x80\x80"), std::string("\xF5\x80"),
          std::string("\xE2\x82"), std::string("\x80"), std::string("caf\xE9"),
          std::string("0123456789abcdef\xE9 after a long ascii run")})
        EXPECT_FALSE(CTextEncoding::IsValidUtf8(bad)) << bad;
}

TEST(TextEncoding, DeclarationAndMarkSniffing) {
    EXPECT_EQ(CTextEncoding::DeclaredEncoding("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"),
              "ISO-8859-1");
    EXPECT_EQ(CTextEncoding::DeclaredEncoding("<?xml version='1.0'\n  encoding = 'cp1252' ?><r/>"),
              "cp1252");
    EXPECT_EQ(CTextEncoding::DeclaredEncoding("<?xml version=\"1.0\"?><r encoding=\"x\"/>"),
              std::nullopt);
    EXPECT_EQ(CTextEncoding::DeclaredEncoding("<?xml-stylesheet encoding=\"x\"?>"), std::nullopt);
    EXPECT_EQ(CTextEncoding::DeclaredEncoding(" <?xml version=\"1.0\" encoding=\"x\"?>"),
              std::nullopt);

    EXPECT_TRUE(CTextEncoding::NamesOwnEncoding("\xEF\xBB\xBF<r/>"));
    EXPECT_TRUE(CTextEncoding::NamesOwnEncoding(std::string("<\0r\0", 4)));
    EXPECT_FALSE(CTextEncoding::NamesOwnEncoding("<?xml version=\"1.0\"?><r/>"));
    using Reading = CTextEncoding::Reading;
    EXPECT_EQ(CTextEncoding::ReadingOf("<r>\xE9</r>"), Reading::Windows1252);
    EXPECT_EQ(CTextEncoding::ReadingOf("<r>\xC3\xA9\xE9</r>"), Reading::RepairedUtf8);
    EXPECT_EQ(CTextEncoding::ReadingOf("<?xml version='1.0' encoding='latin1'?><r>\xE9</r>"),
              Reading::Unchanged);

    std::string all;
    for (int c = 0x80; c <= 0xFF; ++c)
        all += static_cast<char>(c);
    std::string utf8 = CTextEncoding::Windows1252ToUtf8(all);
    EXPECT_TRUE(CTextEncoding::IsValidUtf8(utf8));
    EXPECT_EQ(utf8.substr(0, 3), kEuro);
    EXPECT_EQ(utf8.substr(utf8.size() - 4), "\xC3\xBE\xC3\xBF");
}
