// What the snippet menu is made of: entries, captions, omissions, and the
// command ids behind the snippet entries.

#include "menu/SnippetMenuModel.h"
#include "library/SnippetFormat.h"
#include "menu/SnippetCommandMap.h"
#include "menu/SnippetSearch.h"
#include "res/CommandIds.h"
#include "support/Loaded.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The model written out as "caption{children}" in menu order, every level
// read.
static std::string Outline(CSnippetMenuModel& model, int index) {
    std::string out;
    for (int i = index; i >= 0; i = model.At(i).nextSibling) {
        out += (out.empty() ? "" : ",") + model.At(i).caption;
        if (model.At(i).level)
            out += "{" + Outline(model, model.FirstChild(i)) + "}";
    }
    return out;
}

// The outline of the library's menu, "-" when its root gives no entry, the
// snippets the numbering walk found without a caption, and the reports of the
// build.
static std::string Menu(const std::string& xml, CSnippetMenuModel& model) {
    std::string reports;
    CSnippetLibrary lib = Library(xml);
    const CSnippetLibrary::SMissingCaptions& missing = lib.MissingCaptions();
    if (missing.count > 0)
        reports += " missing " + std::to_string(missing.count) + " " + missing.firstXml;
    const bool built = model.Build(lib.Root(), {[&] { reports += " invalid"; }});
    return (built ? Outline(model, model.RootEntry()) : "-") + reports;
}

TEST(SnippetMenuModel, EntriesFollowTheDocumentWhateverTheElementNames) {
    // Comments, instructions and whitespace make no entries. Snippets without
    // a header are left out and reported once, by number and the first one's
    // markup; a branch without one disappears whole, silently. A root with no
    // children is the one snippet entry; without a header it gives none, and
    // is reported only when it is a snippet itself.
    const std::pair<const char*, const char*> cases[] = {
        {"<level0 header=\"Mail\"> <!-- a comment --><?pi data?>\n<level1 header=\"Greetings\">"
         "<level2 header=\"He&amp;llo\">Hi</level2> <title header=\"Thanks\">T</title></level1>"
         "<level1 header=\"Sign-off\"><![CDATA[Regards]]></level1>\n</level0>",
         "Mail{Greetings{He&llo,Thanks},Sign-off}"},
        {"<level0 header=\"Root\"><level1 header=\"A\">a</level1><level1>no caption</level1>"
         "<level1><level2 header=\"Hidden\">h</level2></level1><level1 header=\"\">empty</level1>"
         "<level1 header=\"B\">b</level1></level0>",
         "Root{A,B} missing 2 <level1>no caption</level1>"},
        {"<level0 header=\"Only\">just text</level0>", "Only"},
        {"<level0><level1 header=\"A\">a</level1></level0>", "-"},
        {"<level0>text</level0>", "- missing 1 <level0>text</level0>"},
    };
    CSnippetMenuModel model;
    for (const auto& [xml, menu] : cases)
        EXPECT_EQ(Menu(xml, model), menu);
    EXPECT_EQ(model.RootEntry(), -1) << "nothing left of an earlier build";
}

