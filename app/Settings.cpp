#include "app/Settings.h"

#include "app/PasteKeysStore.h"
#include "app/SettingsFile.h"

#include <wx/config.h>
#include <wx/log.h>
#ifdef _WIN32
#include <wx/msw/regconf.h>
#endif

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace {

long ReadInt(wxConfigBase& config, const char* key, long def) {
    long value = def;
    if (!config.Read(key, &value, def))
        return def;
    return value;
}

std::string ReadString(wxConfigBase& config, const char* key) {
    wxString value;
    if (!config.Read(key, &value))
        return {};
    return value.utf8_string();
}

// Stored integers are 32-bit.
std::int32_t To32(long v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

} // namespace

SSettings CSettingsStore::Load(wxConfigBase& config) {
    wxLogNull quiet; // a damaged file must not pop up error boxes
    SSettings s;
    const wxString oldPath = config.GetPath();
    config.SetPath("/Options");
    // The hot-key fields are 16-bit: keep only the low 16 bits of what was stored.
    s.m_wHotKeyModifiers = static_cast<std::uint16_t>(ReadInt(config, "Modifiers", 0) & 0xFFFF);
    s.m_wHotKeyVK = static_cast<std::uint16_t>(ReadInt(config, "VKCode", 0) & 0xFFFF);
    s.m_bSoundHook = To32(ReadInt(config, "SoundHook", 0));
    s.m_strStartFolder = ReadString(config, "StartFolder");
    s.m_strStartFile = ReadString(config, "StartFile");
    s.m_strActivateWav = ReadString(config, "ActivateWavFile");
    s.m_strDeactivateWav = ReadString(config, "DeactivateWavFile");
    s.m_bRestoreClipboard = ReadInt(config, "RestoreClipboard", 0) == 1;
    s.m_nUrlPollMinutes = std::max(0, To32(ReadInt(config, "UrlPollMinutes", 5)));
    s.m_bKeepInTray = ReadInt(config, "KeepInTray", 0) == 1;
    config.SetPath("/Settings");
    s.m_bHideWaylandNotice = ReadInt(config, "HideWaylandNotice", 0) == 1;
    s.m_nShowTips = To32(ReadInt(config, "Tipoftheday", 1));
    s.m_nCurrentTip = To32(ReadInt(config, "CurrentTip", 0));
    config.SetPath(oldPath);
    CPasteKeysStore::SRead keys = CPasteKeysStore::Read(config);
    s.m_pasteRules = std::move(keys.rules);
    s.m_bPasteKeysUnread = keys.state == CPasteKeysStore::EState::Damaged;
    return s;
}

void CSettingsStore::Save(wxConfigBase& config, const SSettings& s) {
    wxLogNull quiet;
    const wxString oldPath = config.GetPath();
    config.SetPath("/Options");
    config.Write("Modifiers", static_cast<long>(s.m_wHotKeyModifiers));
    config.Write("VKCode", static_cast<long>(s.m_wHotKeyVK));
    config.Write("SoundHook", static_cast<long>(s.m_bSoundHook));
    config.Write("StartFolder", wxString::FromUTF8(s.m_strStartFolder));
    config.Write("StartFile", wxString::FromUTF8(s.m_strStartFile));
    config.Write("ActivateWavFile", wxString::FromUTF8(s.m_strActivateWav));
    config.Write("DeactivateWavFile", wxString::FromUTF8(s.m_strDeactivateWav));
    config.Write("RestoreClipboard", s.m_bRestoreClipboard ? 1L : 0L);
    config.Write("UrlPollMinutes", static_cast<long>(s.m_nUrlPollMinutes));
    config.Write("KeepInTray", s.m_bKeepInTray ? 1L : 0L);
    config.SetPath("/Settings");
    config.Write("Tipoftheday", static_cast<long>(s.m_nShowTips));
    config.Write("CurrentTip", static_cast<long>(s.m_nCurrentTip));
    config.Write("HideWaylandNotice", s.m_bHideWaylandNotice ? 1L : 0L);
    config.SetPath(oldPath);
    if (!s.m_bPasteKeysUnread)
        CPasteKeysStore::Write(config, s.m_pasteRules);
    config.Flush();
}

std::string CSettingsStore::FormatPosition(int left, int top, int right, int bottom) {
    char buf[64];
    snprintf(buf, sizeof buf, "%04d %04d %04d %04d ", left, top, right, bottom);
    return buf;
}

bool CSettingsStore::ParsePosition(const std::string& text, int& left, int& top, int& right,
                                   int& bottom) {
    if (text.empty())
        return false;
    // Fixed offsets of the stored layout; a shorter text reads as 0 where it
    // ends. A number that does not fit an int makes the whole value unusable.
    auto at = [&text](std::size_t offset, int& value) {
        value = 0;
        if (offset >= text.size())
            return true;
        errno = 0;
        const long number = std::strtol(text.c_str() + offset, nullptr, 10);
        if (errno == ERANGE || number < INT_MIN || number > INT_MAX)
            return false;
        value = static_cast<int>(number);
        return true;
    };
    return at(0, left) && at(5, top) && at(10, right) && at(15, bottom);
}

std::optional<CScreenRect> CSettingsStore::UsablePosition(const std::string& text,
                                                          const CScreenRect& primary,
                                                          const CScreenRect& screens) {
    int left = 0, top = 0, right = 0, bottom = 0;
    if (!ParsePosition(text, left, top, right, bottom))
        return std::nullopt;
    // Sizes in 64 bits: the edges may be as far apart as int allows.
    const long long width = static_cast<long long>(right) - left;
    const long long height = static_cast<long long>(bottom) - top;
    if (width <= 0 || height <= 0 ||
        width > static_cast<long long>(screens.m_nRight) - screens.m_nLeft ||
        height > static_cast<long long>(screens.m_nBottom) - screens.m_nTop)
        return std::nullopt;
    // Only where it overlaps the primary screen; otherwise the default place.
    if (right <= primary.m_nLeft || left >= primary.m_nRight || bottom <= primary.m_nTop ||
        top >= primary.m_nBottom)
        return std::nullopt;
    return CScreenRect{left, top, right, bottom};
}

std::string CSettingsStore::ReadPosition(wxConfigBase& config) {
    wxLogNull quiet;
    wxString value;
    config.Read("/Settings/Position", &value, wxString());
    return value.utf8_string();
}

void CSettingsStore::WritePosition(wxConfigBase& config, const std::string& position) {
    wxLogNull quiet;
    config.Write("/Settings/Position", wxString::FromUTF8(position));
    config.Flush();
}

namespace settings_location {

namespace {
// Found when the config is installed, shown once the main window is up.
std::string& DamageNote() {
    static std::string note;
    return note;
}
} // namespace

std::string ConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config";
}

std::string FilePath() {
    return ConfigHome() + "/Tessary/Tessary.conf";
}

void InstallGlobalConfig() {
#ifdef _WIN32
    // Where Windows programs keep settings: HKEY_CURRENT_USER\Software\MorvekLtd\Tessary.
    delete wxConfigBase::Set(new wxRegConfig("Tessary", "MorvekLtd"));
#else
    const std::string path = FilePath();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    auto* config = new CSettingsFile(path);
    if (!config->DamageNote().empty()) {
        std::fprintf(stderr, "tessary: %s\n", config->DamageNote().c_str());
        DamageNote() = config->DamageNote();
    }
    delete wxConfigBase::Set(config);
#endif
}

std::string TakeDamageNote() {
    return std::exchange(DamageNote(), std::string());
}

} // namespace settings_location
