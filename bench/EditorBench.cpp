// The editor view with real windows (run under Xvfb): the tree rebuild after a
// load, one keystroke's write-back into the library and Find, each beside a
// baseline measured in the same run: the bare wx control doing the same work
// without the program around it, the numbering walk the rebuild cannot skip,
// a plain walk over the engine tree.

#include "BenchFiles.h"
#include "EditorHarness.h"
#include "app/MainFrame.h"
#include "app/MessageBox.h"
#include "app/StatusText.h"
#include "document/TessaryDoc.h"
#include "menu/HookMenu.h"
#include "res/StringTable.h"
#include "view/SnippetFinder.h"
#include "view/TessaryView.h"

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/listbox.h>
#include <wx/log.h>
#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>

#include <libxml/tree.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr int kKeystrokeItems = 100000;

CEditorHarness* g_pHarness = nullptr;
wxFrame* g_pBareFrame = nullptr;

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

bool ShowLibrary(benchmark::State& state, int nItems) {
    if (!g_pHarness->ShowLibrary(nItems)) {
        state.SkipWithError("cannot load the library into the document");
        return false;
    }
    return true;
}

void CheckNoMessages(benchmark::State& state) {
    if (!CMessageBox::TakeShown().empty())
        state.SkipWithError("the view showed a message box");
}

// A frame of its own for the bare controls, the size of the editor's frame.
wxPanel* BarePanel() {
    static wxPanel* s_pPanel = nullptr;
    if (!s_pPanel) {
        g_pBareFrame = new wxFrame(nullptr, wxID_ANY, "bare controls", wxDefaultPosition,
                                   g_pHarness->Frame()->GetSize());
        s_pPanel = new wxPanel(g_pBareFrame);
        g_pBareFrame->Show();
        CEditorHarness::Settle(50);
    }
    return s_pPanel;
}

// ---- tree rebuild ----------------------------------------------------------------

void BM_TreeRebuild(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!ShowLibrary(state, n))
        return;
    CTessaryDoc* doc = g_pHarness->Doc();
    for (auto _ : state)
        doc->UpdateAllViews();
    // The root and its children; the rest goes in as branches are expanded.
    CSnippetLibrary& library = doc->Library();
    if (g_pHarness->View()->Tree()->GetCount() != 1 + library.ChildItems(0).size())
        state.SkipWithError("the tree does not hold the root's children");
    CheckNoMessages(state);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_TreeRebuild)->Apply(Sizes);

// Baselines of the rebuild: the numbering it runs (every element gets its
// iid), alone, on the same library; and the numbering that also lists every
// element with its header, as the rebuild did when it filled the whole tree.
void BM_NumberingWalk(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!ShowLibrary(state, n))
        return;
    CSnippetLibrary& library = g_pHarness->Doc()->Library();
    for (auto _ : state)
        benchmark::DoNotOptimize(library.Renumber());
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_NumberingWalk)->Apply(Sizes);

// The snippet menu the rebuild makes again, on the same library: the other
// walk over every element.
void BM_RebuildMenuModel(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!ShowLibrary(state, n))
        return;
    for (auto _ : state)
        g_pHarness->View()->HookMenu().LoadHookMenu(*g_pHarness->Doc());
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RebuildMenuModel)->Apply(Sizes);

void BM_NumberItemsListed(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!ShowLibrary(state, n))
        return;
    CSnippetLibrary& library = g_pHarness->Doc()->Library();
    for (auto _ : state)
        benchmark::DoNotOptimize(library.NumberItems());
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_NumberItemsListed)->Apply(Sizes);

struct STreeShape {
    std::vector<wxString> labels;
    std::vector<int> parents; // index into the same lists; -1 for the root
};

// The library's whole tree in pre-order, as the tree held it when it was
// filled completely.
STreeShape ShapeOf(CSnippetLibrary& library) {
    STreeShape shape;
    for (const CSnippetLibrary::SItem& item : library.NumberItems()) {
        shape.labels.push_back(wxString::FromUTF8(item.header));
        shape.parents.push_back(item.parentIndex);
    }
    return shape;
}

