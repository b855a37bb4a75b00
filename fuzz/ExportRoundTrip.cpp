#include "fuzz/ExportRoundTrip.h"

#include "favorites/FavoritesExporter.h"
#include "fuzz/FuzzCheck.h"
#include "library/SnippetFormat.h"
#include "library/SnippetLibrary.h"
#include "xml/TextEncoding.h"

#include <vector>

using fuzz_check::Require;
using fuzz_check::RequireEqual;

namespace export_round_trip {

namespace {

std::string Kept(const std::string& text) {
    return snippet_format::XmlSafeText(
        CTextEncoding::IsValidUtf8(text) ? text : CTextEncoding::Windows1252ToUtf8(text));
}

} // namespace

void Check(const std::string& label, const std::string& url) {
    const std::string header = CFavoritesExporter::AttributeText(label);
    const std::string file = "<level0 header='Favorites'>\n<level1 header='" + header +
                             "'>\n<level2 header='" + header + "'><![CDATA[" +
                             CFavoritesExporter::CDataText(url) + "]]></level2>\n</level1>\n" +
                             "</level0>\n";
    CSnippetLibrary library;
    Require(library.CreateEngine(), "the engine starts");
    SXmlLoadResult detail;
    Require(library.LoadBytes(file, "", &detail) == CSnippetLibrary::ELoadOutcome::Ok,
            "the exported file loads: " + detail.detail, file);

    const std::vector<CSnippetLibrary::SItem> items = library.NumberItems();
    Require(items.size() == 3, "the root, the folder and the link");
    const std::string expectedLabel = Kept(label);
    RequireEqual(expectedLabel, items[1].header, "the folder's label");
    RequireEqual(expectedLabel, items[2].header, "the link's label");
    RequireEqual(fuzz_check::LfLineEnds(Kept(url)), library.FindByItemId(items[2].id).Text(),
                 "the link's URL");
}

} // namespace export_round_trip
