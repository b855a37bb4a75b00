#include "app/PasteKeysStore.h"

#include <wx/config.h>
#include <wx/log.h>

#include <cctype>

namespace {

constexpr const char* kGroup = "/PasteKeys";
constexpr const char* kPrimary = "primary";

std::string Key(const char* name, std::size_t index = 0) {
    return std::string(kGroup) + "/" + name + (index ? std::to_string(index) : "");
}

std::optional<std::string> ReadValue(wxConfigBase& config, const std::string& key) {
    wxString value;
    if (!config.Read(wxString::FromUTF8(key), &value))
        return std::nullopt;
    return value.utf8_string();
}

// Plain decimal digits only: "+3", "3x", " " and "1e3" are no counts.
std::optional<std::size_t> ParseCount(const std::string& text) {
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    std::size_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    return n;
}

} // namespace

bool CPasteKeysStore::IsStorablePattern(const std::string& pattern) {
    if (pattern.empty() || pattern.size() > kMaxPatternLength)
        return false;
    for (char c : pattern)
        if (c == '|' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

std::string CPasteKeysStore::FormatRow(const SPasteRule& rule) {
    return rule.pattern + "|" + rule.chord.Format() + "|" + (rule.fillPrimary ? kPrimary : "");
}

std::optional<SPasteRule> CPasteKeysStore::ParseRow(const std::string& text) {
    if (text.size() > kMaxRowLength)
        return std::nullopt;
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const std::size_t bar = text.find('|', from);
        fields.push_back(TrimBlanks(text.substr(from, bar - from)));
        if (bar == std::string::npos)
            break;
        from = bar + 1;
    }
    // The flag may be left out by hand ("kitty|Ctrl+Shift+V").
    if (fields.size() < 2 || fields.size() > 3 || !IsStorablePattern(fields[0]))
        return std::nullopt;
    const auto chord = SKeyChord::Parse(fields[1]);
    if (!chord)
        return std::nullopt;
    std::string flag = fields.size() == 3 ? fields[2] : std::string();
    for (char& c : flag)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!flag.empty() && flag != kPrimary)
        return std::nullopt;
    return SPasteRule{fields[0], *chord, !flag.empty()};
}

CPasteKeysStore::SRead CPasteKeysStore::Read(wxConfigBase& config) {
    wxLogNull quiet;
    SRead read;
    read.rules = CPasteRules::Defaults();
    if (!config.HasGroup(kGroup))
        return read;
    read.state = EState::Damaged;
    const auto countText = ReadValue(config, Key("Count"));
    const auto count = countText ? ParseCount(TrimBlanks(*countText)) : std::nullopt;
    if (!count || *count > kMaxRules)
        return read;
    std::vector<SPasteRule> rules;
    rules.reserve(*count);
    for (std::size_t i = 1; i <= *count; ++i) {
        const auto text = ReadValue(config, Key("Rule", i));
        const auto rule = text ? ParseRow(*text) : std::nullopt;
        if (!rule)
            return read;
        rules.push_back(*rule);
    }
    read.state = EState::Read;
    read.rules = std::move(rules);
    return read;
}

void CPasteKeysStore::Write(wxConfigBase& config, const std::vector<SPasteRule>& rules) {
    wxLogNull quiet;
    config.DeleteGroup(kGroup);
    config.Write(Key("Count"), static_cast<long>(rules.size()));
    for (std::size_t i = 0; i < rules.size(); ++i)
        config.Write(Key("Rule", i + 1), wxString::FromUTF8(FormatRow(rules[i])));
}
