#include "document/FavoritesFolder.h"

#include "document/WineRegistry.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kEnvironmentKey = "Environment";

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The child of dir whose name equals part, exactly or else ignoring ASCII case.
std::optional<fs::path> ChildIgnoringCase(const fs::path& dir, const std::string& part) {
    std::error_code ec;
    if (fs::exists(dir / part, ec))
        return dir / part;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec))
        if (CWineRegistryFile::SameName(entry.path().filename().string(), part))
            return entry.path();
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
    s.m_getEnv = [](const std::string& name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name.c_str()))
            return std::string(value);
        return std::nullopt;
    };
    return s;
}

std::optional<std::string> CFavoritesFolder::Locate(const CFavoritesSources& sources) {
    std::string prefix = sources.m_strWinePrefix;
    if (prefix.empty() && !sources.m_strHome.empty())
        prefix = (fs::path(sources.m_strHome) / ".wine").string();
    if (!prefix.empty()) {
        if (const auto hive = CWineRegistryFile::Read((fs::path(prefix) / "user.reg").string())) {
            if (const auto value = hive->StringValue(kShellFoldersKey, "Favorites")) {
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
                const std::string expanded =
                    ExpandReferences(ExpandReferences(*value, lookup), lookup);
                if (auto mapped = MapWindowsPath(prefix, expanded))
                    return mapped;
            }
        }
    }
    if (sources.m_strHome.empty())
        return std::nullopt;
    std::error_code ec;
    const fs::path home = fs::path(sources.m_strHome) / "Favorites";
    if (fs::is_directory(home, ec))
        return home.string();
    return std::nullopt;
}

std::string CFavoritesFolder::ExpandReferences(
    const std::string& text,
    const std::function<std::optional<std::string>(const std::string&)>& lookup) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
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
    fs::path path = fs::path(prefix) / "dosdevices" / (std::string(1, drive) + ":");
    if (!fs::is_directory(path, ec)) {
        if (drive != 'c')
            return std::nullopt;
        path = fs::path(prefix) / "drive_c";
        if (!fs::is_directory(path, ec))
            return std::nullopt;
    }
    int depth = 0; // ".." stops at the drive's root, as on Windows
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
            if (depth > 0) {
                path = path.parent_path();
                --depth;
            }
            continue;
        }
        // A part that does not exist yet is kept as written.
        path = ChildIgnoringCase(path, part).value_or(path / part);
        ++depth;
    }
    return path.string();
}
