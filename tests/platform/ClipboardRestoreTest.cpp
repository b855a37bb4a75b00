// The user's clipboard given back after a paste, against the real server:
// another program owns CLIPBOARD with several targets (binary, and large
// enough to come in pieces), answers slowly or never, or takes the clipboard
// back meanwhile; the program itself may be the owner.

// Before any X header: X11 defines None and Bool as macros.
#include <gtest/gtest.h>

#include "platform/Clipboard.h"
#include "platform/ClipboardRestore.h"
#include "platform/ClipboardSnapshot.h"
#include "platform/Trace.h"
#include "support/GuiTest.h"

#include "hook/ErrorTrap.h"
#include "support/XClient.h"

#include <wx/clipbrd.h>

#include <X11/Xatom.h>
#include <gdk/gdkx.h>
#include <poll.h>

#include <atomic>
#include <map>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using Targets = std::map<std::string, std::string>; // target (and type): bytes

// Pieces of this size make a 300 KB target an INCR transfer of five.
constexpr std::size_t kPiece = 64 * 1024;

enum class EOwner { Answers, Stalls, StallsInPieces };

// Another program owning CLIPBOARD, on its own connection and thread so it
// answers while the program under test is blocked reading it.
class COwner {
public:
    COwner(Targets targets, EOwner mode) : m_targets(std::move(targets)), m_mode(mode) {
        m_pDisplay = XOpenDisplay(nullptr);
        CErrorTrap::Route(m_pDisplay); // writes to a reader gone meanwhile
        m_nWindow =
            XCreateSimpleWindow(m_pDisplay, DefaultRootWindow(m_pDisplay), 0, 0, 1, 1, 0, 0, 0);
        m_nClipboard = XInternAtom(m_pDisplay, "CLIPBOARD", False);
        XSetSelectionOwner(m_pDisplay, m_nClipboard, m_nWindow, CurrentTime);
        XSync(m_pDisplay, False);
        m_thread = std::thread([this] { Run(); });
    }
    ~COwner() {
        m_bStop = true;
        m_thread.join();
        XCloseDisplay(m_pDisplay);
    }
    bool Lost() const { return m_bLost; }

private:
    struct STransfer {
        Window requestor;
        Atom property;
        Atom type;
        std::string rest;
        bool ended = false;
    };

    Atom Intern(const std::string& name) { return XInternAtom(m_pDisplay, name.c_str(), False); }

    void Put(Window to, Atom property, Atom type, int format, const void* data, int count) {
        XChangeProperty(m_pDisplay, to, property, type, format, PropModeReplace,
                        static_cast<const unsigned char*>(data), count);
    }

    void Answer(const XSelectionRequestEvent& request) {
        XEvent reply{};
        reply.xselection = {SelectionNotify,
                            0,
                            True,
                            m_pDisplay,
                            request.requestor,
                            request.selection,
                            request.target,
                            request.property,
                            request.time};
        const Atom property = request.property ? request.property : request.target;
        const auto found = std::find_if(m_targets.begin(), m_targets.end(), [&](const auto& t) {
            return Intern(t.first) == request.target;
        });
        if (request.target == Intern("TARGETS")) {
            // An atom that does not exist among them, as a broken owner sends.
            std::vector<long> atoms{static_cast<long>(Intern("TARGETS")), 0x3ffffff0};
            for (const auto& target : m_targets)
                atoms.push_back(static_cast<long>(Intern(target.first)));
            Put(request.requestor, property, XA_ATOM, 32, atoms.data(),
                static_cast<int>(atoms.size()));
        } else if (found == m_targets.end()) {
            reply.xselection.property = None;
        } else if (found->second.size() > kPiece) {
            XSelectInput(m_pDisplay, request.requestor, PropertyChangeMask);
            const long size = static_cast<long>(found->second.size());
            Put(request.requestor, property, Intern("INCR"), 32, &size, 1);
            m_transfers.push_back(
                {request.requestor, property, Intern(found->first), found->second});
        } else {
            Put(request.requestor, property, Intern(found->first), 8, found->second.data(),
                static_cast<int>(found->second.size()));
        }
        XSendEvent(m_pDisplay, request.requestor, False, NoEventMask, &reply);
    }

