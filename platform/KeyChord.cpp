#include "platform/KeyChord.h"

#include <cctype>

std::string TrimBlanks(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::string SKeyChord::Format() const {
    std::string text;
    if (ctrl)
        text += "Ctrl+";
    if (shift)
        text += "Shift+";
    if (alt)
        text += "Alt+";
    if (super)
        text += "Super+";
    return text + key;
}

std::optional<SKeyChord> SKeyChord::Parse(const std::string& text) {
    SKeyChord chord;
    std::size_t from = 0;
    for (;;) {
        const std::size_t plus = text.find('+', from);
        const std::string part = TrimBlanks(text.substr(from, plus - from));
        if (plus == std::string::npos) {
            if (part.empty())
                return std::nullopt;
            for (char c : part)
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
                    return std::nullopt;
            // Key names start upper case ("v" is V, "insert" Insert).
            chord.key = part;
            chord.key[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(part[0])));
            return chord;
        }
        const std::string name = Lower(part);
        bool* flag = name == "ctrl" || name == "control" ? &chord.ctrl
                     : name == "shift"                   ? &chord.shift
                     : name == "alt"                     ? &chord.alt
                     : name == "super"                   ? &chord.super
                                                         : nullptr;
        if (!flag || *flag)
            return std::nullopt;
        *flag = true;
        from = plus + 1;
    }
}
