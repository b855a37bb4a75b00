// The snippet library without a window: load and numbering, the written form
// and the save, and the way from an item id to its element, each beside what
// libxml2 alone needs for the same job on the same file.

#include "BenchFiles.h"
#include "library/SnippetLibrary.h"
#include "menu/SnippetMenuModel.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

// The program's parser options: whitespace and CDATA are kept (no NOBLANKS,
// no NOCDATA), no network.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_BIG_LINES;
constexpr int kLookupItems = 100000;
constexpr std::size_t kLookupIds = 4096; // a power of two, for the wrap-around

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

// Read as the program reads a file: its size first, then one fread.
std::string ReadFile(const std::string& path) {
    std::string bytes(std::filesystem::file_size(path), '\0');
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return {};
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes;
}

// A library loaded and numbered once, shared by the benchmarks that only read it.
struct SLoaded {
    CSnippetLibrary library;
    std::vector<xmlNodePtr> elements; // by item id
    std::vector<int> leafIds;         // ids of the level4 items
};

SLoaded& Loaded(int nItems) {
    static std::map<int, std::unique_ptr<SLoaded>> s_loaded;
    auto& slot = s_loaded[nItems];
    if (!slot) {
        slot = std::make_unique<SLoaded>();
        CSnippetLibrary& library = slot->library;
        if (!library.CreateEngine() || library.Load(CBenchFiles::Get().LibraryPath(nItems)) !=
                                           CSnippetLibrary::ELoadOutcome::Ok)
            throw std::runtime_error("cannot load the generated library");
        library.EnsureRoot();
        for (const CSnippetLibrary::SItem& item : library.NumberItems()) {
            const CXmlNode node = library.FindByItemId(item.id);
            slot->elements.push_back(node.Raw());
            if (node.NodeName() == "level4")
                slot->leafIds.push_back(item.id);
        }
    }
    return *slot;
}

void Report(benchmark::State& state, std::size_t bytes) {
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// ---- load and numbering ------------------------------------------------------

void BM_LoadAndNumber(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string& path = CBenchFiles::Get().LibraryPath(n);
    for (auto _ : state) {
        CSnippetLibrary library;
        if (!library.CreateEngine() || library.Load(path) != CSnippetLibrary::ELoadOutcome::Ok) {
            state.SkipWithError("load failed");
            break;
        }
        library.EnsureRoot();
        const auto items = library.NumberItems();
        if (items.size() != static_cast<std::size_t>(n)) {
            state.SkipWithError("wrong item count");
            break;
        }
    }
    Report(state, std::filesystem::file_size(path));
}
BENCHMARK(BM_LoadAndNumber)->Apply(Sizes);

// The load alone, to split the figure above between parse and numbering.
void BM_LoadOnly(benchmark::State& state) {
    const std::string& path = CBenchFiles::Get().LibraryPath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CSnippetLibrary library;
        if (!library.CreateEngine() || library.Load(path) != CSnippetLibrary::ELoadOutcome::Ok) {
            state.SkipWithError("load failed");
            break;
        }
    }
    Report(state, std::filesystem::file_size(path));
}
BENCHMARK(BM_LoadOnly)->Apply(Sizes);

void BM_BareParse(benchmark::State& state) {
    const std::string& path = CBenchFiles::Get().LibraryPath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::string bytes = ReadFile(path);
        xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), path.c_str(),
                                      nullptr, kParseOptions);
        if (!doc || !xmlDocGetRootElement(doc)) {
            state.SkipWithError("parse failed");
            break;
        }
        xmlFreeDoc(doc);
    }
    Report(state, std::filesystem::file_size(path));
}
BENCHMARK(BM_BareParse)->Apply(Sizes);

// ---- written form and save -----------------------------------------------------

