// Folding for search: what a person types finds what the library holds.

#include "library/TextFold.h"

#include <gtest/gtest.h>

using text_fold::Contains;
using text_fold::Fold;

TEST(TextFold, CaseAccentsAndCompatibilityFormsFoldAwayWhileCjkStays) {
    EXPECT_EQ(Fold("Café CRÈME Ångström"), "cafe creme angstrom");
    // Written decomposed, as some programs paste it: the same result.
    EXPECT_EQ(Fold("Cafe\xcc\x81"), "cafe");
    EXPECT_EQ(Fold("Straße Œuvre ﬁnal"), "strasse œuvre final");
    EXPECT_EQ(Fold("ΆΛΦΑ ΣΟΦΌΣ"), "αλφα σοφοσ");
    EXPECT_EQ(Fold("ЁЛКА Йод"), "елка иод");
    EXPECT_EQ(Fold("Tiếng Việt"), "tieng viet");
    EXPECT_EQ(Fold("ＡＢＣ１２"), "abc12");
    // Han, kana (voiced or not) and Hangul are not accented letters.
    EXPECT_EQ(Fold("日本語 がぎ カ 한국어"), "日本語 がぎ カ 한국어");
}

TEST(TextFold, BytesThatAreNotUtf8AreKeptAsTheyStand) {
    const std::string broken[] = {
        "a\xc0\xafZ",         // overlong '/'
        "a\xe0\x83\xa9Z",     // overlong 'é' in three bytes
        "a\x80Z",             // continuation byte alone
        "a\xed\xa0\x80Z",     // surrogate
        "a\xf4\x90\x80\x80Z", // past U+10FFFF
        "aZ\xe6\x97",         // truncated at the end
    };
    for (const std::string& text : broken) {
        std::string expected = text;
        expected[0] = 'a';
        for (char& c : expected)
            if (c == 'Z')
                c = 'z';
        EXPECT_EQ(Fold(text), expected);
    }
}

TEST(TextFold, ContainsAgreesBetweenPlainAndAccentedText) {
    EXPECT_TRUE(Contains("Kind Regards", ""));
    EXPECT_TRUE(Contains("Kind Regards", "d reg"));
    EXPECT_FALSE(Contains("Kind Regards", "regardz"));
    EXPECT_TRUE(Contains("Mit freundlichen Grüßen", Fold("GRUSSEN")));
    EXPECT_TRUE(Contains("Déjà vu", "deja"));
    EXPECT_TRUE(Contains("会議の議事録", Fold("議事")));
    EXPECT_FALSE(Contains("plain ascii", Fold("é")));
    // A needle folded once matches whichever way the text was written.
    const std::string needle = Fold("Ré");
    EXPECT_TRUE(Contains("RÉSUMÉ", needle));
    EXPECT_TRUE(Contains("Re\xcc\x81sume\xcc\x81", needle));
}
