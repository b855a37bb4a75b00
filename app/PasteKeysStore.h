#pragma once
// The paste-key table in the settings file, a group of its own that a person
// can edit by hand:
//   [PasteKeys]
//   Count=2
//   Rule1=xterm|Shift+Insert|primary
//   Rule2=kitty|Ctrl+Shift+V|
// The rows in order (the first match wins): the window-class pattern, the
// paste key, and "primary" when the paste fills PRIMARY too. A group that
// cannot be read as a whole gives the default table as a whole: half a
// table would paste with Ctrl+V into the terminals its lost rows named.

#include "menu/PasteRules.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class wxConfigBase;

class CPasteKeysStore {
public:
    // More rows or longer ones than these were not written by the program.
    static constexpr std::size_t kMaxRules = 500;
    static constexpr std::size_t kMaxRowLength = 1024;
    static constexpr std::size_t kMaxPatternLength = 255;

    // What the group held when read.
    enum class EState { Missing, Read, Damaged };
    struct SRead {
        EState state = EState::Missing;
        std::vector<SPasteRule> rules; // the defaults unless state is Read
    };

    static SRead Read(wxConfigBase& config);
    // Replaces the whole group: rows of an earlier, longer table go.
    static void Write(wxConfigBase& config, const std::vector<SPasteRule>& rules);

    // One row's stored text, and back; nothing for a text no row has.
    static std::string FormatRow(const SPasteRule& rule);
    static std::optional<SPasteRule> ParseRow(const std::string& text);
    // A pattern a row can hold: not empty, no "|" (the separator), no
    // control characters, at most kMaxPatternLength bytes.
    static bool IsStorablePattern(const std::string& pattern);
};
