#pragma once
// The Favorites export's escaping checked end to end: a label and a URL as
// the exporter writes them, read back by the library loader.

#include <string>

namespace export_round_trip {

// Writes a folder and a link of that label, the link holding the URL, with
// the exporter's escaping; the file must load and give back the label and
// the URL as far as the export keeps them: text in another encoding read as
// Windows-1252, characters XML cannot carry as U+FFFD, and the URL's line
// ends as XML reads them in character data.
void Check(const std::string& label, const std::string& url);

} // namespace export_round_trip
