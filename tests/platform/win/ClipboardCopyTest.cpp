// The copy of the clipboard taken before a paste, without a clipboard: which
// formats of a real program's offer are kept, and the limits of an owner that
// offers too much or renders too slowly.

#include "platform/win/ClipboardCopy.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <numeric>

constexpr unsigned kHtml = 0xC0F1; // a registered format's number

TEST(WinClipboardCopy, KeepsMemoryDataOnceWithoutDerivedTextOrGdiHandles) {
    // A browser's copy of a page with a picture, as the system lists it:
    // the text forms it derived, GDI objects and a repeat among them.
    EXPECT_EQ(
        clipboard_copy::Choose({CF_UNICODETEXT, kHtml, CF_LOCALE, CF_TEXT, CF_OEMTEXT, CF_BITMAP,
                                CF_DIB, CF_DIBV5, CF_ENHMETAFILE, CF_METAFILEPICT, CF_PALETTE,
                                CF_OWNERDISPLAY, CF_PRIVATEFIRST, CF_GDIOBJFIRST, CF_HDROP, kHtml,
                                0x7F},
                               64),
        (std::vector<unsigned>{CF_UNICODETEXT, kHtml, CF_LOCALE, CF_DIB, CF_DIBV5, CF_HDROP}));
    // An old program's ANSI text, listed after the forms derived from it.
    EXPECT_EQ(clipboard_copy::Choose({CF_OEMTEXT, CF_TEXT}, 64), (std::vector<unsigned>{CF_TEXT}));
    EXPECT_EQ(clipboard_copy::Choose({CF_OEMTEXT}, 64), (std::vector<unsigned>{CF_OEMTEXT}));
    // An owner listing thousands of formats: only the first few are read.
    std::vector<unsigned> many(5000);
    std::iota(many.begin(), many.end(), 0xC000u);
    EXPECT_EQ(clipboard_copy::Choose(many, 64),
              std::vector<unsigned>(many.begin(), many.begin() + 64));
}

TEST(WinClipboardCopy, LeavesOutWhatIsTooLargeUnreadableOrTooLate) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point now{};
    const std::map<unsigned, std::string> owner{{CF_UNICODETEXT, std::string(40, 'u')},
                                                {kHtml, std::string(100, 'h')},
                                                {CF_DIB, std::string(30, 'd')},
                                                {0xC0F3, std::string(20, 's')}};
    const auto read = [&](unsigned format, std::size_t maxBytes) -> std::optional<std::string> {
        now += std::chrono::milliseconds(40); // each format takes the owner a while
        const auto found = owner.find(format);
        if (found == owner.end() || found->second.size() > maxBytes)
            return std::nullopt;
        return found->second;
    };
    SSnapshotLimits limits;
    limits.maxBytes = 100;
    limits.budget = std::chrono::seconds(10);
    const std::vector<unsigned> offered{CF_UNICODETEXT, kHtml,  CF_BITMAP, CF_DIB,
                                        0xC0F2,         0xC0F3, 0xC0F4};
    SClipboardCopy copy = clipboard_copy::Copy(offered, limits, read, [&] { return now; });
    // The HTML no longer fits beside the text; what comes after it still may.
    ASSERT_EQ(copy.formats.size(), 3u);
    EXPECT_EQ(copy.formats[0].format, CF_UNICODETEXT);
    EXPECT_EQ(copy.formats[1].format, static_cast<unsigned>(CF_DIB));
    EXPECT_EQ(copy.formats[2].bytes, std::string(20, 's'));
    EXPECT_EQ(copy.note, "7 formats offered, 3 copied, 1 skipped, 3 not read");

    // A slow owner: reading stops once the time allowed is spent.
    limits = {};
    limits.budget = std::chrono::milliseconds(100);
    copy = clipboard_copy::Copy(offered, limits, read, [&] { return now; });
    EXPECT_EQ(copy.formats.size(), 3u); // the text, the HTML and the DIB
    EXPECT_NE(copy.note.find("too slow"), std::string::npos);
}
