// The grab as other X clients see it: held while started, for the button
// alone and with the locks, never with Shift, Control or Alt.

// Before any X header: X11 defines None and Bool as macros.
#include <gtest/gtest.h>

#include "hook/LockModifiers.h"
#include "hook/TestDisplay.h"
#include "hook/zqMouseHook.h"

namespace {

class HookGrab : public ::testing::Test {
protected:
    void SetUp() override {
        m_nReceiver = m_other.CreateWindow();
        XSync(m_other.Get(), False);
        SetHwndClient(m_nReceiver);
    }
    void TearDown() override { StopHook(); }

    // Whether another client could take the right button with mods; leaves it free.
    bool FreeFor(unsigned mods) {
        if (!m_other.TryGrabButton(mods))
            return false;
        m_other.UngrabButton(mods);
        return true;
    }

    CTestDisplay m_other;
    Window m_nReceiver = None;
};

} // namespace

TEST_F(HookGrab, HeldExactlyWhileStarted) {
    SetHwndClient(0);
    EXPECT_EQ(StartHook(), 0);
    EXPECT_EQ(GetHookLastError(), ZQ_HOOK_NO_CLIENT);
    EXPECT_TRUE(FreeFor(0));
    SetHwndClient(m_nReceiver);

    StopHook();
    ASSERT_NE(StartHook(), 0);
    EXPECT_EQ(GetHookLastError(), ZQ_HOOK_OK);
    EXPECT_NE(StartHook(), 0);

    // Num Lock's and Scroll Lock's bits where the keymap has them.
    const unsigned otherLocks = CLockModifiers::Read(m_other.Get()) & ~LockMask;
    EXPECT_FALSE(FreeFor(0));
    EXPECT_FALSE(FreeFor(LockMask));
    EXPECT_FALSE(FreeFor(otherLocks));
    EXPECT_FALSE(FreeFor(LockMask | otherLocks));
    EXPECT_TRUE(FreeFor(ShiftMask));
    EXPECT_TRUE(FreeFor(ControlMask));
    EXPECT_TRUE(FreeFor(Mod1Mask));
    EXPECT_TRUE(FreeFor(ShiftMask | LockMask));

    StopHook();
    StopHook();
    EXPECT_TRUE(FreeFor(0));
    EXPECT_TRUE(FreeFor(LockMask));

    // Started again on the same connection.
    ASSERT_NE(StartHook(), 0);
    EXPECT_FALSE(FreeFor(0));
    StopHook();
    EXPECT_TRUE(FreeFor(0));
}

TEST_F(HookGrab, RefusedWhileAnotherClientHoldsTheButton) {
    // Only the Caps Lock variant is taken: the hook's plain grab succeeds
    // first and must be given back.
    ASSERT_TRUE(m_other.TryGrabButton(LockMask));
    EXPECT_EQ(StartHook(), 0);
    EXPECT_EQ(GetHookLastError(), ZQ_HOOK_GRAB_REFUSED);
    CTestDisplay third;
    EXPECT_TRUE(third.TryGrabButton(0));
    third.UngrabButton(0);
    StopHook();

    m_other.UngrabButton(LockMask);
    EXPECT_NE(StartHook(), 0);
    EXPECT_EQ(GetHookLastError(), ZQ_HOOK_OK);
    EXPECT_FALSE(FreeFor(LockMask));
}