// The old baseline: every item, plain (no item data), into an empty tree
// control of the view's style, frozen, then all deleted.
void BM_BareTree(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!ShowLibrary(state, n))
        return;
    wxTreeCtrl* viewTree = g_pHarness->View()->Tree();
    const STreeShape shape = ShapeOf(g_pHarness->Doc()->Library());
    auto* tree = new wxTreeCtrl(BarePanel(), wxID_ANY, wxPoint(0, 0), viewTree->GetSize(),
                                viewTree->GetWindowStyleFlag());
    std::vector<wxTreeItemId> ids;
    ids.reserve(shape.labels.size());
    for (auto _ : state) {
        ids.clear();
        tree->Freeze();
        for (std::size_t i = 0; i < shape.labels.size(); ++i) {
            const int parent = shape.parents[i];
            ids.push_back(parent < 0 ? tree->AddRoot(shape.labels[i])
                                     : tree->AppendItem(ids[static_cast<std::size_t>(parent)],
                                                        shape.labels[i]));
        }
        tree->Thaw();
        tree->DeleteAllItems();
    }
    tree->Destroy();
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_BareTree)->Apply(Sizes);

// Not the program's code: a one-pass rebuild straight on the engine tree, as a
// yardstick for how close the view could come to the bare control. Each
// element is visited once, numbered in place when its id is already its last
// attribute (always so in a file the program saved), and its header read as
// the engine holds it.
xmlAttrPtr FindRawAttribute(xmlNodePtr element, const char* name) {
    for (xmlAttrPtr attr = element->properties; attr; attr = attr->next)
        if (std::strcmp(reinterpret_cast<const char*>(attr->name), name) == 0)
            return attr;
    return nullptr;
}

class CSketchData : public wxTreeItemData {
public:
    explicit CSketchData(int id) : m_nId(id) {}
    int m_nId;
};

void BM_RebuildSketch(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!ShowLibrary(state, n))
        return;
    xmlNodePtr root = g_pHarness->Doc()->Library().Root().Raw();
    wxTreeCtrl* viewTree = g_pHarness->View()->Tree();
    auto* tree = new wxTreeCtrl(BarePanel(), wxID_ANY, wxPoint(0, 0), viewTree->GetSize(),
                                viewTree->GetWindowStyleFlag());
    std::vector<xmlNodePtr> index; // id -> element
    index.reserve(static_cast<std::size_t>(n));
    std::vector<std::pair<xmlNodePtr, wxTreeItemId>> stack;
    char number[16];
    for (auto _ : state) {
        tree->DeleteAllItems();
        index.clear();
        tree->Freeze();
        stack.assign(1, {root, wxTreeItemId()});
        while (!stack.empty()) {
            const auto [element, parent] = stack.back();
            stack.pop_back();
            const int id = static_cast<int>(index.size());
            index.push_back(element);
            *std::to_chars(number, number + sizeof number - 1, id).ptr = '\0';
            xmlAttrPtr last = element->properties;
            while (last && last->next)
                last = last->next;
            if (last && std::strcmp(reinterpret_cast<const char*>(last->name), "iid") == 0 &&
                last->children && !last->children->next)
                xmlNodeSetContent(last->children, BAD_CAST number);
            else
                xmlSetProp(element, BAD_CAST "iid", BAD_CAST number);
            // The engine holds checked UTF-8: no need to validate it again.
            xmlAttrPtr header = FindRawAttribute(element, "header");
            const wxString label = header && header->children
                                       ? wxString::FromUTF8Unchecked(reinterpret_cast<const char*>(
                                             header->children->content))
                                       : wxString();
            const wxTreeItemId item =
                parent.IsOk() ? tree->AppendItem(parent, label, -1, -1, new CSketchData(id))
                              : tree->AddRoot(label, -1, -1, new CSketchData(id));
            // Last child first, so that the stack hands them out in order.
            for (xmlNodePtr c = element->last; c; c = c->prev)
                if (c->type == XML_ELEMENT_NODE)
                    stack.emplace_back(c, item);
        }
        tree->Thaw();
        tree->SelectItem(tree->GetRootItem());
    }
    if (tree->GetCount() != static_cast<unsigned>(n))
        state.SkipWithError("the tree does not hold every item");
    tree->Destroy();
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RebuildSketch)->Apply(Sizes);