    // The reader deleted the last piece: the next one, or the empty end.
    void Continue(const XPropertyEvent& deleted) {
        for (STransfer& transfer : m_transfers) {
            if (transfer.requestor != deleted.window || transfer.property != deleted.atom ||
                transfer.ended || m_mode == EOwner::StallsInPieces)
                continue;
            const std::string piece = transfer.rest.substr(0, kPiece);
            transfer.rest.erase(0, piece.size());
            transfer.ended = piece.empty();
            Put(transfer.requestor, transfer.property, transfer.type, 8, piece.data(),
                static_cast<int>(piece.size()));
        }
    }

    void Run() {
        while (!m_bStop) {
            pollfd socket{ConnectionNumber(m_pDisplay), POLLIN, 0};
            poll(&socket, 1, 5);
            while (XPending(m_pDisplay)) {
                XEvent event;
                XNextEvent(m_pDisplay, &event);
                if (event.type == SelectionClear)
                    m_bLost = true;
                else if (event.type == SelectionRequest && m_mode != EOwner::Stalls)
                    Answer(event.xselectionrequest);
                else if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete)
                    Continue(event.xproperty);
            }
            XFlush(m_pDisplay);
        }
    }

    Targets m_targets;
    EOwner m_mode;
    Display* m_pDisplay = nullptr;
    Window m_nWindow = 0;
    Atom m_nClipboard = 0;
    std::vector<STransfer> m_transfers;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bLost{false};
    std::thread m_thread;
};

// Bytes with NULs and every other value, as an image has.
std::string Binary(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

const Targets kOffered{
    {"UTF8_STRING", "before the paste \u2713"},
    {"image/png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + Binary(1000)},
    {"application/x-large", Binary(300 * 1024 + 7)},
};

class ClipboardRestoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        trace::SetSink([this](const std::string& line) { m_strTrace += line + "\n"; });
    }
    void TearDown() override {
        trace::SetSink(nullptr);
        // Nothing left waiting for the next test.
        desktop::SetClipboardText("", {});
    }

    // Every target of CLIPBOARD with its type, read by another client while
    // this program's loop runs (it may be the owner).
    std::map<std::string, std::pair<std::string, std::string>> ReadAll() {
        const std::string name = DisplayString(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()));
        std::atomic<bool> done{false};
        SClipboardSnapshot read;
        std::thread reader([&] {
            read = desktop::ReadClipboardOverX(name, {std::chrono::milliseconds(5000)});
            done = true;
        });
        WaitFor("the clipboard read", [&] { return done.load(); });
        reader.join();
        std::map<std::string, std::pair<std::string, std::string>> all;
        for (const SClipboardItem& item : read.items)
            all[item.target] = {item.type, item.bytes};
        return all;
    }
    static std::map<std::string, std::pair<std::string, std::string>>
    Typed(const Targets& targets) {
        std::map<std::string, std::pair<std::string, std::string>> all;
        for (const auto& [target, bytes] : targets)
            all[target] = {target, bytes};
        return all;
    }
    std::optional<std::string> Text() { return m_x.ReadSelection("CLIPBOARD", "UTF8_STRING"); }
    bool Paste(const std::string& text) {
        return desktop::SetClipboardText(text, {false, true}) && Text() == text;
    }
    bool Restored() {
        return WaitFor(
            "the clipboard given back", [] { return !desktop::ClipboardRestorePending(); }, 6000);
    }

    CXClient m_x;
    std::string m_strTrace;
};

} // namespace

// Read after the keys, the snippet stays while it is being read, then every
// target comes back byte for byte; a second paste before that keeps the
// first copy, and a copy given back is copied again from our own side.
TEST_F(ClipboardRestoreTest, EveryTargetComesBackOnceTheTargetHasReadTheSnippet) {
    COwner owner(kOffered, EOwner::Answers);
    ASSERT_TRUE(Paste("snippet one"));
    desktop::NoteClipboardPasteKeys();
    EXPECT_EQ(Text(), "snippet one");
    EXPECT_EQ(Text(), "snippet one") << "a read restarts the quiet time";
    ASSERT_TRUE(Restored());
    EXPECT_TRUE(owner.Lost());
    EXPECT_EQ(ReadAll(), Typed(kOffered)) << m_strTrace;
    EXPECT_NE(m_strTrace.find("3 copied"), std::string::npos) << m_strTrace;
    EXPECT_NE(m_strTrace.find("clipboard given back: 3 targets, after 2 requests"),
              std::string::npos)
        << m_strTrace;

    // Two pastes in a row: the second finds only our snippet.
    ASSERT_TRUE(Paste("snippet two"));
    ASSERT_TRUE(Paste("snippet three"));
    desktop::NoteClipboardPasteKeys();
    EXPECT_EQ(Text(), "snippet three");
    ASSERT_TRUE(Restored());
    EXPECT_EQ(ReadAll(), Typed(kOffered)) << m_strTrace;
}

