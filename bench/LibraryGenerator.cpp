#include "LibraryGenerator.h"

#include <array>
#include <initializer_list>
#include <string_view>

namespace {

// A fixed generator rather than <random>: its distributions differ between
// standard libraries, and the files must be the same everywhere.
class CSplitMix {
public:
    explicit CSplitMix(std::uint64_t seed) : m_nState(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_nState += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t m_nState;
};

constexpr std::array<std::string_view, 32> kWords = {
    "Dear",   "customer", "thank",  "you",     "for",     "your",     "order",   "café",
    "résumé", "€42",      "—",      "日本",    "naïve",   "Grüße",    "invoice", "please",
    "find",   "attached", "best",   "regards", "meeting", "tomorrow", "at",      "10:00",
    "the",    "report",   "Zürich", "délai",   "and",     "price",    "a&b",     "<tag>"};

constexpr std::array<std::string_view, 6> kHeaderTails = {"", " — café", " Q&A", " 日本", " €", ""};

constexpr int kLeafLevel = 4;
constexpr std::size_t kMinText = 50;
constexpr std::size_t kMaxText = 200;

void AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

class CWriter {
public:
    CWriter(int nItems, std::uint64_t seed) : m_nRemaining(nItems - 1), m_rng(seed) {
        // Smallest fan-out whose full four-level tree holds the items.
        while (1 + m_nFanout + m_nFanout * m_nFanout + m_nFanout * m_nFanout * m_nFanout +
                   m_nFanout * m_nFanout * m_nFanout * m_nFanout <
               nItems)
            ++m_nFanout;
        m_strOut.reserve(static_cast<std::size_t>(nItems) * 200);
    }

    std::string Run() {
        m_strOut += "<level0 header=\"Snippets\" iid=\"0\">";
        m_nNextId = 1;
        while (m_nRemaining > 0)
            Item(1);
        m_strOut += "\n</level0>\n";
        return std::move(m_strOut);
    }

private:
    void Item(int level) {
        --m_nRemaining;
        const int id = m_nNextId++;
        std::string indent(static_cast<std::size_t>(level) * 2 + 1, ' ');
        indent[0] = '\n';
        std::string name = "level";
        name += std::to_string(level);
        // Now and then a snippet sits higher up, among the headings.
        const bool heading = level < kLeafLevel && m_nRemaining > 0 && m_rng.Below(20) != 0;

        Put({indent, "<", name, " header=\""});
        AppendEscaped(m_strOut, Header(level, id, heading));
        Put({"\" iid=\"", std::to_string(id), "\">"});
        if (heading) {
            const int children = m_nFanout - 1 + m_rng.Below(3);
            for (int c = 0; c < children && m_nRemaining > 0; ++c)
                Item(level + 1);
            Put({indent, "</", name, ">"});
        } else {
            Put({"<![CDATA[", Text(), "]]></", name, ">"});
        }
    }

    void Put(std::initializer_list<std::string_view> parts) {
        for (std::string_view part : parts)
            m_strOut += part;
    }

    std::string Header(int level, int id, bool heading) {
        static constexpr std::array<const char*, 4> kKinds = {"Chapter ", "Section ", "Topic ",
                                                              "Snippet "};
        std::string header = heading ? kKinds[static_cast<std::size_t>(level - 1)] : "Snippet ";
        header += std::to_string(id);
        header += kHeaderTails[static_cast<std::size_t>(m_rng.Below(kHeaderTails.size()))];
        return header;
    }

    std::string Text() {
        const std::size_t target = kMinText + static_cast<std::size_t>(m_rng.Below(141));
        std::string text;
        while (text.size() < target) {
            const std::string_view word =
                kWords[static_cast<std::size_t>(m_rng.Below(kWords.size()))];
            if (text.size() + 1 + word.size() > kMaxText)
                break;
            if (!text.empty())
                text += m_rng.Below(8) == 0 ? '\n' : ' ';
            text += word;
        }
        return text;
    }

    int m_nRemaining;
    int m_nNextId = 0;
    int m_nFanout = 2;
    CSplitMix m_rng;
    std::string m_strOut;
};

} // namespace

std::string CLibraryGenerator::Generate(int nItems, std::uint64_t seed) {
    if (nItems < 1)
        nItems = 1;
    return CWriter(nItems, seed).Run();
}