// The fixed part of every rebuild: the three status texts it shows, each
// painted at once by the frame so that it is seen during a long build.
void BM_RebuildStatusTexts(benchmark::State& state) {
    const std::string menu = CStringTable::Load(strid::IDS_CONSTRUCTING_MENU);
    const std::string tree = CStringTable::Load(strid::IDS_CONSTRUCTING_TREE);
    for (auto _ : state) {
        CStatusText::Set(menu);
        CStatusText::Set(tree);
        CStatusText::Set("");
    }
}
BENCHMARK(BM_RebuildStatusTexts)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- one keystroke -----------------------------------------------------------------

// A leaf about halfway down the tree, in pre-order.
wxTreeItemId MiddleLeaf(wxTreeCtrl* tree, int nItems) {
    std::vector<wxTreeItemId> stack{tree->GetRootItem()};
    int index = 0;
    while (!stack.empty()) {
        const wxTreeItemId item = stack.back();
        stack.pop_back();
        if (index++ >= nItems / 2 && tree->GetChildrenCount(item, false) == 0)
            return item;
        std::vector<wxTreeItemId> children;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree->GetFirstChild(item, cookie); c.IsOk();
             c = tree->GetNextChild(item, cookie))
            children.push_back(c);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return {};
}

// Typing one character, then deleting it again, one keystroke per iteration:
// the text keeps its length however long the run.
void Keystrokes(benchmark::State& state, wxTextCtrl* text) {
    const long length = text->GetLastPosition();
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            text->Remove(length, length + 1);
        else
            text->AppendText("x");
        typed = !typed;
    }
}

