#include "favorites/FavoritesFolder.h"

#include "favorites/WineRegistry.h"
#include "library/Utf8Path.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>
#ifdef _WIN32
#include "library/WindowsText.h"

#include <windows.h>

#include <shlobj.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kEnvironmentKey = "Environment";
// The shell reads the value, and expands it, into buffers of 260 characters
// with the ending zero: a longer one is not found.
constexpr std::size_t kPathBuffer = 260;
// Bytes of UTF-8 such a buffer can hold; expansion stops beyond them.
constexpr std::size_t kPathBufferBytes = 4 * kPathBuffer;

bool FitsPathBuffer(const std::string& text) {
    const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    return static_cast<std::size_t>(characters) < kPathBuffer;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The name of the child of dir that equals part, exactly or else ignoring
// ASCII case.
std::optional<std::string> ChildIgnoringCase(const std::string& dir, const std::string& part) {
    std::error_code ec;
    if (fs::exists(utf8_path::From(dir + "/" + part), ec))
        return part;
    for (const fs::directory_entry& entry : fs::directory_iterator(utf8_path::From(dir), ec)) {
        std::string name = utf8_path::Of(entry.path().filename());
        if (CWineRegistryFile::SameName(name, part))
            return name;
    }
    return std::nullopt;
}

// The variables Wine gives every program of the prefix, beneath those the
// user set in the registry.
std::map<std::string, std::string> PrefixVariables(const CWineRegistryFile& hive,
                                                   const std::string& user) {
    const std::string profile = "C:\\users\\" + user;
    std::map<std::string, std::string> vars = {
        {"systemdrive", "C:"},
        {"systemroot", "C:\\windows"},
        {"windir", "C:\\windows"},
        {"allusersprofile", "C:\\ProgramData"},
        {"programdata", "C:\\ProgramData"},
        {"public", "C:\\users\\Public"},
        {"username", user},
        {"userprofile", profile},
        {"homedrive", "C:"},
        {"homepath", "\\users\\" + user},
        {"appdata", profile + "\\AppData\\Roaming"},
        {"localappdata", profile + "\\AppData\\Local"},
    };
    for (auto& [name, value] : hive.StringValues(kEnvironmentKey))
        vars[Lower(name)] = value;
    return vars;
}

} // namespace

CFavoritesSources CFavoritesSources::Current() {
    CFavoritesSources s;
#ifdef _WIN32
    // No prefix to look into: Windows itself says where the folder is.
    if (const char* home = std::getenv("USERPROFILE"))
        s.m_strHome = home;
#else
    if (const char* prefix = std::getenv("WINEPREFIX"))
        s.m_strWinePrefix = prefix;
    if (const char* home = std::getenv("HOME"); home && *home) {
        s.m_strHome = home;
    } else if (const passwd* pw = getpwuid(getuid())) {
        s.m_strHome = pw->pw_dir;
    }
    // Wine names the profile after the login name, as getpwuid gives it.
    if (const passwd* pw = getpwuid(getuid())) {
        s.m_strUser = pw->pw_name;
    } else if (const char* user = std::getenv("USER")) {
        s.m_strUser = user;
    }
#endif
    s.m_getEnv = [](const std::string& name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name.c_str()))
            return std::string(value);
        return std::nullopt;
    };
    return s;
}

std::optional<std::string> CFavoritesFolder::Locate() {
#ifdef _WIN32
    // The user's Favorites folder wherever the profile moved it.
    wchar_t* path = nullptr;
    std::optional<std::string> found;
    if (SHGetKnownFolderPath(FOLDERID_Favorites, KF_FLAG_DONT_VERIFY, nullptr, &path) == S_OK) {
        std::error_code ec;
        if (fs::is_directory(fs::path(path), ec))
            found = windows_text::Utf8(path);
    }
    CoTaskMemFree(path);
    return found;
#else
    return Locate(CFavoritesSources::Current());
#endif
}

