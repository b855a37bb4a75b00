#include "app/SettingsFile.h"

#include "library/AtomicFile.h"
#include "library/RegularFile.h"
#include "library/Utf8Path.h"
#include "res/Messages.h"
#include "xml/TextEncoding.h"

#include <wx/log.h>
#include <wx/mstream.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

enum class LineKind { Kept, Dropped, Damaged };

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Where the unescaped terminator stands in text, as the config reader finds
// it (a backslash takes the next character as it is); npos when missing.
std::size_t FindUnescaped(std::string_view text, std::size_t from, char terminator) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == terminator)
            return i;
    }
    return std::string_view::npos;
}

LineKind Classify(std::string_view line) {
    for (char c : line)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\v' && c != '\f') ||
            c == 0x7F)
            return LineKind::Dropped;
    while (!line.empty() && IsBlank(line.front()))
        line.remove_prefix(1);
    if (line.empty() || line.front() == ';' || line.front() == '#')
        return LineKind::Kept;
    if (line.front() == '[') {
        const std::size_t close = FindUnescaped(line, 1, ']');
        if (close == std::string_view::npos)
            return LineKind::Dropped;
        std::size_t depth = 0;
        bool inPart = false;
        for (char c : line.substr(1, close - 1)) {
            depth += !inPart && c != '/';
            inPart = c != '/';
        }
        return depth > CSettingsFile::kMaxGroupDepth ? LineKind::Damaged : LineKind::Kept;
    }
    const std::size_t eq = FindUnescaped(line, 0, '=');
    if (eq == std::string_view::npos)
        return LineKind::Dropped;
    std::string_view key = line.substr(0, eq);
    while (!key.empty() && IsBlank(key.back()))
        key.remove_suffix(1);
    return key.empty() ? LineKind::Dropped : LineKind::Kept;
}

// The first free "<path>.damaged", ".damaged.1", ...: earlier copies stay.
std::string MoveAside(const std::string& path) {
    for (int n = 0; n < 1000; ++n) {
        const std::string aside = path + ".damaged" + (n ? "." + std::to_string(n) : "");
        // Anything there, a dangling link too, is an earlier copy.
        std::error_code ec;
        if (std::filesystem::symlink_status(utf8_path::From(aside), ec).type() !=
                std::filesystem::file_type::not_found &&
            !ec)
            continue;
        return std::rename(path.c_str(), aside.c_str()) == 0 ? aside : std::string();
    }
    return {};
}

std::string Fill(std::string text, const std::vector<std::string>& values) {
    std::size_t pos = 0;
    for (const std::string& value : values) {
        pos = text.find("%s", pos);
        if (pos == std::string::npos)
            break;
        text.replace(pos, 2, value);
        pos += value.size();
    }
    return text;
}

} // namespace

// The file as found at start: what the config reader gets, and what to tell.
struct CSettingsFile::CSource {
    std::string m_strText;
    std::string m_strWritablePath;
    std::string m_strNote;

    static CSource Examine(const std::string& path) {
        CSource source;
        source.m_strWritablePath = path;
        const regular_file::SReadResult file = regular_file::Read(path, kMaxFileBytes);
        if (file.status == regular_file::EStatus::Missing)
            return source;
        if (file.ok()) {
            if (std::optional<std::string> text = ReadableText(file.bytes)) {
                source.m_strText = std::move(*text);
                return source;
            }
        }
        const std::string aside = MoveAside(path);
        if (aside.empty()) {
            source.m_strWritablePath.clear();
            source.m_strNote = Fill(msg::kSettingsLeftAlone, {path});
        } else {
            source.m_strNote = Fill(msg::kSettingsMovedAside, {path, aside});
        }
        return source;
    }
};

CSettingsFile::CSettingsFile(const std::string& path)
    : CSettingsFile(path, CSource::Examine(path)) {}

CSettingsFile::CSettingsFile(const std::string& /*path*/, CSource&& source)
    : wxFileConfig(
          *std::make_unique<wxMemoryInputStream>(source.m_strText.data(), source.m_strText.size()),
          wxConvUTF8),
      m_strPath(std::move(source.m_strWritablePath)), m_strDamageNote(std::move(source.m_strNote)) {
    wxLog::EnableLogging(m_bWasEnabled);
    // A stored "$HOME/lib.xml" is a file name, not a reference to expand.
    SetExpandEnvVars(false);
    m_strWritten = Serialized();
}

CSettingsFile::~CSettingsFile() {
    Flush();
}

std::string CSettingsFile::Serialized() {
    wxLogNull quiet;
    wxMemoryOutputStream out;
    Save(out, wxConvUTF8);
    std::string text(out.GetSize(), '\0');
    out.CopyTo(text.data(), text.size());
    return text;
}

bool CSettingsFile::Flush(bool /*currentOnly*/) {
    std::string text = Serialized();
    if (text == m_strWritten)
        return true;
    if (m_strPath.empty())
        return false;
    std::string error;
    struct stat st {};
    // A FIFO or folder put in the file's place is not replaced either.
    if (::stat(m_strPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = "not a regular file";
    } else {
        const SAtomicWriteResult result = WriteFileAtomically(m_strPath, text);
        if (result.ok) {
            m_strWritten = std::move(text);
            return true;
        }
        error = result.error;
    }
    // Settings are written at exit, when a message box would only be in the
    // way; the next run starts from what the file still holds.
    if (!m_bWriteReported)
        std::fprintf(stderr, "tessary: the settings could not be written to %s: %s\n",
                     m_strPath.c_str(), error.c_str());
    m_bWriteReported = true;
    return false;
}

std::optional<std::string> CSettingsFile::ReadableText(std::string_view text) {
    // A byte-order mark, as some editors write, is not part of the first line.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (text.find('\0') != std::string_view::npos || !CTextEncoding::IsValidUtf8(text))
        return std::nullopt;
    std::string kept;
    std::size_t start = 0;
    while (start < text.size()) {
        // Lines end in LF, CR LF or a lone CR, as the config reader splits them.
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (line.size() > kMaxLineBytes)
            return std::nullopt;
        switch (Classify(line)) {
        case LineKind::Damaged:
            return std::nullopt;
        case LineKind::Dropped:
            break;
        case LineKind::Kept:
            kept.append(line);
            kept += '\n';
            break;
        }
    }
    return kept;
}