TEST(SnippetMenuModel, LevelsAreReadWhenFirstNeededFromTheElementAsItIsThen) {
    CSnippetLibrary lib = Library(
        "<level0 header=\"R\"><level1 header=\"A\"><level2 header=\"A1\">a1</level2>"
        "<level2 header=\"A2\"><level3 header=\"deep\">d</level3></level2></level1>"
        "<level1 header=\"B\"><level2 header=\"B1\">b1</level2><level2 header=\"Bad\">x</level2>"
        "<level2 header=\"B3\">b3</level2></level1><level1 header=\"S\">s</level1></level0>");
    std::string reports;
    CSnippetMenuModel model;
    ASSERT_TRUE(model.Build(lib.Root(), {[&] { reports += "invalid "; }}));
    EXPECT_EQ(model.Size(), 4u) << "the root and its entries only";
    // After the rebuild: A removed with what it holds, B's header and its
    // first child's changed, then the document itself replaced.
    CXmlNode root = lib.Root();
    const CXmlNode a = root.FirstChildElement();
    CXmlNode b = a.NextSiblingElement();
    root.RemoveChild(a);
    b.SetAttributeLast(snippet_format::kHeaderAttr, "B renamed");
    CXmlNode b1 = b.FirstChildElement();
    b1.SetAttributeLast(snippet_format::kHeaderAttr, "B1 renamed");
    lib = Library("<level0 header=\"Other\"/>");
    // A branch the engine fails on is told when its level is read, and ends
    // alone.
    CSnippetMenuModel::SimulateEngineFailure("Bad");
    EXPECT_EQ(Outline(model, model.RootEntry()), "R{A{A1,A2{deep}},B{B1 renamed,B3},S}");
    EXPECT_EQ(reports, "invalid ");
    CSnippetMenuModel::SimulateEngineFailure("");
    EXPECT_EQ(Outline(model, model.RootEntry()), "R{A{A1,A2{deep}},B{B1 renamed,B3},S}");
    EXPECT_EQ(reports, "invalid ") << "a level is read once";

    // The search reads the levels not read yet, in menu order.
    ASSERT_TRUE(model.Build(Library("<level0 header=\"R\"><level1 header=\"L\"><level2 "
                                    "header=\"x1\">t</level2></level1><level1 header=\"x2\">t"
                                    "</level1></level0>")
                                .Root(),
                            {}));
    CSnippetSearch search;
    search.SetModel(&model);
    const std::vector<CSnippetSearch::SHit> hits = search.Find("x");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].path + "|" + hits[1].path, "R › L › x1|R › x2");
}

TEST(SnippetCommandMap, IdsComeFromTheirOwnRangeAndEntriesOutliveTheirElements) {
    const CSnippetLibrary lib = Library("<level0 header=\"R\"><a>1</a><b>2</b></level0>");
    const CXmlNode a = lib.Root().FirstChildElement(), b = a.NextSiblingElement();
    CSnippetCommandMap map;
    const int first = CSnippetCommandMap::kFirstSnippetId;
    // (Ids in order from the range's start at every rebuild, and the text
    // behind them: the snippet menu's test.) Ids beside the ones given: none.
    EXPECT_EQ(map.AddSnippet(a), first);
    EXPECT_FALSE(map.FindSnippet(first + 1) || map.FindSnippet(first - 1));

    // Filling the range: then 0, never an id outside it.
    map.Reset();
    for (int i = 0; i < CSnippetCommandMap::kCapacity; ++i)
        ASSERT_TRUE(CSnippetCommandMap::IsSnippetId(map.AddSnippet(a)));
    EXPECT_EQ(map.AddSnippet(b), 0);
    EXPECT_EQ(map.FindSnippet(CSnippetCommandMap::kLastSnippetId).Text(), "1");
    // A released id still finds its element (the choice comes after its
    // submenu's close) until it is given out again, to the next element;
    // ids of an earlier menu are never taken back.
    map.Release(first + 7);
    EXPECT_EQ(map.FindSnippet(first + 7).Text(), "1");
    EXPECT_EQ(map.AddSnippet(b), first + 7);
    EXPECT_EQ(map.FindSnippet(first + 7).Text(), "2");
    map.Reset();
    map.AddSnippet(a);
    map.Release(first + 7);
    EXPECT_EQ(map.AddSnippet(b), first + 1);

    // The range fits the toolkit's ids and lies between the program's own
    // commands and the framework's (the toolkit's own, 4999 to 5999, below).
    EXPECT_LT(CSnippetCommandMap::kLastSnippetId, 0x7FFF);
    for (int id : {ids::ID_TOGGLE_MENU, ids::ID_TECH_SUPPORT, 5999, ids::ID_FILE_NEW})
        EXPECT_FALSE(CSnippetCommandMap::IsSnippetId(id)) << id;

    // An entry outlives its element's removal and its document.
    int id = 0;
    {
        CSnippetLibrary other = Library("<level0 header=\"R\"><a header=\"A\">old</a></level0>");
        CXmlNode root = other.Root();
        map.Reset();
        id = map.AddSnippet(root.FirstChildElement());
        root.RemoveChild(root.FirstChildElement());
    }
    EXPECT_EQ(map.FindSnippet(id).Text(), "old");
}
