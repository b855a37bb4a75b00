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

// Over 256 KB: GTK gives it back in pieces (INCR), and it is read so again.
constexpr std::size_t kLarge = 300 * 1024 + 7;

enum class EOwner { Answers, Stalls, StallsOnTheLarge };

// Another program owning CLIPBOARD, on its own connection and thread so that
// it answers while the program is blocked reading it.
class COwner {
public:
    COwner(Targets targets, EOwner mode)
        : m_targets(std::move(targets)), m_mode(mode), m_pDisplay(XOpenDisplay(nullptr)) {
        CErrorTrap::Route(m_pDisplay); // writes to a reader gone meanwhile
        XSetSelectionOwner(
            m_pDisplay, Intern("CLIPBOARD"),
            XCreateSimpleWindow(m_pDisplay, DefaultRootWindow(m_pDisplay), 0, 0, 1, 1, 0, 0, 0),
            CurrentTime);
        XSync(m_pDisplay, False);
        m_thread = std::thread([this] {
            while (!m_bStop)
                Serve();
        });
    }
    ~COwner() {
        m_bStop = true;
        m_thread.join();
        XCloseDisplay(m_pDisplay);
    }
    std::atomic<bool> m_bLost{false};

private:
    Atom Intern(const std::string& name) { return XInternAtom(m_pDisplay, name.c_str(), False); }
    void Put(Window to, Atom property, Atom type, int format, const void* data, std::size_t n) {
        XChangeProperty(m_pDisplay, to, property, type, format, PropModeReplace,
                        static_cast<const unsigned char*>(data), static_cast<int>(n));
    }

    void Answer(const XSelectionRequestEvent& request) {
        XEvent reply{.xselection = {SelectionNotify, 0, True, m_pDisplay, request.requestor,
                                    request.selection, request.target, request.property,
                                    request.time}};
        char* name = XGetAtomName(m_pDisplay, request.target);
        const auto found = m_targets.find(name);
        XFree(name);
        if (request.target == Intern("TARGETS")) {
            std::vector<long> atoms{0x3ffffff0}; // none such, as a broken owner lists
            for (const auto& target : m_targets)
                atoms.push_back(static_cast<long>(Intern(target.first)));
            Put(request.requestor, request.property, XA_ATOM, 32, atoms.data(), atoms.size());
        } else if (found == m_targets.end()) {
            reply.xselection.property = None;
        } else if (m_mode == EOwner::StallsOnTheLarge && found->second.size() == kLarge) {
            return;
        } else {
            Put(request.requestor, request.property, request.target, 8, found->second.data(),
                found->second.size());
        }
        XSendEvent(m_pDisplay, request.requestor, False, NoEventMask, &reply);
    }

    void Serve() {
        pollfd socket{ConnectionNumber(m_pDisplay), POLLIN, 0};
        poll(&socket, 1, 5);
        while (XPending(m_pDisplay)) {
            XEvent event;
            XNextEvent(m_pDisplay, &event);
            m_bLost = m_bLost || event.type == SelectionClear;
            if (event.type == SelectionRequest && m_mode != EOwner::Stalls)
                Answer(event.xselectionrequest);
        }
        XFlush(m_pDisplay);
    }

    Targets m_targets;
    EOwner m_mode;
    Display* m_pDisplay;
    std::atomic<bool> m_bStop{false};
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
    {"application/x-large", Binary(kLarge)},
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

    // Every target of CLIPBOARD, read by another client while this program's
    // loop runs (it may be the owner); each came as its own type.
    Targets ReadAll() {
        const std::string name = DisplayString(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()));
        std::atomic<bool> done{false};
        Targets all;
        std::thread reader([&] {
            for (SClipboardItem& item :
                 desktop::ReadClipboardOverX(name, {std::chrono::milliseconds(5000)}).items)
                all[item.target] = item.type == item.target ? item.bytes : "typed " + item.type;
            done = true;
        });
        WaitFor("the clipboard read", [&] { return done.load(); });
        reader.join();
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
    EXPECT_TRUE(owner.m_bLost);
    EXPECT_EQ(ReadAll(), kOffered) << m_strTrace;
    EXPECT_NE(m_strTrace.find("clipboard given back: 3 targets, after 2 requests"),
              std::string::npos)
        << m_strTrace;

    // Two pastes in a row: the second finds only our snippet.
    ASSERT_TRUE(Paste("snippet two"));
    ASSERT_TRUE(Paste("snippet three"));
    desktop::NoteClipboardPasteKeys();
    EXPECT_EQ(Text(), "snippet three");
    ASSERT_TRUE(Restored());
    EXPECT_EQ(ReadAll(), kOffered) << m_strTrace;
}

// Nothing asks after the keys: given back after the wait. Someone takes the
// clipboard meanwhile: theirs stays. Without the restore the snippet stays,
// as before there was one.
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
    EXPECT_FALSE(newer.m_bLost);

    // The restore off: nothing copied, and a copy waiting is dropped.
    m_strTrace.clear();
    ASSERT_TRUE(desktop::SetClipboardText("stays", {}));
    EXPECT_TRUE(WaitFor("the newer owner's loss", [&] { return newer.m_bLost.load(); }));
    ASSERT_TRUE(Paste("about to be replaced"));
    ASSERT_TRUE(desktop::SetClipboardText("stays", {}));
    EXPECT_FALSE(desktop::ClipboardRestorePending());
    EXPECT_EQ(Text(), "stays");
    EXPECT_EQ(m_strTrace.find("copied"), m_strTrace.rfind("copied")) << "once " << m_strTrace;
}

// An owner that never answers, or answers all but the large target,
// costs the budget and no more; the paste goes on, and what was read before
// comes back. No owner: nothing to give back.
TEST_F(ClipboardRestoreTest, ASlowOrMissingOwnerCostsTheBudgetAndThePasteGoesOn) {
    for (const EOwner mode : {EOwner::Stalls, EOwner::StallsOnTheLarge}) {
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
        EXPECT_EQ(ReadAll(), Targets{*kOffered.find("UTF8_STRING")});
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
