#pragma once
// Where the caret goes in a field given the focus by a right-click: at the
// clicked character, unless the click fell inside the field's selection,
// which then stays, so that the snippet replaces it as a paste does in every
// editor.

struct SFieldPoint {
    int offset = -1; // the character at the click; -1 when not known
    int selectionStart = 0;
    int selectionEnd = 0; // equal to the start: no selection
};

struct SFieldCaret {
    bool keepSelection = false;
    int offset = -1; // where the caret goes; -1: where the toolkit put it
};

inline SFieldCaret CaretFor(const SFieldPoint& point) {
    const bool selected = point.selectionEnd > point.selectionStart;
    // The character right after a selection counts as inside it: a click on
    // the selection's last half-character lands there.
    if (selected && point.offset >= point.selectionStart && point.offset <= point.selectionEnd)
        return {true, -1};
    return {false, point.offset};
}
