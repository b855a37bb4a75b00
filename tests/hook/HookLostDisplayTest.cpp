// The hook's X server going away: the process lives on, the hook counts as
// stopped, a later StartHook connects afresh, and the process still ends
// cleanly.

// Before any X header: X11 defines None and Bool as macros.
#include <gtest/gtest.h>

#include "hook/TestDisplay.h"
#include "hook/zqMouseHook.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace {

// An Xvfb of the test's own on a free display; Name() empty if none started.
class CPrivateServer {
public:
    CPrivateServer() {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", nullptr};
        if (posix_spawnp(&m_nPid, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ))
            m_nPid = -1;
        close(fds[1]);
        pollfd wait{fds[0], POLLIN, 0};
        char c = 0;
        while (m_nPid > 0 && poll(&wait, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            m_strNumber += c;
        close(fds[0]);
    }
    ~CPrivateServer() { Kill(); }
    std::string Name() const { return m_strNumber.empty() ? "" : ":" + m_strNumber; }
    void Kill() {
        if (m_nPid > 0 && kill(m_nPid, SIGKILL) == 0)
            waitpid(m_nPid, nullptr, 0);
        m_nPid = -1;
    }

private:
    pid_t m_nPid = -1;
    std::string m_strNumber;
};

// StartHook with DISPLAY set to name for the hook's new connection.
int StartHookOn(const std::string& name) {
    const std::string old = std::getenv("DISPLAY");
    setenv("DISPLAY", name.c_str(), 1);
    const int started = StartHook();
    setenv("DISPLAY", old.c_str(), 1);
    return started;
}

} // namespace

TEST(HookLostDisplay, ServerGoneLeavesTheProcessAndAllowsAFreshStart) {
    CPrivateServer server;
    if (server.Name().empty())
        GTEST_SKIP() << "cannot start a private Xvfb";
    SetHwndClient(1);
    ASSERT_NE(StartHookOn(server.Name()), 0);
    {
        CTestDisplay there(server.Name().c_str());
        if (there.TryGrabButton(0)) {
            StopHook();
            GTEST_SKIP() << "the hook kept a connection from an earlier test of this process";
        }
    }

    // Run again in a child up to here: it must end at once, with code 0.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            server.Kill();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");

    server.Kill();
    CTestDisplay x;
    EXPECT_TRUE(x.WaitUntil([] { return GetHookLastError() == ZQ_HOOK_NO_DISPLAY; }));
    StopHook();
    EXPECT_EQ(StartHookOn(":65000"), 0);
    EXPECT_EQ(GetHookLastError(), ZQ_HOOK_NO_DISPLAY);

    // Back on the test's display.
    const Window receiver = x.CreateWindow();
    XSync(x.Get(), False);
    SetHwndClient(receiver);
    ASSERT_NE(StartHook(), 0);
    EXPECT_FALSE(x.TryGrabButton(0));
    StopHook();
    EXPECT_TRUE(x.TryGrabButton(0));
}
