// A settings file's bytes, read by the program's reader (which drops the
// lines it cannot take and moves a damaged file aside): the settings read are
// saved, and the saved file must read back whole as the same settings.

#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "fuzz/FuzzCheck.h"

#include <wx/debug.h>
#include <wx/log.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using fuzz_check::Require;
using fuzz_check::RequireEqual;

namespace {

// One folder for the whole run, in $TMPDIR. libFuzzer ends the process
// without destructors: scripts/fuzz.sh gives each run a $TMPDIR it removes.
class CScratchFolder {
public:
    CScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "tessary-fuzz-XXXXXX").string();
        Require(::mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        m_path = pattern;
    }
    // The settings file, alone in the folder: earlier runs' files and the
    // copies moved aside are gone.
    std::string FreshFile(std::string_view bytes) {
        for (const fs::directory_entry& entry : fs::directory_iterator(m_path))
            fs::remove(entry.path());
        const fs::path file = m_path / "Tessary.conf";
        std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return file.string();
    }

private:
    fs::path m_path;
};

void RequireSame(const SSettings& a, const SSettings& b) {
    Require(a.m_wHotKeyModifiers == b.m_wHotKeyModifiers, "the same hot-key modifiers");
    Require(a.m_wHotKeyVK == b.m_wHotKeyVK, "the same hot key");
    Require(a.m_bSoundHook == b.m_bSoundHook, "the same sound setting");
    RequireEqual(a.m_strStartFolder, b.m_strStartFolder, "the same start folder");
    RequireEqual(a.m_strStartFile, b.m_strStartFile, "the same start file");
    RequireEqual(a.m_strActivateWav, b.m_strActivateWav, "the same activation sound");
    RequireEqual(a.m_strDeactivateWav, b.m_strDeactivateWav, "the same deactivation sound");
    Require(a.m_nShowTips == b.m_nShowTips, "the same Tip of the Day setting");
    Require(a.m_nCurrentTip == b.m_nCurrentTip, "the same next tip");
}

} // namespace

// wxWidgets' config parser checks itself with assertions (a repeated group
// header sets one off; the program reports them on stderr) and logs a warning
// for each line it skips. Neither is what this target checks.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    wxSetAssertHandler(nullptr);
    wxLog::EnableLogging(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CScratchFolder folder;
    const std::string path =
        folder.FreshFile(std::string_view(reinterpret_cast<const char*>(data), size));
    SSettings read;
    std::string position;
    {
        CSettingsFile file(path);
        read = CSettingsStore::Load(file);
        position = CSettingsStore::ReadPosition(file);
        CSettingsStore::Save(file, read);
    }
    CSettingsFile again(path);
    RequireEqual("", again.DamageNote(), "the saved file reads back whole");
    RequireSame(read, CSettingsStore::Load(again));
    RequireEqual(position, CSettingsStore::ReadPosition(again), "the same window position");
    return 0;
}