void BM_Serialize(benchmark::State& state) {
    const CSnippetLibrary& library = Loaded(static_cast<int>(state.range(0))).library;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string xml = library.Serialize();
        benchmark::DoNotOptimize(xml.data());
        bytes = xml.size();
    }
    Report(state, bytes);
}
BENCHMARK(BM_Serialize)->Apply(Sizes);

std::string BareDump(xmlNodePtr root) {
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlNodeDump(buffer, root->doc, root, 0, 0);
    std::string xml(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                    static_cast<std::size_t>(xmlBufferLength(buffer)));
    xmlBufferFree(buffer);
    return xml;
}

// Plain xmlNodeDump into a buffer; it writes the very bytes the program saves.
void BM_BareSerialize(benchmark::State& state) {
    const CSnippetLibrary& library = Loaded(static_cast<int>(state.range(0))).library;
    xmlNodePtr root = library.Root().Raw();
    if (BareDump(root) != library.Serialize()) {
        state.SkipWithError("the bare serialisation writes other bytes");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        xmlBufferPtr buffer = xmlBufferCreate();
        if (xmlNodeDump(buffer, root->doc, root, 0, 0) < 0) {
            state.SkipWithError("xmlNodeDump failed");
            break;
        }
        benchmark::DoNotOptimize(xmlBufferContent(buffer));
        bytes = static_cast<std::size_t>(xmlBufferLength(buffer));
        xmlBufferFree(buffer);
    }
    Report(state, bytes);
}
BENCHMARK(BM_BareSerialize)->Apply(Sizes);

// The engine call the program makes (an explicit UTF-8 save context), bare:
// tells the wrapper's share apart from the engine path it chose.
void BM_BareSaveTree(benchmark::State& state) {
    xmlNodePtr root = Loaded(static_cast<int>(state.range(0))).library.Root().Raw();
    std::size_t bytes = 0;
    for (auto _ : state) {
        xmlBufferPtr buffer = xmlBufferCreate();
        xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer, "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_AS_XML);
        xmlSaveTree(save, root);
        xmlSaveClose(save);
        benchmark::DoNotOptimize(xmlBufferContent(buffer));
        bytes = static_cast<std::size_t>(xmlBufferLength(buffer));
        xmlBufferFree(buffer);
    }
    Report(state, bytes);
}
BENCHMARK(BM_BareSaveTree)->Apply(Sizes);

void BM_SaveTo(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const CSnippetLibrary& library = Loaded(n).library;
    const std::string path = CBenchFiles::Get().File("saved-" + std::to_string(n) + ".xml");
    for (auto _ : state) {
        if (!library.SaveTo(path).ok) {
            state.SkipWithError("save failed");
            break;
        }
    }
    Report(state, std::filesystem::file_size(path));
}
BENCHMARK(BM_SaveTo)->Apply(Sizes);

// The same durability by hand: bare serialisation, a temporary file written
// and synced, renamed over the target, the folder synced.
void BM_BareWrite(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    xmlNodePtr root = Loaded(n).library.Root().Raw();
    const std::string path = CBenchFiles::Get().File("bare-" + std::to_string(n) + ".xml");
    const std::string tmp = path + ".tmp";
    std::size_t bytes = 0;
    for (auto _ : state) {
        xmlBufferPtr buffer = xmlBufferCreate();
        xmlNodeDump(buffer, root->doc, root, 0, 0);
        bytes = static_cast<std::size_t>(xmlBufferLength(buffer));
        const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool ok =
            fd >= 0 &&
            ::write(fd, xmlBufferContent(buffer), bytes) == static_cast<ssize_t>(bytes) &&
            ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        xmlBufferFree(buffer);
        if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
            state.SkipWithError("write failed");
            break;
        }
        const int dfd = ::open(CBenchFiles::Get().Dir().c_str(), O_RDONLY | O_DIRECTORY);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
    }
    Report(state, bytes);
}
BENCHMARK(BM_BareWrite)->Apply(Sizes);

// ---- one id lookup at 100k items -----------------------------------------------

