#pragma once
// Which keys paste in which program. Terminals take Ctrl+V as a character of
// its own, xterm pastes PRIMARY with Shift+Insert, Emacs yanks with Ctrl+Y:
// a table from window class to the paste key and the selections to fill,
// looked up by the clicked window's class. A class no row names gets Ctrl+V.

#include "platform/Desktop.h"
#include "platform/KeyChord.h"

#include <string>
#include <vector>

struct SPasteRule {
    // Matched against WM_CLASS's instance and class, case-insensitive, with
    // * (any text) and ? (any one character).
    std::string pattern;
    SKeyChord chord;
    bool fillPrimary = false;

    bool operator==(const SPasteRule&) const = default;
};

class CPasteRules {
public:
    CPasteRules() : m_rules(Defaults()) {}
    explicit CPasteRules(std::vector<SPasteRule> rules) : m_rules(std::move(rules)) {}

    // The common terminals and editors.
    static std::vector<SPasteRule> Defaults();
    // What pastes where no row matches.
    static SPasteRule Fallback();

    // The first row whose pattern matches the instance or the class; the
    // fallback when none does.
    SPasteRule For(const SWindowClass& window) const;
    const std::vector<SPasteRule>& Rules() const { return m_rules; }

    // A whole-text match of a pattern with * and ?, case-insensitive for ASCII.
    static bool Matches(const std::string& pattern, const std::string& text);

private:
    std::vector<SPasteRule> m_rules;
};
