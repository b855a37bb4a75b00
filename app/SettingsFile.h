#pragma once
// The settings file behind wxConfigBase. Values are taken exactly as stored
// (no $VARIABLE expansion); the file is read without ever blocking on it; the
// lines the reader cannot take are dropped; a file that cannot be read at all
// is moved aside for the user to look at; and writing is an atomic replace
// whose failure costs nothing but a line on stderr.

#include <wx/fileconf.h>
#include <wx/log.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Switches the toolkit's logging off for the parse in wxFileConfig's
// constructor: a hand-written file with a repeated key would otherwise pop up
// a warning box at start. CSettingsFile's constructor switches it back on.
struct SLogPause {
    SLogPause() : m_bWasEnabled(wxLog::EnableLogging(false)) {}
    bool m_bWasEnabled;
};

class CSettingsFile : private SLogPause, public wxFileConfig {
public:
    // Larger files, longer lines or deeper groups than these are not settings
    // the program wrote; the config writer would also overflow its stack on a
    // group nested thousands deep.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;
    static constexpr std::size_t kMaxGroupDepth = 32;

    explicit CSettingsFile(const std::string& path);
    ~CSettingsFile() override;

    // Writes the settings when they differ from what the file holds; false
    // when that failed.
    bool Flush(bool currentOnly = false) override;

    // What to tell the user about a file that could not be read; empty when
    // it was read (or missing).
    const std::string& DamageNote() const { return m_strDamageNote; }

    // A settings file's text without the lines the config reader cannot take
    // (no "=", an empty key, an unclosed group, control characters), and
    // without a byte-order mark. Nothing when the text as a whole cannot be
    // read: not UTF-8 text, or beyond the limits above.
    static std::optional<std::string> ReadableText(std::string_view text);

private:
    struct CSource;
    CSettingsFile(const std::string& path, CSource&& source);
    std::string Serialized();

    std::string m_strPath;    // empty: an unreadable file left in place, never written over
    std::string m_strWritten; // what the file holds, as far as this object knows
    std::string m_strDamageNote;
    bool m_bWriteReported = false; // one line on stderr per run is enough
};