std::vector<int> RandomLeafIds(const SLoaded& loaded) {
    std::mt19937 rng(20240607u);
    std::vector<int> ids(kLookupIds);
    for (int& id : ids)
        id = loaded.leafIds[rng() % loaded.leafIds.size()];
    return ids;
}

void BM_FindByItemId(benchmark::State& state) {
    const SLoaded& loaded = Loaded(kLookupItems);
    const std::vector<int> ids = RandomLeafIds(loaded);
    std::size_t i = 0;
    for (auto _ : state) {
        const CXmlNode node = loaded.library.FindByItemId(ids[i++ & (kLookupIds - 1)]);
        if (!node) {
            state.SkipWithError("id not found");
            break;
        }
        benchmark::DoNotOptimize(node.Raw());
    }
}
BENCHMARK(BM_FindByItemId)->Unit(benchmark::kNanosecond)->UseRealTime();

// The floor: one read of a vector indexed by id.
void BM_VectorIndex(benchmark::State& state) {
    const SLoaded& loaded = Loaded(kLookupItems);
    const std::vector<int> ids = RandomLeafIds(loaded);
    std::size_t i = 0;
    for (auto _ : state) {
        xmlNodePtr node = loaded.elements[static_cast<std::size_t>(ids[i++ & (kLookupIds - 1)])];
        benchmark::DoNotOptimize(node);
    }
}
BENCHMARK(BM_VectorIndex)->Unit(benchmark::kNanosecond)->UseRealTime();

// The older way: a query over the whole document for each lookup.
void BM_XPathLookup(benchmark::State& state) {
    SLoaded& loaded = Loaded(kLookupItems);
    std::vector<std::string> queries;
    for (int id : RandomLeafIds(loaded))
        queries.push_back("//level4[@iid='" + std::to_string(id) + "']");
    std::size_t i = 0;
    for (auto _ : state) {
        const CXmlNode node = loaded.library.Dom()->SelectSingleNode(queries[i++ % queries.size()]);
        if (!node) {
            state.SkipWithError("id not found");
            break;
        }
        benchmark::DoNotOptimize(node.Raw());
    }
}
BENCHMARK(BM_XPathLookup)->Unit(benchmark::kMicrosecond)->UseRealTime();

// ---- the snippet menu at a rebuild -------------------------------------------
// What the menu's model costs when every level is read (a search over the
// whole menu reads them; a rebuild reads the root's level only), beside the
// numbering walk the tree rebuild makes anyway. Menu items themselves are made
// only for the submenus a person opens.

void BM_MenuModel(benchmark::State& state) {
    SLoaded& loaded = Loaded(static_cast<int>(state.range(0)));
    CSnippetMenuModel model;
    const auto readAll = [&] {
        std::vector<int> pending{model.RootEntry()};
        while (!pending.empty()) {
            const int index = pending.back();
            pending.pop_back();
            for (int child = model.FirstChild(index); child >= 0;
                 child = model.At(child).nextSibling)
                pending.push_back(child);
        }
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.Build(loaded.library.Root(), {}));
        readAll();
    }
    if (model.Size() != static_cast<std::size_t>(state.range(0)))
        state.SkipWithError("the menu does not hold every item");
    Report(state, 0);
}
BENCHMARK(BM_MenuModel)->Apply(Sizes);

void BM_NumberItems(benchmark::State& state) {
    SLoaded& loaded = Loaded(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(loaded.library.NumberItems());
    Report(state, 0);
}
BENCHMARK(BM_NumberItems)->Apply(Sizes);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CBenchFiles& files = CBenchFiles::Get();
    benchmark::AddCustomContext("scratch_dir", files.Dir() + " (" + files.FileSystem() + ")");
    // The files are written before anything is timed.
    for (int n : {1000, 10000, 100000})
        benchmark::AddCustomContext(
            "file_" + std::to_string(n) + "_items_bytes",
            std::to_string(std::filesystem::file_size(files.LibraryPath(n))));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
