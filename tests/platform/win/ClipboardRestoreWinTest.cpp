// The user's clipboard given back after a paste, on Windows' real clipboard
// under Wine: byte for byte once the target has read the snippet, never over
// contents someone else put there meanwhile, never without the restore.

#include "platform/Trace.h"
#include "platform/win/WinDesktop.h"
#include "support/GuiTest.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <optional>

namespace {

using Formats = std::map<UINT, std::string>;

const SKeyChord kHarmlessKeys{false, false, false, false, "F24"};

// CF_UNICODETEXT's bytes, with the closing NUL.
std::string Wide(const wchar_t* text) {
    return std::string(reinterpret_cast<const char*>(text), (std::wcslen(text) + 1) * 2);
}

// Another program's window, owning the clipboard with its formats.
class COtherProgram {
public:
    COtherProgram()
        : m_hWnd(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr)) {}
    ~COtherProgram() { DestroyWindow(m_hWnd); }

    // Sets the formats, after emptying the clipboard or added to what is there.
    void Put(const Formats& formats, bool empty = true) {
        ASSERT_TRUE(OpenClipboard(m_hWnd));
        if (empty)
            EmptyClipboard();
        for (const auto& [format, bytes] : formats) {
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
            std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
            GlobalUnlock(block);
            EXPECT_TRUE(SetClipboardData(format, block));
        }
        CloseClipboard();
    }
    // Reads one format as a target does; nothing when there is none.
    std::optional<std::string> Read(UINT format) {
        if (!OpenClipboard(m_hWnd))
            return std::nullopt;
        std::optional<std::string> bytes;
        if (HANDLE data = GetClipboardData(format)) {
            bytes = std::string(static_cast<const char*>(GlobalLock(data)), GlobalSize(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return bytes;
    }

private:
    HWND m_hWnd;
};

// Runs the program's events for a while, as the user waits.
void RunFor(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        wxYield();
        Sleep(10);
    }
}

// The user's copy: text, HTML and a private format with every byte value.
Formats UserCopy() {
    std::string binary;
    for (int i = 0; i < 3 * 256 + 5; ++i)
        binary += static_cast<char>(i);
    return {{CF_UNICODETEXT, Wide(L"earlier \u00e9\u65e5")},
            {RegisterClipboardFormatW(L"HTML Format"),
             "Version:0.9\r\n<html><body><!--StartFragment-->earlier<!--EndFragment-->"},
            {RegisterClipboardFormatW(L"Tessary Test Private"), binary}};
}

struct STraceLines {
    STraceLines() {
        trace::SetSink([this](const std::string& line) { lines += line + "\n"; });
    }
    ~STraceLines() { trace::SetSink(nullptr); }
    bool Has(const char* text) const { return lines.find(text) != std::string::npos; }
    std::string lines;
};

} // namespace

TEST(ClipboardRestoreWin, TheUsersFormatsComeBackAfterTheTargetReadTheSnippet) {
    COtherProgram other;
    const Formats before = UserCopy();
    other.Put(before);
    // As OLE marks its data object, which is gone once the clipboard is ours.
    const UINT oleNote = RegisterClipboardFormatW(L"Ole Private Data");
    other.Put({{oleNote, std::string(8, '\x7f')}}, false);
    const auto restored = [&] {
        for (const auto& [format, bytes] : before)
            if (other.Read(format) != bytes)
                return false;
        return !other.Read(oleNote);
    };
    CWinDesktop desktop;
    ASSERT_TRUE(desktop.SetClipboardText("first", {false, true}));
    // A second paste while the first waits: the copy kept is the user's.
    ASSERT_TRUE(desktop.SetClipboardText("snippet\nline", {false, true}));
    ASSERT_TRUE(desktop.SendPasteKeys(kHarmlessKeys));
    EXPECT_EQ(other.Read(CF_UNICODETEXT), Wide(L"snippet\r\nline"));
    // Derived by the system from the snippet, as an old program reads it.
    EXPECT_EQ(other.Read(CF_TEXT).value_or("").c_str(), std::string("snippet\r\nline"));

    EXPECT_TRUE(WaitFor("the user's copy to come back byte for byte", restored));

    // The copy given back is the program's own now: a later paste copies it
    // from there and gives it back again.
    ASSERT_TRUE(desktop.SetClipboardText("again", {false, true}));
    ASSERT_TRUE(desktop.SendPasteKeys(kHarmlessKeys));
    EXPECT_TRUE(other.Read(CF_UNICODETEXT));
    EXPECT_TRUE(WaitFor("the copy to come back again", restored));
}

TEST(ClipboardRestoreWin, NothingComesBackOverNewContentsOrWithoutTheRestore) {
    STraceLines trace;
    COtherProgram other;
    CWinDesktop desktop;
    // Someone copies something new after the target read the snippet.
    other.Put(UserCopy());
    ASSERT_TRUE(desktop.SetClipboardText("snippet", {false, true}));
    ASSERT_TRUE(desktop.SendPasteKeys(kHarmlessKeys));
    EXPECT_TRUE(other.Read(CF_UNICODETEXT));
    other.Put({{CF_UNICODETEXT, Wide(L"newer")}});
    ASSERT_TRUE(WaitFor("the copy to be dropped", [&] { return trace.Has("not given back"); }));
    EXPECT_EQ(other.Read(CF_UNICODETEXT), Wide(L"newer"));

    // Someone adds a format without emptying the clipboard: it is ours by
    // owner, not by contents.
    other.Put(UserCopy());
    trace.lines.clear();
    ASSERT_TRUE(desktop.SetClipboardText("snippet", {false, true}));
    ASSERT_TRUE(desktop.SendPasteKeys(kHarmlessKeys));
    EXPECT_TRUE(other.Read(CF_UNICODETEXT));
    const UINT added = RegisterClipboardFormatW(L"Tessary Test Added");
    other.Put({{added, "added"}}, false);
    ASSERT_TRUE(WaitFor("the copy to be dropped", [&] { return trace.Has("not given back"); }));
    EXPECT_EQ(other.Read(added), "added");
    EXPECT_NE(other.Read(CF_UNICODETEXT), UserCopy().at(CF_UNICODETEXT));

    // Without the restore the snippet stays, and a copy still waiting is dropped.
    other.Put(UserCopy());
    ASSERT_TRUE(desktop.SetClipboardText("first", {false, true}));
    ASSERT_TRUE(desktop.SetClipboardText("stays", {false, false}));
    ASSERT_TRUE(desktop.SendPasteKeys(kHarmlessKeys));
    EXPECT_EQ(other.Read(CF_UNICODETEXT), Wide(L"stays"));
    // Past the time a copy waiting since the keys would have come back.
    RunFor(2500);
    EXPECT_EQ(other.Read(CF_UNICODETEXT), Wide(L"stays"));
    EXPECT_FALSE(other.Read(RegisterClipboardFormatW(L"HTML Format")));
}
