#include "favorites/FavoritesExporter.h"

#include "favorites/FavoritesFolder.h"
#include "favorites/InternetShortcut.h"
#include "library/SnippetFormat.h"
#include "res/Messages.h"
#include "xml/TextEncoding.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kFolderLevel = 1;
constexpr int kLinkLevel = 2;

std::string Element(int level) {
    return "level" + std::to_string(level);
}

// Text that XML can carry: names the file system holds in another encoding
// are taken as Windows-1252, as the shortcuts themselves are.
std::string CleanText(const std::string& bytes) {
    return snippet_format::XmlSafeText(
        CTextEncoding::IsValidUtf8(bytes) ? bytes : CTextEncoding::Windows1252ToUtf8(bytes));
}

// NTFS lists a folder by name, ignoring case; users know that order.
bool NameOrder(const std::string& a, const std::string& b) {
    auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : int(c); };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = upper(static_cast<unsigned char>(a[i]));
        const int y = upper(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

struct Entry {
    std::string name;
    bool directory = false;
    bool regular = false;
};

// The folder's entries in name order; empty when it cannot be listed.
std::vector<Entry> List(const std::string& folder) {
    std::vector<Entry> entries;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        Entry e;
        e.name = it->path().filename().string();
        std::error_code statEc;
        // Links count as what they point to, as shortcuts and junctions do.
        const fs::file_status status = fs::status(it->path(), statEc);
        e.directory = !statEc && fs::is_directory(status);
        e.regular = !statEc && fs::is_regular_file(status);
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return NameOrder(a.name, b.name); });
    return entries;
}

bool EndsWithUrl(const std::string& name) {
    return name.size() >= 4 && name.compare(name.size() - 4, 4, ".url") == 0;
}

} // namespace

CFavoritesExporter::~CFavoritesExporter() {
    Close();
}

CFavoritesExporter::EOutcome CFavoritesExporter::Run() {
    // The file is made before the folder is looked for: a missing folder
    // leaves it empty.
    if (!OpenRegularFileNonBlocking())
        return EOutcome::CannotOpenFile;
    return Export(CFavoritesFolder::Locate());
}

CFavoritesExporter::EOutcome
CFavoritesExporter::Run(const std::optional<std::string>& favoritesFolder) {
    if (!OpenRegularFileNonBlocking())
        return EOutcome::CannotOpenFile;
    return Export(favoritesFolder);
}

bool CFavoritesExporter::OpenRegularFileNonBlocking() {
    Close();
    // O_NONBLOCK: a FIFO without a reader fails at once instead of waiting;
    // the file is emptied only once it is known to be a regular file.
    const int fd =
        ::open(m_strPath.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::ftruncate(fd, 0) != 0 ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    m_pFile = ::fdopen(fd, "w");
    if (!m_pFile)
        ::close(fd);
    return m_pFile != nullptr;
}

bool CFavoritesExporter::Close() {
    if (!m_pFile)
        return true;
    const bool failed = std::ferror(m_pFile) != 0;
    const bool closed = std::fclose(m_pFile) == 0;
    m_pFile = nullptr;
    return !failed && closed;
}

CFavoritesExporter::EOutcome
CFavoritesExporter::Export(const std::optional<std::string>& favoritesFolder) {
    if (!favoritesFolder) {
        Close();
        return EOutcome::FolderNotFound;
    }
    WriteLine("<level0 header='Favorites'>");
    WriteLine("<" + Element(kFolderLevel) + " header='No Heading'>");
    m_visitedFolders.clear();
    WalkFolder(*favoritesFolder);
    WriteLine("</level0>");
    return Close() ? EOutcome::Written : EOutcome::CannotWriteFile;
}

void CFavoritesExporter::WalkFolder(const std::string& folder) {
    const fs::path base(folder);
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        m_visitedFolders.emplace(st.st_dev, st.st_ino);

    const std::vector<Entry> entries = List(folder);
    // Links first. Hidden files (a leading dot) and anything that is not a
    // plain file are left out, as are names not ending exactly in ".url".
    for (const Entry& e : entries) {
        if (e.name.starts_with('.') || !e.regular || !EndsWithUrl(e.name))
            continue;
        const std::string url = CInternetShortcut::ReadUrl((base / e.name).string());
        const std::string label = e.name.substr(0, e.name.size() - 4);
        WriteLine("<" + Element(kLinkLevel) + " header='" + AttributeText(label) + "'><![CDATA[" +
                  CDataText(url) + "]]></" + Element(kLinkLevel) + ">");
    }
    // Closes this folder's heading: "No Heading" or its own start line.
    WriteLine("</" + Element(kFolderLevel) + ">");

    // Then every subfolder, hidden ones too, each closed before the next opens.
    for (const Entry& e : entries) {
        if (!e.directory)
            continue;
        const std::string sub = (base / e.name).string();
        struct stat subSt {};
        if (::stat(sub.c_str(), &subSt) == 0 &&
            m_visitedFolders.count({subSt.st_dev, subSt.st_ino}))
            continue;
        WriteLine("<" + Element(kFolderLevel) + " header='" + AttributeText(e.name) + "'>");
        WalkFolder(sub);
    }
}

void CFavoritesExporter::WriteLine(const std::string& line) {
    if (!m_pFile)
        return;
    std::fwrite(line.data(), 1, line.size(), m_pFile);
    std::fputc('\n', m_pFile);
}

std::string CFavoritesExporter::Message(EOutcome outcome) {
    switch (outcome) {
    case EOutcome::CannotOpenFile:
        return msg::kCannotOpenExport;
    case EOutcome::FolderNotFound:
        return msg::kFavoritesNotFound;
    case EOutcome::CannotWriteFile:
        return msg::kCannotWriteExport;
    case EOutcome::Written:
        break;
    }
    return {};
}

std::string CFavoritesExporter::AttributeText(const std::string& label) {
    std::string out;
    for (char c : CleanText(label)) {
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
        case '\'':
            out += "&apos;";
            break;
        // Kept through attribute-value normalisation, which makes them spaces.
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string CFavoritesExporter::CDataText(const std::string& url) {
    std::string out = CleanText(url);
    for (std::size_t pos = 0; (pos = out.find("]]>", pos)) != std::string::npos;) {
        out.replace(pos, 3, "]]]]><![CDATA[>");
        pos += 15;
    }
    return out;
}
