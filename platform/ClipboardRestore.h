#pragma once
// A paste that gives the user's clipboard back: the earlier contents are
// copied before the snippet takes CLIPBOARD, the snippet is served with each
// request for it noted, and once the target has read it (see
// RestoreSchedule.h) the copy takes CLIPBOARD again with all its targets.
// Never over contents someone else put there meanwhile.

#include <string>

typedef struct _GdkDisplay GdkDisplay;
typedef struct _GtkClipboard GtkClipboard;

namespace desktop {

// CLIPBOARD is held by one of this program's widgets.
bool OwnsClipboard(GdkDisplay* display);

// Copies CLIPBOARD's contents (unless a restore is still waiting: the first
// paste's copy is the user's), then puts the snippet there.
void SetClipboardTextWithRestore(GtkClipboard* clipboard, const std::string& utf8);

// The paste keys went to the target: its read of the snippet comes now.
void NoteClipboardPasteKeys();

// A copy is waiting to be given back.
bool ClipboardRestorePending();

} // namespace desktop
