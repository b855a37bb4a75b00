#pragma once
// The mouse hook: while started, every right-click in any window of the X
// display (without Shift, Ctrl or Alt held) is taken from the program beneath
// and reported to one client window.
//
// The report is a ClientMessage sent to the window given to SetHwndClient:
//   message_type  the atom named ZQ_MOUSEHOOK_MESSAGE
//   format        32
//   data.l[0]     the clicked top-level client window (0 when the click was on
//                 the desktop itself)
//   data.l[1]     x of the click, in root-window coordinates
//   data.l[2]     y of the click
//   data.l[3]     X server time of the button release
// One report per right-click, sent at the release of the button, when the
// button grab has ended.
//
// On Windows the client is an HWND and the report a WM_COPYDATA message:
//   dwData  ZQ_MOUSEHOOK_COPYDATA
//   lpData  one SHookReport (cbData its size), the same four items with the
//           clicked top-level window from WindowFromPoint and
//           GetAncestor(GA_ROOT), screen coordinates and the release's
//           tick count.
// Clicks are let through while the client's own thread holds the mouse (a
// menu or a capture is up), as an X grab of the program's own holds them.

#ifdef __cplusplus
extern "C" {
#endif

#define ZQ_MOUSEHOOK_MESSAGE "_ZQ_MOUSEHOOK_CLICK"

#ifdef _WIN32
#define ZQ_MOUSEHOOK_COPYDATA 0x5A514D48u /* "ZQMH" */
// A window handle needs 32 bits only, so that 32- and 64-bit programs share it.
typedef struct SHookReport {
    unsigned int target;
    int x;
    int y;
    unsigned int time;
} SHookReport;
#endif

// Why the last StartHook gave 0 (GetHookLastError). On Windows a hook the
// system refuses is ZQ_HOOK_GRAB_REFUSED, a hook thread that cannot start
// ZQ_HOOK_NO_DISPLAY.
#define ZQ_HOOK_OK 0
#define ZQ_HOOK_NO_DISPLAY 1   // no X display could be reached, or it went away
#define ZQ_HOOK_GRAB_REFUSED 2 // another client holds the right button
#define ZQ_HOOK_NO_CLIENT 3    // StartHook came before SetHwndClient

// The X window id (on Windows the HWND) that receives the reports.
void SetHwndClient(unsigned long window);
// Non-zero when the grab is in place (also when it already was); 0 when not:
// no X display, or another client holds the right button.
int StartHook(void);
// Releases the grab; harmless when not started.
void StopHook(void);
// ZQ_HOOK_OK after a StartHook that succeeded, else why it failed;
// ZQ_HOOK_NO_DISPLAY too once a started hook lost its X connection.
int GetHookLastError(void);

#ifdef __cplusplus
}
#endif
