#include "PasteLibrary.h"

#include <cstdint>
#include <cstdio>
#include <sstream>

namespace {

const char* const kWords[] = {
    "meeting", "invoice",  "delivery", "schedule",  "Grüße",    "café",  "naïve",
    "résumé",  "日本",     "東京",     "✓",         "—",        "€5",    "request",
    "update",  "thanks",   "report",   "follow-up", "Straße",   "señor", "Ünïcødé",
    "address", "tomorrow", "attached", "regards",   "question", "price", "お願いします",
};
constexpr std::size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

std::string Dotted(const std::vector<int>& path, std::size_t depth) {
    std::string out;
    for (std::size_t i = 0; i < depth; ++i) {
        if (i)
            out += '.';
        out += std::to_string(path[i] + 1);
    }
    return out;
}

} // namespace

bool CPasteLibrary::SetShape(const std::string& shape) {
    std::vector<int> fanOut;
    std::istringstream in(shape);
    std::string part;
    while (std::getline(in, part, 'x')) {
        try {
            const int n = std::stoi(part);
            if (n < 1 || n > 1000)
                return false;
            fanOut.push_back(n);
        } catch (...) {
            return false;
        }
    }
    if (fanOut.empty())
        return false;
    m_nFanOut = fanOut;
    return true;
}

long CPasteLibrary::SnippetCount() const {
    long n = 1;
    for (const int f : m_nFanOut)
        n *= f;
    return n;
}

std::string CPasteLibrary::Text(const std::vector<int>& path) const {
    // Words drawn from a generator seeded by the place in the tree: the same
    // text every time, a different one for every snippet (the place leads).
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (const int i : path)
        state = (state ^ static_cast<std::uint64_t>(i + 1)) * 0x100000001B3ull;
    auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::size_t>(state >> 33);
    };
    std::string text = "#" + Dotted(path, path.size());
    const std::size_t length = 50 + next() % 151;
    for (;;) {
        const std::string word = kWords[next() % kWordCount];
        if (text.size() + 1 + word.size() > length)
            break;
        text += ' ';
        text += word;
    }
    return text;
}

void CPasteLibrary::WriteLevel(std::string& out, std::vector<int>& path) const {
    const std::size_t depth = path.size();
    const std::string indent(2 * (depth + 1), ' ');
    const std::string tag = "level" + std::to_string(depth + 1);
    for (int i = 0; i < m_nFanOut[depth]; ++i) {
        path.push_back(i);
        if (path.size() == m_nFanOut.size()) {
            out += indent + "<" + tag + " header=\"Snippet " + Dotted(path, path.size()) +
                   "\"><![CDATA[" + Text(path) + "]]></" + tag + ">\n";
        } else {
            const char* kind = depth == 0 ? "Area " : "Topic ";
            out += indent + "<" + tag + " header=\"" + kind + Dotted(path, path.size()) + "\">\n";
            WriteLevel(out, path);
            out += indent + "</" + tag + ">\n";
        }
        path.pop_back();
    }
}

bool CPasteLibrary::Write(const std::string& file) const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<level0 header=\"Bench "
                      "library\">\n";
    std::vector<int> path;
    WriteLevel(out, path);
    out += "</level0>\n";
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && written;
}