std::optional<std::string> CFavoritesFolder::Locate(const CFavoritesSources& sources) {
    std::string prefix = sources.m_strWinePrefix;
    if (prefix.empty() && !sources.m_strHome.empty())
        prefix = utf8_path::Of(utf8_path::From(sources.m_strHome) / ".wine");
    if (!prefix.empty()) {
        if (const auto hive =
                CWineRegistryFile::Read(utf8_path::Of(utf8_path::From(prefix) / "user.reg"))) {
            if (const auto value = hive->StringValue(kShellFoldersKey, "Favorites")) {
                if (!FitsPathBuffer(*value))
                    return std::nullopt;
                const std::map<std::string, std::string> vars =
                    PrefixVariables(*hive, sources.m_strUser);
                auto lookup = [&](const std::string& name) -> std::optional<std::string> {
                    if (auto it = vars.find(Lower(name)); it != vars.end())
                        return it->second;
                    if (sources.m_getEnv)
                        return sources.m_getEnv(name);
                    return std::nullopt;
                };
                // Variables set in the registry may refer to others.
                const std::string once = ExpandReferences(*value, lookup, kPathBufferBytes);
                const std::string expanded = once.size() > kPathBufferBytes
                                                 ? once
                                                 : ExpandReferences(once, lookup, kPathBufferBytes);
                if (expanded.size() > kPathBufferBytes || !FitsPathBuffer(expanded))
                    return std::nullopt;
                if (auto mapped = MapWindowsPath(prefix, expanded))
                    return mapped;
            }
        }
    }
    if (sources.m_strHome.empty())
        return std::nullopt;
    std::error_code ec;
    const fs::path home = utf8_path::From(sources.m_strHome) / "Favorites";
    if (fs::is_directory(home, ec))
        return utf8_path::Of(home);
    return std::nullopt;
}

std::string CFavoritesFolder::ExpandReferences(
    const std::string& text,
    const std::function<std::optional<std::string>(const std::string&)>& lookup,
    std::size_t limit) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size() && out.size() <= limit) {
        const std::size_t open = text.find('%', pos);
        if (open == std::string::npos) {
            out.append(text, pos);
            break;
        }
        out.append(text, pos, open - pos);
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string::npos) {
            out.append(text, open);
            break;
        }
        const std::string name = text.substr(open + 1, close - open - 1);
        const std::optional<std::string> value = name.empty() ? std::nullopt : lookup(name);
        if (value) {
            out += *value;
            pos = close + 1;
        } else {
            // Left as written; its closing mark may open the next reference.
            out.append(text, open, close - open);
            pos = close;
        }
    }
    return out;
}

std::optional<std::string> CFavoritesFolder::MapWindowsPath(const std::string& prefix,
                                                            const std::string& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':' ||
        !std::isalpha(static_cast<unsigned char>(windowsPath[0])))
        return std::nullopt;
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    std::error_code ec;
    fs::path root = utf8_path::From(prefix) / "dosdevices" / (std::string(1, drive) + ":");
    if (!fs::is_directory(root, ec)) {
        if (drive != 'c')
            return std::nullopt;
        root = utf8_path::From(prefix) / "drive_c";
        if (!fs::is_directory(root, ec))
            return std::nullopt;
    }
    // Parts are appended in place, so a long path costs its length, not its
    // length times its parts; below a part that is missing nothing is looked up.
    std::string path = utf8_path::Of(root);
    std::vector<std::size_t> partStarts; // the path's length before each part, for ".."
    std::size_t found = 0;               // leading parts that exist
    std::size_t pos = 2;
    while (pos <= windowsPath.size()) {
        std::size_t end = windowsPath.find_first_of("\\/", pos);
        if (end == std::string::npos)
            end = windowsPath.size();
        const std::string part = windowsPath.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            // Stops at the drive's root, as on Windows.
            if (!partStarts.empty()) {
                path.resize(partStarts.back());
                partStarts.pop_back();
                found = std::min(found, partStarts.size());
            }
            continue;
        }
        const bool parentExists = found == partStarts.size();
        partStarts.push_back(path.size());
        // A part that does not exist yet is kept as written.
        std::string name = part;
        if (parentExists && path.size() + part.size() < PATH_MAX) {
            if (auto child = ChildIgnoringCase(path, part)) {
                name = std::move(*child);
                ++found;
            }
        }
        path += '/';
        path += name;
    }
    return path;
}
