#pragma once
// The clipboard of the paste on Windows. Puts the snippet there as
// CF_UNICODETEXT; with the restore asked for, first copies the earlier
// contents (ClipboardCopy.h), offers the snippet by delayed rendering so that
// the target's read of it is seen, and once the target has read it (see
// RestoreSchedule.h) puts the copy back, never over contents someone else put
// there meanwhile. Its hidden owner window and timer run on the GUI thread.

#include <memory>
#include <string>

class CWinClipboard {
public:
    CWinClipboard();
    ~CWinClipboard();
    CWinClipboard(const CWinClipboard&) = delete;
    CWinClipboard& operator=(const CWinClipboard&) = delete;

    // Puts the text on the clipboard; false when it could not be opened. With
    // restore, the earlier contents come back after the paste (a second paste
    // while they wait keeps the first copy: that one is the user's).
    bool SetText(const std::string& utf8, bool restore);
    // The paste keys went to the target: its read of the snippet comes now.
    void NoteKeysSent();

private:
    struct SState;
    std::unique_ptr<SState> m_pState;
};