void BM_Keystroke(benchmark::State& state) {
    if (!ShowLibrary(state, kKeystrokeItems))
        return;
    CTessaryView* view = g_pHarness->View();
    CTessaryDoc* doc = g_pHarness->Doc();
    const wxTreeItemId leaf = MiddleLeaf(view->Tree(), kKeystrokeItems);
    if (!leaf.IsOk()) {
        state.SkipWithError("no leaf item");
        return;
    }
    view->Tree()->SelectItem(leaf);
    wxTextCtrl* text = view->Text();
    const CXmlNode element = doc->Library().FindByItemId(view->ItemId(leaf));
    if (!element || !text->IsEnabled() || text->IsEmpty()) {
        state.SkipWithError("selecting the leaf did not fill the text box");
        return;
    }
    // The write-back must happen inside the keystroke for the figure to mean
    // anything.
    const std::string before = element.Text();
    text->AppendText("x");
    const bool written = element.Text() == before + "x";
    text->Remove(text->GetLastPosition() - 1, text->GetLastPosition());
    if (!written || element.Text() != before) {
        state.SkipWithError("the keystroke did not reach the library");
        return;
    }
    Keystrokes(state, text);
    CheckNoMessages(state);
    doc->Modify(false);
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Baseline: a plain text box of the same style and text, with no handler.
void BM_BareKeystroke(benchmark::State& state) {
    if (!ShowLibrary(state, kKeystrokeItems))
        return;
    CTessaryView* view = g_pHarness->View();
    view->Tree()->SelectItem(MiddleLeaf(view->Tree(), kKeystrokeItems));
    wxTextCtrl* viewText = view->Text();
    auto* text = new wxTextCtrl(BarePanel(), wxID_ANY, viewText->GetValue(), wxPoint(0, 0),
                                viewText->GetSize(), viewText->GetWindowStyleFlag());
    CEditorHarness::Settle(20);
    Keystrokes(state, text);
    text->Destroy();
}
BENCHMARK(BM_BareKeystroke)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Type to find at 100k: each iteration one key in the search field, the
// search and the list's rows updated inside it. The keys type a word and take
// it back letter by letter: a longer needle searches only the last matches,
// a shorter one the whole library.
constexpr std::string_view kFindWord = "regards";

void FindKeystrokes(benchmark::State& state, wxTextCtrl* field) {
    long typed = 0;
    bool back = false;
    for (auto _ : state) {
        if (!back)
            field->AppendText(wxString(kFindWord[static_cast<std::size_t>(typed)]));
        else
            field->Remove(typed - 1, typed);
        typed += back ? -1 : 1;
        if (typed == 0 || typed == static_cast<long>(kFindWord.size()))
            back = !back;
    }
}

void BM_FindKeystroke(benchmark::State& state) {
    if (!ShowLibrary(state, kKeystrokeItems))
        return;
    CHookMenu& menu = g_pHarness->View()->HookMenu();
    auto* finder = new CSnippetFinder(g_pHarness->Frame());
    finder->PlaceAt(100, 100);
    // The index is read at the first search, before the timing.
    finder->Find(
        menu.Search(), "", [](int) {}, [] {});
    if (!finder->IsFinding()) {
        state.SkipWithError("the search did not open");
        finder->Destroy();
        return;
    }
    finder->Field()->AppendText("r");
    if (finder->List()->GetCount() == 0)
        state.SkipWithError("nothing found");
    finder->Field()->Clear();
    FindKeystrokes(state, finder->Field());
    finder->Cancel();
    finder->Destroy();
}
BENCHMARK(BM_FindKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the same keys into a plain text box whose every change puts as
// many rows of the same length into a plain list.
void BM_BareFindKeystroke(benchmark::State& state) {
    if (!ShowLibrary(state, kKeystrokeItems))
        return;
    auto* field = new wxTextCtrl(BarePanel(), wxID_ANY);
    auto* list = new wxListBox(BarePanel(), wxID_ANY, wxPoint(0, 40), wxSize(400, 300));
    wxArrayString rows;
    for (std::size_t i = 0; i < CSnippetSearch::kMaxListed; ++i)
        rows.push_back(
            wxString::FromUTF8("Snippets › Area 1 › Topic 2 › Heading 3 › Invoice — café"));
    field->Bind(wxEVT_TEXT, [&](wxCommandEvent&) {
        list->Set(rows);
        list->SetSelection(0);
    });
    CEditorHarness::Settle(20);
    FindKeystrokes(state, field);
    field->Destroy();
    list->Destroy();
}
BENCHMARK(BM_BareFindKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first search after a rebuild reads and folds every header and text.
void BM_FindIndex(benchmark::State& state) {
    if (!ShowLibrary(state, kKeystrokeItems))
        return;
    CSnippetMenuModel& model = g_pHarness->View()->HookMenu().Model();
    for (auto _ : state) {
        CSnippetSearch search;
        search.SetModel(&model);
        benchmark::DoNotOptimize(search.Find("r"));
    }
}
BENCHMARK(BM_FindIndex)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- Find, 100k ----------------------------------------------------------------------

constexpr int kFindItems = 100000;

// Find from the root, as Edit > Find runs it: the search, the branches down
// to the match put into the tree, the item selected and scrolled to.
void FindFromRoot(benchmark::State& state, const std::string& text, bool found) {
    if (!ShowLibrary(state, kFindItems))
        return;
    CTessaryView* view = g_pHarness->View();
    wxTreeCtrl* tree = view->Tree();
    for (auto _ : state) {
        state.PauseTiming();
        tree->SelectItem(tree->GetRootItem());
        state.ResumeTiming();
        if (view->FindNext(text) != found) {
            state.SkipWithError("Find did not end as expected");
            break;
        }
    }
    CMessageBox::TakeShown();
}

// "Snippet 99990" is one header only, about a thousand items before the end.
void BM_FindNearTheEnd(benchmark::State& state) {
    FindFromRoot(state, "snippet 99990", true);
}
BENCHMARK(BM_FindNearTheEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FindNoMatch(benchmark::State& state) {
    FindFromRoot(state, "no such words", false);
}
BENCHMARK(BM_FindNoMatch)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first search after a change (a keystroke, a rename, a save): the
// library's headers and texts are folded again before the search.
void BM_FindAfterAChange(benchmark::State& state) {
    if (!ShowLibrary(state, kFindItems))
        return;
    CTessaryView* view = g_pHarness->View();
    CSnippetLibrary& library = g_pHarness->Doc()->Library();
    for (auto _ : state) {
        library.Changed();
        if (view->FindNext("no such words")) {
            state.SkipWithError("Find did not end as expected");
            break;
        }
    }
    CMessageBox::TakeShown();
}
BENCHMARK(BM_FindAfterAChange)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first search after a keystroke in the editor: the typed item alone is
// folded again before the search.
void BM_FindAfterTyping(benchmark::State& state) {
    if (!ShowLibrary(state, kFindItems))
        return;
    CTessaryView* view = g_pHarness->View();
    // A snippet about halfway down, selected as Find selects it.
    view->Tree()->SelectItem(view->Tree()->GetRootItem());
    wxTextCtrl* text = view->Text();
    if (!view->FindNext("snippet 49999") || !text->IsEnabled() || text->IsEmpty()) {
        state.SkipWithError("no snippet to type into");
        return;
    }
    const long length = text->GetLastPosition();
    bool typed = false;
    view->FindNext("no such words");
    for (auto _ : state) {
        if (typed)
            text->Remove(length, length + 1);
        else
            text->AppendText("x");
        typed = !typed;
        if (view->FindNext("no such words")) {
            state.SkipWithError("Find did not end as expected");
            break;
        }
    }
    CMessageBox::TakeShown();
    g_pHarness->Doc()->Modify(false);
}
BENCHMARK(BM_FindAfterTyping)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: every element of the same engine tree visited in document order,
// its header and text searched byte for byte (no folding, no handles).
void BM_BareSearchWalk(benchmark::State& state) {
    if (!ShowLibrary(state, kFindItems))
        return;
    xmlNodePtr root = g_pHarness->Doc()->Library().Root().Raw();
    const std::string_view needle = "no such words";
    const auto contains = [&](const xmlChar* text) {
        return text && std::string_view(reinterpret_cast<const char*>(text)).find(needle) !=
                           std::string_view::npos;
    };
    for (auto _ : state) {
        int hits = 0;
        for (xmlNodePtr cur = root; cur;) {
            if (xmlAttrPtr header = FindRawAttribute(cur, "header"))
                hits += header->children && contains(header->children->content);
            for (xmlNodePtr c = cur->children; c; c = c->next)
                if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE)
                    hits += contains(c->content);
            xmlNodePtr next = nullptr;
            for (xmlNodePtr c = cur->children; c && !next; c = c->next)
                if (c->type == XML_ELEMENT_NODE)
                    next = c;
            for (xmlNodePtr up = cur; !next && up && up != root; up = up->parent)
                for (xmlNodePtr s = up->next; s && !next; s = s->next)
                    if (s->type == XML_ELEMENT_NODE)
                        next = s;
            cur = next;
        }
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(BM_BareSearchWalk)->Unit(benchmark::kMillisecond)->UseRealTime();

class CBenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    setenv("NO_AT_BRIDGE", "1", 0);
    setenv("GDK_BACKEND", "x11", 0);
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                          const wxString& msg) {
        std::fprintf(stderr, "wx assert %s:%d: %s %s\n", file.utf8_str().data(), line,
                     cond.utf8_str().data(), msg.utf8_str().data());
    });
    wxApp::SetInstance(new CBenchApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "cannot start wxWidgets: is there an X display?\n");
        return 2;
    }
    // Log messages would pop up modal boxes and block a headless run.
    wxLog::SetActiveTarget(new wxLogStderr);

    // The files are written before anything is timed.
    for (int n : {1000, 10000, 100000})
        CBenchFiles::Get().LibraryPath(n);
    CEditorHarness harness;
    if (!harness.Start()) {
        std::fprintf(stderr, "cannot set up the editor\n");
        return 2;
    }
    g_pHarness = &harness;
    benchmark::RunSpecifiedBenchmarks();
    if (g_pBareFrame)
        g_pBareFrame->Destroy();
    g_pHarness = nullptr;
    harness.Stop();
    benchmark::Shutdown();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
