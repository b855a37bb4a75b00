#pragma once
// X errors of the requests made through GDK's connection while the trap
// lives are swallowed instead of ending the program: the window asked about
// may have gone, another program may hold a grab. With the trace on, each
// error caught is named on stderr, with what the trap was guarding.

#include <gdk/gdkx.h>

class CGdkErrorTrap {
public:
    // On the default display; `what` names the guarded requests in the trace.
    explicit CGdkErrorTrap(const char* what, GdkDisplay* display = nullptr);
    ~CGdkErrorTrap();
    CGdkErrorTrap(const CGdkErrorTrap&) = delete;
    CGdkErrorTrap& operator=(const CGdkErrorTrap&) = delete;

    // Waits for the server's answer to everything sent so far and ends the
    // trap: the first error's code, 0 when none came.
    int Error();
    bool Failed() { return Error() != 0; }

private:
    void Report(int code) const;

    const char* m_pszWhat;
    GdkDisplay* m_pDisplay;
    bool m_bPopped = false;
    int m_nError = 0;
};
