#include "favorites/FavoritesExporter.h"

#include "favorites/FavoritesFolder.h"
#include "favorites/InternetShortcut.h"
#include "library/SnippetFormat.h"
#include "library/Utf8Path.h"
#include "res/Messages.h"
#include "xml/TextEncoding.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <utility>
#include <vector>
#ifdef _WIN32
#include "library/WindowsText.h"

#include <windows.h>

#include <io.h>
#else
#include <unistd.h>
#endif

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
    fs::directory_iterator it(utf8_path::From(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        Entry e;
        e.name = utf8_path::Of(it->path().filename());
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

// What tells one folder from another, whatever links lead to it: device and
// inode, or on Windows volume and file index (its stat gives no inode).
std::optional<std::pair<std::uint64_t, std::uint64_t>> FolderIdentity(const std::string& folder) {
#ifdef _WIN32
    const HANDLE h = CreateFileW(windows_text::Wide(folder).c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!known)
        return std::nullopt;
    return std::pair<std::uint64_t, std::uint64_t>(
        info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
#else
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return std::nullopt;
    return std::pair<std::uint64_t, std::uint64_t>(st.st_dev, st.st_ino);
#endif
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
#ifdef _WIN32
    // A device name (NUL, CON, COM1) is no file; the wide function takes a
    // UTF-8 name whole, and binary mode keeps the lines' LF endings.
    const HANDLE h =
        CreateFileW(windows_text::Wide(m_strPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    if (GetFileType(h) != FILE_TYPE_DISK || !SetEndOfFile(h)) {
        CloseHandle(h);
        return false;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return false;
    }
    m_pFile = _fdopen(fd, "wb");
    if (!m_pFile)
        _close(fd);
    return m_pFile != nullptr;
#else
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
#endif
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
    const fs::path base = utf8_path::From(folder);
    if (const auto identity = FolderIdentity(folder))
        m_visitedFolders.insert(*identity);

    const std::vector<Entry> entries = List(folder);
    // Links first. Hidden files (a leading dot) and anything that is not a
    // plain file are left out, as are names not ending exactly in ".url".
    for (const Entry& e : entries) {
        if (e.name.starts_with('.') || !e.regular || !EndsWithUrl(e.name))
            continue;
        const std::string url =
            CInternetShortcut::ReadUrl(utf8_path::Of(base / utf8_path::From(e.name)));
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
        const std::string sub = utf8_path::Of(base / utf8_path::From(e.name));
        if (const auto identity = FolderIdentity(sub);
            identity && m_visitedFolders.count(*identity))
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
