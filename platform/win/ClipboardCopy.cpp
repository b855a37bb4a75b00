#include "platform/win/ClipboardCopy.h"

#include <windows.h>

#include <algorithm>

namespace {

bool Has(const std::vector<unsigned>& formats, unsigned format) {
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

} // namespace

namespace clipboard_copy {

bool IsMemoryFormat(unsigned format) {
    switch (format) {
    case CF_TEXT:
    case CF_SYLK:
    case CF_DIF:
    case CF_TIFF:
    case CF_OEMTEXT:
    case CF_DIB:
    case CF_PENDATA:
    case CF_RIFF:
    case CF_WAVE:
    case CF_UNICODETEXT:
    case CF_HDROP:
    case CF_LOCALE:
    case CF_DIBV5:
    case CF_DSPTEXT:
        return true;
    default:
        // Registered formats ("HTML Format", "Rich Text Format" ...) are
        // memory blocks by the rules of SetClipboardData.
        return format >= 0xC000 && format <= 0xFFFF;
    }
}

std::vector<unsigned> Choose(const std::vector<unsigned>& offered, std::size_t maxFormats) {
    const bool unicode = Has(offered, CF_UNICODETEXT);
    const bool ansi = Has(offered, CF_TEXT);
    std::vector<unsigned> chosen;
    for (const unsigned format : offered) {
        if (chosen.size() >= maxFormats)
            break;
        if (!IsMemoryFormat(format) || Has(chosen, format))
            continue;
        // Given back with CF_LOCALE, the system derives these again on request.
        if ((format == CF_TEXT && unicode) || (format == CF_OEMTEXT && (unicode || ansi)))
            continue;
        chosen.push_back(format);
    }
    return chosen;
}

SClipboardCopy Copy(const std::vector<unsigned>& offered, const SSnapshotLimits& limits,
                    const FormatReader& read, const Now& now) {
    const auto deadline = now() + limits.budget;
    const std::vector<unsigned> chosen = Choose(offered, limits.maxTargets);
    SClipboardCopy copy;
    std::size_t bytesLeft = limits.maxBytes;
    std::size_t failed = 0;
    bool late = false;
    for (const unsigned format : chosen) {
        // An owner rendering slowly on request holds up the paste.
        if (late || now() >= deadline) {
            late = true;
            ++failed;
            continue;
        }
        std::optional<std::string> bytes = read(format, bytesLeft);
        if (!bytes || bytes->size() > bytesLeft) {
            ++failed;
            continue;
        }
        bytesLeft -= bytes->size();
        copy.formats.push_back({format, std::move(*bytes)});
    }
    copy.note = std::to_string(offered.size()) + " formats offered, " +
                std::to_string(copy.formats.size()) + " copied, " +
                std::to_string(offered.size() - chosen.size()) + " skipped, " +
                std::to_string(failed) + " not read" + (late ? " (the owner was too slow)" : "");
    return copy;
}

} // namespace clipboard_copy