// Nothing asks after the keys: given back after the wait. Someone takes the
// clipboard meanwhile: theirs stays. The restore off, or a later paste
// without it: the snippet stays, as before there was a restore.
TEST_F(ClipboardRestoreTest, GivenBackOnlyOverOurOwnSnippet) {
    const Targets text{{"UTF8_STRING", "the user's"}};
    {
        COwner owner(text, EOwner::Answers);
        ASSERT_TRUE(Paste("unread"));
    }
    desktop::NoteClipboardPasteKeys();
    const auto keys = Clock::now();
    // Text() above was before the keys: it does not count.
    ASSERT_TRUE(Restored());
    EXPECT_GE(Clock::now() - keys, std::chrono::milliseconds(1900));
    EXPECT_EQ(Text(), "the user's");

    ASSERT_TRUE(Paste("taken over"));
    desktop::NoteClipboardPasteKeys();
    COwner newer({{"UTF8_STRING", "copied meanwhile"}}, EOwner::Answers);
    ASSERT_TRUE(Restored());
    EXPECT_NE(m_strTrace.find("not given back"), std::string::npos) << m_strTrace;
    EXPECT_EQ(Text(), "copied meanwhile");
    EXPECT_FALSE(newer.Lost());

    for (const bool restoreFirst : {false, true}) {
        if (restoreFirst) {
            ASSERT_TRUE(Paste("about to be replaced"));
        }
        ASSERT_TRUE(desktop::SetClipboardText("stays", {}));
        EXPECT_FALSE(desktop::ClipboardRestorePending());
        EXPECT_TRUE(WaitFor("the newer owner's loss", [&] { return newer.Lost(); }));
        EXPECT_EQ(Text(), "stays");
    }
}

// An owner that never answers, or stops half-way through the large target,
// costs the budget and no more; the paste goes on, and what was read before
// comes back. No owner: nothing to give back.
TEST_F(ClipboardRestoreTest, ASlowOrMissingOwnerCostsTheBudgetAndThePasteGoesOn) {
    for (const EOwner mode : {EOwner::Stalls, EOwner::StallsInPieces}) {
        COwner owner(kOffered, mode);
        const auto begun = Clock::now();
        ASSERT_TRUE(Paste("despite the owner"));
        EXPECT_LT(Clock::now() - begun, std::chrono::milliseconds(1000));
        EXPECT_NE(m_strTrace.find("too slow"), std::string::npos) << m_strTrace;
        if (mode == EOwner::Stalls) {
            EXPECT_FALSE(desktop::ClipboardRestorePending()) << "nothing was read";
            continue;
        }
        desktop::NoteClipboardPasteKeys();
        ASSERT_TRUE(Restored());
        // Offered in this order: what came after the stall was not read.
        EXPECT_EQ(ReadAll(), Typed({*kOffered.find("UTF8_STRING")}));
    }
    XSetSelectionOwner(m_x.Get(), XInternAtom(m_x.Get(), "CLIPBOARD", False), None, CurrentTime);
    XSync(m_x.Get(), False);
    ASSERT_TRUE(Paste("no owner before"));
    EXPECT_FALSE(desktop::ClipboardRestorePending());
}

// The editor's own copy is read from our side, without running the event
// loop in the middle of the paste (a paste's timers must not fire in it).
TEST_F(ClipboardRestoreTest, OurOwnCopyIsReadWithoutRunningTheLoop) {
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject("from the editor"));
    wxTheClipboard->Close();
    bool ranLoop = false;
    g_idle_add(
        [](gpointer ran) {
            *static_cast<bool*>(ran) = true;
            return G_SOURCE_REMOVE;
        },
        &ranLoop);
    ASSERT_TRUE(desktop::SetClipboardText("over the editor's", {false, true}));
    EXPECT_FALSE(ranLoop);
    desktop::NoteClipboardPasteKeys();
    EXPECT_EQ(Text(), "over the editor's");
    ASSERT_TRUE(Restored());
    EXPECT_EQ(Text(), "from the editor") << m_strTrace;
}
