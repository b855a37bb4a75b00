#pragma once
// Where the Favorites folder to export lives. A Windows user's profile on
// this system is a Wine prefix: its user.reg keeps the same per-user shell
// folder setting Windows has, and its drive folders hold the Windows paths.
// Without a prefix or without the setting, the folder "Favorites" in the
// user's home stands in.

#include <functional>
#include <optional>
#include <string>

// What the search depends on; Current() takes it from the process.
struct CFavoritesSources {
    std::string m_strWinePrefix; // $WINEPREFIX; empty: ~/.wine
    std::string m_strHome;       // the user's home folder
    std::string m_strUser;       // login name, which names Wine's profile folder
    // The process environment, which Wine hands on to its programs.
    std::function<std::optional<std::string>(const std::string&)> m_getEnv;

    static CFavoritesSources Current();
};

class CFavoritesFolder {
public:
    // The folder to export, or nothing when neither source has one. A
    // prefix's value that does not fit the shell's 260-character buffers,
    // read or expanded, is not found, as on Windows.
    static std::optional<std::string> Locate(const CFavoritesSources& sources);
    // On Windows, the shell's known Favorites folder; elsewhere the search
    // above from the process's own sources.
    static std::optional<std::string> Locate();

    // %NAME% references replaced as ExpandEnvironmentStrings does: names
    // ignore case, an unknown name stays as written. Stops once the result is
    // longer than limit bytes, which the caller then refuses.
    static std::string
    ExpandReferences(const std::string& text,
                     const std::function<std::optional<std::string>(const std::string&)>& lookup,
                     std::size_t limit = std::string::npos);

    // "C:\users\bob\Favorites" as a path inside the prefix: the drive through
    // dosdevices (drive_c for C: when that link is missing), each part
    // matched ignoring case as Windows does. Nothing for a path without a
    // drive letter or a drive the prefix does not have.
    static std::optional<std::string> MapWindowsPath(const std::string& prefix,
                                                     const std::string& windowsPath);
};
