#include "menu/PasteRules.h"

#include <cctype>

namespace {

SKeyChord Chord(const char* text) {
    return *SKeyChord::Parse(text);
}

bool SameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

} // namespace

std::vector<SPasteRule> CPasteRules::Defaults() {
    std::vector<SPasteRule> rules;
#ifdef _WIN32
    // Windows' own consoles take Ctrl+V; mintty (Git Bash, Cygwin, MSYS2) and
    // PuTTY paste the clipboard at Shift+Insert and type Ctrl+V as it is.
    for (const char* name : {"mintty", "putty"})
        rules.push_back({name, Chord("Shift+Insert"), false});
#else
    // xterm and rxvt have no key for CLIPBOARD: Shift+Insert pastes PRIMARY.
    for (const char* name : {"xterm", "uxterm", "urxvt", "rxvt*"})
        rules.push_back({name, Chord("Shift+Insert"), true});
    for (const char* name :
         {"gnome-terminal*", "xfce4-terminal", "lxterminal", "mate-terminal", "terminator", "tilix",
          "com.gexperts.Tilix", "konsole", "kitty", "alacritty", "*wezterm*", "st", "st-256color",
          "terminology", "qterminal", "sakura", "guake", "tilda"})
        rules.push_back({name, Chord("Ctrl+Shift+V"), false});
#endif
    // Emacs yanks the clipboard (select-enable-clipboard is on by default).
    rules.push_back({"emacs", Chord("Ctrl+Y"), false});
    return rules;
}

SPasteRule CPasteRules::Fallback() {
    return {"*", Chord("Ctrl+V"), false};
}

SPasteRule CPasteRules::For(const SWindowClass& window) const {
    for (const SPasteRule& rule : m_rules)
        if (Matches(rule.pattern, window.instance) || Matches(rule.pattern, window.className))
            return rule;
    return Fallback();
}

bool CPasteRules::Matches(const std::string& pattern, const std::string& text) {
    // Greedy with one backtrack point, the last star: linear in practice,
    // never exponential on hostile patterns.
    std::size_t p = 0, t = 0;
    std::size_t star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && (pattern[p] == '?' || SameLetter(pattern[p], text[t]))) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}
