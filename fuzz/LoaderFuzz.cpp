// The library loader on any bytes: the prescan, the guarded parser, the
// encoding rules and the root check. What loads must save, and what is saved
// must load back as the same library: the same written form, the same items
// with the same labels and texts. A snippet's text written back by an edit
// must survive a save too.

#include "fuzz/FuzzCheck.h"
#include "library/SnippetFormat.h"
#include "library/SnippetLibrary.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using fuzz_check::Require;
using fuzz_check::RequireEqual;

namespace {

struct Snapshot {
    std::string written;
    std::vector<CSnippetLibrary::SItem> items;
    std::vector<std::string> texts; // each item's character data
};

Snapshot Take(CSnippetLibrary& library) {
    Snapshot s;
    s.items = library.NumberItems();
    for (const CSnippetLibrary::SItem& item : s.items)
        s.texts.push_back(library.FindByItemId(item.id).Text());
    s.written = library.Serialize();
    return s;
}

// Loads what was written, and checks that it is the same library.
CSnippetLibrary Reloaded(const Snapshot& before, std::string_view step) {
    CSnippetLibrary library;
    Require(library.CreateEngine(), "the engine starts");
    SXmlLoadResult detail;
    const CSnippetLibrary::ELoadOutcome outcome = library.LoadBytes(before.written, "", &detail);
    Require(outcome == CSnippetLibrary::ELoadOutcome::Ok,
            std::string(step) + ": the written form loads: " + detail.detail, before.written);
    const Snapshot after = Take(library);
    RequireEqual(before.written, after.written, std::string(step) + ": saved again the same");
    Require(after.items.size() == before.items.size(), "the same number of items");
    for (std::size_t i = 0; i < before.items.size(); ++i) {
        Require(after.items[i].parentIndex == before.items[i].parentIndex, "the same tree");
        RequireEqual(before.items[i].header, after.items[i].header, "the same label");
        RequireEqual(before.texts[i], after.texts[i], std::string(step) + ": the same text");
    }
    return library;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CSnippetLibrary library;
    Require(library.CreateEngine(), "the engine starts");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (library.LoadBytes(bytes, "") != CSnippetLibrary::ELoadOutcome::Ok)
        return 0;
    const Snapshot loaded = Take(library);
    CSnippetLibrary saved = Reloaded(loaded, "loaded");

    // Every leaf's text written back as the editor does at a keystroke.
    // The text box holds LF line ends, so that is what an edit writes.
    std::vector<std::optional<std::string>> given(loaded.items.size());
    for (std::size_t i = 0; i < loaded.items.size(); ++i) {
        const CXmlNode element = saved.FindByItemId(loaded.items[i].id);
        if (snippet_format::HasElementChild(element))
            continue;
        given[i] = fuzz_check::LfLineEnds(element.Text());
        snippet_format::SetText(*saved.Dom(), element, *given[i]);
    }
    const Snapshot edited = Take(saved);
    for (std::size_t i = 0; i < given.size(); ++i)
        if (given[i])
            RequireEqual(*given[i], edited.texts[i], "an edit stores the text it was given");
    Reloaded(edited, "edited");
    return 0;
}
